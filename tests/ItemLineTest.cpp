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

TEST(ItemLine, UpperCasingKeepsWindows1252PairsAndMapsOtherScripts) {
    const std::pair<const char*, const char*> cases[] = {
        // à é š œ ž ÿ become À É Š Œ Ž Ÿ; ß, µ and ÷ stay, as they did in Windows-1252.
        {"àéšœžÿ\t/x", "ÀÉŠŒŽŸ"},
        {"ßµ÷\t/x", "ßµ÷"},
        // Cyrillic, Greek, Latin Extended and Armenian take Unicode's simple upper case.
        {" мой_файл \t/x", "МОЙ_ФАЙЛ"},
        {"ωλπ ąę ő\t/x", "ΩΛΠ ĄĘ Ő"},
        {"ա\t/x", "Ա"},
        // No case (Chinese, past U+FFFF), and no fold into ASCII (dotless i, long s).
        {"图标😀ıſ\t/x", "图标😀ıſ"},
    };
    for (auto [line, id] : cases)
        EXPECT_EQ(GetItemId(line), id) << line;
    // Bytes that are not UTF-8 are kept as they are.
    EXPECT_EQ(GetItemId(std::string("a\xFF") + "b"), std::string("A\xFF") + "B");
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

TEST(ItemLine, WidenTextIsUtf16WithSurrogatePairs) {
    EXPECT_EQ(WidenText("AB"), std::string("A\0B\0", 4));
    EXPECT_EQ(WidenText(""), "");
    EXPECT_EQ(WidenText("€™é"), std::string("\xAC\x20\x22\x21\xE9\x00", 6));
    EXPECT_EQ(WidenText("Ж中"), std::string("\x16\x04\x2D\x4E", 4));
    EXPECT_EQ(WidenText("😀"), std::string("\x3D\xD8\x00\xDE", 4));
    // A stray byte becomes U+FFFD rather than vanishing.
    EXPECT_EQ(WidenText("\xE9"), std::string("\xFD\xFF", 2));
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
