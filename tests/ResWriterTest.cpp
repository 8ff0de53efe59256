#include <gtest/gtest.h>

#include <algorithm>

#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/VersionInfo.h"
#include "tests/TestSupport.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo {
namespace {

using test::get16;
using test::get32;
using test::readFile;
using test::sampleBitmap;
using test::sampleCursor;
using test::sampleIcon;
using test::sampleIconFile;
using test::sampleWave;
using test::TempDir;
using test::writeFile;

const std::string kEmptyEntry =
    std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16) + std::string(16, '\0');

// One resource of a 32-bit file, as a reader of the layout sees it.
struct Res32 {
    std::uint32_t dataSize, headerSize;
    std::string type, name; // raw fields
    std::uint16_t flags, language;
    std::string data;
    std::size_t offset;
};

std::size_t idFieldSize(const std::string& s, std::size_t at) {
    if (get16(s, at) == 0xFFFF)
        return 4;
    std::size_t end = at;
    while (get16(s, end) != 0)
        end += 2;
    return end + 2 - at;
}

std::vector<Res32> parse32(const std::string& s) {
    std::vector<Res32> out;
    std::size_t pos = 0;
    while (pos < s.size()) {
        EXPECT_EQ(pos % 4, 0u) << "header off a four-byte boundary";
        Res32 r;
        r.offset = pos;
        r.dataSize = get32(s, pos);
        r.headerSize = get32(s, pos + 4);
        std::size_t t = idFieldSize(s, pos + 8);
        r.type = s.substr(pos + 8, t);
        std::size_t n = idFieldSize(s, pos + 8 + t);
        r.name = s.substr(pos + 8 + t, n);
        std::size_t fixed = pos + r.headerSize - 16;
        EXPECT_EQ(get32(s, fixed), 0u);
        r.flags = get16(s, fixed + 4);
        r.language = get16(s, fixed + 6);
        r.data = s.substr(pos + r.headerSize, r.dataSize);
        out.push_back(r);
        pos += r.headerSize + r.dataSize;
        pos += (4 - pos % 4) % 4;
    }
    EXPECT_EQ(pos, s.size());
    return out;
}

std::string ord(std::uint16_t v) {
    return std::string("\xFF\xFF", 2) + char(v & 0xFF) + char(v >> 8);
}
std::string wide(const std::string& text) {
    return WidenText(text) + std::string(2, '\0');
}

class Writers : public ::testing::Test {
protected:
    TempDir dir;
    Project project;
    std::string out = dir.file("out.res");

    std::string source(const std::string& name, const std::string& bytes) {
        std::string path = dir.file(name);
        writeFile(path, bytes);
        return path;
    }
    void add(ResourceKind kind, const std::string& id, const std::string& tail) {
        project.append(kind, id + "\t" + tail);
    }
    CompileLog compile(int bits, bool expectOk = true) {
        CompileLog log;
        bool ok = bits == 16 ? Compile16(project, out, log) : Compile32(project, out, log);
        EXPECT_EQ(ok, expectOk) << log.text();
        EXPECT_EQ(log.succeeded(), expectOk);
        return log;
    }
};

TEST_F(Writers, Bitmap32TakesTheFileAfterItsHeaderAndTheDocumentedHeader) {
    std::string bmp =
        sampleBitmap(20, 12, std::string(7, 'Z')); // 774 bytes declared, 7 more in the file
    add(ResourceKind::Bitmap, "1", source("a.bmp", bmp));
    compile(32);
    std::string res = readFile(out);
    ASSERT_EQ(res.substr(0, 32), kEmptyEntry);
    std::string header =
        std::string("\xFF\x02\0\0\x20\0\0\0\xFF\xFF\x02\0\xFF\xFF\x01\0\0\0\0\0\x30\0\0\0", 24) +
        std::string(8, '\0');
    EXPECT_EQ(res.substr(32, 32), header);
    EXPECT_EQ(res.substr(64, 767), bmp.substr(14));
    EXPECT_EQ(res.size(), 64u + 768);
}

// The declared file size is not trusted in either layout: too small, zero or too large, the
// picture is the whole file after its header.
TEST_F(Writers, BitmapsIgnoreTheDeclaredFileSize) {
    std::string bmp = sampleBitmap(4, 4);
    for (std::uint32_t declared : {0u, 13u, 20u, 100000u}) {
        std::string lying = bmp;
        lying.replace(2, 4,
                      std::string{char(declared & 0xFF), char((declared >> 8) & 0xFF),
                                  char((declared >> 16) & 0xFF), char(declared >> 24)});
        project = Project{};
        add(ResourceKind::Bitmap, "1", source("a.bmp", lying));
        compile(32);
        std::vector<Res32> r = parse32(readFile(out));
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[1].data, bmp.substr(14)) << declared;
        compile(16);
        EXPECT_EQ(readFile(out).substr(12), bmp.substr(14)) << declared;
    }
}

