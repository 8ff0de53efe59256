// The .RES reader on hand-made files of both layouts, the import's round trip through the
// writers, and the kelbo-res command's interface.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/ResCommand.h"
#include "platform/Cp1252.h"
#include "platform/PathRules.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/Import.h"
#include "resreader/RcExport.h"
#include "resreader/ResFile.h"
#include "tests/TestSupport.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo {
namespace {

using test::le16;
using test::le32;
using test::readFile;
using test::sampleBitmap;
using test::sampleIcon;
using test::sampleWave;
using test::TempDir;
using test::writeFile;

const std::string kEmptyEntry =
    std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16) + std::string(16, '\0');

std::string ordinal32(std::uint16_t n) {
    std::string f;
    le16(f, 0xFFFF);
    le16(f, n);
    return f;
}
std::string name32(const std::u16string& text) {
    std::string f;
    for (char16_t c : text)
        le16(f, c);
    le16(f, 0);
    return f;
}

struct Fields {
    std::uint16_t flags = 0x30;
    std::uint16_t language = 0;
    std::uint32_t version = 0;
};

std::string entry32(const std::string& type, const std::string& name, const std::string& data,
                    Fields f = {}) {
    std::string names = type + name;
    names.append((4 - names.size() % 4) % 4, '\0');
    std::string out;
    le32(out, static_cast<std::uint32_t>(data.size()));
    le32(out, static_cast<std::uint32_t>(8 + names.size() + 16));
    out += names;
    le32(out, 0);
    le16(out, f.flags);
    le16(out, f.language);
    le32(out, f.version);
    le32(out, 0);
    out += data;
    out.append((4 - out.size() % 4) % 4, '\0');
    return out;
}

std::string ordinal16(std::uint16_t n) {
    std::string f = "\xFF";
    le16(f, n);
    return f;
}

std::string entry16(const std::string& type, const std::string& name, const std::string& data,
                    std::uint16_t flags = 0x30) {
    std::string out = type + name;
    le16(out, flags);
    le32(out, static_cast<std::uint32_t>(data.size()));
    return out + data;
}

struct Read {
    std::optional<ResDirectory> dir;
    std::string error;
};
Read readBytes(const std::string& bytes) {
    test::MemoryInput in(bytes);
    Read r;
    r.dir = readResDirectory(in, "x.res", r.error);
    return r;
}

TEST(ResReader, ReadsEveryHeaderFieldOfThe32BitLayout) {
    std::string file = kEmptyEntry + entry32(ordinal32(2), name32(u"LOGO\u20AC"), "abcde") +
                       entry32(name32(u"WAVE"), ordinal32(7), "", {0x1030, 0x0409, 3});
    Read r = readBytes(file);
    ASSERT_TRUE(r.dir) << r.error;
    EXPECT_EQ(r.dir->layout, ResLayout::Bits32);
    ASSERT_EQ(r.dir->entries.size(), 2u);
    const ResEntry& a = r.dir->entries[0];
    EXPECT_EQ(a.type, ResName::of(2));
    EXPECT_EQ(a.name.text, u"LOGO\u20AC");
    EXPECT_EQ(a.dataSize, 5u);
    EXPECT_EQ(file.substr(a.dataOffset, 5), "abcde");
    EXPECT_EQ(describeName(a.name), "LOGO\xE2\x82\xAC");
    const ResEntry& b = r.dir->entries[1];
    EXPECT_EQ(kindWord(b.type), "WAVE");
    EXPECT_EQ(b.memoryFlags, 0x1030);
    EXPECT_EQ(b.language, 0x0409);
    EXPECT_EQ(b.version, 3u);
    EXPECT_EQ(b.headerOffset, 32 + 40 + 8u); // after "abcde" and its padding
}

TEST(ResReader, ReadsThe16BitLayoutWithoutAlignment) {
    std::string file = entry16(ordinal16(2), "LOGO\xE9" + std::string(1, '\0'), "abc") +
                       entry16("WAVE" + std::string(1, '\0'), ordinal16(1), "", 0x1030) +
                       entry16(ordinal16(6), ordinal16(1), "x");
    Read r = readBytes(file);
    ASSERT_TRUE(r.dir) << r.error;
    EXPECT_EQ(r.dir->layout, ResLayout::Bits16);
    ASSERT_EQ(r.dir->entries.size(), 3u);
    EXPECT_EQ(r.dir->entries[0].name.text, u"LOGO\u00E9");
    EXPECT_EQ(r.dir->entries[1].type.text, u"WAVE");
    EXPECT_EQ(r.dir->entries[1].memoryFlags, 0x1030);
    EXPECT_EQ(r.dir->entries[2].headerOffset, 18u + 14u);
    EXPECT_EQ(kindWord(r.dir->entries[2].type), "STRING");
}

