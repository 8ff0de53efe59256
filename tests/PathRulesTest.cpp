#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace kelbo {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

TEST(PathRules, DirectoryIsEverythingBeforeTheLastSeparator) {
    EXPECT_EQ(directoryOf("C:\\WORK\\DEMO.KBP", W), "C:\\WORK");
    EXPECT_EQ(directoryOf("C:\\PIC.KBP", W), "C:");
    EXPECT_EQ(directoryOf("\\\\server\\share\\a.kbp", W), "\\\\server\\share");
    EXPECT_EQ(directoryOf("C:/work/a.kbp", W), "C:/work");
    EXPECT_EQ(directoryOf("bare.kbp", W), "");
    EXPECT_EQ(directoryOf("/home/u/a.kbp", P), "/home/u");
    EXPECT_EQ(directoryOf("/a.kbp", P), "/");
    // A backslash is an ordinary character in a POSIX file name.
    EXPECT_EQ(directoryOf("/x/odd\\name.kbp", P), "/x");
    EXPECT_EQ(fileNameOf("C:\\DIR\\PIC.BMP", W), "PIC.BMP");
    EXPECT_EQ(fileNameOf("/x/odd\\name", P), "odd\\name");
}

TEST(PathRules, JoiningAddsOneSeparatorOnlyWhenNeeded) {
    EXPECT_EQ(joinPath("C:\\", "PIC.BMP", W), "C:\\PIC.BMP");
    EXPECT_EQ(joinPath("C:", "PIC.BMP", W), "C:\\PIC.BMP");
    EXPECT_EQ(joinPath("C:\\DIR", "PIC.BMP", W), "C:\\DIR\\PIC.BMP");
    EXPECT_EQ(joinPath("/", "pic.bmp", P), "/pic.bmp");
    EXPECT_EQ(joinPath("/srv/pics", "pic.bmp", P), "/srv/pics/pic.bmp");
    EXPECT_EQ(folderForBrowsing("C:", W), "C:\\");
    EXPECT_EQ(folderForBrowsing("C:\\DIR", W), "C:\\DIR");
}

TEST(PathRules, ItemPathSplitsIntoFolderAndName) {
    FolderAndName root = splitItemPath("C:\\PIC.BMP", "D:\\FALLBACK", W);
    EXPECT_EQ(root.folder, "C:\\");
    EXPECT_EQ(root.name, "PIC.BMP");
    FolderAndName deep = splitItemPath("C:\\A\\B\\X.ICO", "", W);
    EXPECT_EQ(deep.folder, "C:\\A\\B");
    EXPECT_EQ(deep.name, "X.ICO");
    FolderAndName bare = splitItemPath("lonely.wav", "/fallback", P);
    EXPECT_EQ(bare.folder, "/fallback");
    EXPECT_EQ(bare.name, "lonely.wav");
    EXPECT_EQ(splitItemPath("/pic.bmp", "", P).folder, "/");
}

TEST(PathRules, BareNamesAreTakenInTheCurrentFolder) {
    EXPECT_EQ(resolveBareName("demo.kbp", "/home/u", P), "/home/u/demo.kbp");
    EXPECT_EQ(resolveBareName("sub/demo.kbp", "/home/u", P), "sub/demo.kbp");
    EXPECT_EQ(resolveBareName("DEMO.KBP", "C:\\WORK", W), "C:\\WORK\\DEMO.KBP");
    EXPECT_EQ(resolveBareName("C:DEMO.KBP", "D:\\", W), "C:DEMO.KBP");
    EXPECT_EQ(resolveBareName("", "/x", P), "");
}

TEST(PathRules, RecentPathsAreLowerCasedOnlyWhereCaseIsIgnored) {
    const struct {
        const char* path;
        PathStyle style;
        const char* expected;
    } cases[] = {
        {"C:\\WORK\\DEMO.KBP", W, "c:\\work\\demo.kbp"},
        // Windows-1252's own pairs, the three above 0x7F included.
        {"C:\\ÉTÉ\\ŠŒŸ.KBP", W, "c:\\été\\šœÿ.kbp"},
        // Cyrillic, Greek (Σ to σ, not the final ς) and Latin Extended-A.
        {"D:\\ПРОЕКТЫ\\ЀЉ.KBP", W, "d:\\проекты\\ѐљ.kbp"},
        {"D:\\ΣΩ\\ĀŁ.KBP", W, "d:\\σω\\āł.kbp"},
        // No case: Chinese, an emoji past U+FFFF; invalid UTF-8 is kept as it is.
        {"E:\\项目\\😀.KBP", W, "e:\\项目\\😀.kbp"},
        {"E:\\\xFF\xC3.KBP", W, "e:\\\xFF\xC3.kbp"},
        {"/Home/Ü/ПРОЕКТ.KBP", P, "/Home/Ü/ПРОЕКТ.KBP"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recentFileForm(c.path, c.style), c.expected) << c.path;
}

#ifndef _WIN32
TEST(PathRules, ArgumentsAreTakenAsUtf8) {
    const struct {
        std::vector<std::string> argv;
        bool ok;
    } cases[] = {
        {{"kelbo-compile", "/p/Проект 项目 😀.kbp", "café.res"}, true},
        // Bytes that no UTF-8 path can hold: the Windows-1252 é of an older shell.
        {{"kelbo-compile", "ok.kbp", "/p/caf\xE9.res"}, false},
        {{"kelbo-compile", "/p/\xC3(.kbp"}, false},
    };
    for (const auto& c : cases) {
        std::vector<char*> argv;
        for (const std::string& a : c.argv)
            argv.push_back(const_cast<char*>(a.c_str()));
        std::vector<std::string> args;
        std::string bad;
        EXPECT_EQ(commandLineArguments(static_cast<int>(argv.size()), argv.data(), args, bad), c.ok)
            << c.argv[1];
        if (c.ok)
            EXPECT_EQ(args, std::vector<std::string>(c.argv.begin() + 1, c.argv.end()));
        else
            EXPECT_EQ(bad, c.argv.back());
    }
}
#endif

} // namespace
} // namespace kelbo
