#include <iostream>

#include "cli/CompileCommand.h"
#include "cli/ResCommand.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args;
    std::string bad;
    if (!kelbo::commandLineArguments(argc, argv, args, bad)) {
        std::cerr << kelbo::kUnrepresentableArgument << ": " << bad << "\n";
        return 2;
    }
    return kelbo::runResCommand(args, std::cout, std::cerr);
}
