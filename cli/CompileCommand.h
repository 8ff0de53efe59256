// kelbo-compile: loads a project and compiles it, for build scripts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelbo {

inline constexpr const char* kUnrepresentableArgument =
    "Paths must be UTF-8 text";
inline constexpr const char* kCompileUsage = "usage: kelbo-compile [--16 | --32] PROJECT OUTPUT";

// Exit status: 0 when the log ends with "Compilation : SuccessFull", 1 when the project cannot
// be loaded, holds no item or the compilation stopped, 2 on bad usage. `args` exclude the
// program name and are Windows-1252 text.
int runCompileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      FileSystem& fs = nativeFileSystem());

} // namespace kelbo
