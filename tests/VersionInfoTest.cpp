#include <gtest/gtest.h>

#include "rescompiler/BlockBuilder.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/VersionInfo.h"
#include "tests/TestSupport.h"

namespace kelbo {
namespace {

using test::get16;
using test::get32;

TEST(BlockBuilder, NestedLengthsLeaveOutTrailingPadding) {
    BlockBuilder b;
    BlockBuilder::Block outer = b.openBlock();
    b.u8(0xAA);
    b.align4();
    BlockBuilder::Block inner = b.openBlock();
    b.u32(0x11223344);
    b.closeBlock(inner);
    b.bytes("x");
    b.closeBlock(outer);
    b.align4();
    EXPECT_EQ(b.data(), std::string("\x0B\x00\xAA\x00\x06\x00\x44\x33\x22\x11x\x00", 12));
    EXPECT_FALSE(b.overflowed());

    BlockBuilder big;
    BlockBuilder::Block block = big.openBlock();
    big.zeros(0x10000);
    big.closeBlock(block);
    EXPECT_TRUE(big.overflowed());
}

struct BadCase {
    std::vector<std::string> lines;
    std::string culprit; // the line the problem names
    std::string text;    // part of the problem's text
};

TEST(VersionLines, EachBadLineIsNamedWithItsProblem) {
    const BadCase cases[] = {
        {{"Foo=1"}, "Foo=1", "Unknown version key: Foo"},
        {{"File Version=1"}, "File Version=1", "Unknown version key"},
        {{"FileVersion=1.2.3.65536"}, "FileVersion=1.2.3.65536", "65536 is over 65535"},
        {{"ProductVersion=99999999999999999999999"}, "", "is over 65535"},
        {{"FileVersion=1.x"}, "FileVersion=1.x", "\"x\" is not a number"},
        {{"FileVersion=1..2"}, "", "\"\" is not a number"},
        {{"FileVersion="}, "", "not a number"},
        {{"FileVersion=1,2,3,4"}, "", "not a number"},
        {{"FileVersion=1.2.3.4.5"}, "", "FileVersion: more than 4 parts"},
        {{"Language=409"}, "", "Language must be 4 hex digits"},
        {{"Language=04G9"}, "", "Language must be 4 hex digits"},
        {{"CodePage=65536"}, "", "CodePage must be a whole number"},
        {{"CodePage=-1"}, "", "CodePage must be a whole number"},
        {{"FileType=exe"}, "", "FileType must be app, dll or a number"},
        {{"FileFlags=0x1G"}, "", "FileFlags must be a number up to 0xFFFFFFFF"},
        {{"FileOS=4294967296"}, "", "FileOS must be a number"},
        {{"FileSubtype="}, "", "FileSubtype must be a number"},
        {{"FileDate=0x10000000000000000"}, "", "FileDate must be a number of up to 16 hex"},
        {{"FileVersionNumber=1.0 beta"}, "", "FileVersionNumber: part \"0 beta\" is not a number"},
        // Without a number key of its own, the string must still spell the number.
        {{"ProductVersionNumber=1", "FileVersion=1.0 beta"}, "", "\"0 beta\" is not a number"},
        {{"CompanyName"}, "CompanyName", "key=value expected"},
        {{std::string("CompanyName=a\0b", 15)}, "", "zero character"},
        {{"CompanyName=A", "Language=0407", "companyname=B"},
         "companyname=B",
         "twice: CompanyName"},
        {{"FileVersion=1", "FILEVERSION=2"}, "FILEVERSION=2", "twice"},
        // The first bad line is the one reported.
        {{"Comments=ok", "Bad=1", "FileType=exe"}, "Bad=1", "Unknown version key"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.lines.back());
        VersionProblem problem;
        EXPECT_FALSE(parseVersionLines(c.lines, problem));
        EXPECT_NE(problem.text.find(c.text), std::string::npos) << problem.text;
        EXPECT_EQ(problem.line, c.culprit.empty() ? c.lines.back() : c.culprit);
        // The resource refuses the same lines the same way, in both forms.
        for (int bits : {16, 32}) {
            VersionProblem again;
            EXPECT_FALSE(buildVersionResource(c.lines, bits, again));
            EXPECT_EQ(again.text, problem.text);
        }
    }
}

TEST(VersionLines, KeysIgnoreCaseAndSpacesAroundKeysAndValuesGo) {
    VersionProblem problem;
    auto s = parseVersionLines({"  companyname  =  Acme Ltd ", "FILEVERSION=1.2", "filetype=DLL",
                                "language=0c0a", "Codepage= 1200", "Comments=a=b",
                                "productVersion=0.0.0.65535"},
                               problem);
    ASSERT_TRUE(s) << problem.text;
    EXPECT_EQ(s->fileVersion, (VersionNumber{1, 2, 0, 0}));
    EXPECT_EQ(s->productVersion, (VersionNumber{0, 0, 0, 65535}));
    EXPECT_TRUE(s->dll);
    EXPECT_EQ(s->language, 0x0C0A);
    EXPECT_EQ(s->codePage, 1200);
    EXPECT_EQ(stringTableName(*s), "0C0A04B0");
    // Canonical keys, in the order typed; the version strings as typed.
    const std::vector<VersionString> strings = {{"CompanyName", "Acme Ltd"},
                                                {"FileVersion", "1.2"},
                                                {"Comments", "a=b"},
                                                {"ProductVersion", "0.0.0.65535"}};
    EXPECT_EQ(s->strings, strings);

    auto defaults = parseVersionLines({}, problem);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(*defaults, VersionSettings{});
    EXPECT_FALSE(defaults->dll);
    EXPECT_EQ(stringTableName(*defaults), "040904E4");
}

TEST(VersionLines, CanonicalLinesParseBackToTheSameSettings) {
    VersionProblem problem;
    const std::vector<Project::Lines> inputs = {
        {},
        {"FileType=app", "Language=0409", "CodePage=1252"},
        {"legalcopyright=\xC2\xA9 2026", "FileType=dll", "ProductVersion=3", "CodePage=0",
         "Language=ffff", "SpecialBuild="},
        // The fixed fields apart, and version strings as any text (or none).
        {"FileVersion=1, 0, 0, 1 \xD0\xB1\xD0\xB5\xD1\x82\xD0\xB0", "filetype=7",
         "FileVersionNumber=1.0.0.1", "ProductVersionNumber=2", "FileFlagsMask=63",
         "FileFlags=0x2b", "FileOS=4", "FileSubtype=0x10", "FileDate=0x1D0000000000002"},
    };
    for (const Project::Lines& lines : inputs) {
        auto s = parseVersionLines(lines, problem);
        ASSERT_TRUE(s) << problem.text;
        auto back = parseVersionLines(versionLines(*s), problem);
        ASSERT_TRUE(back) << problem.line << ": " << problem.text;
        EXPECT_EQ(*back, *s);
    }
    EXPECT_EQ(versionLines(*parseVersionLines({"filetype=app", "language=0409"}, problem)),
              Project::Lines{});
    // Values of the defaults write nothing; others are written in one spelling.
    EXPECT_EQ(versionLines(*parseVersionLines(
                  {"FileFlagsMask=0x3F", "FileOS=0x40004", "FileFlags=43", "FileType=2"}, problem)),
              (Project::Lines{"FileType=dll", "FileFlags=0x2B", "FileOS=0x40004"}));

    // Settings made in a window: a fixed version without a string of its own gets one.
    VersionSettings edited;
    edited.fileVersion = {4, 0, 1, 2};
    edited.language = 0x0407;
    edited.strings = {{"ProductName", "Demo"}};
    EXPECT_EQ(versionLines(edited),
              (Project::Lines{"Language=0407", "FileVersion=4.0.1.2", "ProductName=Demo"}));
}

void put16(std::string& b, std::uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
void put32(std::string& b, std::uint32_t v) {
    put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}

// The Windows 3.x VERSIONINFO of two strings in the order typed, laid out by hand from the
// documented structure: length, value length, one-byte key and terminator, zeros to a four-byte
// boundary, the value.
TEST(VersionInfo16, MatchesTheDocumentedLayout) {
    std::string want;
    put16(want, 188); // VS_VERSION_INFO: everything
    put16(want, 52);
    want += std::string("VS_VERSION_INFO\0", 16); // ends at 20
    for (std::uint32_t v :
         {0xFEEF04BDu, 0x00010000u, 0x00010002u, 0u, 0u, 0u, 0x3Fu, 0u, 1u, 1u, 0u, 0u, 0u})
        put32(want, v); // ends at 72
    put16(want, 80);    // StringFileInfo, 72 to 152
    put16(want, 0);
    want += std::string("StringFileInfo\0\0", 16); // one byte of padding
    put16(want, 60);                               // the table, 92 to 152
    put16(want, 0);
    want += std::string("040904E4\0\0\0\0", 12);
    put16(want, 21); // 108 to 129
    put16(want, 5);
    want += std::string("CompanyName\0Acm\xE9\0\0\0\0", 20); // one byte per character
    put16(want, 20);                                         // 132 to 152
    put16(want, 4);
    want += std::string("FileVersion\0"
                        "1.2\0",
                        16);
    put16(want, 36); // VarFileInfo, 152 to 188
    put16(want, 0);
    want += std::string("VarFileInfo\0", 12);
    put16(want, 20);
    put16(want, 4);
    want += std::string("Translation\0", 12);
    put16(want, 0x0409);
    put16(want, 1252);

    VersionProblem problem;
    auto got = buildVersionResource({"CompanyName=Acm\xE9", "FileVersion=1.2"}, 16, problem);
    ASSERT_TRUE(got) << problem.text;
    EXPECT_EQ(*got, want);
}

// Where the fixed info starts: after the root's header and key, at a four-byte boundary.
constexpr std::size_t kFixed32 = 40; // 6 + "VS_VERSION_INFO" in UTF-16 (32) + 2
constexpr std::size_t kFixed16 = 20; // 4 + 16

TEST(VersionInfo, BothFormsAgreeOnTheFixedInfoButTheSystem) {
    const Project::Lines lines = {"FileVersion=1.2.3.4", "ProductVersion=65535.1", "FileType=dll",
                                  "ProductName=Caf\xE9"};
    VersionProblem problem;
    auto settings = parseVersionLines(lines, problem);
    ASSERT_TRUE(settings);
    const std::string v32 = buildVersionInfo32(*settings);
    const std::string v16 = buildVersionInfo16(*settings);
    EXPECT_EQ(get16(v32, 2), 52);
    EXPECT_EQ(get16(v16, 2), 52);
    const std::string f32 = v32.substr(kFixed32, 52);
    const std::string f16 = v16.substr(kFixed16, 52);
    EXPECT_EQ(get32(f32, 0), 0xFEEF04BDu);
    EXPECT_EQ(get32(f32, 8), 0x00010002u);
    EXPECT_EQ(get32(f32, 12), 0x00030004u);
    EXPECT_EQ(get32(f32, 16), 0xFFFF0001u);
    EXPECT_EQ(get32(f32, 36), 2u); // a DLL
    EXPECT_EQ(get32(f32, 32), 0x40004u);
    EXPECT_EQ(get32(f16, 32), 0x1u);
    EXPECT_EQ(f32.substr(0, 32), f16.substr(0, 32));
    EXPECT_EQ(f32.substr(36), f16.substr(36));
}

// Each fixed field where VS_FIXEDFILEINFO keeps it; the strings as written, not the numbers.
TEST(VersionInfo, FixedFieldsAndFreeStringsGoWhereTheyBelong) {
    const Project::Lines lines = {"FileVersionNumber=1.2.3.4",
                                  "FileVersion=1.0 beta",
                                  "FileFlagsMask=0x17",
                                  "FileFlags=0x2",
                                  "FileOS=0x4",
                                  "FileType=3",
                                  "FileSubtype=7",
                                  "FileDate=0x0000000100000002"};
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        VersionProblem problem;
        auto data = buildVersionResource(lines, bits, problem);
        ASSERT_TRUE(data) << problem.text;
        const std::string f = data->substr(bits == 32 ? kFixed32 : kFixed16, 52);
        EXPECT_EQ(get32(f, 8), 0x00010002u);
        EXPECT_EQ(get32(f, 12), 0x00030004u);
        const std::uint32_t want[] = {0x17, 0x2, 0x4, 3, 7, 1, 2};
        for (std::size_t i = 0; i < std::size(want); ++i)
            EXPECT_EQ(get32(f, 24 + 4 * i), want[i]) << "field " << i;
        const std::string text = bits == 32 ? WidenText("1.0 beta") : "1.0 beta";
        EXPECT_NE(data->find(text), std::string::npos);
    }
}

TEST(VersionInfo, DataBeyondTheLengthWordIsRefused) {
    // Two long values: too much for the 32-bit form's UTF-16, not for the 16-bit form.
    const Project::Lines lines = {"Comments=" + std::string(20000, 'c'),
                                  "ProductName=" + std::string(20000, 'p')};
    VersionProblem problem;
    EXPECT_FALSE(buildVersionResource(lines, 32, problem));
    EXPECT_NE(problem.text.find("too large"), std::string::npos);
    EXPECT_TRUE(problem.line.empty());
    auto small = buildVersionResource(lines, 16, problem);
    ASSERT_TRUE(small);
    EXPECT_EQ(get16(*small, 0), small->size());
}

} // namespace
} // namespace kelbo
