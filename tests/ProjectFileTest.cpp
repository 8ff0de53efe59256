#include <gtest/gtest.h>

#include "platform/Unicode.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "tests/TestSupport.h"
#include "tests/support/ProjectBuilder.h"

namespace kelbo {
namespace {

using test::ProjectBuilder;
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

// Languages and text: each project, the exact bytes it is written as, and back.
TEST(ProjectFile, LanguagesAndUtf8TextRoundTripInTheirLayout) {
    struct Case {
        const char* what;
        Project project;
        std::string bytes;
    };
    std::vector<Case> cases;
    {
        // Windows-1252 text in language 0000 keeps today's bytes, without the block.
        Project p;
        p.append(ResourceKind::String, "1\tCafé € Ÿ");
        p.append(ResourceKind::Bitmap, "é\tC:\\ÉTÉ\\A.BMP");
        cases.push_back({"Windows-1252", p,
                         ProjectBuilder().original(
                             {{"\xE9\tC:\\\xC9T\xC9\\A.BMP"}, {}, {"1\tCaf\xE9 \x80 \x9F"}, {}})});
    }
    {
        Project p;
        p.append(ResourceKind::String, "1\tHello");
        p.setBaseLanguage(0x0419);
        cases.push_back({"BASE alone", p,
                         ProjectBuilder().original({{}, {}, {"1\tHello"}, {}}).ext().base("0419")});
    }
    {
        // The base's own kinds come before BASE; LANG 0000 is allowed beside another base.
        Project p;
        p.setBaseLanguage(0x0409);
        p.append(ResourceKind::Cursor, "A\t/a.cur");
        p.append(ResourceKind::Version, "FileVersion=1.0");
        p.section(p.addSection(0x0000)).append(ResourceKind::String, "1\tneutral");
        cases.push_back({"BASE and LANG 0000", p,
                         ProjectBuilder()
                             .original()
                             .ext()
                             .section("CURS", {"A\t/a.cur"})
                             .section("VERS", {"FileVersion=1.0"})
                             .base("0409")
                             .lang("0000")
                             .section("STRG", {"1\tneutral"})});
    }
    {
        // Several languages, every kind in its order, and a language not filled yet.
        Project p;
        p.append(ResourceKind::String, "1\tHello");
        LanguageSection& de = p.section(p.addSection(0x0407));
        for (ResourceKind kind : kAllKinds)
            de.append(kind, std::string(kindName(kind)) + "\tx");
        p.addSection(0x040C);
        p.section(p.addSection(0x0C0A)).append(ResourceKind::Wave, "W\t/w.wav");
        cases.push_back({"several sections", p,
                         ProjectBuilder()
                             .original({{}, {}, {"1\tHello"}, {}})
                             .ext()
                             .lang("0407")
                             .section("BITM", {"BITMAP\tx"})
                             .section("ICON", {"ICON\tx"})
                             .section("STRG", {"STRING\tx"})
                             .section("WAVE", {"WAVE\tx"})
                             .section("CURS", {"CURSOR\tx"})
                             .section("DATA", {"DATA\tx"})
                             .section("MANI", {"MANIFEST\tx"})
                             .section("VERS", {"VERSION\tx"})
                             .lang("040C")
                             .lang("0C0A")
                             .section("WAVE", {"W\t/w.wav"})});
    }
    {
        // One character outside Windows-1252 in the last line of the last section puts every
        // line of the file in UTF-8, the first four sections included.
        Project p;
        p.append(ResourceKind::Bitmap, "é\t/é.bmp");
        p.append(ResourceKind::Data, "7\tTÉ\t/d");
        LanguageSection& ru = p.section(p.addSection(0x0419));
        ru.append(ResourceKind::String, "1\tCafé");
        ru.append(ResourceKind::Version, "CompanyName=Кельбо 😀");
        cases.push_back({"TEXT", p,
                         ProjectBuilder()
                             .original({{"é\t/é.bmp"}, {}, {}, {}})
                             .ext()
                             .text()
                             .section("DATA", {"7\tTÉ\t/d"})
                             .lang("0419")
                             .section("STRG", {"1\tCafé"})
                             .section("VERS", {"CompanyName=Кельбо 😀"})});
    }
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_EQ(encodeProject(c.project, error), c.bytes) << error;
        EXPECT_EQ(decodeProject(c.bytes), c.project);
        // The streaming load reads the same.
        writeFile(dir.file("p.kbp"), c.bytes);
        EXPECT_EQ(loadProjectFile(dir.file("p.kbp")), c.project);
    }
}

TEST(ProjectFile, EveryWindows1252ByteComesBackAsItWas) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string bytes = ProjectBuilder().original({{}, {}, {all}, {}});
    std::optional<Project> p = decodeProject(bytes);
    ASSERT_TRUE(p);
    EXPECT_TRUE(isValidUtf8(p->line(ResourceKind::String, 0)));
    EXPECT_EQ(p->line(ResourceKind::String, 0).substr(0x7E, 9), "\x7F€\xC2\x81‚");
    std::string error;
    EXPECT_EQ(encodeProject(*p, error), bytes);
}

