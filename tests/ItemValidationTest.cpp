#include <gtest/gtest.h>

#include "messages/ErrorCodes.h"
#include "shell/ItemValidation.h"

namespace kelbo {
namespace {

auto exists = [](const std::string& path) { return path == "C:\\PIC.BMP" || path == "/d/a.bmp"; };

TEST(FileItemCheck, BuildsTheLineFromIdentifierFolderAndName) {
    ItemCheck root = checkFileItem("  12 ", "C:\\", "PIC.BMP", exists, PathStyle::Windows);
    EXPECT_TRUE(root.ok());
    EXPECT_EQ(root.line, "  12 \tC:\\PIC.BMP");
    EXPECT_EQ(checkFileItem(" ", "/d", "a.bmp", exists, PathStyle::Posix).line, " \t/d/a.bmp");
}

TEST(FileItemCheck, RefusesInTheDialogsOrder) {
    EXPECT_EQ(checkFileItem("", "/d", "*.BMP", exists, PathStyle::Posix).errorCode, kNoIdentifier);
    EXPECT_EQ(checkFileItem("x", "/d", "*.ICO", exists, PathStyle::Posix).errorCode, kBadFileName);
    // A name chosen in one folder, then another folder shown at OK.
    EXPECT_EQ(checkFileItem("x", "/e", "a.bmp", exists, PathStyle::Posix).errorCode, kBadFileName);
}

TEST(StringIdentifierConversion, OrdinaryNumericConversion) {
    EXPECT_EQ(convertIdentifier(" 100 "), 100);
    EXPECT_EQ(convertIdentifier("-5"), -5);
    EXPECT_EQ(convertIdentifier("+7"), 7);
    EXPECT_EQ(convertIdentifier("1.5"), 2);
    EXPECT_EQ(convertIdentifier("2.5"), 2);
    EXPECT_EQ(convertIdentifier("2.51"), 3);
    EXPECT_EQ(convertIdentifier("-2.5"), -2);
    EXPECT_EQ(convertIdentifier(".5"), 0);
    EXPECT_EQ(convertIdentifier("3."), 3);
    EXPECT_EQ(convertIdentifier("2147483647"), 2147483647);
    EXPECT_EQ(convertIdentifier("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "   ", "abc", "1 2", "99999999999", "2147483648", "-", ".", "1e3",
                            "--1", "2147483647.5"})
        EXPECT_FALSE(convertIdentifier(bad)) << bad;
}

TEST(StringItemCheck, CodesTwoFourFiveAndTheStoredLine) {
    EXPECT_EQ(checkStringItem("", "t").errorCode, kNoIdentifier);
    EXPECT_EQ(checkStringItem("   ", "t").errorCode, kStringIdOnlyNumber);
    EXPECT_EQ(checkStringItem("abc", "t").errorCode, kStringIdOnlyNumber);
    EXPECT_EQ(checkStringItem("99999999999", "t").errorCode, kStringIdOnlyNumber);
    EXPECT_EQ(checkStringItem("32768", "t").errorCode, kIdentifierTooLarge);
    ItemCheck ok = checkStringItem(" 007 ", " text\twith tab ");
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.line, "007\t text\twith tab ");
    EXPECT_EQ(checkStringItem("32767", "").line, "32767\t");
    EXPECT_TRUE(checkStringItem("-5", "x").ok());
}

TEST(EditedLine, SplitsAtTheFirstTab) {
    EditedParts parts = splitEditedLine("1\ta\tb");
    EXPECT_EQ(parts.identifier, "1");
    EXPECT_EQ(parts.rest, "a\tb");
    EditedParts noTab = splitEditedLine("whole");
    EXPECT_EQ(noTab.identifier, "whole");
    EXPECT_EQ(noTab.rest, "");
}

} // namespace
} // namespace kelbo
