// Turning a .RES file of either layout into a project and the source files it names, for
// `kelbo-res import` and the window's import command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

// Called after each source file is written, with the count so far and the total.
using ImportProgress = std::function<void(std::size_t done, std::size_t total)>;

struct ImportResult {
    bool ok = false;
    // Why nothing was written: a damaged .RES (naming the file and the offset or resource), an
    // existing project without `force`, or a failed write.
    std::string error;
    // Each change the project needed to hold a resource, and each resource left out.
    std::vector<std::string> warnings;
    std::size_t filesWritten = 0;
    Project project;
};

// A source file an import writes: literal bytes and ranges of the .RES, in order.
struct ImportPiece {
    std::string literal;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};
struct ImportFile {
    std::string name; // in the files folder
    std::vector<ImportPiece> pieces;
};

// What an import will write, read from the .RES before anything is written.
struct ImportPlan {
    bool ok = false;
    std::string error;
    std::vector<std::string> warnings;
    Project project; // its paths name files in `folder`
    std::vector<ImportFile> files;
};
// `resName` names the file in messages.
ImportPlan planImport(InputFile& res, const std::string& resName, const std::string& folder);

// "NAME_files" beside "NAME.KBP": the folder an import writes the sources into.
std::string importFolderFor(const std::string& projectPath);

// Reads `resPath` whole before anything is written; then writes the sources into a temporary
// folder that takes the files folder's place, and last the project. Without `force` an existing
// project or files folder is an error.
ImportResult importResFile(const std::string& resPath, const std::string& projectPath, bool force,
                           FileSystem& fs = nativeFileSystem(),
                           const ImportProgress& progress = {});

} // namespace kelbo