// Each damage is refused with the file and the offset of the header that holds it.
TEST(ResReader, RefusesDamagedHeadersNamingTheOffset) {
    const std::string good = entry32(ordinal32(10), ordinal32(1), "abcd");
    std::string pastEnd = good;
    pastEnd[0] = 9; // 9 data bytes, 4 there
    std::string badHeaderSize = good;
    badHeaderSize[4] = 36;
    const struct {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"empty", "", "x.res: offset 0: empty file"},
        {"cut in the header", kEmptyEntry + good.substr(0, 20), "x.res: offset 32: header size"},
        {"cut after the sizes", kEmptyEntry + good.substr(0, 6), "x.res: offset 32: truncated"},
        {"data past the end", kEmptyEntry + pastEnd, "offset 32: resource 10 1: data size 9"},
        {"header size off", kEmptyEntry + badHeaderSize + good, "does not match its fields"},
        {"zero-length type", kEmptyEntry + entry32(name32(u""), ordinal32(1), ""),
         "offset 40: zero-length type"},
        {"unterminated 32-bit name",
         kEmptyEntry + entry32(ordinal32(10), std::string("A\0B\0", 4), ""), "unterminated name"},
        {"16-bit name without end", std::string("\xFF\x0A\x00NAME", 7), "offset 3: unterminated"},
        {"16-bit data past the end", entry16(ordinal16(10), ordinal16(1), "abc").substr(0, 13),
         "offset 0: resource 10 1: data size 3"},
        {"16-bit cut in the flags", entry16(ordinal16(10), ordinal16(1), "").substr(0, 7),
         "offset 0: truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Read r = readBytes(c.bytes);
        EXPECT_FALSE(r.dir);
        EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
    }
}

// A project of the four original kinds with the awkward cases each can hold.
Project fourKinds(const TempDir& dir) {
    Project p;
    auto file = [&](ResourceKind kind, const std::string& id, const std::string& name,
                    const std::string& bytes) {
        writeFile(dir.path() / name, bytes);
        p.append(kind, id + '\t' + dir.file(name));
    };
    file(ResourceKind::Bitmap, "1", "a.bmp", sampleBitmap(5, 3));
    file(ResourceKind::Bitmap, " My Pic ", "b.bmp", sampleBitmap(2, 2, "tail"));
    file(ResourceKind::Bitmap, "0042", "c.bmp", sampleBitmap(1, 1));
    file(ResourceKind::Icon, "APP", "a.ico", sampleIcon({40, 41, 42}));
    file(ResourceKind::Icon, "7", "b.ico", sampleIcon({43}));
    for (const char* s : {"1\tCaf\xC3\xA9 \xE2\x82\xAC", "0\t", "15\ttab\there", "16\t  spaces  ",
                          "32767\tlast", "200\t", "201\tsay \"hi\" \\", "17\t"})
        p.append(ResourceKind::String, s);
    file(ResourceKind::Wave, "BEEP", "a.wav", sampleWave(1001));
    file(ResourceKind::Wave, "2", "b.wav", "");
    return p;
}

// The four kinds and the newer ones; the 16-bit layout holds no manifest.
Project everyKind(const TempDir& dir, int bits) {
    Project p = fourKinds(dir);
    writeFile(dir.path() / "a.cur", test::sampleCursor({40, 44}));
    writeFile(dir.path() / "a.bin", sampleWave(333));
    writeFile(dir.path() / "a.manifest", "<assembly/>");
    p.append(ResourceKind::Cursor, "ARROW\t" + dir.file("a.cur"));
    p.append(ResourceKind::Cursor, "5\t" + dir.file("a.cur"));
    p.append(ResourceKind::Data, "7\tCUSTOM\t" + dir.file("a.bin"));
    p.append(ResourceKind::Data, "TABLE\t300\t" + dir.file("a.bin"));
    if (bits == 32) {
        p.append(ResourceKind::Manifest, "file=" + dir.file("a.manifest"));
        p.append(ResourceKind::Manifest, "id=2");
    }
    for (const char* line : {"FileType=dll", "Language=0407", "CompanyName=Caf\xC3\xA9 & Co",
                             "FileVersion=1.2.3.4", "ProductVersion=2.1", "Comments="})
        p.append(ResourceKind::Version, line);
    return p;
}

