#include <gtest/gtest.h>

#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {
namespace {

struct Checked {
    std::int16_t result;
    std::vector<std::string> lines;
};

Checked check(const Project& p, const std::string& before = "") {
    CompileLog log;
    log.setText(before);
    std::int16_t r = CheckIdentifiers(p, log);
    return {r, log.lines()};
}

Project withLines(ResourceKind kind, std::initializer_list<const char*> lines) {
    Project p;
    for (const char* line : lines)
        p.append(kind, line);
    return p;
}

const std::string kLimitLine = "Identificator must be a positive Integer <32767";

TEST(CheckIdentifiers, PassReplacesTheWholeLog) {
    Project p = withLines(ResourceKind::Bitmap, {"32767\t/a", "0042\t/b", "logo\t/c"});
    p.append(ResourceKind::Icon, "100\t/i"); // the same number in another kind is fine
    p.append(ResourceKind::String, "100\ttext");
    Checked c = check(p, "old text");
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"Identificators = OK", ""}));
}

TEST(CheckIdentifiers, NumberAboveTheLimitIsTooLarge) {
    for (const char* id : {"32768", "99999999999999999999"}) {
        std::string line = std::string(id) + "\t/pic.bmp";
        Checked c = check(withLines(ResourceKind::Wave, {"1\t/ok", line.c_str()}), "kept");
        EXPECT_EQ(c.result, kNotANumber);
        EXPECT_EQ(c.lines, (std::vector<std::string>{"kept", "*** ERROR ***", line,
                                                     "Identificator too large", "", kLimitLine}));
    }
}

TEST(CheckIdentifiers, ZeroByteInAFileItemNameIsRefused) {
    std::string line("A\0B\t/pic.bmp", 10);
    Project p;
    p.append(ResourceKind::Icon, line);
    Checked c = check(p);
    EXPECT_EQ(c.result, kNotANumber);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", line,
                                                 "Identificator with a zero character"}));
    Project strings;
    strings.append(ResourceKind::String, std::string("1\ttext\0with zero", 17));
    EXPECT_EQ(check(strings).result, 0);
}

TEST(CheckIdentifiers, EmptyFileIdentifierCountsAsZero) {
    EXPECT_EQ(check(withLines(ResourceKind::Bitmap, {"  \t/a"})).result, 0);
}

TEST(CheckIdentifiers, IdentifiersTheWritersWouldMergeAreDuplicates) {
    const std::pair<const char*, const char*> twins[] = {
        {"logo", "LOGO"}, {"12", "012"}, {" 12", "12"}, {"my pic", " MY PIC "}, {"0", " "}};
    for (auto [a, b] : twins) {
        std::string la = std::string(a) + "\t/a", lb = std::string(b) + "\t/b";
        Checked c = check(withLines(ResourceKind::Icon, {la.c_str(), lb.c_str()}));
        EXPECT_EQ(c.result, kNotANumber) << a << " / " << b;
        EXPECT_EQ(c.lines,
                  (std::vector<std::string>{"", "*** ERROR ***", "Same Identificators", la, lb}));
    }
    EXPECT_EQ(check(withLines(ResourceKind::Icon, {"12\t/a", "+12\t/b", "1 2\t/c"})).result, 0);
}

TEST(CheckIdentifiers, ReportsTheEarliestLineThatHasATwinAndItsFirstTwin) {
    Checked c =
        check(withLines(ResourceKind::Bitmap, {"Y\t/1", "X\t/2", "Y\t/3", "X\t/4", "Y\t/5"}));
    EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", "Same Identificators",
                                                 "Y\t/1", "Y\t/3"}));
    c = check(withLines(ResourceKind::Bitmap, {"X\t/1", "Y\t/2", "X\t/3"}));
    EXPECT_EQ(c.lines[3], "X\t/1");
    EXPECT_EQ(c.lines[4], "X\t/3");
}

TEST(CheckIdentifiers, KindsAreCheckedInOrderEachRangeBeforeDuplicates) {
    Project p = withLines(ResourceKind::Bitmap, {"40000\t/a", "A\t/b", "A\t/c"});
    EXPECT_EQ(check(p).lines[3], "Identificator too large");
    Project q = withLines(ResourceKind::Bitmap, {"A\t/b", "A\t/c"});
    q.append(ResourceKind::Icon, "40000\t/i");
    EXPECT_EQ(check(q).lines[2], "Same Identificators");
}

