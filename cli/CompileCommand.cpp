#include "cli/CompileCommand.h"

#include <ostream>

#include "cli/Terminal.h"
#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "project/Project.h"
#include "projectfile/ProjectCommands.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ResCompiler.h"

namespace kelbo {
namespace {

int usage(std::ostream& err) {
    err << kCompileUsage << "\n";
    return 2;
}

} // namespace

int runCompileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      FileSystem& fs) {
    int bits = 32;
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg == "--help") {
            out << kCompileUsage << "\n"
                << "Compiles a Kelbo project (.KBP) into a Windows resource file (.RES).\n"
                << "  --16  write the 16-bit layout\n"
                << "  --32  write the 32-bit layout (the default)\n";
            return 0;
        }
        if (arg == "--version") {
            out << kVersion << "\n";
            return 0;
        }
        if (arg == "--16" || arg == "--32")
            bits = arg == "--16" ? 16 : 32;
        else if (arg.size() > 1 && arg[0] == '-' && arg != "-")
            return usage(err);
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2)
        return usage(err);

    const std::string& resFileName = paths[1];
    Session session;
    if (DirectLoad(session, paths[0], fs) != LoadOutcome::Loaded) {
        err << errorMessage(kInvalidProjectFile) << "\n";
        return 1;
    }
    if (CountItems(session.project) == 0) {
        err << errorMessage(kNothingToCompile) << "\n";
        return 1;
    }
    CompileLog log;
    CompileOutcome outcome = runCompilation(session.project, bits, resFileName, log, fs);
    for (const std::string& line : log.lines())
        writeLine(out, line);
    out.flush();
    return outcome == CompileOutcome::Success && log.succeeded() ? 0 : 1;
}

} // namespace kelbo