// Import then compile in the same layout gives the bytes the first compilation gave.
TEST(ResImport, RoundTripGivesTheSameBytesInBothLayouts) {
    TempDir dir;
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        const Project p = everyKind(dir, bits);
        const std::size_t files = bits == 32 ? 12 : 11;
        CompileLog log;
        const std::string first = dir.file("first" + std::to_string(bits) + ".res");
        ASSERT_EQ(runCompilation(p, bits, first, log), CompileOutcome::Success) << log.text();
        const std::string kbp = dir.file("back" + std::to_string(bits) + ".kbp");
        std::vector<std::size_t> progress;
        ImportResult r = importResFile(first, kbp, false, nativeFileSystem(),
                                       [&](std::size_t done, std::size_t total) {
                                           EXPECT_EQ(total, files);
                                           progress.push_back(done);
                                       });
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(progress.size(), files);
        EXPECT_EQ(progress.back(), files);
        EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
        EXPECT_EQ(r.filesWritten, files);
        EXPECT_EQ(r.project.lines(ResourceKind::Version), p.lines(ResourceKind::Version));
        std::optional<Project> back = loadProjectFile(kbp);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, r.project);
        const std::string second = dir.file("second" + std::to_string(bits) + ".res");
        CompileLog log2;
        ASSERT_EQ(runCompilation(*back, bits, second, log2), CompileOutcome::Success)
            << log2.text();
        EXPECT_EQ(readFile(second), readFile(first));
        // The sources come back as files: a bitmap with its file header, the icon and cursor
        // files.
        EXPECT_EQ(readFile(dir.path() / ("back" + std::to_string(bits) + "_files") / "1.bmp"),
                  sampleBitmap(5, 3));
        EXPECT_EQ(readFile(dir.path() / ("back" + std::to_string(bits) + "_files") / "APP.ico"),
                  sampleIcon({40, 41, 42}));
        EXPECT_EQ(readFile(dir.path() / ("back" + std::to_string(bits) + "_files") / "ARROW.cur"),
                  test::sampleCursor({40, 44}));
    }
}