TEST_F(Writers, NamesAreUpperCasedWidenedAndPadded) {
    std::string bmp = source("a.bmp", sampleBitmap(1, 1));
    add(ResourceKind::Bitmap, "logo", bmp);
    add(ResourceKind::Bitmap, "ABC", bmp);
    add(ResourceKind::Bitmap, " my pic ", bmp);
    add(ResourceKind::Bitmap, "007", bmp);
    add(ResourceKind::Bitmap, "café", bmp);
    compile(32);
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[1].name, wide("LOGO"));
    EXPECT_EQ(r[1].headerSize, 40u);
    EXPECT_EQ(r[2].name, wide("ABC"));
    EXPECT_EQ(r[2].headerSize, 36u);
    EXPECT_EQ(r[3].name, wide("MY PIC"));
    EXPECT_EQ(r[3].headerSize, 44u);
    EXPECT_EQ(r[4].name, ord(7));
    EXPECT_EQ(r[5].name, wide("CAFÉ"));
    for (std::size_t i = 1; i < r.size(); ++i) {
        EXPECT_EQ(r[i].type, ord(2));
        EXPECT_EQ(r[i].flags, 0x30);
        EXPECT_EQ(r[i].language, 0);
    }
}

TEST_F(Writers, IconsNumberTheirImagesAcrossItemsAndPadThem) {
    add(ResourceKind::Icon, "1", source("two.ico", sampleIcon({40, 41})));
    add(ResourceKind::Icon, "named", source("three.ico", sampleIcon({48, 49, 50})));
    add(ResourceKind::Icon, "six", source("six.ico", sampleIcon({44, 44, 44, 44, 44, 44})));
    add(ResourceKind::Icon, "none", source("none.ico", sampleIcon({})));
    compile(32);
    std::vector<Res32> r = parse32(readFile(out));
    // empty, 2 images + group, 3 + group, 6 + group, group
    ASSERT_EQ(r.size(), 1u + 3 + 4 + 7 + 1);
    EXPECT_EQ(r[1].name, ord(1));
    EXPECT_EQ(r[2].name, ord(2));
    EXPECT_EQ(r[2].data, sampleIcon({40, 41}).substr(6 + 32 + 40));
    EXPECT_EQ(r[3].type, ord(14));
    EXPECT_EQ(r[3].flags, 0x1030);
    EXPECT_EQ(r[3].dataSize, 34u);
    EXPECT_EQ(get16(r[3].data, 4), 2);
    EXPECT_EQ(get16(r[3].data, 6 + 12), 1);      // first entry names image 1
    EXPECT_EQ(get16(r[3].data, 6 + 14 + 12), 2); // second names image 2
    EXPECT_EQ(get32(r[3].data, 6 + 14 + 8), 41u);
    EXPECT_EQ(r[4].name, ord(3));
    EXPECT_EQ(r[4].flags, 0x1010);
    EXPECT_EQ(r[7].dataSize, 48u);
    EXPECT_EQ(r[7].name, wide("NAMED"));
    EXPECT_EQ(get16(r[7].data, 6 + 2 * 14 + 12), 5);
    // All six images, not the first four.
    EXPECT_EQ(r[13].name, ord(11));
    EXPECT_EQ(r[14].dataSize, 90u);
    EXPECT_EQ(get16(r[14].data, 4), 6);
    EXPECT_EQ(get16(r[14].data, 6 + 5 * 14 + 12), 11);
    EXPECT_EQ(r[15].dataSize, 6u);
    EXPECT_EQ(r[15].data, std::string("\0\0\x01\0\0\0", 6));
}

// Planes and bit count come from the image's 40-byte header, whatever the directory says; a
// longer header or a PNG image gives 1 and 32. Width, height and colours stay the directory's.
TEST_F(Writers, IconGroupEntriesTakePlanesAndBitsFromTheImage) {
    std::string ico = sampleIcon({40, 120, 48});
    ico[6 + 2] = 16;                             // colour count of image 1
    ico.replace(6 + 4, 4, std::string(4, '\0')); // 0 planes, 0 bits in the directory
    std::size_t image1 = 6 + 48, image2 = image1 + 40, image3 = image2 + 120;
    ico.replace(image1 + 12, 4, std::string("\x01\0\x04\0", 4)); // 4 bits per pixel
    ico[image2] = 108;                                           // a BITMAPV4HEADER
    ico.replace(image3, 8, "\x89PNG\r\n\x1A\n");
    ico[6 + 32 + 4] = 9; // the directory claims 9 planes for the PNG
    add(ResourceKind::Icon, "1", source("a.ico", ico));
    for (int bits : {32, 16}) {
        compile(bits);
        std::string res = readFile(out);
        // The group is the last resource in both layouts; its entries end the file.
        std::string entries = res.substr(res.size() - 3 * 14);
        EXPECT_EQ(entries.substr(0, 14),
                  std::string("\x10\x10\x10\0\x01\0\x04\0\x28\0\0\0\x01\0", 14))
            << bits;
        EXPECT_EQ(entries.substr(14 + 4, 4), std::string("\x01\0\x20\0", 4));
        EXPECT_EQ(entries.substr(28 + 4, 4), std::string("\x01\0\x20\0", 4));
    }
}

