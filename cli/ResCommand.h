// kelbo-res: lists a .RES file, imports one into a project, or writes a project as a resource
// script.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelbo {

// Exit status: 0 on success, 1 on a bad or damaged input (the message on `err` names the file
// and the offset or resource), 2 on bad usage. `args` exclude the program name and are
// Windows-1252 text.
int runResCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  FileSystem& fs = nativeFileSystem());

} // namespace kelbo