// Three languages, text past Windows-1252 and past U+FFFF, and the version and manifest forms
// that real files hold: every section comes back in its order, and the bytes too.
TEST(ResImport, RoundTripKeepsEveryLanguageAndItsText) {
    TempDir dir;
    Project p = everyKind(dir, 32);
    p.setBaseLanguage(0x0409);
    writeFile(dir.path() / "b.manifest", "<assembly/>  ");
    const char* const russian[][2] = {
        {"Bitmap", "\xD0\x9B\xD0\x9E\xD0\x93\xD0\x9E"}, // ЛОГО
        {"String", "1\t\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xF0\x9F\x98\x80"},
        {"String", "4000\t\xCE\xB1\xCE\xB2\xCE\xB3"},
        {"Version", "FileType=3"},
        {"Version", "FileVersionNumber=1.0.0.1"},
        {"Version", "ProductVersionNumber=2.0.0.0"},
        {"Version", "FileFlagsMask=0x17"},
        {"Version", "FileFlags=0x2"},
        {"Version", "FileOS=0x4"},
        {"Version", "FileSubtype=7"},
        {"Version", "FileDate=0x0000000100000002"},
        {"Version", "Language=0419"},
        {"Version", "CodePage=1200"},
        {"Version", "FileVersion=1, 0, 0, 1"},
        {"Version", "CompanyName=\xD0\x90\xD0\x9E \xE4\xB8\xAD \xF0\x9F\x98\x80"},
    };
    const int ru = p.addSection(0x0419);
    for (const auto& [kind, line] : russian) {
        const std::string k = kind;
        if (k == "Bitmap")
            p.section(ru).append(ResourceKind::Bitmap,
                                 std::string(line) + "\t" +
                                     p.line(ResourceKind::Bitmap, 0).substr(2));
        else
            p.section(ru).append(k == "String" ? ResourceKind::String : ResourceKind::Version,
                                 line);
    }
    p.section(ru).append(ResourceKind::Manifest, "file=" + dir.file("b.manifest"));
    p.section(ru).append(ResourceKind::Manifest, "id=3");
    // The same identifiers again in a third language, and a type name in Chinese.
    const int zh = p.addSection(0x0804);
    p.section(zh).append(ResourceKind::Icon, p.line(ResourceKind::Icon, 0));
    p.section(zh).append(ResourceKind::String, "1\t\xE4\xBD\xA0\xE5\xA5\xBD");
    p.section(zh).append(ResourceKind::Data, "7\t\xE7\xB1\xBB\t" + dir.file("a.bin"));

    CompileLog log;
    const std::string first = dir.file("first.res");
    ASSERT_EQ(runCompilation(p, 32, first, log), CompileOutcome::Success) << log.text();
    const std::string kbp = dir.file("langs.kbp");
    ImportResult r = importResFile(first, kbp, false);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
    ASSERT_EQ(r.project.sectionCount(), 3);
    EXPECT_EQ(r.project.baseLanguage(), 0x0409);
    EXPECT_EQ(r.project.section(1).language, 0x0419);
    EXPECT_EQ(r.project.section(2).language, 0x0804);
    // Lines as written, in the order the import writes them (strings by number, version keys
    // canonical).
    for (ResourceKind kind : {ResourceKind::String, ResourceKind::Version})
        for (int i = 1; i < 3; ++i)
            EXPECT_EQ(r.project.section(i).lines(kind), p.section(i).lines(kind))
                << kindName(kind) << " " << i;
    EXPECT_EQ(r.project.section(1).lines(ResourceKind::Manifest).back(), "id=3");
    EXPECT_EQ(GetItemType(r.project.section(2).line(ResourceKind::Data, 0)), "\xE7\xB1\xBB");

    const std::string second = dir.file("second.res");
    CompileLog log2;
    ASSERT_EQ(runCompilation(r.project, 32, second, log2), CompileOutcome::Success) << log2.text();
    EXPECT_EQ(readFile(second), readFile(first));
    // The project file holds every section.
    std::optional<Project> back = loadProjectFile(kbp);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r.project);
}

// A 16-bit file has no languages: everything goes to the base, its one-byte text decoded.
TEST(ResImport, SixteenBitTextComesBackAsUtf8) {
    std::string block(1, '\x05');
    block += "Caf\xE9\x80";
    block.append(15, '\0');
    test::MemoryInput in(entry16(ordinal16(6), ordinal16(1), block) +
                         entry16(ordinal16(10), "N\xC9" + std::string(1, '\0'), "x"));
    ImportPlan plan = planImport(in, "w.res", "/p_files");
    ASSERT_TRUE(plan.ok) << plan.error;
    EXPECT_EQ(plan.project.sectionCount(), 1);
    EXPECT_EQ(plan.project.baseLanguage(), 0);
    EXPECT_EQ(plan.project.lines(ResourceKind::String),
              Project::Lines{"0\tCaf\xC3\xA9\xE2\x82\xAC"});
    EXPECT_EQ(GetItemId(plan.project.line(ResourceKind::Data, 0)), "N\xC3\x89");
}

TEST(ResImport, NeverOverwritesWithoutForceAndWritesNothingForDamage) {
    TempDir dir;
    Project p = fourKinds(dir);
    CompileLog log;
    const std::string res = dir.file("a.res");
    ASSERT_EQ(runCompilation(p, 32, res, log), CompileOutcome::Success);
    const std::string kbp = dir.file("p.kbp");
    ASSERT_TRUE(importResFile(res, kbp, false).ok);
    const std::string before = readFile(kbp);
    ImportResult again = importResFile(res, kbp, false);
    EXPECT_FALSE(again.ok);
    EXPECT_NE(again.error.find("--force"), std::string::npos);
    std::filesystem::remove(kbp);
    EXPECT_FALSE(importResFile(res, kbp, false).ok) << "the files folder is still there";
    EXPECT_TRUE(importResFile(res, kbp, true).ok);
    EXPECT_EQ(readFile(kbp), before);

    // Cut inside the last resource: nothing at all is written.
    std::string bytes = readFile(res);
    writeFile(dir.path() / "cut.res", bytes.substr(0, bytes.size() - 3));
    const auto entries = dir.entries();
    ImportResult cut = importResFile(dir.file("cut.res"), dir.file("q.kbp"), false);
    EXPECT_FALSE(cut.ok);
    EXPECT_NE(cut.error.find("cut.res: offset"), std::string::npos) << cut.error;
    EXPECT_EQ(dir.entries(), entries);
}