TEST_F(Writers, CursorsCarryTheirHotSpotAndACursorGroup) {
    std::string cur = sampleCursor({40, 45});
    cur[6 + 16] = 32; // image 2: 32 wide, 48 high
    cur[6 + 16 + 1] = 48;
    add(ResourceKind::Icon, "1", source("a.ico", sampleIcon({40, 40, 40})));
    add(ResourceKind::Cursor, "arrow", source("a.cur", cur));
    add(ResourceKind::Cursor, "2", source("b.cur", sampleCursor({41})));
    CompileLog log = compile(32);
    EXPECT_EQ(log.lines()[2], "[CURSOR] = OK");
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 1u + 4 + 3 + 2);
    // Cursor images are numbered on from the icon images, as llvm-rc numbers them.
    EXPECT_EQ(r[5].type, ord(1));
    EXPECT_EQ(r[5].name, ord(4));
    EXPECT_EQ(r[5].flags, 0x1010);
    EXPECT_EQ(r[5].data, std::string("\x01\0\x02\0", 4) + cur.substr(6 + 32, 40));
    EXPECT_EQ(r[6].name, ord(5));
    EXPECT_EQ(r[6].data, std::string("\x02\0\x03\0", 4) + cur.substr(6 + 32 + 40));
    EXPECT_EQ(r[7].type, ord(12));
    EXPECT_EQ(r[7].name, wide("ARROW"));
    EXPECT_EQ(r[7].flags, 0x1030);
    EXPECT_EQ(r[7].data, std::string("\0\0\x02\0\x02\0"
                                     "\x10\0\x20\0\x01\0\x20\0\x2C\0\0\0\x04\0"
                                     "\x20\0\x60\0\x01\0\x20\0\x31\0\0\0\x05\0",
                                     6 + 2 * 14));
    EXPECT_EQ(r[8].name, ord(6));
    EXPECT_EQ(get16(r[9].data, 6 + 12), 6);

    // The 16-bit layout: the same data, 16-bit headers, no padding.
    compile(16);
    std::string res = readFile(out);
    std::size_t at = res.find(std::string("\xFF\x01\0\xFF\x04\0\x10\x10\x2C\0\0\0", 12));
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(res.substr(at + 12, 44), r[5].data);
    EXPECT_EQ(res.substr(at + 56, 12), std::string("\xFF\x01\0\xFF\x05\0\x10\x10\x31\0\0\0", 12));
    EXPECT_EQ(res.substr(at + 68 + 49, 15 + 34),
              std::string("\xFF\x0C\0ARROW\0\x30\x10\x22\0\0\0", 15) + r[7].data);
}

TEST_F(Writers, DataIsTheWholeFileUnderItsOwnType) {
    std::string bytes = std::string("\0\x01 custom \xFF", 11);
    std::string path = source("d.bin", bytes);
    project.append(ResourceKind::Data, "7\tcustom\t" + path);
    project.append(ResourceKind::Data, "Table \t 300 \t " + path);
    project.append(ResourceKind::Data, "8\tEMPTY\t" + source("e.bin", ""));
    add(ResourceKind::Wave, "1", source("a.wav", sampleWave(20)));
    CompileLog log = compile(32);
    EXPECT_EQ(log.lines()[1], "[WAVE] = OK");
    EXPECT_EQ(log.lines()[2], "[DATA] = OK");
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[2].type, wide("CUSTOM"));
    EXPECT_EQ(r[2].name, ord(7));
    EXPECT_EQ(r[2].flags, 0x30);
    EXPECT_EQ(r[2].data, bytes);
    EXPECT_EQ(r[3].type, ord(300));
    EXPECT_EQ(r[3].name, wide("TABLE"));
    EXPECT_EQ(r[3].data, bytes);
    EXPECT_EQ(r[4].dataSize, 0u);

    compile(16);
    std::string res = readFile(out);
    std::size_t data = 5 + 3 + 2 + 4 + 20;
    EXPECT_EQ(res.substr(data), std::string("CUSTOM\0\xFF\x07\0\x30\0\x0B\0\0\0", 16) + bytes +
                                    std::string("\xFF\x2C\x01TABLE\0\x30\0\x0B\0\0\0", 15) + bytes +
                                    std::string("EMPTY\0\xFF\x08\0\x30\0\0\0\0\0", 15));
}

TEST_F(Writers, StringBlocksAreSortedSlottedAndWidened) {
    add(ResourceKind::String, "17", "World");
    add(ResourceKind::String, "1", "Hello");
    add(ResourceKind::String, "40", " \tx ");
    add(ResourceKind::String, "32767", "€");
    add(ResourceKind::String, "5", "");
    compile(32);
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[1].name, ord(1));
    EXPECT_EQ(r[1].dataSize, 42u);
    EXPECT_EQ(r[1].data.substr(0, 16), std::string("\0\0\x05\0H\0e\0l\0l\0o\0\0\0", 16));
    EXPECT_EQ(r[2].name, ord(2));
    EXPECT_EQ(r[2].data.substr(2, 12), std::string("\x05\0W\0o\0r\0l\0d\0", 12));
    EXPECT_EQ(r[3].name, ord(3));
    EXPECT_EQ(r[3].data.substr(16, 10), std::string("\x04\0 \0\t\0x\0 \0", 10));
    EXPECT_EQ(r[4].name, ord(2048));
    EXPECT_EQ(r[4].data.substr(30), std::string("\x01\0\xAC\x20", 4));
    for (std::size_t i = 1; i < r.size(); ++i) {
        EXPECT_EQ(r[i].type, ord(6));
        EXPECT_EQ(r[i].flags, 0x1030);
    }
}

