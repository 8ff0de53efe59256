#include "cli/CommandMain.h"
#include "cli/ResCommand.h"

// The file being written when a stop comes is removed; an import's temporary folder is cleared
// by the next import into the same place.
int main(int argc, char** argv) {
    return kelbo::runCommandMain(argc, argv, 2, [](auto& args, auto& out, auto& err) {
        return kelbo::runResCommand(args, out, err);
    });
}
