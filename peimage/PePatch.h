// Writing a project's resources into a built program: the program's resource tree merged with
// the new one, then the program copied with its resource section rewritten (in place when it is
// the last section, otherwise as a new last section) and the bytes after its sections moved
// behind. `kelbo-res patch` and the windows' "Compile into Program" share this.
#pragma once

#include <string>
#include <vector>

#include "peimage/PeImage.h"
#include "peimage/PeResources.h"
#include "platform/FileSystem.h"
#include "project/Project.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {

struct PatchOptions {
    // Remove the certificate table of a signed program instead of refusing it.
    bool unsign = false;
};

struct PatchResult {
    bool ok = false;
    // Why nothing was written, naming the file and, for damage, the offset.
    std::string error;
    // The program is signed and `unsign` was not given (`error` says so too).
    bool refusedSigned = false;
    // "replaced VERSION 1 0x0409", "added ICON 3 0x0000", "removed ICON 7 0x0409", and
    // "removed the signature (...)": one line per change, in the resource directory's order.
    std::vector<std::string> changes;
};

// The merge alone, on resources in hand: `program` as the program holds them, `from` in the
// order of the .RES file. The program's tree afterwards, sorted, and the change lines; false
// with `error` for a group naming an image FROM lacks or a string block that is damaged.
bool mergeResources(const std::vector<PeResource>& program, const std::vector<PeResource>& from,
                    std::vector<PeResource>& merged, std::vector<std::string>& changes,
                    std::string& error);

// Writes the resources of `resPath` (a 32-bit .RES) into the program at `programPath`, giving
// `outputPath` (which may be the program itself) through a temporary file renamed into place:
// on any failure the former file is untouched and no temporary file stays.
PatchResult patchProgram(const std::string& programPath, const std::string& resPath,
                         const std::string& outputPath, const PatchOptions& options,
                         FileSystem& fs = nativeFileSystem());

// For the windows and for a .KBP given to `kelbo-res patch`: compiles `project` in the 32-bit
// layout in memory, with the checks and log lines of a 32-bit compile, then writes its
// resources into the program as patchProgram does. The log ends with the change lines,
// "Program : " and `outputPath`, and "Compilation : SuccessFull"; on failure with
// "*** ERROR ***" and the reason.
PatchResult compileIntoProgram(const Project& project, const std::string& programPath,
                               const std::string& outputPath, const PatchOptions& options,
                               CompileLog& log, FileSystem& fs = nativeFileSystem());

} // namespace kelbo