TEST(CheckIdentifiers, StringIdentifierMustBeAWholeNumberInRange) {
    for (const char* id : {"-5", "1.5", "abc", "   ", "", "+40000", "0x10"}) {
        std::string line = std::string(id) + "\ttext";
        Checked c = check(withLines(ResourceKind::String, {line.c_str()}));
        EXPECT_EQ(c.result, kNotANumber) << '"' << id << '"';
        EXPECT_EQ(c.lines,
                  (std::vector<std::string>{"", "*** ERROR ***", line,
                                            "String Identificator: Only a number", "", kLimitLine}))
            << id;
    }
    Checked big = check(withLines(ResourceKind::String, {"32768\tx"}));
    EXPECT_EQ(big.lines[3], "Identificator too large");
    EXPECT_EQ(check(withLines(ResourceKind::String, {"+7\tx", " 32767 \ty", "0\tz"})).result, 0);
}

TEST(CheckIdentifiers, StringsWithTheSameNumberAreDuplicates) {
    Checked c = check(withLines(ResourceKind::String, {"7\tA", "+07\tB"}));
    EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", "Same Identificators", "7\tA",
                                                 "+07\tB"}));
}

TEST(CheckIdentifiers, LargeKindsAreAcceptedWithoutLimit) {
    Project p;
    for (int i = 0; i < 32767; ++i) {
        p.append(ResourceKind::String, std::to_string(i) + "\ts");
        p.append(ResourceKind::Bitmap, "B" + std::to_string(i) + "\t/b");
    }
    EXPECT_EQ(check(p).result, 0);
    p.append(ResourceKind::Bitmap, "b32766\t/again");
    Checked c = check(p);
    EXPECT_EQ(c.lines[3], "B32766\t/b");
    EXPECT_EQ(CountItems(p), 2 * 32767 + 1);
}

} // namespace
} // namespace kelbo

namespace kelbo {
namespace {

TEST(CheckIdentifiers, DataTypesAreNamesOrUnreservedNumbers) {
    for (const char* type : {"CUSTOM", " custom ", "7", "300", "32767", "WAVE2"}) {
        Project p;
        p.append(ResourceKind::Data, std::string("1\t") + type + "\t/d.bin");
        EXPECT_EQ(check(p).result, 0) << type;
    }
    struct Bad {
        std::string line;
        std::string problem;
    };
    const Bad bad[] = {
        {"1\t/d.bin", "Custom resource without a type"},
        {"1", "Custom resource without a type"},
        {"1\t \t/d.bin", "Custom resource without a type"},
        {"1\t0\t/d.bin", "Resource type must be a name or a whole number from 1 to 32767"},
        {"1\t32768\t/d.bin", "Resource type must be a name or a whole number from 1 to 32767"},
        {"1\t24\t/d.bin", "Resource type reserved for Kelbo's own kinds: 24"},
        {"1\t0014\t/d.bin", "Resource type reserved for Kelbo's own kinds: 14"},
        {std::string("1\tA\0B\t/d.bin", 12), "Resource type with a zero character"},
    };
    for (const Bad& b : bad) {
        Project p;
        p.append(ResourceKind::Data, b.line);
        Checked c = check(p);
        EXPECT_EQ(c.result, kNotANumber) << b.line;
        EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", b.line, b.problem}));
    }
}

TEST(CheckIdentifiers, TwinsAreFoundAcrossKindsOfTheSameType) {
    // A DATA item of the named type WAVE is a wave resource too.
    Project p;
    p.append(ResourceKind::Wave, "ding\t/a.wav");
    p.append(ResourceKind::Data, "DING\twave\t/b.bin");
    Checked c = check(p);
    EXPECT_EQ(c.result, kNotANumber);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", "Same Identificators",
                                                 "ding\t/a.wav", "DING\twave\t/b.bin"}));
    // DATA twins need the same type and name; numbers compare by value.
    Project data;
    data.append(ResourceKind::Data, "5\tCUSTOM\t/a");
    data.append(ResourceKind::Data, "5\tOTHER\t/b");
    data.append(ResourceKind::Data, "5\t7\t/c");
    data.append(ResourceKind::Cursor, "5\t/c.cur");
    data.append(ResourceKind::Icon, "5\t/i.ico");
    EXPECT_EQ(check(data).result, 0);
    data.append(ResourceKind::Data, "005\t07\t/d");
    c = check(data);
    EXPECT_EQ(c.result, kNotANumber);
    EXPECT_EQ(c.lines, (std::vector<std::string>{"", "*** ERROR ***", "Same Identificators",
                                                 "5\t7\t/c", "005\t07\t/d"}));
    // Cursors follow the file items' rules.
    Project cursors;
    cursors.append(ResourceKind::Cursor, "HAND\t/a.cur");
    cursors.append(ResourceKind::Cursor, "hand \t/b.cur");
    EXPECT_EQ(check(cursors).result, kNotANumber);
    // Manifest and version lines carry no identifier.
    Project keys;
    keys.append(ResourceKind::Manifest, "controls=6");
    keys.append(ResourceKind::Manifest, "controls=6");
    keys.append(ResourceKind::Version, "FileVersion=1");
    EXPECT_EQ(check(keys).result, 0);
}

} // namespace
} // namespace kelbo
