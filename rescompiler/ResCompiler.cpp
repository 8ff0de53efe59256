#include "rescompiler/ResCompiler.h"

#include "rescompiler/IdentifierCheck.h"

namespace kelbo {

void prepareResDialog(Session& session) {
    session.ResFileName.clear();
    if (session.ResDir.empty())
        session.ResDir = session.ProjectDir.empty() ? session.ExeDir : session.ProjectDir;
}

void takeResFile(Session& session, const std::string& path, PathStyle style) {
    session.ResFileName = path;
    session.ResDir = directoryOf(path, style);
}

std::string resDialogTitle(int bits) {
    return "Save As ...( " + std::to_string(bits) + " bits)";
}

CompileOutcome runCompilation(const Project& project, int bits, const std::string& resFileName,
                              CompileLog& log, FileSystem& fs) {
    if (CheckIdentifiers(project, log) != 0)
        return CompileOutcome::IdentifierError;
    bool ok = bits == 16 ? Compile16(project, resFileName, log, fs)
                         : Compile32(project, resFileName, log, fs);
    return ok ? CompileOutcome::Success : CompileOutcome::WriteError;
}

} // namespace kelbo
