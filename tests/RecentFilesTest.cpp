#include <gtest/gtest.h>

#include "projectfile/RecentFiles.h"
#include "tests/TestSupport.h"

namespace kelbo {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

class RecentFiles : public ::testing::Test {
protected:
    TempDir dir;
    std::string cfg = dir.file("kbplast.cfg");
    std::string error;
};

TEST_F(RecentFiles, MissingOrEmptyFileMeansNone) {
    EXPECT_TRUE(readRecentFiles(cfg).empty());
    writeFile(cfg, "");
    EXPECT_TRUE(readRecentFiles(cfg).empty());
}

TEST_F(RecentFiles, FirstSaveCreatesTheFileLowerCasedOnWindows) {
    ASSERT_TRUE(
        RememberFile(cfg, "C:\\WORK\\DEMO.KBP", error, nativeFileSystem(), PathStyle::Windows));
    EXPECT_EQ(readFile(cfg), "c:\\work\\demo.kbp\r\n");
    ASSERT_TRUE(RememberFile(cfg, "/Work/Demo.KBP", error, nativeFileSystem(), PathStyle::Posix));
    EXPECT_EQ(readRecentFiles(cfg),
              (std::vector<std::string>{"/Work/Demo.KBP", "c:\\work\\demo.kbp"}));
}

TEST_F(RecentFiles, KeepsTheNewestFiveAndRepeats) {
    for (int i = 1; i <= 6; ++i)
        ASSERT_TRUE(RememberFile(cfg, "/p" + std::to_string(i), error));
    EXPECT_EQ(readFile(cfg), "/p6\r\n/p5\r\n/p4\r\n/p3\r\n/p2\r\n");
    ASSERT_TRUE(RememberFile(cfg, "/p2", error));
    ASSERT_TRUE(RememberFile(cfg, "/p2", error));
    EXPECT_EQ(readRecentFiles(cfg), (std::vector<std::string>{"/p2", "/p2", "/p6", "/p5", "/p4"}));
}

TEST_F(RecentFiles, HandEditedFilesAreReadSensibly) {
    writeFile(cfg, "/a\n\r\n/b\r\n/c\r\n/d\r\n/e\r\n/f\r\n/g");
    EXPECT_EQ(readRecentFiles(cfg), (std::vector<std::string>{"/a", "/b", "/c", "/d", "/e"}));
}

TEST_F(RecentFiles, Windows1252WhileEveryPathFitsElseUtf8AfterAByteOrderMark) {
    const std::string bom = "\xEF\xBB\xBF";
    // Each step remembers a path; the file then holds exactly these bytes.
    const struct {
        const char* path;
        PathStyle style;
        std::string file;
    } steps[] = {
        {"C:\\ÉTÉ\\€.KBP", PathStyle::Windows, "c:\\\xE9t\xE9\\\x80.kbp\r\n"},
        {"/home/u/Проект.kbp", PathStyle::Posix, bom + "/home/u/Проект.kbp\r\nc:\\été\\€.kbp\r\n"},
        {"/srv/项目 😀.kbp", PathStyle::Posix,
         bom + "/srv/项目 😀.kbp\r\n/home/u/Проект.kbp\r\nc:\\été\\€.kbp\r\n"},
        {"/a", PathStyle::Posix,
         bom + "/a\r\n/srv/项目 😀.kbp\r\n/home/u/Проект.kbp\r\nc:\\été\\€.kbp\r\n"},
        {"/b", PathStyle::Posix,
         bom + "/b\r\n/a\r\n/srv/项目 😀.kbp\r\n/home/u/Проект.kbp\r\nc:\\été\\€.kbp\r\n"},
        {"/c", PathStyle::Posix,
         bom + "/c\r\n/b\r\n/a\r\n/srv/项目 😀.kbp\r\n/home/u/Проект.kbp\r\n"},
        {"/d", PathStyle::Posix, bom + "/d\r\n/c\r\n/b\r\n/a\r\n/srv/项目 😀.kbp\r\n"},
        // The last path outside Windows-1252 has left the list.
        {"/é", PathStyle::Posix, "/\xE9\r\n/d\r\n/c\r\n/b\r\n/a\r\n"},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(RememberFile(cfg, step.path, error, nativeFileSystem(), step.style)) << error;
        EXPECT_EQ(readFile(cfg), step.file) << step.path;
        EXPECT_EQ(readRecentFiles(cfg).front(), recentFileForm(step.path, step.style));
    }
}

TEST_F(RecentFiles, EitherEncodingIsReadAsUtf8) {
    const struct {
        std::string file;
        std::vector<std::string> paths;
    } cases[] = {
        {"/caf\xE9\r\n/\x80\x81\r\n", {"/café", "/€\xC2\x81"}},
        {"\xEF\xBB\xBF/café\r\n/Проект\r\n", {"/café", "/Проект"}},
        // A line that is not UTF-8 in a UTF-8 list names no file that could be opened.
        {"\xEF\xBB\xBF/a\r\n/\xE9\r\n/b", {"/a", "/b"}},
        // A byte-order mark only counts at the start; elsewhere it is Windows-1252 text.
        {"/a\r\n\xEF\xBB\xBF/b\r\n", {"/a", "ï»¿/b"}},
        {"\xEF\xBB\xBF", {}},
    };
    for (const auto& c : cases) {
        writeFile(cfg, c.file);
        EXPECT_EQ(readRecentFiles(cfg), c.paths) << c.file;
    }
}

TEST_F(RecentFiles, UnwritableFileIsReported) {
    std::string inMissing = dir.file("file-not-folder");
    writeFile(inMissing, "x");
    EXPECT_FALSE(RememberFile(inMissing + "/kbplast.cfg", "/p", error));
    EXPECT_NE(error.find("kbplast.cfg"), std::string::npos);
}

TEST_F(RecentFiles, LivesBesideTheProgramUnlessThatCannotBeWritten) {
    EXPECT_EQ(recentFilesLocation("/opt/k", true, "/x", "/home/u", PathStyle::Posix),
              "/opt/k/kbplast.cfg");
    EXPECT_EQ(recentFilesLocation("/usr/bin", false, "/cfg", "/home/u", PathStyle::Posix),
              "/cfg/kelbo/kbplast.cfg");
    EXPECT_EQ(recentFilesLocation("/usr/bin", false, "", "/home/u", PathStyle::Posix),
              "/home/u/.config/kelbo/kbplast.cfg");
    EXPECT_EQ(recentFilesLocation("C:\\KELBO\\", true, "", "", PathStyle::Windows),
              "C:\\KELBO\\kbplast.cfg");
    // Written into a configuration folder that does not exist yet.
    std::string nested = dir.file("config/kelbo/kbplast.cfg");
    ASSERT_TRUE(RememberFile(nested, "/p", error)) << error;
    EXPECT_EQ(readRecentFiles(nested), std::vector<std::string>{"/p"});
    EXPECT_EQ(recentFilesLocation(dir.path().string()), dir.file("kbplast.cfg"));
}

#ifndef _WIN32
TEST_F(RecentFiles, AnInstalledProgramKeepsTheListInTheConfigurationFolder) {
    // PREFIX/bin beside PREFIX/share/applications/kelbo.desktop, in a folder this user can write.
    std::string bin = dir.file("prefix/bin");
    ASSERT_TRUE(makeDirectories(bin));
    EXPECT_FALSE(isInstalledProgram(bin));
    EXPECT_EQ(recentFilesLocation(bin), joinPath(bin, "kbplast.cfg"));
    ASSERT_TRUE(makeDirectories(dir.file("prefix/share/applications")));
    writeFile(dir.file("prefix/share/applications/kelbo.desktop"), "[Desktop Entry]\n");
    EXPECT_TRUE(isInstalledProgram(bin));
    const std::string former = environmentValue("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", dir.file("cfg").c_str(), 1);
    EXPECT_EQ(recentFilesLocation(bin), dir.file("cfg/kelbo/kbplast.cfg"));
    if (former.empty())
        ::unsetenv("XDG_CONFIG_HOME");
    else
        ::setenv("XDG_CONFIG_HOME", former.c_str(), 1);
}
#endif

TEST(RecentCaptions, NumberPrefixIsDroppedToGetThePath) {
    EXPECT_EQ(recentItemCaption(1, "c:\\work\\demo.kbp"), "&1 c:\\work\\demo.kbp");
    EXPECT_EQ(recentItemCaption(5, "/x"), "&5 /x");
    EXPECT_EQ(pathFromRecentCaption(recentItemCaption(3, "/a b/c")), "/a b/c");
}

} // namespace
} // namespace kelbo
