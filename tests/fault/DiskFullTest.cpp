// A disk that really fills up: a small tmpfs mounted for the test (skipped where mounting is
// not allowed), and a file-size limit on kelbo-compile, which fails writes the same way on any
// machine. The former files survive and nothing is left beside them.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "projectfile/ProjectFile.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/ResCompiler.h"
#include "tests/support/Samples.h"
#include "tests/support/Subprocess.h"

namespace kelbo::test {
namespace {

const std::string kFormerRes = "FORMER RES ON A SMALL DISK";
const std::string kFormerKbp = projectBytes({{}, {}, {"1\tformer"}, {}});

// Fills `dir` until at most `leave` bytes are free.
void fillDisk(const std::filesystem::path& dir, std::uint64_t leave) {
    int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    std::string block(4096, 'f');
    for (;;) {
        struct statvfs st {};
        ASSERT_EQ(::statvfs(dir.c_str(), &st), 0);
        if (std::uint64_t{st.f_bavail} * st.f_frsize <= leave)
            break;
        if (::write(fd, block.data(), block.size()) <= 0)
            break;
    }
    ::close(fd);
}

class SmallDisk : public ::testing::Test {
protected:
    void SetUp() override {
        disk = outside.path() / "disk";
        std::filesystem::create_directory(disk);
        if (::mount("tmpfs", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=512k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        writeFile(disk / "demo.kbp", kFormerKbp);
        writeFile(disk / "demo.res", kFormerRes);
        writeFile(outside.path() / "big.wav", sampleWave(2'000'001));
        project.append(ResourceKind::String, "1\t" + std::string(200, 's'));
        project.append(ResourceKind::Wave, "7\t" + outside.file("big.wav"));
    }
    void TearDown() override {
        if (mounted)
            ::umount2(disk.c_str(), MNT_DETACH);
    }
    std::set<std::string> onDisk() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(disk))
            names.insert(e.path().filename().string());
        return names;
    }

    ScratchDir outside;
    std::filesystem::path disk;
    bool mounted = false;
    Project project;
};

TEST_F(SmallDisk, SavingOntoAFullDiskKeepsTheFormerProject) {
    // Full from the start (the flush before the rename fails), and full part-way through.
    for (std::uint64_t leave : {std::uint64_t{0}, std::uint64_t{8192}}) {
        SCOPED_TRACE("free bytes left: " + std::to_string(leave));
        fillDisk(disk, leave);
        Project big;
        for (int i = 0; i < 40; ++i)
            big.append(ResourceKind::String, std::to_string(i) + "\t" + std::string(1000, 'x'));
        const std::string path = (disk / "demo.kbp").string();
        std::string error;
        EXPECT_FALSE(saveProjectFile(path, big, error));
        EXPECT_EQ(error, path + ": No space left on device");
        EXPECT_EQ(readFile(disk / "demo.kbp"), kFormerKbp);
        EXPECT_EQ(onDisk(), (std::set<std::string>{"demo.kbp", "demo.res", "filler"}));
        std::filesystem::remove(disk / "filler");
    }
}

TEST_F(SmallDisk, CompilingOntoAFullDiskKeepsTheFormerRes) {
    const std::string res = (disk / "demo.res").string();
    for (int bits : {32, 16}) {
        CompileLog log;
        EXPECT_EQ(runCompilation(project, bits, res, log), CompileOutcome::WriteError);
        EXPECT_EQ(log.lines().back(), "Cannot write " + res + " : No space left on device");
        EXPECT_FALSE(log.succeeded());
        EXPECT_EQ(readFile(res), kFormerRes);
        EXPECT_EQ(onDisk(), (std::set<std::string>{"demo.kbp", "demo.res"}));
    }
}

TEST_F(SmallDisk, KelboCompileReportsAFullDisk) {
    fillDisk(disk, 64 * 1024);
    const std::string kbp = outside.file("big.kbp");
    std::string error;
    ASSERT_TRUE(saveProjectFile(kbp, project, error)) << error;
    const std::string res = (disk / "demo.res").string();
    for (const char* mode : {"--32", "--16"}) {
        ProcessResult r = runProcess({KELBO_COMPILE_EXE, mode, kbp, res});
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.out.find("*** ERROR ***\nCannot write " + res + " : No space left on device"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("Compilation : SuccessFull"), std::string::npos);
        EXPECT_EQ(readFile(res), kFormerRes);
        EXPECT_EQ(onDisk(), (std::set<std::string>{"demo.kbp", "demo.res", "filler"}));
    }
}

// RLIMIT_FSIZE makes write() fail with EFBIG once a file would grow past the limit.
TEST(FileSizeLimit, KelboCompileStopsCleanlyWhenWritesFail) {
    ScratchDir dir;
    writeFile(dir.path() / "big.wav", sampleWave(3'000'000));
    writeFile(dir.path() / "demo.res", kFormerRes);
    Project project;
    project.append(ResourceKind::Wave, "1\t" + dir.file("big.wav"));
    std::string error;
    ASSERT_TRUE(saveProjectFile(dir.file("big.kbp"), project, error)) << error;
    const std::set<std::string> before = dir.entries();
    for (const char* mode : {"--32", "--16"}) {
        ProcessResult r =
            runProcess({KELBO_COMPILE_EXE, mode, dir.file("big.kbp"), dir.file("demo.res")}, {},
                       std::chrono::minutes(1), [] {
                           std::signal(SIGXFSZ, SIG_IGN);
                           struct rlimit limit {
                               1'000'000, 1'000'000
                           };
                           ::setrlimit(RLIMIT_FSIZE, &limit);
                       });
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(
            r.out.find("*** ERROR ***\nCannot write " + dir.file("demo.res") + " : File too large"),
            std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("Compilation : SuccessFull"), std::string::npos);
        EXPECT_EQ(readFile(dir.path() / "demo.res"), kFormerRes);
        EXPECT_EQ(dir.entries(), before);
    }
}

} // namespace
} // namespace kelbo::test