// What the project cannot hold as it is gets imported where it can be, with a warning each.
TEST(ResImport, WarnsOfEveryChange) {
    TempDir dir;
    std::string icon;
    le16(icon, 0);
    le16(icon, 1);
    le16(icon, 1);
    icon += std::string("\x10\x10\0\0\x01\0\x20\0", 8);
    le32(icon, 6);
    le16(icon, 5);
    std::string file =
        kEmptyEntry +
        entry32(ordinal32(2), name32(u"logo"), sampleBitmap(1, 1).substr(14), {0x30, 0x0407, 0}) +
        entry32(ordinal32(3), ordinal32(5), "image") +
        entry32(ordinal32(3), ordinal32(6), "orphan", {0x1010, 0, 0}) +
        entry32(ordinal32(14), ordinal32(40000), icon, {0x1030, 0, 0}) +
        entry32(ordinal32(5), name32(u"A\tB\u4E00"), "dlg") +
        entry32(name32(u"CUSTOM"), name32(u"123"), "raw");
    writeFile(dir.path() / "w.res", file);
    ImportResult r = importResFile(dir.file("w.res"), dir.file("w.kbp"), false);
    ASSERT_TRUE(r.ok) << r.error;
    std::string all;
    for (const std::string& w : r.warnings)
        all += w + "\n";
    for (const char* expected :
         {"resource 2 logo (0407): name logo becomes LOGO",
          "resource 14 40000 (0000): name number over 32767 becomes the name _40000",
          "resource 3 5 (0000): memory flags 0x0030 become 0x1010",
          "resource 3 6 (0000): icon image in no group: imported as icon ICON_IMAGE_6",
          "resource 5 A\tB\xE4\xB8\x80 (0000): name: a TAB becomes _",
          "resource CUSTOM 123 (0000): name 123 becomes _123"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "\n" << all;
    EXPECT_EQ(r.warnings.size(), 7u) << all;
    // The first resource's language is the base's; the others follow in order of appearance.
    ASSERT_EQ(r.project.sectionCount(), 2);
    EXPECT_EQ(r.project.baseLanguage(), 0x0407);
    const LanguageSection& neutral = r.project.section(1);
    EXPECT_EQ(neutral.language, 0);
    const std::string folder = dir.file("w_files");
    EXPECT_EQ(r.project.lines(ResourceKind::Bitmap),
              Project::Lines{"LOGO\t" + joinPath(folder, "LOGO.bmp")});
    EXPECT_EQ(neutral.lines(ResourceKind::Icon),
              (Project::Lines{"_40000\t" + joinPath(folder, "_40000_0000.ico"),
                              "ICON_IMAGE_6\t" + joinPath(folder, "ICON_IMAGE_6_0000.ico")}));
    // Text beyond Windows-1252 is kept, upper-cased as a name.
    EXPECT_EQ(
        neutral.lines(ResourceKind::Data),
        (Project::Lines{"A_B\xE4\xB8\x80\t5\t" + joinPath(folder, "5_A_B\xE4\xB8\x80_0000.bin"),
                        "_123\tCUSTOM\t" + joinPath(folder, "CUSTOM__123_0000.bin")}));
    EXPECT_EQ(readFile(joinPath(folder, "5_A_B\xE4\xB8\x80_0000.bin")), "dlg");
    // The rebuilt icon file holds the image its group named.
    std::string ico = readFile(dir.path() / "w_files" / "_40000_0000.ico");
    EXPECT_EQ(ico.substr(22), "image");
    EXPECT_EQ(test::get32(ico, 14), 5u);
    EXPECT_EQ(test::get32(ico, 18), 22u);
}

TEST(ResImport, FileNamesAreSafeAndUnique) {
    TempDir dir;
    std::string file = kEmptyEntry + entry32(ordinal32(10), name32(u"CON"), "1") +
                       entry32(ordinal32(10), name32(u"A:B*"), "2") +
                       entry32(ordinal32(10), name32(u"A?B*"), "3") +
                       entry32(ordinal32(11), name32(u"END."), "4");
    writeFile(dir.path() / "n.res", file);
    ImportResult r = importResFile(dir.file("n.res"), dir.file("n.kbp"), false);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(dir.entries().count("n_files"), 1u);
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "n_files"))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names,
              (std::set<std::string>{"10_CON.bin", "10_A_B_.bin", "10_A_B__2.bin", "11_END_.bin"}));
}

