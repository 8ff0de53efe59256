#include <iostream>

#include "cli/CompileCommand.h"
#include "cli/ResCommand.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // The file being written when a stop comes is removed; an import's temporary folder is
    // cleared by the next import into the same place.
    kelbo::removeTemporaryOutputsWhenStopped();
    std::vector<std::string> args;
    std::string bad;
    if (!kelbo::commandLineArguments(argc, argv, args, bad)) {
        std::cerr << kelbo::kUnrepresentableArgument << ": " << bad << "\n";
        return 2;
    }
    return kelbo::runResCommand(args, std::cout, std::cerr);
}