TEST(ProjectFile, LenientSpellingsAreRead) {
    const std::string hello = ProjectBuilder().original({{}, {}, {"1\tHi"}, {}}).ext();
    Project lower;
    lower.append(ResourceKind::String, "1\tHi");
    lower.addSection(0x041A);
    // A language in lower case; TEXT where every line would fit Windows-1252; BASE 0000.
    EXPECT_EQ(decodeProject(ProjectBuilder(hello).lang("041a")), lower);
    Project plain;
    plain.append(ResourceKind::String, "1\tHi");
    EXPECT_EQ(decodeProject(ProjectBuilder(hello).text()), plain);
    EXPECT_EQ(decodeProject(ProjectBuilder(hello).base("0000")), plain);
}

TEST(ProjectFile, DamagedLanguageAndTextSectionsAreRefusedWhole) {
    const std::string head = ProjectBuilder().original({{"a\tb"}, {}, {}, {}}).ext();
    auto after = [&] { return ProjectBuilder(head); };
    const std::string strg = ProjectBuilder("").section("STRG", {"1\tx"});
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"TEXT after CURS", after().section("CURS", {"c\t/c"}).text()},
        {"TEXT after LANG", after().lang("0419").text()},
        {"TEXT twice", after().text().text()},
        {"TEXT not UTF-8", after().text("utf-8")},
        {"TEXT of two lines", after().section("TEXT", {"UTF-8", "UTF-8"})},
        {"TEXT of no line", after().section("TEXT", {})},
        {"invalid UTF-8 in a first section",
         ProjectBuilder().original({{"\xE9\tb"}, {}, {}, {}}).ext().text()},
        {"invalid UTF-8 in a language", after().text().lang("0419").section("STRG", {"1\t\xC3("})},
        {"overlong UTF-8", after().text().section("VERS", {"A=\xC0\xAF"})},
        {"surrogate in UTF-8", after().text().section("MANI", {"name=\xED\xA0\x80"})},
        {"short language", after().lang("419")},
        {"long language", after().lang("04190")},
        {"language not hex", after().lang("04G9")},
        {"language with a space", after().lang(" 419")},
        {"BASE not hex", after().base("x419")},
        {"LANG of two lines", after().section("LANG", {"0419", "0407"})},
        {"LANG of no line", after().section("LANG", {})},
        {"language twice", after().lang("0419").lang("0419")},
        {"language twice in other cases", after().lang("041a").lang("041A")},
        {"LANG in the base's language", after().base("0409").lang("0409")},
        {"LANG 0000 beside base 0000", after().lang("0000")},
        {"BASE after LANG", after().lang("0419").base("0409")},
        {"BASE twice", after().base("0409").base("0407")},
        {"CURS after BASE", after().base("0409").section("CURS", {"c\t/c"})},
        {"BITM in the base", after().section("BITM", {"b\t/b"})},
        {"kinds misordered", after().lang("0419").section("WAVE", {"w\t/w"}).raw(strg)},
        {"kind twice", after().lang("0419").raw(strg).raw(strg)},
        {"empty kind", after().lang("0419").section("STRG", {})},
        {"unknown tag", after().lang("0419").section("STRN", {"1\tx"})},
        {"count above its records", after().lang("0419").section("STRG", 2, {"1\tx"})},
        {"record cut", after().lang("0419").raw(strg.substr(0, strg.size() - 1))},
        {"LANG cut", after().raw("LANG\x01")},
        {"tag cut", after().lang("0419").raw("STR")},
    };
    ASSERT_TRUE(decodeProject(after().text().base("0409").lang("0419").raw(strg)));
    TempDir dir;
    for (const auto& c : cases) {
        EXPECT_FALSE(decodeProject(c.bytes)) << c.what;
        writeFile(dir.file("bad.kbp"), c.bytes);
        EXPECT_FALSE(loadProjectFile(dir.file("bad.kbp"))) << c.what;
    }
}

TEST(ProjectFile, LimitsApplyToTheEncodedBytesAndNameTheLanguage) {
    std::string error;
    // 32767 characters of é are 32767 bytes in Windows-1252, twice as many in UTF-8.
    Project p;
    p.append(
        ResourceKind::String, "1\t" + [] {
            std::string s;
            for (int i = 2; i < kMaxLineLength; ++i)
                s += "é";
            return s;
        }());
    EXPECT_TRUE(encodeProject(p, error)) << error;
    LanguageSection& ru = p.section(p.addSection(0x0419));
    ru.append(ResourceKind::String, "1\tПривет");
    EXPECT_FALSE(encodeProject(p, error));
    EXPECT_EQ(error, "A STRING item is longer than 32767 bytes");
    p.base().clear(ResourceKind::String);
    ru.setLines(ResourceKind::Data, Project::Lines(kMaxLinesPerKind + 1, "x"));
    EXPECT_FALSE(encodeProject(p, error));
    EXPECT_EQ(error, "The DATA list of language 0419 holds more than 32767 items");
    ru.clear(ResourceKind::Data);
    ru.append(ResourceKind::Icon, "1\t/\xFF.ico");
    EXPECT_FALSE(encodeProject(p, error));
    EXPECT_EQ(error, "An ICON item of language 0419 is not UTF-8 text");
    // Sections edited around Project's own checks.
    ru.clear(ResourceKind::Icon);
    ru.language = 0x0000;
    EXPECT_FALSE(encodeProject(p, error));
    EXPECT_EQ(error, "Language 0000 appears twice");
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
