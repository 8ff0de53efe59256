// The start of every command-line program: temporary outputs removed on a stop, the arguments
// taken as UTF-8, then the command.
#pragma once

#include <iostream>
#include <string>
#include <vector>

#include "cli/CompileCommand.h"
#include "platform/FileSystem.h"

namespace kelbo {

// `badArgumentStatus` is the exit status for an argument no UTF-8 path can hold.
template <class Command>
int runCommandMain(int argc, char** argv, int badArgumentStatus, Command command) {
    std::ios::sync_with_stdio(false);
    removeTemporaryOutputsWhenStopped();
    std::vector<std::string> args;
    std::string bad;
    if (!commandLineArguments(argc, argv, args, bad)) {
        std::cerr << kUnrepresentableArgument << ": " << bad << "\n";
        return badArgumentStatus;
    }
    return command(args, std::cout, std::cerr);
}

} // namespace kelbo
