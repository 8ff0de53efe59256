#include <iostream>

#include "cli/CompileCommand.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return kelbo::runCompileCommand(args, std::cout, std::cerr);
}
