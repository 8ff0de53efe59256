#include "cli/CommandMain.h"
#include "cli/CompileCommand.h"

int main(int argc, char** argv) {
    return kelbo::runCommandMain(argc, argv, 1, [](auto& args, auto& out, auto& err) {
        return kelbo::runCompileCommand(args, out, err);
    });
}