TEST(RcScript, EscapesStringsAndQuotesNamesLlvmRcCannotSpell) {
    Project p;
    p.append(ResourceKind::Bitmap, "My Pic\t/x/a.bmp");
    p.append(ResourceKind::Bitmap, "0042\t/x/b.bmp");
    p.append(ResourceKind::String, std::string("3\ta\"b\\c\td\0001\x7F\xC3\xA9", 14));
    p.append(ResourceKind::Data, "LOGO\tcustom\t/x/c.bin");
    RcScript s = makeRcScript(p);
    ASSERT_TRUE(s.ok) << s.error;
    // Windows-1252 text alone keeps the script in that code page.
    EXPECT_FALSE(s.utf8);
    EXPECT_EQ(s.text, "#pragma code_page(1252)\r\nLANGUAGE 0x0, 0x0\r\n"
                      "\"MY PIC\" BITMAP \"/x/a.bmp\"\r\n42 BITMAP \"/x/b.bmp\"\r\n"
                      "STRINGTABLE\r\n{\r\n  3, \"a\"\"b\\\\c\\td\\0001\\177\xE9\"\r\n}\r\n"
                      "LOGO CUSTOM \"/x/c.bin\"\r\n");
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_NE(s.warnings[0].find("MY PIC is quoted; windres reads it, llvm-rc refuses it"),
              std::string::npos);

    p.append(ResourceKind::Wave, "1\t/x/a\"b.wav");
    EXPECT_FALSE(makeRcScript(p).ok);
}

// Each language's resources under their own LANGUAGE statement, kind by kind as the writers go;
// a quoted name never follows a string, and text beyond Windows-1252 makes the script UTF-8.
TEST(RcScript, WritesEachLanguageAndUtf8) {
    Project p;
    p.setBaseLanguage(0x0409);
    p.append(ResourceKind::Bitmap, "A\t/x/a.bmp");
    p.append(ResourceKind::String, "1\tOne");
    const int ru = p.addSection(0x0419);
    p.section(ru).append(ResourceKind::Bitmap, "A\t/x/\xD0\xB0.bmp");
    p.section(ru).append(ResourceKind::Bitmap, "\xD0\xBA\xD1\x82\xD0\xBE\t/x/b.bmp");
    p.section(ru).append(ResourceKind::String,
                         "1\t\xD0\x9E\xD0\xB4\xD0\xB8\xD0\xBD \xF0\x9F\x98\x80");
    p.section(ru).append(ResourceKind::Data, "D\tMY TYPE\t/x/d.bin");
    p.section(ru).append(ResourceKind::Version, "FileVersion=1.0 beta");
    p.section(ru).append(ResourceKind::Version, "FileVersionNumber=1.0.0.7");
    p.section(ru).append(ResourceKind::Version, "FileFlags=0x2");
    RcScript s = makeRcScript(p);
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_TRUE(s.utf8);
    EXPECT_EQ(s.text, "#pragma code_page(65001)\r\n"
                      "LANGUAGE 0x9, 0x1\r\nA BITMAP \"/x/a.bmp\"\r\n"
                      "LANGUAGE 0x19, 0x1\r\nA BITMAP \"/x/\xD0\xB0.bmp\"\r\n"
                      "LANGUAGE 0x19, 0x1\r\n\"\xD0\x9A\xD0\xA2\xD0\x9E\" BITMAP \"/x/b.bmp\"\r\n"
                      "LANGUAGE 0x9, 0x1\r\nSTRINGTABLE\r\n{\r\n  1, \"One\"\r\n}\r\n"
                      "LANGUAGE 0x19, 0x1\r\nSTRINGTABLE\r\n{\r\n"
                      "  1, \"\xD0\x9E\xD0\xB4\xD0\xB8\xD0\xBD \xF0\x9F\x98\x80\"\r\n}\r\n"
                      "D \"MY TYPE\" \"/x/d.bin\"\r\n"
                      "1 VERSIONINFO\r\nFILEVERSION 1,0,0,7\r\nPRODUCTVERSION 0,0,0,0\r\n"
                      "FILEFLAGSMASK 0x3F\r\nFILEFLAGS 0x2\r\nFILEOS 0x40004\r\nFILETYPE 0x1\r\n"
                      "FILESUBTYPE 0x0\r\n{\r\n  BLOCK \"StringFileInfo\"\r\n  {\r\n"
                      "    BLOCK \"040904E4\"\r\n    {\r\n"
                      "      VALUE \"FileVersion\", \"1.0 beta\\000\"\r\n    }\r\n  }\r\n"
                      "  BLOCK \"VarFileInfo\"\r\n  {\r\n"
                      "    VALUE \"Translation\", 0x0409, 1252\r\n  }\r\n}\r\n");
    ASSERT_EQ(s.warnings.size(), 2u);
    EXPECT_NE(s.warnings[1].find("the type MY TYPE is quoted; llvm-rc and windres refuse it"),
              std::string::npos);
}

