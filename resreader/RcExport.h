// A project as a resource script that other resource compilers take: `kelbo-res rc` and the
// window's export command.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

struct RcScript {
    bool ok = false;
    std::string error; // what the script cannot say, naming the item
    std::vector<std::string> warnings;
    std::string text; // Windows-1252, CR LF
    // A manifest made from the MANIFEST keys, which the script names by `manifestPath`.
    std::string manifest;
};

// The script that compiles to the resources the 32-bit layout holds: the same types, names,
// flags, language and data. Names that llvm-rc cannot spell bare are quoted, as rc.exe and
// windres read them, with a warning. A generated manifest is named by `manifestPath`.
RcScript makeRcScript(const Project& project, const std::string& manifestPath = "app.manifest");

// "NAME.manifest" beside "NAME.rc": where the export writes a generated manifest.
std::string manifestPathFor(const std::string& rcPath);

// Writes makeRcScript's text to `rcPath` atomically, and a generated manifest beside it.
RcScript exportRcScript(const Project& project, const std::string& rcPath,
                        FileSystem& fs = nativeFileSystem());

} // namespace kelbo
