// The MANIFEST kind: its `key=value` lines, the side-by-side manifest they generate, and the
// resource a writer puts in the 32-bit layout.
//
// Keys and the words of enumerated values (`asInvoker`, `permonitorv2`, ...) compare without
// regard to case, as resource script keywords do; free values (`name`, `description`, the path
// of `file`) are kept as typed. Spaces around keys and values are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

inline constexpr std::string_view kNoManifestIn16Bits =
    "Manifest resources do not exist in 16 bits-Mode";
inline constexpr std::string_view kDefaultAssemblyName = "Kelbo.Application";
inline constexpr std::string_view kDefaultAssemblyVersion = "1.0.0.0";
// The resource names Windows looks for: 1 in a program, 2 in a DLL (3 for isolation-aware
// components); Windows reserves 1 to 16.
inline constexpr int kManifestIdProgram = 1;
inline constexpr int kManifestIdLibrary = 2;
inline constexpr int kManifestIdLast = 16;
// A manifest is a few kilobytes; a larger `file` is refused rather than held whole.
inline constexpr std::uint64_t kMaxManifestFileSize = 16u << 20;

enum class DpiAwareness { Unaware, System, PerMonitor, PerMonitorV2 };
enum class ExecutionLevel { AsInvoker, HighestAvailable, RequireAdministrator };

struct ManifestSettings {
    int id = kManifestIdProgram;
    // A manifest file copied as it is; when set, none of the generator settings below is.
    std::optional<std::string> file;
    std::string name{kDefaultAssemblyName};
    std::string version{kDefaultAssemblyVersion};
    std::string description; // none when empty
    bool commonControls = false;
    std::optional<DpiAwareness> dpi;
    std::optional<ExecutionLevel> level;
    bool supportedOs = false;

    bool operator==(const ManifestSettings&) const = default;
};

// What is wrong and in which line, for "*** ERROR ***", the line, the problem.
struct ManifestProblem {
    std::string line; // empty when no one line is at fault
    std::string problem;
};

// Fails on a malformed line, an unknown key or value, a key given twice, or `file` together
// with generator keys.
std::optional<ManifestSettings> parseManifest(const Project::Lines& lines,
                                              ManifestProblem& problem);

// The canonical lines of the settings: `id` always (so the list is never empty), then `file`
// or the generator keys that differ from their defaults. parseManifest reads them back equal.
std::vector<std::string> manifestLines(const ManifestSettings& settings);

// The UTF-8 manifest of generator settings, padded with spaces to a multiple of four bytes
// (Visual Basic 6 programs crash on a manifest resource of any other size). Ignores `file`.
std::string generateManifest(const ManifestSettings& settings);

struct ManifestResource {
    std::uint16_t id = kManifestIdProgram;
    std::string data;
};

// The resource of a MANIFEST section: generated, or the named file byte for byte once it is
// found to be well-formed XML.
std::optional<ManifestResource> buildManifest(const Project::Lines& lines, FileSystem& fs,
                                              ManifestProblem& problem);

} // namespace kelbo