TEST_F(Writers, ManyStringsCompileWithoutLimit) {
    for (int i = 32766; i >= 0; --i)
        add(ResourceKind::String, std::to_string(i), std::to_string(i));
    compile(32);
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 1u + 2048);
    EXPECT_EQ(r.back().name, ord(2048));
    compile(16);
}

TEST_F(Writers, WavesHaveTheNamedTypeAndTheWholeFile) {
    add(ResourceKind::Wave, "7", source("a.wav", sampleWave(1000)));
    add(ResourceKind::Wave, "BEEP", source("b.wav", sampleWave(1001)));
    add(ResourceKind::Wave, "boom1", source("c.wav", sampleWave(1002)));
    add(ResourceKind::Wave, "0", source("empty.wav", ""));
    compile(32);
    std::string res = readFile(out);
    std::string header =
        std::string("\xE8\x03\0\0\x28\0\0\0W\0A\0V\0E\0\0\0\xFF\xFF\x07\0\0\0\0\0\0\0\x30\0", 30) +
        std::string(10, '\0');
    EXPECT_EQ(res.substr(32, 40), header);
    std::vector<Res32> r = parse32(res);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[1].data, sampleWave(1000));
    EXPECT_EQ(r[2].headerSize, 44u);
    EXPECT_EQ(r[3].headerSize, 48u);
    EXPECT_EQ(r[3].offset - r[2].offset, 44u + 1001 + 3);
    EXPECT_EQ(r[4].dataSize, 0u);
    EXPECT_EQ(r[4].offset + r[4].headerSize, res.size());
}

TEST_F(Writers, LogNamesOnlyTheKindsPresent) {
    add(ResourceKind::Bitmap, "1", source("a.bmp", sampleBitmap(2, 2)));
    add(ResourceKind::String, "1", "x");
    CompileLog log = compile(32);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"", "[BITMAP] = OK", "[STRING] = OK",
                                                     "Compilation 32 bits : " + out,
                                                     "Compilation : SuccessFull"}));
    log = compile(16);
    EXPECT_EQ(log.lines()[3], "Compilation 16 bits : " + out);

    // Cursors and custom data follow the waves, whatever order the items were added in.
    project.append(ResourceKind::Data, "1\tCUSTOM\t" + source("d.bin", "data"));
    add(ResourceKind::Cursor, "1", source("a.cur", sampleCursor({40})));
    add(ResourceKind::Wave, "1", source("a.wav", sampleWave(10)));
    for (int bits : {32, 16}) {
        std::vector<std::string> lines = compile(bits).lines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end() - 2),
                  (std::vector<std::string>{"[BITMAP] = OK", "[STRING] = OK", "[WAVE] = OK",
                                            "[CURSOR] = OK", "[DATA] = OK"}));
    }
}

// Image names are words: 65535 icon images fit, one more is refused before the numbers wrap.
// Cursor images are numbered on their own, so a cursor after them still fits.
TEST(ImageNumbers, StopAtTheLastWordIconsAndCursorsTogether) {
    test::MemoryFileSystem fs;
    fs.files["/full.ico"] = sampleIcon(std::vector<std::uint32_t>(65534, 40));
    fs.files["/one.ico"] = sampleIcon({40});
    fs.files["/one.cur"] = sampleCursor({40});
    Project project;
    project.append(ResourceKind::Icon, "1\t/full.ico");
    project.append(ResourceKind::Cursor, "1\t/one.cur");
    CompileLog log;
    ASSERT_TRUE(Compile32(project, "/o.res", log, fs)) << log.text();
    project.append(ResourceKind::Icon, "2\t/one.ico");
    log.clear();
    EXPECT_FALSE(Compile16(project, "/o.res", log, fs));
    EXPECT_EQ(log.lines().back(), "More than 65535 icon and cursor images in the project");
}

TEST_F(Writers, OutputReplacesALongerFormerFile) {
    writeFile(out, std::string(100000, 'o'));
    add(ResourceKind::String, "1", "x");
    compile(32);
    EXPECT_EQ(readFile(out).size(), 32u + 32 + 36);
    compile(16);
    EXPECT_EQ(readFile(out).size(), 3u + 3 + 2 + 4 + 16 + 1);
}

TEST_F(Writers, Bitmap16TakesTheFileLength) {
    std::string bmp = sampleBitmap(20, 12, std::string(2, 'Z'));
    add(ResourceKind::Bitmap, "100", source("a.bmp", bmp));
    compile(16);
    std::string res = readFile(out);
    EXPECT_EQ(res.substr(0, 12), std::string("\xFF\x02\0\xFF\x64\0\x30\0\xFA\x02\0\0", 12));
    EXPECT_EQ(res.substr(12), bmp.substr(14));
}

