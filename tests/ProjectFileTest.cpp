#include <gtest/gtest.h>

#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "tests/TestSupport.h"

namespace kelbo {
namespace {

using test::projectBytes;
using test::readFile;
using test::TempDir;
using test::writeFile;

Project sampleProject() {
    Project p;
    p.append(ResourceKind::Bitmap, "logo\t/pics/logo.bmp");
    p.append(ResourceKind::Bitmap, "");
    p.append(ResourceKind::Icon, "1\t/pics/app.ico");
    p.append(ResourceKind::String, "1\tHello\tWorld ");
    p.append(ResourceKind::Wave, "no tab here");
    return p;
}

TEST(ProjectFile, EmptyProjectIsSignatureAndFourZeroCounts) {
    std::string error;
    EXPECT_EQ(encodeProject(Project{}, error), std::string("KELBO200\0\0\0\0\0\0\0\0", 16));
}

TEST(ProjectFile, OneStringItemGivesTheDocumentedBytes) {
    Project p;
    p.append(ResourceKind::String, "1\tHello");
    std::string error;
    std::string expected("KELBO200\0\0\0\0\x01\0\x07\0"
                         "1\tHello\0\0",
                         25);
    EXPECT_EQ(encodeProject(p, error), expected);
    EXPECT_EQ(decodeProject(expected), p);
}

TEST(ProjectFile, RoundTripKeepsEveryLineAsItIs) {
    std::string error;
    std::optional<std::string> bytes = encodeProject(sampleProject(), error);
    ASSERT_TRUE(bytes);
    std::optional<Project> back = decodeProject(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, sampleProject());
    EXPECT_EQ(encodeProject(*back, error), bytes);
}

TEST(ProjectFile, TrailingBytesAreIgnored) {
    std::string bytes = projectBytes({{"a\tb"}, {}, {}, {}}) + "garbage";
    std::optional<Project> p = decodeProject(bytes);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->lines(ResourceKind::Bitmap), Project::Lines{"a\tb"});
}

TEST(ProjectFile, DamagedFilesAreRefusedWhole) {
    const std::string good = projectBytes({{"a\tb", "c\td"}, {"1\tx"}, {"1\thi"}, {"w\t/w"}});
    ASSERT_TRUE(decodeProject(good));
    // Every truncation of a valid file, down to nothing, is refused.
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(decodeProject(good.substr(0, n))) << "cut at " << n;
    EXPECT_FALSE(decodeProject("kelbo200" + good.substr(8)));
    EXPECT_FALSE(decodeProject("KELBO201" + good.substr(8)));
    // A negative count or length.
    std::string negativeCount = good;
    negativeCount[9] = '\xFF';
    EXPECT_FALSE(decodeProject(negativeCount));
    std::string negativeLength = good;
    negativeLength[11] = '\x80';
    EXPECT_FALSE(decodeProject(negativeLength));
    // A count far beyond what the file holds.
    EXPECT_FALSE(decodeProject(std::string("KELBO200\xFF\x7F", 10) + std::string(10, '\0')));
}

// The extension block: "KELBOEXT", then per kind in use its tag, count and line records.
std::string records(std::initializer_list<std::string> lines) {
    std::string out;
    auto put16 = [&](std::size_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    put16(lines.size());
    for (const std::string& line : lines) {
        put16(line.size());
        out += line;
    }
    return out;
}

TEST(ProjectFile, NewKindsFollowTheWaveSectionInTheExtensionBlock) {
    Project p;
    p.append(ResourceKind::String, "1\tHello");
    p.append(ResourceKind::Version, "FileVersion=1.2");
    p.append(ResourceKind::Cursor, "arrow\t/c/arrow.cur");
    p.append(ResourceKind::Data, "7\tCUSTOM\t/d/blob.bin");
    p.append(ResourceKind::Data, "8\t300\t/d/other.bin");
    std::string error;
    const std::string original = projectBytes({{}, {}, {"1\tHello"}, {}});
    const std::string expected = original + "KELBOEXT" + "CURS" + records({"arrow\t/c/arrow.cur"}) +
                                 "DATA" +
                                 records({"7\tCUSTOM\t/d/blob.bin", "8\t300\t/d/other.bin"}) +
                                 "VERS" + records({"FileVersion=1.2"});
    EXPECT_EQ(encodeProject(p, error), expected);
    EXPECT_EQ(decodeProject(expected), p);
    // Only the new kinds in use: the original four sections are still there, empty.
    Project manifestOnly;
    manifestOnly.append(ResourceKind::Manifest, "controls=6");
    std::optional<std::string> bytes = encodeProject(manifestOnly, error);
    EXPECT_EQ(bytes,
              projectBytes({{}, {}, {}, {}}) + "KELBOEXT" + "MANI" + records({"controls=6"}));
    EXPECT_EQ(decodeProject(*bytes), manifestOnly);
}

TEST(ProjectFile, DamagedExtensionBlocksAreRefusedWhole) {
    const std::string base = projectBytes({{"a\tb"}, {}, {}, {}}) + "KELBOEXT";
    const std::string curs = "CURS" + records({"c\t/c.cur"});
    const std::string data = "DATA" + records({"d\tT\t/d"});
    ASSERT_TRUE(decodeProject(base + curs + data));
    ASSERT_TRUE(decodeProject(base)); // announced but empty: nothing to lose
    const std::string bad[] = {
        base + "XXXX" + records({"x"}),                    // unknown tag
        base + data + curs,                                // out of order
        base + curs + curs,                                // twice
        base + "CURS" + std::string("\xFF\xFF", 2),        // negative count
        base + "CURS" + std::string("\0\0", 2),            // empty section
        base + "CURS" + std::string("\x01\0\x09\0c\t", 6), // truncated record
        base + curs + "DAT",                               // truncated tag
        base + "BITM" + records({"b\t/b"}),                // an original kind is no tag
    };
    for (const std::string& bytes : bad)
        EXPECT_FALSE(decodeProject(bytes)) << bytes.substr(base.size());
    // Bytes after the WAVE section that do not announce the block are still ignored.
    EXPECT_TRUE(decodeProject(projectBytes({{"a\tb"}, {}, {}, {}}) + "KELBOEX"));
}

TEST(ProjectFile, OriginalKindsAloneAreWrittenWithoutTheBlock) {
    std::string error;
    std::optional<std::string> bytes = encodeProject(sampleProject(), error);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->find("KELBOEXT"), std::string::npos);
    EXPECT_EQ(*bytes, projectBytes({{"logo\t/pics/logo.bmp", ""},
                                    {"1\t/pics/app.ico"},
                                    {"1\tHello\tWorld "},
                                    {"no tab here"}}));
}

TEST(ProjectFile, ProjectTheFormatCannotHoldIsRefusedBeforeWriting) {
    TempDir dir;
    std::string path = dir.file("big.kbp");
    writeFile(path, "former");
    Project tooLong;
    tooLong.append(ResourceKind::String, "1\t" + std::string(kMaxLineLength, 'x'));
    std::string error;
    EXPECT_FALSE(saveProjectFile(path, tooLong, error));
    EXPECT_NE(error.find(path), std::string::npos);
    Project tooMany;
    for (int i = 0; i <= kMaxLinesPerKind; ++i)
        tooMany.append(ResourceKind::Icon, "x");
    EXPECT_FALSE(saveProjectFile(path, tooMany, error));
    EXPECT_EQ(readFile(path), "former");
    Project justFits;
    justFits.append(ResourceKind::String, std::string(kMaxLineLength, 'y'));
    EXPECT_TRUE(saveProjectFile(path, justFits, error)) << error;
    EXPECT_EQ(loadProjectFile(path), justFits);
}

TEST(ProjectFile, SavingOverALongerFileLeavesExactlyTheNewContent) {
    TempDir dir;
    std::string path = dir.file("p.kbp");
    writeFile(path, std::string(1000, 'z'));
    std::string error;
    ASSERT_TRUE(saveProjectFile(path, Project{}, error));
    EXPECT_EQ(readFile(path).size(), 16u);
    // Nothing but the project file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ProjectFile, FailedSaveKeepsTheFormerFileAndSaysWhy) {
    TempDir dir;
    std::string path = dir.file("missing-folder/p.kbp");
    std::string error;
    EXPECT_FALSE(saveProjectFile(path, sampleProject(), error));
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

class ProjectCommands : public ::testing::Test {
protected:
    TempDir dir;
    Session session;
    std::string recent = dir.file("kbplast.cfg");
};

TEST_F(ProjectCommands, DirectLoadTakesPathFolderAndClearsChanged) {
    std::string path = dir.file("demo.kbp");
    writeFile(path, projectBytes({{"a\tb"}, {}, {"1\tx"}, {}}));
    session.ProjectChanged = true;
    EXPECT_EQ(DirectLoad(session, path), LoadOutcome::Loaded);
    EXPECT_EQ(session.ProjectPath, path);
    EXPECT_EQ(session.ProjectDir, dir.path().string());
    EXPECT_FALSE(session.ProjectChanged);
    EXPECT_EQ(session.project.count(ResourceKind::String), 1);
    EXPECT_EQ(DirectLoad(session, ""), LoadOutcome::NothingToLoad);
    EXPECT_EQ(session.ProjectPath, path);
}

TEST_F(ProjectCommands, InvalidFileKeepsTheListsAndUntitlesTheProject) {
    session.project.append(ResourceKind::Wave, "keep\tme");
    session.ProjectChanged = true;
    for (std::string name : {"bad.kbp", "absent.kbp"}) {
        if (name == "bad.kbp")
            writeFile(dir.file(name), "KELBO100\0\0\0\0\0\0\0\0");
        EXPECT_EQ(DirectLoad(session, dir.file(name)), LoadOutcome::Invalid);
        EXPECT_EQ(session.ProjectPath, "");
        EXPECT_FALSE(session.ProjectChanged);
        EXPECT_EQ(session.project.lines(ResourceKind::Wave), Project::Lines{"keep\tme"});
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.kbp")));
}

TEST_F(ProjectCommands, BareFileNameIsTakenInTheCurrentFolder) {
    writeFile(dir.file("bare.kbp"), projectBytes({{}, {}, {}, {}}));
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    LoadOutcome outcome = DirectLoad(session, "bare.kbp");
    std::filesystem::current_path(before);
    EXPECT_EQ(outcome, LoadOutcome::Loaded);
    EXPECT_EQ(session.ProjectPath, dir.file("bare.kbp"));
    EXPECT_EQ(session.ProjectDir, dir.path().string());
}

TEST_F(ProjectCommands, SaveWritesTheFileThenRemembersIt) {
    session.project = sampleProject();
    std::string path = dir.file("Saved.KBP");
    std::string error;
    ASSERT_TRUE(SaveRC(session, path, recent, error)) << error;
    EXPECT_EQ(loadProjectFile(path), sampleProject());
    EXPECT_EQ(readFile(recent), recentFileForm(path) + "\r\n");
}

TEST_F(ProjectCommands, FailedSaveLeavesTheRecentFilesAlone) {
    writeFile(recent, "/old.kbp\r\n");
    std::string error;
    EXPECT_FALSE(SaveRC(session, dir.file("no/such/folder.kbp"), recent, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(recent), "/old.kbp\r\n");
}

TEST_F(ProjectCommands, NewKeepsTabAndFolder) {
    session.project = sampleProject();
    session.ProjectPath = "/x/y.kbp";
    session.ProjectDir = "/x";
    session.CurrentKind = ResourceKind::Wave;
    session.ProjectChanged = true;
    newProject(session);
    EXPECT_TRUE(session.project.empty());
    EXPECT_EQ(session.ProjectPath, "");
    EXPECT_EQ(session.ProjectDir, "/x");
    EXPECT_EQ(session.CurrentKind, ResourceKind::Wave);
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(ProjectCommands, DialogFolderDefaultsToTheProgramsFolderOnce) {
    session.ExeDir = "/opt/kelbo";
    prepareProjectDialog(session);
    EXPECT_EQ(session.ProjectDir, "/opt/kelbo");
    takeProjectPath(session, "/work/a.kbp", PathStyle::Posix);
    prepareProjectDialog(session);
    EXPECT_EQ(session.ProjectDir, "/work");
    takeProjectPath(session, "C:\\PIC.KBP", PathStyle::Windows);
    EXPECT_EQ(session.ProjectDir, "C:");
}

} // namespace
} // namespace kelbo

namespace kelbo {
namespace {

TEST(SaveRC, RefusesToSaveOverTheRecentFilesList) {
    test::TempDir dir;
    Session session;
    session.project.append(ResourceKind::String, "1\tx");
    std::string recent = dir.file("kbplast.cfg");
    test::writeFile(recent, "/a.kbp\r\n");
    std::string error;
    EXPECT_FALSE(SaveRC(session, recent, recent, error));
    EXPECT_NE(error.find("recent projects"), std::string::npos);
    // Spelled another way, or before the list exists.
    EXPECT_FALSE(SaveRC(session, dir.file("sub/../kbplast.cfg"), recent, error));
    std::filesystem::remove(recent);
    EXPECT_FALSE(SaveRC(session, recent, recent, error));
    EXPECT_FALSE(std::filesystem::exists(recent));
    EXPECT_TRUE(SaveRC(session, dir.file("p.kbp"), recent, error)) << error;
}

} // namespace
} // namespace kelbo
