// A project as a resource script that other resource compilers take: `kelbo-res rc` and the
// window's export command.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

struct RcScript {
    bool ok = false;
    std::string error; // what the script cannot say, naming the item
    std::vector<std::string> warnings;
    std::string text; // CR LF; Windows-1252, or UTF-8 when `utf8`
    bool utf8 = false;
    // Manifests made from MANIFEST keys (path, text), which the script names by their paths.
    std::vector<std::pair<std::string, std::string>> manifests;
};

// The script that compiles to the resources the 32-bit layout holds: the same types, names,
// flags, languages and data, a LANGUAGE statement before each language's resources. Text that
// Windows-1252 cannot hold makes the whole script UTF-8 (#pragma code_page(65001)). Names that
// llvm-rc cannot spell bare are quoted, with a warning saying which tools read them. A generated
// manifest is named by `manifestPath` (a further language's gets its language in the name).
RcScript makeRcScript(const Project& project, const std::string& manifestPath = "app.manifest");

// "NAME.manifest" beside "NAME.rc": where the export writes a generated manifest.
std::string manifestPathFor(const std::string& rcPath);

// Writes makeRcScript's text to `rcPath` atomically, and a generated manifest beside it.
RcScript exportRcScript(const Project& project, const std::string& rcPath,
                        FileSystem& fs = nativeFileSystem());

} // namespace kelbo
