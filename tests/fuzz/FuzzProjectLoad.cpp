// The load path a user takes (LoadRC, DirectLoad) over a file of arbitrary bytes: all or
// nothing, and a loaded project saves to a file that loads the same.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzChecks.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = "/work/demo.kbp";
    test::MemoryFileSystem fs;
    fs.files[path] = bytes;

    Session session;
    session.project.append(ResourceKind::Bitmap, "KEEP\t/pics/keep.bmp");
    session.project.append(ResourceKind::String, "1\tkept");
    session.ProjectPath = path;
    const Project before = session.project;

    const std::optional<Project> decoded = decodeProject(bytes);
    const bool loaded = LoadRC(session, path, fs);
    FUZZ_CHECK(loaded == decoded.has_value());
    if (loaded) {
        FUZZ_CHECK(session.project == *decoded);
        FUZZ_CHECK(session.ProjectPath == path);
    } else {
        FUZZ_CHECK(session.project == before);
        FUZZ_CHECK(session.ProjectPath.empty());
    }

    Session direct;
    direct.ProjectChanged = true;
    LoadOutcome outcome = DirectLoad(direct, path, fs, PathStyle::Posix);
    FUZZ_CHECK(outcome == (loaded ? LoadOutcome::Loaded : LoadOutcome::Invalid));
    FUZZ_CHECK(!direct.ProjectChanged);
    FUZZ_CHECK(direct.ProjectDir == "/work");

    if (loaded) {
        std::string error;
        FUZZ_CHECK(saveProjectFile("/work/copy.kbp", session.project, error, fs));
        // Written as encodeProject writes it (project_decode ties that to the input's bytes).
        const std::string& saved = fs.files["/work/copy.kbp"];
        FUZZ_CHECK(encodeProject(session.project, error) == saved);
        FUZZ_CHECK(decodeProject(saved) == session.project);
        FUZZ_CHECK(fs.temporaryCount() == 0);
    }
    return 0;
}
