// The compile flow without its windows: identifier checks, then one of the two writers.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "project/Project.h"
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

// Before the .RES file dialog: ResFileName empties and ResDir, when empty, starts from
// ProjectDir or else the program's folder.
void prepareResDialog(Session& session);
// After the dialog chose `path`: ResFileName and ResDir follow it.
void takeResFile(Session& session, const std::string& path, PathStyle style = nativePathStyle());
// "Save As ...( 16 bits)" or "Save As ...( 32 bits)".
std::string resDialogTitle(int bits);

// CheckIdentifiers, then Compile16 for `bits` 16, otherwise Compile32.
CompileOutcome runCompilation(const Project& project, int bits, const std::string& resFileName,
                              CompileLog& log, FileSystem& fs = nativeFileSystem());

} // namespace kelbo
