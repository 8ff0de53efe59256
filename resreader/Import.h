// Turning a .RES file of either layout into a project and the source files it names, for
// `kelbo-res import` and the window's import command.
#pragma once

#include <cstddef>
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

// "NAME_files" beside "NAME.KBP": the folder an import writes the sources into.
std::string importFolderFor(const std::string& projectPath);

// Reads `resPath` whole before anything is written; then writes the sources into a temporary
// folder that takes the files folder's place, and last the project. Without `force` an existing
// project or files folder is an error.
ImportResult importResFile(const std::string& resPath, const std::string& projectPath, bool force,
                           FileSystem& fs = nativeFileSystem(),
                           const ImportProgress& progress = {});

} // namespace kelbo
