#include "rescompiler/ResCompiler.h"

#include "rescompiler/IdentifierCheck.h"

namespace kelbo {

CompileOutcome runCompilation(const Project& project, int bits, const std::string& resFileName,
                              CompileLog& log, FileSystem& fs) {
    if (CheckIdentifiers(project, log) != 0)
        return CompileOutcome::IdentifierError;
    bool ok = bits == 16 ? Compile16(project, resFileName, log, fs)
                         : Compile32(project, resFileName, log, fs);
    return ok ? CompileOutcome::Success : CompileOutcome::WriteError;
}

} // namespace kelbo
