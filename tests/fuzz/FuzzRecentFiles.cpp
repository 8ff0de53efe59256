// The recent-files file as a user or a crash may leave it: reading gives at most five non-empty
// UTF-8 paths, and remembering a project keeps the first four of them behind the new one.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "platform/Unicode.h"
#include "projectfile/RecentFiles.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string cfg = "/home/user/.config/kelbo/kbplast.cfg";
    test::MemoryFileSystem fs;
    fs.files[cfg] = std::string(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> paths = readRecentFiles(cfg, fs);
    FUZZ_CHECK(paths.size() <= static_cast<std::size_t>(kMaxRecentFiles));
    for (const std::string& p : paths) {
        FUZZ_CHECK(!p.empty());
        FUZZ_CHECK(p.find('\n') == std::string::npos);
        FUZZ_CHECK(isValidUtf8(p));
    }

    std::string error;
    const std::string project = "/work/demo.kbp";
    FUZZ_CHECK(RememberFile(cfg, project, error, fs, PathStyle::Posix));
    FUZZ_CHECK(fs.temporaryCount() == 0);
    const std::vector<std::string> after = readRecentFiles(cfg, fs);
    FUZZ_CHECK(!after.empty() && after[0] == project);
    const std::size_t kept = paths.size() < 4 ? paths.size() : 4;
    FUZZ_CHECK(after.size() == 1 + kept);
    for (std::size_t i = 0; i < kept; ++i)
        FUZZ_CHECK(after[i + 1] == paths[i]);
    return 0;
}