TEST_F(Writers, Names16AreAnsiBytesWithATerminator) {
    std::string wav = source("a.wav", sampleWave(3));
    add(ResourceKind::Wave, " my pic ", wav);
    add(ResourceKind::Wave, "0042", wav);
    compile(16);
    std::string res = readFile(out);
    EXPECT_EQ(res.substr(0, 5 + 7 + 2 + 4), std::string("WAVE\0MY PIC\0\x30\0\x03\0\0\0", 18));
    EXPECT_EQ(res.substr(18, 3), "RIF");
    EXPECT_EQ(res.substr(21, 5 + 3), std::string("WAVE\0\xFF\x2A\0", 8));
}

TEST_F(Writers, Strings16AreLengthBytesAndAnsiText) {
    add(ResourceKind::String, "1", "Hi");
    compile(16);
    EXPECT_EQ(readFile(out), std::string("\xFF\x06\0\xFF\x01\0\x30\x10\x12\0\0\0\0\x02Hi", 16) +
                                 std::string(14, '\0'));
    project = Project{};
    for (const char* id : {"40", "0", "16", "15"})
        add(ResourceKind::String, id, "a");
    compile(16);
    std::string res = readFile(out);
    EXPECT_EQ(res[4], 1);
    EXPECT_EQ(res.substr(12, 18), "\x01"
                                  "a" +
                                      std::string(14, '\0') +
                                      "\x01"
                                      "a");
    EXPECT_EQ(res[12 + 18 + 4], 2);
    EXPECT_EQ(res[12 + 18 + 12 + 17 + 4], 3);
}

TEST_F(Writers, Icons16HaveNoPaddingAndAGroupDirectory) {
    std::string ico = sampleIcon({41, 42});
    add(ResourceKind::Icon, "A", source("a.ico", ico));
    compile(16);
    std::string res = readFile(out);
    EXPECT_EQ(res.substr(0, 12), std::string("\xFF\x03\0\xFF\x01\0\x10\x10\x29\0\0\0", 12));
    EXPECT_EQ(res.substr(12, 41), ico.substr(6 + 32, 41));
    EXPECT_EQ(res.substr(53, 12), std::string("\xFF\x03\0\xFF\x02\0\x10\x10\x2A\0\0\0", 12));
    std::size_t group = 53 + 12 + 42;
    EXPECT_EQ(res.substr(group, 11), std::string("\xFF\x0E\0A\0\x30\x10\x22\0\0\0", 11));
    EXPECT_EQ(res.size(), group + 11 + 34);
}

TEST_F(Writers, Long16BitStringIsRefusedBeforeWriting) {
    writeFile(out, "former");
    add(ResourceKind::String, "1", std::string(255, 'a'));
    compile(16);
    std::string line = "2\t" + std::string(256, 'b');
    project.append(ResourceKind::String, line);
    CompileLog log = compile(16, false);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "", "*** ERROR ***", line,
                               "String too long: at most 255 characters in 16 bits-Mode"}));
    EXPECT_NE(readFile(out), "former");
    writeFile(out, "former");
    compile(16, false);
    EXPECT_EQ(readFile(out), "former");
    compile(32); // the 32-bit layout has room for it
}

