// Saving and compiling on a disk that fails: every write in turn, the flush, the rename, the
// creation of the temporary file, and reads of the sources. Whatever fails, the former file is
// byte for byte as it was, nothing is left beside it, and the message names file and reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "project/Project.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/ResCompiler.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

int faultsInjected = 0;

// A folder holding the sources of a project that compiles, a former project file and a former
// .RES; the wave is large enough that a compilation takes several writes.
class FailingDisk : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.path() / "logo.bmp", sampleBitmap(8, 8));
        writeFile(dir.path() / "app.ico", sampleIcon({40, 68, 100}));
        writeFile(dir.path() / "long.wav", sampleWave(3'500'003));
        project.append(ResourceKind::Bitmap, "1\t" + dir.file("logo.bmp"));
        project.append(ResourceKind::Bitmap, "logo\t" + dir.file("logo.bmp"));
        project.append(ResourceKind::Icon, "APP\t" + dir.file("app.ico"));
        project.append(ResourceKind::String, "1\tHello");
        project.append(ResourceKind::String, "17\tWorld");
        project.append(ResourceKind::Wave, "7\t" + dir.file("long.wav"));
        writeFile(kbpPath(), formerKbp);
        writeFile(resPath(), formerRes);
        before = dir.entries();
    }

    static void TearDownTestSuite() {
        std::cout << "[ faults   ] " << faultsInjected << " faults injected, nothing lost\n";
    }

    std::string kbpPath() const { return dir.file("demo.kbp"); }
    std::string resPath() const { return dir.file("demo.res"); }

    // The output faults a run of `writes` write calls can meet.
    static std::vector<FaultPlan> outputFaults(int writes) {
        std::vector<FaultPlan> plans;
        for (int n = 1; n <= writes; ++n) {
            for (std::size_t partial : {std::size_t{0}, std::size_t{1}, std::size_t{5000}}) {
                FaultPlan p;
                p.failWriteAt = n;
                p.partialBytes = partial;
                plans.push_back(p);
            }
        }
        FaultPlan flush;
        flush.failFlush = true;
        flush.reason = "Input/output error";
        FaultPlan rename;
        rename.failRename = true;
        rename.reason = "Device or resource busy";
        FaultPlan create;
        create.failCreate = true;
        create.reason = "Read-only file system";
        plans.insert(plans.end(), {flush, rename, create});
        return plans;
    }

    ScratchDir dir;
    Project project;
    const std::string formerKbp = projectBytes({{"9\t/old/one.bmp"}, {}, {"5\tformer"}, {}});
    const std::string formerRes = std::string("FORMER RES, KEPT BYTE FOR BYTE") + '\0' + "\xff";
    std::set<std::string> before;
};

TEST_F(FailingDisk, SavingAProjectLosesNothingWhateverFails) {
    for (const FaultPlan& plan : outputFaults(1)) {
        SCOPED_TRACE("write " + std::to_string(plan.failWriteAt) + " partial " +
                     std::to_string(plan.partialBytes) + " flush " +
                     std::to_string(plan.failFlush) + " rename " + std::to_string(plan.failRename) +
                     " create " + std::to_string(plan.failCreate));
        FaultyFileSystem fs(nativeFileSystem(), plan);
        std::string error;
        EXPECT_FALSE(saveProjectFile(kbpPath(), project, error, fs));
        EXPECT_TRUE(fs.fired());
        ++faultsInjected;
        EXPECT_EQ(readFile(kbpPath()), formerKbp);
        EXPECT_EQ(dir.entries(), before);
        EXPECT_NE(error.find(kbpPath()), std::string::npos) << error;
        EXPECT_NE(error.find(plan.reason), std::string::npos) << error;
    }
    // The same layer without faults saves: the failures above were the injected ones.
    FaultyFileSystem clean(nativeFileSystem(), {});
    std::string error;
    ASSERT_TRUE(saveProjectFile(kbpPath(), project, error, clean)) << error;
    EXPECT_EQ(decodeProject(readFile(kbpPath())), project);
    EXPECT_EQ(dir.entries(), before);
}

TEST_F(FailingDisk, AFailedSaveLeavesTheRecentFilesAlone) {
    const std::string cfg = dir.file("kbplast.cfg");
    const std::string formerCfg = "/old/a.kbp\r\n/old/b.kbp\r\n";
    writeFile(cfg, formerCfg);
    Session session;
    session.project = project;
    FaultPlan plan;
    plan.failWriteAt = 1;
    FaultyFileSystem fs(nativeFileSystem(), plan);
    std::string error;
    EXPECT_FALSE(SaveRC(session, kbpPath(), cfg, error, fs, PathStyle::Posix));
    ++faultsInjected;
    EXPECT_EQ(readFile(cfg), formerCfg);
    EXPECT_EQ(readFile(kbpPath()), formerKbp);
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
}

TEST_F(FailingDisk, AProjectThatCannotBeReadWholeIsNotLoaded) {
    std::string error;
    ASSERT_TRUE(saveProjectFile(kbpPath(), project, error)) << error;
    const std::string bytes = readFile(kbpPath());
    std::vector<FaultPlan> plans;
    FaultPlan first;
    first.failReadAt = 1;
    plans.push_back(first);
    for (std::uint64_t readable : {std::uint64_t{0}, std::uint64_t{9}, bytes.size() - 1}) {
        FaultPlan p;
        p.readableBytes = readable;
        plans.push_back(p);
    }
    for (const FaultPlan& plan : plans) {
        Session session;
        session.project.append(ResourceKind::String, "3\tkept");
        session.ProjectPath = kbpPath();
        const Project kept = session.project;
        FaultyFileSystem fs(nativeFileSystem(), plan);
        EXPECT_FALSE(LoadRC(session, kbpPath(), fs));
        EXPECT_TRUE(fs.fired());
        ++faultsInjected;
        EXPECT_EQ(session.project, kept);
        EXPECT_TRUE(session.ProjectPath.empty());
    }
}

