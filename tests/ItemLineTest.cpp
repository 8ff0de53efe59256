#include <gtest/gtest.h>

#include "platform/Cp1252.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {
namespace {

TEST(ItemLine, IdentifierIsCutUpperCasedThenTrimmed) {
    EXPECT_EQ(GetItemId(" my pic \tC:\\PICS\\A.BMP"), "MY PIC");
    EXPECT_EQ(GetItemSource(" my pic \tC:\\PICS\\A.BMP"), "C:\\PICS\\A.BMP");
    // Only spaces are trimmed; other white space is part of the identifier.
    EXPECT_EQ(GetItemId("\x0Bid\t/x"), "\x0BID");
    EXPECT_EQ(GetItemId("\tsource"), "");
}

TEST(ItemLine, SourceKeepsCaseAndEverythingAfterTheFirstTab) {
    EXPECT_EQ(GetItemSource("12\t  Hello  "), "Hello");
    EXPECT_EQ(GetItemId("a\tb\tc"), "A");
    EXPECT_EQ(GetItemSource("a\tb\tc"), "b\tc");
    EXPECT_EQ(itemTailText("a\t b\tc "), " b\tc ");
}

TEST(ItemLine, LineWithoutTabIsAllIdentifier) {
    EXPECT_EQ(GetItemId("lonely"), "LONELY");
    EXPECT_EQ(GetItemSource("lonely"), "");
}

TEST(ItemLine, UpperCasingFollowsWindows1252) {
    // à é š œ ž ÿ become À É Š Œ Ž Ÿ; ß, µ and the multiplication sign's partner stay.
    EXPECT_EQ(GetItemId("\xE0\xE9\x9A\x9C\x9E\xFF\t/x"), "\xC0\xC9\x8A\x8C\x8E\x9F");
    EXPECT_EQ(GetItemId("\xDF\xB5\xF7\t/x"), "\xDF\xB5\xF7");
    EXPECT_EQ(cp1252ToLower("\xC0\x8A\x9FZ"), "\xE0\x9A\xFFz");
}

TEST(ItemLine, TestNumberTrimsTheCallersTextAndJudgesDigits) {
    std::string text = " 0042 ";
    EXPECT_EQ(TestNumber(text), 0);
    EXPECT_EQ(text, "0042");
    std::string empty;
    EXPECT_EQ(TestNumber(empty), 0);
    for (std::string bad : {"-5", "+5", "1.5", "1 2", "ICON1", "\t1"}) {
        std::string copy = bad;
        EXPECT_EQ(TestNumber(copy), kNotANumber) << bad;
    }
}

TEST(ItemLine, DigitsValueStopsBeforeOverflow) {
    EXPECT_EQ(digitsValue("007"), 7);
    EXPECT_EQ(digitsValue("32767"), 32767);
    EXPECT_EQ(digitsValue("32768"), -1);
    EXPECT_EQ(digitsValue("99999999999999999999999999"), -1);
}

TEST(ItemLine, WidenTextGoesThroughWindows1252) {
    EXPECT_EQ(WidenText("AB"), std::string("A\0B\0", 4));
    EXPECT_EQ(WidenText(""), "");
    // € is 0x80 in Windows-1252 and U+20AC in UTF-16; ™ is 0x99 / U+2122; é is 0xE9 / U+00E9.
    EXPECT_EQ(WidenText("\x80\x99\xE9"), std::string("\xAC\x20\x22\x21\xE9\x00", 6));
}

TEST(ItemLine, PadToFour) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 0}, {1, 3},  {2, 2}, {3, 1},
                                                             {4, 0}, {34, 2}, {62, 2}};
    for (auto [n, pad] : cases)
        EXPECT_EQ(PadToFour(n), pad) << n;
}

TEST(CompileLog, LineBreakGoesBeforeEachLine) {
    CompileLog log;
    log.AddLogLine("[BITMAP] = OK");
    EXPECT_EQ(log.text(), "\r\n[BITMAP] = OK");
    log.AddLogLine("[ICON] = OK");
    EXPECT_EQ(log.text(), "\r\n[BITMAP] = OK\r\n[ICON] = OK");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"", "[BITMAP] = OK", "[ICON] = OK"}));
    EXPECT_FALSE(log.succeeded());
    // Only the writer's own closing line counts, not an item line that reads the same.
    log.AddLogLine("Compilation : SuccessFull");
    EXPECT_FALSE(log.succeeded());
    log.AddSuccessLine();
    EXPECT_TRUE(log.succeeded());
    EXPECT_EQ(log.lines().back(), "Compilation : SuccessFull");
    log.AddLogLine("*** ERROR ***");
    EXPECT_FALSE(log.succeeded());
}

TEST(Cp1252, RoundTripsEveryByteThroughUtf8AndUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
}

TEST(Cp1252, ReportsTheFirstCharacterItCannotHold) {
    char32_t bad = 0;
    EXPECT_FALSE(utf8ToCp1252("ok \xE2\x82\xAC \xCE\xA9", &bad)); // € fits, Ω does not
    EXPECT_EQ(bad, U'\u03A9');
    EXPECT_FALSE(utf16ToCp1252(u"a\U0001F600", &bad));
    EXPECT_EQ(bad, U'\U0001F600');
    EXPECT_FALSE(utf8ToCp1252("\xC3", &bad)); // cut in the middle of a character
    EXPECT_EQ(bad, U'\uFFFD');
}

} // namespace
} // namespace kelbo