TEST_F(Writers, BadSourcesStopTheCompilationAndKeepTheFormerOutput) {
    struct Case {
        ResourceKind kind;
        std::string bytes; // empty name: no file at all
        bool exists;
        int bits;
        std::string problem;
    };
    std::string cutIcon = sampleIcon({40, 40});
    cutIcon.resize(cutIcon.size() - 1);
    std::string manyImages = sampleIcon({});
    manyImages[4] = '\xFF'; // 65535 images, no directory
    manyImages[5] = '\xFF';
    std::string shortDir = sampleIcon({40, 40}).substr(0, 6 + 16);
    std::string reserved = sampleIcon({40});
    reserved[0] = 1;
    std::string shortHeader = sampleIcon({40});
    shortHeader[6 + 16] = 39;
    std::string longHeader = sampleIcon({44});
    longHeader[6 + 16] = 48; // a 48-byte header in a 44-byte image
    std::string bmp = sampleBitmap(4, 4);
    auto bitmapWith = [&](std::size_t at, const std::string& bytes, std::size_t size = 0) {
        std::string b = bmp.substr(0, size == 0 ? bmp.size() : size);
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    const std::string bad16bits(std::string("\x0A\0", 2));
    const Case cases[] = {
        {ResourceKind::Bitmap, "", false, 32, "Cannot read"},
        {ResourceKind::Wave, "", false, 16, "Cannot read"},
        {ResourceKind::Cursor, "", false, 32, "Cannot read"},
        {ResourceKind::Bitmap, "BM123", true, 32, "shorter than its 14-byte header"},
        {ResourceKind::Bitmap, "BM123", true, 16, "shorter than its 14-byte header"},
        {ResourceKind::Bitmap, bitmapWith(0, "MB"), true, 16, "does not begin with \"BM\""},
        {ResourceKind::Bitmap, bmp.substr(0, 16), true, 32, "ends inside its DIB header"},
        {ResourceKind::Bitmap, bitmapWith(14, "\x14"), true, 16, "DIB header of 20 bytes"},
        {ResourceKind::Bitmap, bmp.substr(0, 53), true, 32, "ends inside its DIB header"},
        {ResourceKind::Bitmap, bitmapWith(14 + 14, std::string("\x08\0", 2)), true, 16,
         "ends inside its colour table"},
        {ResourceKind::Bitmap, bitmapWith(14 + 32, std::string("\xFF\xFF", 2)), true, 32,
         "ends inside its colour table"},
        {ResourceKind::Bitmap, bmp.substr(0, bmp.size() - 1), true, 32,
         "ends before the last of its 4 pixel rows"},
        {ResourceKind::Bitmap, bitmapWith(14 + 8, "\xFB\xFF\xFF\xFF"), true, 16,
         "ends before the last of its 5 pixel rows"},
        {ResourceKind::Bitmap, bitmapWith(14 + 14, bad16bits), true, 32, "10 bits per pixel"},
        {ResourceKind::Bitmap, bitmapWith(14 + 4, "\xFF\xFF\xFF\xFF"), true, 16, "negative width"},
        {ResourceKind::Icon, "\0\0\x01", true, 32, "shorter than its 6-byte header"},
        {ResourceKind::Icon, manyImages, true, 16, "shorter than its image directory"},
        {ResourceKind::Icon, shortDir, true, 32, "shorter than its image directory"},
        {ResourceKind::Icon, cutIcon, true, 16, "Icon image 2 lies outside the file"},
        {ResourceKind::Icon, reserved, true, 32, "reserved field is 1, not 0"},
        {ResourceKind::Icon, sampleCursor({40}), true, 16, "Icon file is a cursor file"},
        {ResourceKind::Icon, sampleIconFile(3, {40}), true, 32, "Icon file of type 3, not 1"},
        {ResourceKind::Icon, sampleIcon({39}), true, 32, "Icon image 1 is neither a PNG"},
        {ResourceKind::Icon, shortHeader, true, 16, "Icon image 1 is neither a PNG"},
        {ResourceKind::Icon, longHeader, true, 32, "Icon image 1 is neither a PNG"},
        {ResourceKind::Cursor, sampleIcon({40}), true, 32, "Cursor file is an icon file"},
        {ResourceKind::Cursor, sampleIcon({40}), true, 16, "Cursor file is an icon file"},
        {ResourceKind::Cursor, sampleCursor({40, 3}), true, 16, "Cursor image 2 is neither a PNG"},
        {ResourceKind::Cursor, sampleCursor({40}).substr(0, 30), true, 32,
         "Cursor image 1 lies outside the file"},
    };
    for (const Case& c : cases) {
        project = Project{};
        add(ResourceKind::String, "1", "fine");
        std::string path = dir.file("src");
        std::filesystem::remove(path);
        if (c.exists)
            writeFile(path, c.bytes);
        std::string line = "9\t" + path;
        project.append(c.kind, line);
        writeFile(out, "former output");
        CompileLog log = compile(c.bits, false);
        std::vector<std::string> lines = log.lines();
        ASSERT_GE(lines.size(), 4u) << log.text();
        EXPECT_EQ(lines[lines.size() - 3], "*** ERROR ***") << c.problem;
        EXPECT_EQ(lines[lines.size() - 2], line);
        EXPECT_NE(lines.back().find(c.problem), std::string::npos) << lines.back();
        EXPECT_EQ(readFile(out), "former output") << c.problem;
        // Only the source (when there is one) and the former output remain.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
                  c.exists ? 2 : 1);
    }
    // A directory where the source should be.
    project = Project{};
    add(ResourceKind::Wave, "1", dir.path().string());
    CompileLog log = compile(32, false);
    EXPECT_NE(log.lines().back().find("Is a directory"), std::string::npos);
}

TEST_F(Writers, UnwritableOutputIsReportedWithItsPath) {
    add(ResourceKind::String, "1", "x");
    out = dir.file("no/such/dir/out.res");
    CompileLog log = compile(32, false);
    EXPECT_EQ(log.lines()[1], "*** ERROR ***");
    EXPECT_EQ(log.lines()[2].rfind("Cannot write " + out + " : ", 0), 0u) << log.lines()[2];
}

TEST(RunCompilation, ChecksBeforeWriting) {
    TempDir dir;
    Project p;
    p.append(ResourceKind::String, "1\ta");
    p.append(ResourceKind::String, "01\tb");
    std::string out = dir.file("x.res");
    writeFile(out, "former");
    CompileLog log;
    EXPECT_EQ(runCompilation(p, 32, out, log), CompileOutcome::IdentifierError);
    EXPECT_EQ(readFile(out), "former");
    p.remove(ResourceKind::String, 1);
    EXPECT_EQ(runCompilation(p, 16, out, log), CompileOutcome::Success);
    EXPECT_EQ(log.lines()[0], "Identificators = OK");
    EXPECT_EQ(log.lines()[1], "");
    EXPECT_EQ(log.lines()[2], "[STRING] = OK");
}

} // namespace
} // namespace kelbo

