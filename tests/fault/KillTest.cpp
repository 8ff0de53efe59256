// kelbo-compile stopped while it writes a large output: the former output is intact. SIGKILL
// may leave the temporary file it was writing; SIGINT, SIGTERM and SIGHUP leave nothing and
// end it with status 128 + the signal's number.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include "projectfile/ProjectFile.h"
#include "tests/support/Samples.h"
#include "tests/support/Subprocess.h"

namespace kelbo::test {
namespace {

// A 200 MB wave without writing 200 MB to make it: a sparse file with a real header.
void makeLargeWave(const std::filesystem::path& path, off_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    std::string head = sampleWave(4096);
    ASSERT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

bool isTempOf(const std::string& name, const std::string& target) {
    return name.rfind("." + target + ".", 0) == 0 && name.size() > 4 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
}

class KilledCompilation : public ::testing::TestWithParam<int> {};

TEST_P(KilledCompilation, LeavesTheFormerOutputIntact) {
    const int signal = GetParam();
    ScratchDir dir;
    makeLargeWave(dir.path() / "huge.wav", 200 * 1024 * 1024);
    Project project;
    project.append(ResourceKind::String, "1\tbefore the wave");
    project.append(ResourceKind::Wave, "1\t" + dir.file("huge.wav"));
    std::string error;
    ASSERT_TRUE(saveProjectFile(dir.file("huge.kbp"), project, error)) << error;
    const std::string former = sampleWave(777) + "FORMER";

    int killedMidWrite = 0;
    for (const char* mode : {"--32", "--16"}) {
        // A fast disk may finish the write before the kill lands; a few tries make that rare.
        for (int attempt = 0; attempt < 3; ++attempt) {
            writeFile(dir.path() / "out.res", former);
            const std::set<std::string> before = dir.entries();
            ChildProcess child(
                {KELBO_COMPILE_EXE, mode, dir.file("huge.kbp"), dir.file("out.res")});
            // Kill once the temporary output holds a few megabytes: the write is under way.
            bool started = false;
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (!started && child.running() && std::chrono::steady_clock::now() < deadline) {
                for (const std::string& name : dir.entries()) {
                    std::error_code ec;
                    if (isTempOf(name, "out.res") &&
                        std::filesystem::file_size(dir.path() / name, ec) > 4 * 1024 * 1024)
                        started = true;
                }
                if (!started)
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
            child.kill(signal);
            ProcessResult r = child.wait();
            if (r.exited && r.status == 0)
                continue; // finished first: try again
            ASSERT_TRUE(started) << r.out << r.err;
            ++killedMidWrite;
            if (signal == SIGKILL) {
                EXPECT_EQ(r.signal, SIGKILL);
            } else {
                EXPECT_TRUE(r.exited);
                EXPECT_EQ(r.status, 128 + signal);
            }
            EXPECT_EQ(readFile(dir.path() / "out.res"), former);
            std::set<std::string> debris;
            for (const std::string& name : dir.entries())
                if (!before.count(name))
                    debris.insert(name);
            ASSERT_LE(debris.size(), signal == SIGKILL ? 1u : 0u);
            for (const std::string& name : debris) {
                EXPECT_TRUE(isTempOf(name, "out.res")) << name;
                std::filesystem::remove(dir.path() / name);
            }
            break;
        }
    }
    EXPECT_EQ(killedMidWrite, 2) << "kelbo-compile always finished before it could be killed";

    // The next run, not killed, replaces the output in full.
    ProcessResult r =
        runProcess({KELBO_COMPILE_EXE, "--16", dir.file("huge.kbp"), dir.file("out.res")});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_GT(std::filesystem::file_size(dir.path() / "out.res"), 200u * 1024 * 1024);
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledCompilation,
                         ::testing::Values(SIGKILL, SIGINT, SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(sigabbrev_np(info.param));
                         });

} // namespace
} // namespace kelbo::test
