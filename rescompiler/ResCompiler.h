// The compile flow without its windows: identifier checks, then one of the two writers.
#pragma once

#include <string>

#include "app/project/Project.h"
#include "platform/FileSystem.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {

enum class CompileOutcome { Success, IdentifierError, WriteError };

// Writers: append their lines to `log`; true only when the whole file was written and
// "Compilation : SuccessFull" was logged. On failure the log ends with "*** ERROR ***" lines
// and the former output file is untouched.
bool Compile32(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs = nativeFileSystem());
bool Compile16(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs = nativeFileSystem());

// CheckIdentifiers, then Compile16 for `bits` 16, otherwise Compile32.
CompileOutcome runCompilation(const Project& project, int bits, const std::string& resFileName,
                              CompileLog& log, FileSystem& fs = nativeFileSystem());

} // namespace kelbo