namespace kelbo {
namespace {

TEST(ResFileDialog, StartsInTheProjectFolderThenFollowsTheChoice) {
    Session s;
    s.ExeDir = "/opt/kelbo";
    s.ResFileName = "/old.res";
    prepareResDialog(s);
    EXPECT_EQ(s.ResFileName, "");
    EXPECT_EQ(s.ResDir, "/opt/kelbo");
    Session withProject;
    withProject.ProjectDir = "/work";
    prepareResDialog(withProject);
    EXPECT_EQ(withProject.ResDir, "/work");
    takeResFile(withProject, "C:\\WORK\\RES\\OUT.RES", PathStyle::Windows);
    EXPECT_EQ(withProject.ResFileName, "C:\\WORK\\RES\\OUT.RES");
    EXPECT_EQ(withProject.ResDir, "C:\\WORK\\RES");
    // Another project later does not move it.
    withProject.ProjectDir = "/elsewhere";
    prepareResDialog(withProject);
    EXPECT_EQ(withProject.ResDir, "C:\\WORK\\RES");
    EXPECT_EQ(resDialogTitle(16), "Save As ...( 16 bits)");
    EXPECT_EQ(resDialogTitle(32), "Save As ...( 32 bits)");
}

} // namespace
} // namespace kelbo

namespace kelbo {
namespace {

class KeyedSections : public Writers {};

TEST_F(KeyedSections, ManifestAndVersionFollowDataInTheirOwnResources) {
    add(ResourceKind::Data, "5", "BLOB\t" + source("d.bin", "xyz"));
    project.append(ResourceKind::Manifest, "controls=6");
    project.append(ResourceKind::Manifest, "id=2");
    project.append(ResourceKind::Version, "FileVersion=3.1");
    CompileLog log = compile(32);
    const std::vector<std::string> lines = log.lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 4),
              (std::vector<std::string>{"[DATA] = OK", "[MANIFEST] = OK", "[VERSION] = OK"}));
    std::vector<Res32> r = parse32(readFile(out));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[2].type, ord(24));
    EXPECT_EQ(r[2].name, ord(2));
    EXPECT_EQ(r[2].flags, 0x30);
    ManifestProblem mp;
    std::optional<ManifestSettings> settings = parseManifest({"controls=6", "id=2"}, mp);
    ASSERT_TRUE(settings);
    EXPECT_EQ(r[2].data, generateManifest(*settings));
    EXPECT_EQ(r[2].data.size() % 4, 0u);
    EXPECT_EQ(r[3].type, ord(16));
    EXPECT_EQ(r[3].name, ord(1));
    EXPECT_EQ(r[3].flags, 0x30);
    VersionProblem vp;
    std::optional<VersionSettings> version = parseVersionLines({"FileVersion=3.1"}, vp);
    ASSERT_TRUE(version);
    EXPECT_EQ(r[3].data, buildVersionInfo32(*version));
}

TEST_F(KeyedSections, BadKeysAndA16BitManifestStopBeforeAnythingIsWritten) {
    const std::string former = "FORMER OUTPUT";
    struct Case {
        ResourceKind kind;
        std::string line;
        int bits;
        std::vector<std::string> tail; // the log's last lines
    };
    const Case cases[] = {
        {ResourceKind::Manifest, "colour=6", 32, {"*** ERROR ***", "colour=6"}},
        {ResourceKind::Manifest,
         "controls=6",
         16,
         {"*** ERROR ***", std::string(kNoManifestIn16Bits)}},
        {ResourceKind::Version,
         "FileVersion=1.65536",
         32,
         {"*** ERROR ***", "FileVersion=1.65536"}},
        {ResourceKind::Version, "FileVersion=1.x", 16, {"*** ERROR ***", "FileVersion=1.x"}},
        {ResourceKind::Manifest,
         "file=" + dir.file("missing.manifest"),
         32,
         {"*** ERROR ***", "file=" + dir.file("missing.manifest")}},
        {ResourceKind::Manifest,
         "file=" + source("bad.manifest", "<assembly>"),
         32,
         {"*** ERROR ***", "file=" + dir.file("bad.manifest")}},
    };
    for (const Case& c : cases) {
        project.clearAll();
        add(ResourceKind::Bitmap, "1", source("a.bmp", sampleBitmap(2, 2)));
        project.append(c.kind, c.line);
        writeFile(out, former);
        CompileLog log = compile(c.bits, false);
        const std::vector<std::string> lines = log.lines();
        ASSERT_GE(lines.size(), c.tail.size() + 1) << log.text();
        // The error, the line at fault, then what is wrong with it; no section was written.
        auto at = std::find(lines.begin(), lines.end(), "*** ERROR ***");
        ASSERT_NE(at, lines.end()) << log.text();
        EXPECT_TRUE(std::equal(c.tail.begin(), c.tail.end(), at)) << log.text();
        EXPECT_EQ(std::find(lines.begin(), lines.end(), "[BITMAP] = OK"), lines.end())
            << log.text();
        EXPECT_FALSE(lines.back().empty());
        EXPECT_EQ(readFile(out), former);
    }
}

