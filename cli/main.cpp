#include <iostream>

#include "cli/CompileCommand.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    kelbo::removeTemporaryOutputsWhenStopped();
    std::vector<std::string> args;
    std::string bad;
    if (!kelbo::commandLineArguments(argc, argv, args, bad)) {
        std::cerr << kelbo::kUnrepresentableArgument << ": " << bad << "\n";
        return 1;
    }
    return kelbo::runCompileCommand(args, std::cout, std::cerr);
}