struct Ran {
    int status;
    std::string out, err;
};
Ran res(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = runResCommand(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(ResCommand, ListsAndExitsAsDocumented) {
    TempDir dir;
    writeFile(
        dir.path() / "a.res",
        kEmptyEntry + entry32(ordinal32(14), name32(u"APP"), "g", {0x1030, 0x0409, 0}) +
            entry32(name32(u"WAVE"), ordinal32(3), "wave") +
            entry32(name32(u"\u7C7B"), name32(u"\u041B\u041E\U0001F600"), "", {0x30, 0x0419, 0}));
    Ran list = res({"list", dir.file("a.res")});
    EXPECT_EQ(list.status, 0) << list.err;
    // Names in UTF-8, every character kept.
    EXPECT_EQ(list.out,
              "LAYOUT 32\n14\tAPP\t0x0409\t0x1030\t1\tGROUP_ICON\n"
              "WAVE\t3\t0x0000\t0x0030\t4\tWAVE\n"
              "\xE7\xB1\xBB\t\xD0\x9B\xD0\x9E\xF0\x9F\x98\x80\t0x0419\t0x0030\t0\tDATA\n");
    writeFile(dir.path() / "b.res", entry16(ordinal16(24), ordinal16(1), "<x/>"));
    EXPECT_EQ(res({"list", dir.file("b.res")}).out,
              "LAYOUT 16\n24\t1\t0x0000\t0x0030\t4\tMANIFEST\n");

    writeFile(dir.path() / "c.res", entry16(ordinal16(24), ordinal16(1), "<x/>").substr(0, 14));
    Ran bad = res({"list", dir.file("c.res")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("c.res: offset 0: resource 24 1: data size 4"), std::string::npos)
        << bad.err;
    EXPECT_EQ(res({"list", dir.file("missing.res")}).status, 1);

    EXPECT_EQ(res({}).status, 2);
    EXPECT_EQ(res({"list"}).status, 2);
    EXPECT_EQ(res({"import", "a.res"}).status, 2);
    EXPECT_EQ(res({"rc", "a", "b", "c"}).status, 2);
    EXPECT_EQ(res({"frobnicate"}).status, 2);
    Ran help = res({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("import"), std::string::npos);
    Ran version = res({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "2.12\n");

    EXPECT_EQ(res({"rc", dir.file("a.res"), dir.file("a.rc")}).status, 1) << "not a project";
    writeFile(dir.path() / "d.res",
              kEmptyEntry + entry32(ordinal32(5), name32(u"APP"), "g", {0x1030, 0x0409, 0}));
    Ran imported = res({"import", dir.file("d.res"), dir.file("a.kbp")});
    EXPECT_EQ(imported.status, 0);
    EXPECT_NE(imported.err.find("warning: resource 5 APP (0409): memory flags 0x1030"),
              std::string::npos)
        << imported.err;
    EXPECT_EQ(res({"import", dir.file("d.res"), dir.file("a.kbp")}).status, 1);
    EXPECT_EQ(res({"import", "--force", dir.file("d.res"), dir.file("a.kbp")}).status, 0);
    EXPECT_EQ(res({"import", dir.file("a.res"), dir.file("e.kbp")}).status, 1) << "damaged group";
    EXPECT_EQ(res({"rc", dir.file("a.kbp"), dir.file("a.rc")}).status, 0);
    EXPECT_NE(readFile(dir.path() / "a.rc").find("APP 5 \""), std::string::npos);
}

} // namespace
} // namespace kelbo