// Each section's resources carry its language: kind by kind, the base first, then the others in
// the project's order; string blocks and version resources are built per language.
TEST_F(Writers, SectionsWriteTheirLanguageKindByKind) {
    std::string bmp = source("a.bmp", sampleBitmap(1, 1));
    project.base().language = 0x0409;
    add(ResourceKind::Bitmap, "logo", bmp);
    add(ResourceKind::String, "1", "Open");
    LanguageSection& ru = project.section(project.addSection(0x0419));
    ru.append(ResourceKind::String, "1\tОткрыть 😀");
    ru.append(ResourceKind::String, "17\tещё");
    ru.append(ResourceKind::Bitmap, "логотип\t" + bmp);
    ru.append(ResourceKind::Version, "FileDescription=Редактор");
    LanguageSection& zh = project.section(project.addSection(0x0804));
    zh.append(ResourceKind::String, "1\t打开");
    CompileLog log = compile(32);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "", "[BITMAP] = OK", "[STRING] = OK", "[VERSION] = OK",
                               "Compilation 32 bits : " + out, "Compilation : SuccessFull"}));
    std::vector<Res32> r = parse32(readFile(out));
    struct Want {
        std::string type, name;
        std::uint16_t language;
    };
    const Want want[] = {{ord(2), wide("LOGO"), 0x409}, {ord(2), wide("ЛОГОТИП"), 0x419},
                         {ord(6), ord(1), 0x409},       {ord(6), ord(1), 0x419},
                         {ord(6), ord(2), 0x419},       {ord(6), ord(1), 0x804},
                         {ord(16), ord(1), 0x419}};
    ASSERT_EQ(r.size(), std::size(want) + 1);
    for (std::size_t i = 0; i < std::size(want); ++i) {
        EXPECT_EQ(r[i + 1].type, want[i].type) << i;
        EXPECT_EQ(r[i + 1].name, want[i].name) << i;
        EXPECT_EQ(r[i + 1].language, want[i].language) << i;
    }
    // The slot's length counts UTF-16 units: the emoji takes two.
    EXPECT_EQ(r[4].data.substr(2, 2 + 20), std::string("\x0A\0", 2) + WidenText("Открыть 😀"));
    EXPECT_EQ(r[6].data.substr(2, 4), std::string("\x02\0\x53\x62", 4));
}

TEST_F(Writers, IdentifiersCompareWithinOneLanguage) {
    add(ResourceKind::String, "1", "Open");
    project.section(project.addSection(0x0419)).append(ResourceKind::String, "1\tОткрыть");
    CompileLog log;
    EXPECT_EQ(CheckIdentifiers(project, log), 0) << log.text();
    // A twin inside one language is refused, and the error names that language.
    project.section(1).append(ResourceKind::String, "+1\tещё");
    log.clear();
    EXPECT_EQ(CheckIdentifiers(project, log), kNotANumber);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"", "*** ERROR ***", "Language : 0419",
                                        "Same Identificators", "1\tОткрыть", "+1\tещё"}));
}

TEST_F(Writers, SixteenBitsRefuseLanguagesAndTextOutsideWindows1252) {
    writeFile(out, "former");
    struct Case {
        ResourceKind kind;
        std::string line;
        std::string problem; // empty: compiles
    };
    std::string bmp = source("a.bmp", sampleBitmap(1, 1));
    std::string dir = source("Жёлтый.bmp", sampleBitmap(1, 1));
    const std::string notHeld = "Only Windows-1252 text exists in 16 bits-Mode; this line holds ";
    const Case cases[] = {
        {ResourceKind::String, "1\tcafé €", ""},
        {ResourceKind::Bitmap, "ÉTÉ\t" + dir, ""}, // a path is read, never written
        {ResourceKind::String, "1\tЖ", notHeld + "U+0416"},
        {ResourceKind::Bitmap, "лого\t" + bmp, notHeld + "U+043B"},
        {ResourceKind::Data, "1\tТИП\t" + bmp, notHeld + "U+0422"},
        {ResourceKind::Version, "Comments=中", notHeld + "U+4E2D"},
    };
    for (const Case& c : cases) {
        writeFile(out, "former");
        project = Project{};
        project.append(c.kind, c.line);
        CompileLog log = compile(16, c.problem.empty());
        if (!c.problem.empty()) {
            EXPECT_EQ(log.lines(),
                      (std::vector<std::string>{"", "*** ERROR ***", c.line, c.problem}));
            EXPECT_EQ(readFile(out), "former");
        }
    }
    // What Windows-1252 holds is written as its one-byte text.
    project = Project{};
    add(ResourceKind::String, "1", "é€");
    compile(16);
    EXPECT_EQ(readFile(out).substr(13, 3), "\x02\xE9\x80");
    // Languages do not exist there; the base's own language is simply not written.
    project.base().language = 0x0419;
    compile(16);
    writeFile(out, "former");
    project.addSection(0x0407);
    CompileLog log = compile(16, false);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "", "*** ERROR ***",
                  "Languages do not exist in 16 bits-Mode: remove the language section 0407"}));
    EXPECT_EQ(readFile(out), "former");
}

} // namespace
} // namespace kelbo