TEST_F(FailingDisk, ACompilationLosesNothingWhateverWriteFails) {
    for (int bits : {32, 16}) {
        // A clean run first, to learn how many writes there are to fail.
        FaultyFileSystem counting(nativeFileSystem(), {});
        CompileLog cleanLog;
        const std::string scratchRes = dir.file("count.res");
        ASSERT_EQ(runCompilation(project, bits, scratchRes, cleanLog, counting),
                  CompileOutcome::Success)
            << cleanLog.text();
        std::filesystem::remove(scratchRes);
        ASSERT_GE(counting.writes(), 3) << "the wave should take several writes";

        for (const FaultPlan& plan : outputFaults(counting.writes())) {
            SCOPED_TRACE(std::to_string(bits) + " bits, write " + std::to_string(plan.failWriteAt) +
                         " partial " + std::to_string(plan.partialBytes) + ", reason " +
                         plan.reason);
            FaultyFileSystem fs(nativeFileSystem(), plan);
            CompileLog log;
            EXPECT_EQ(runCompilation(project, bits, resPath(), log, fs),
                      CompileOutcome::WriteError);
            EXPECT_TRUE(fs.fired());
            ++faultsInjected;
            const std::vector<std::string> lines = log.lines();
            EXPECT_FALSE(log.succeeded());
            EXPECT_EQ(log.text().find(logtext::kSuccess), std::string::npos);
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[lines.size() - 2], logtext::kError) << log.text();
            EXPECT_EQ(lines.back(), "Cannot write " + resPath() + " : " + plan.reason);
            EXPECT_EQ(readFile(resPath()), formerRes);
            EXPECT_EQ(dir.entries(), before);
        }
    }
}

TEST_F(FailingDisk, ASourceThatCannotBeReadStopsTheCompilation) {
    for (int bits : {32, 16}) {
        FaultyFileSystem counting(nativeFileSystem(), {});
        CompileLog cleanLog;
        const std::string scratchRes = dir.file("count.res");
        ASSERT_EQ(runCompilation(project, bits, scratchRes, cleanLog, counting),
                  CompileOutcome::Success);
        std::filesystem::remove(scratchRes);

        std::vector<FaultPlan> plans;
        for (int n = 1; n <= counting.reads(); ++n) {
            FaultPlan p;
            p.failReadAt = n;
            plans.push_back(p);
        }
        // A source that shrank while the compilation ran: reads near its end fail.
        FaultPlan shrank;
        shrank.readableBytes = 2'000'000;
        plans.push_back(shrank);

        for (const FaultPlan& plan : plans) {
            SCOPED_TRACE(std::to_string(bits) + " bits, read " + std::to_string(plan.failReadAt));
            FaultyFileSystem fs(nativeFileSystem(), plan);
            CompileLog log;
            EXPECT_EQ(runCompilation(project, bits, resPath(), log, fs),
                      CompileOutcome::WriteError);
            ++faultsInjected;
            const std::vector<std::string> lines = log.lines();
            EXPECT_FALSE(log.succeeded());
            ASSERT_GE(lines.size(), 3u);
            // The error, the item whose source failed, and the problem.
            EXPECT_EQ(lines[lines.size() - 3], logtext::kError) << log.text();
            const std::string& item = lines[lines.size() - 2];
            bool isItem = false;
            for (ResourceKind kind : kAllKinds)
                for (const std::string& line : project.lines(kind))
                    isItem = isItem || line == item;
            EXPECT_TRUE(isItem) << item;
            EXPECT_FALSE(lines.back().empty());
            EXPECT_EQ(readFile(resPath()), formerRes);
            EXPECT_EQ(dir.entries(), before);
        }
    }
}

TEST_F(FailingDisk, AFolderWhereTheOutputShouldBeIsLeftAlone) {
    // A real rename failure: a file cannot replace a folder.
    const std::string target = dir.file("taken.res");
    std::filesystem::create_directory(target);
    writeFile(std::filesystem::path(target) / "inside.txt", "inside");
    before = dir.entries();
    for (int bits : {32, 16}) {
        CompileLog log;
        EXPECT_EQ(runCompilation(project, bits, target, log), CompileOutcome::WriteError);
        ++faultsInjected;
        ASSERT_FALSE(log.lines().empty());
        EXPECT_EQ(log.lines().back().rfind("Cannot write " + target + " : ", 0), 0u) << log.text();
        EXPECT_FALSE(log.succeeded());
        EXPECT_EQ(dir.entries(), before);
        EXPECT_EQ(readFile(std::filesystem::path(target) / "inside.txt"), "inside");
    }
    std::string error;
    EXPECT_FALSE(saveProjectFile(target, project, error));
    ++faultsInjected;
    EXPECT_EQ(error.rfind(target + ": ", 0), 0u) << error;
    EXPECT_EQ(dir.entries(), before);
}

TEST_F(FailingDisk, AnOutputInAMissingFolderIsReported) {
    const std::string target = dir.file("no-such-folder/out.res");
    CompileLog log;
    EXPECT_EQ(runCompilation(project, 32, target, log), CompileOutcome::WriteError);
    ++faultsInjected;
    EXPECT_EQ(log.lines().back(), "Cannot write " + target + " : No such file or directory");
    std::string error;
    EXPECT_FALSE(saveProjectFile(target, project, error));
    EXPECT_EQ(error, target + ": No such file or directory");
    EXPECT_EQ(dir.entries(), before);
}

} // namespace
} // namespace kelbo::test
