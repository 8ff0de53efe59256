// Writes the data of the cross-platform checks: .BMP, .ICO, .WAV, .CUR and custom data sources, one
// project file per system naming them in that system's path form, and the table of cases that the
// Windows consumer program compiles in. Standalone on purpose: the files it writes must not depend
// on the code they test.
//
//   make_test_data OUT_DIR WINDOWS_FORM_OF_OUT_DIR
//
// OUT_DIR/src/       the sources (file names in UTF-8, as Linux stores them)
// OUT_DIR/linux.kbp  paths in OUT_DIR form
// OUT_DIR/win.kbp    the same paths in the Windows form (drive, backslashes)
// OUT_DIR/cases.inc  what the consumer looks up and where it finds the source to compare with
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

#include "version_cases.inc"

using Bytes = std::string;

void put16(Bytes& b, std::uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}

// A small deterministic pattern so that every pixel and sample differs from its neighbours.
std::uint8_t pattern(std::uint32_t seed, std::uint32_t i) {
    std::uint32_t x = seed * 2654435761u + i * 40503u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    return static_cast<std::uint8_t>(x >> 24);
}

std::uint32_t rowBytes(std::uint32_t width, std::uint32_t bits) {
    return ((width * bits + 31) / 32) * 4;
}

// A bottom-up .BMP with 8 (palette of 256) or 24 bits per pixel. `trailing` bytes of garbage go
// after the declared end: a compiler copies them too, the declared size is not trusted.
Bytes makeBitmap(std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint32_t seed,
                 std::uint32_t trailing = 0) {
    const std::uint32_t palette = bits == 8 ? 256 * 4 : 0;
    const std::uint32_t image = rowBytes(width, bits) * height;
    const std::uint32_t offset = 14 + 40 + palette;
    Bytes b;
    b += "BM";
    put32(b, offset + image);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, bits);
    put32(b, 0); // BI_RGB
    put32(b, image);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, bits == 8 ? 256 : 0);
    put32(b, 0);
    for (std::uint32_t i = 0; i < palette; ++i)
        b += static_cast<char>(i % 4 == 3 ? 0 : pattern(seed + 7, i));
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t used = (width * bits + 7) / 8;
        for (std::uint32_t x = 0; x < rowBytes(width, bits); ++x)
            b += static_cast<char>(x < used ? pattern(seed, y * 1000 + x) : 0);
    }
    b.append(trailing, '\x5A');
    return b;
}

struct IconImage {
    std::uint32_t size;  // width = height
    std::uint16_t bits;  // 4 or 32
    std::uint32_t extra; // bytes of slack declared in the directory after the image
    std::uint8_t planes; // as the directory says (0 is allowed there)
};

// One DIB icon image: header with the doubled height, palette, colour bits, AND mask.
Bytes makeIconImage(const IconImage& img, std::uint32_t seed) {
    const std::uint32_t n = img.size;
    Bytes b;
    put32(b, 40);
    put32(b, n);
    put32(b, n * 2);
    put16(b, 1);
    put16(b, img.bits);
    put32(b, 0);
    put32(b, (rowBytes(n, img.bits) + rowBytes(n, 1)) * n);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    if (img.bits == 4)
        for (std::uint32_t i = 0; i < 16 * 4; ++i)
            b += static_cast<char>(i % 4 == 3 ? 0 : pattern(seed + 3, i));
    for (std::uint32_t i = 0; i < rowBytes(n, img.bits) * n; ++i) {
        std::uint8_t v = pattern(seed, i);
        if (img.bits == 32 && i % 4 == 3)
            v = 0xFF; // opaque alpha
        b += static_cast<char>(v);
    }
    for (std::uint32_t y = 0; y < n; ++y)
        for (std::uint32_t x = 0; x < rowBytes(n, 1); ++x)
            b += static_cast<char>(x * 8 < n ? ((y + x) % 3 == 0 ? 0x81 : 0x00) : 0);
    b.append(img.extra, '\0');
    return b;
}

struct HotSpot {
    std::uint16_t x, y;
};

// An icon file (type 1), or with `hotSpots` a cursor file (type 2) whose directory holds each
// image's hot spot where an icon's holds planes and bit count.
Bytes makeIcon(const std::vector<IconImage>& images, std::uint32_t seed,
               const std::vector<HotSpot>& hotSpots = {}) {
    std::vector<Bytes> data;
    for (std::size_t i = 0; i < images.size(); ++i)
        data.push_back(makeIconImage(images[i], seed + static_cast<std::uint32_t>(i) * 11));
    const bool cursor = !hotSpots.empty();
    Bytes b;
    put16(b, 0);
    put16(b, cursor ? 2 : 1);
    put16(b, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& img = images[i];
        b += static_cast<char>(img.size >= 256 ? 0 : img.size);
        b += static_cast<char>(img.size >= 256 ? 0 : img.size);
        b += static_cast<char>(img.bits == 4 ? 16 : 0);
        b += '\0';
        put16(b, cursor ? hotSpots[i].x : img.planes);
        put16(b, cursor ? hotSpots[i].y : img.bits);
        put32(b, static_cast<std::uint32_t>(data[i].size()));
        put32(b, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const Bytes& d : data)
        b += d;
    return b;
}

// A PCM RIFF file of exactly `total` bytes (at least 45).
Bytes makeWave(std::uint32_t total, std::uint32_t seed) {
    const std::uint32_t samples = total - 44;
    Bytes b = "RIFF";
    put32(b, total - 8);
    b += "WAVEfmt ";
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, 8000);
    put32(b, 8000);
    put16(b, 1);
    put16(b, 8);
    b += "data";
    put32(b, samples);
    for (std::uint32_t i = 0; i < samples; ++i)
        b += static_cast<char>(pattern(seed, i));
    return b;
}

// Text in Windows-1252 and its UTF-8 form, for file names on Linux.
std::string cp1252ToUtf8(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= 0xA0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            std::cerr << "make_test_data: no UTF-8 form wired for byte " << int(c) << "\n";
            std::exit(2);
        }
    }
    return out;
}

// A C string literal holding the bytes as they are (octal escapes never swallow what follows).
std::string cLiteral(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        }
    }
    return out + "\"";
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) {
        std::cerr << "make_test_data: cannot write " << path << "\n";
        std::exit(1);
    }
}

struct FileItem {
    std::string id;       // as typed into the project, Windows-1252
    std::string fileName; // Windows-1252
    Bytes content;
    std::string lookup; // the name a program passes to the API; empty for an ordinal
    int ordinal = -1;
};

struct DataItem {
    FileItem file;
    std::string type;       // as typed into the project
    std::string typeLookup; // the type name a program passes; empty for an ordinal
    int typeOrdinal = -1;
};

struct StringItem {
    std::string id;
    std::string text;
    int number;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_test_data OUT_DIR WINDOWS_FORM_OF_OUT_DIR\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::string winOut = argv[2];
    while (!winOut.empty() && winOut.back() == '\\')
        winOut.pop_back();
    std::filesystem::create_directories(out / "src");

    // Names in lower case, with spaces, with leading zeros and with Windows-1252 letters: the
    // program looks them up as a Visual Basic program would, Windows upper-cases the name.
    const std::vector<FileItem> bitmaps = {
        {"1", "RED.BMP", makeBitmap(5, 3, 24, 1), "", 1},
        {" my pic ", "my pic.bmp", makeBitmap(16, 9, 8, 2), "my pic", -1},
        {"007", "seven.bmp", makeBitmap(7, 7, 24, 3), "", 7},
        {"caf\xE9", "Caf\xE9.bmp", makeBitmap(3, 2, 24, 4), "caf\xE9", -1},
        {"Logo", "logo.bmp", makeBitmap(4, 4, 8, 5, 13), "logo", -1},
    };
    const std::vector<FileItem> icons = {
        {"1", "app.ico", makeIcon({{16, 32, 0, 1}, {32, 4, 0, 1}, {48, 32, 0, 1}}, 10), "", 1},
        {"app icon", "one.ico", makeIcon({{32, 32, 0, 1}}, 20), "app icon", -1},
        // Five images, all compiled. One declares 3 bytes of slack after its image, so its size
        // is not a multiple of four; one has 0 planes in the directory.
        {"\xE9t\xE9", "\xC9t\xE9.ico",
         makeIcon({{16, 4, 3, 1}, {24, 32, 0, 0}, {32, 32, 0, 1}, {48, 4, 0, 1}, {64, 32, 0, 1}},
                  30),
         "\xE9t\xE9", -1},
        {"0100", "hundred.ico", makeIcon({{24, 4, 0, 1}, {16, 32, 0, 1}}, 40), "", 100},
        // Nine sizes, the directory's planes and bits left 0 as icon editors leave them.
        {"many", "many.ico",
         makeIcon({{16, 32, 0, 0},
                   {20, 32, 0, 0},
                   {24, 32, 0, 0},
                   {32, 32, 0, 0},
                   {40, 32, 0, 0},
                   {48, 32, 0, 0},
                   {64, 32, 0, 0},
                   {72, 32, 0, 0},
                   {96, 32, 0, 0}},
                  45),
         "many", -1},
    };
    const std::vector<FileItem> cursors = {
        {"arrow", "arrow.cur",
         makeIcon({{32, 32, 0, 1}, {16, 4, 0, 1}, {48, 32, 1, 1}}, 60, {{3, 5}, {15, 0}, {47, 20}}),
         "arrow", -1},
        {"2", "two.cur", makeIcon({{32, 4, 0, 1}}, 61, {{16, 16}}), "", 2},
        {"Pointer é", "Pointer é.cur", makeIcon({{24, 32, 0, 1}}, 62, {{0, 23}}), "pointer é", -1},
    };
    const std::vector<DataItem> data = {
        {{"7", "custom.bin", makeWave(1001, 70).substr(3), "", 7}, "custom", "CUSTOM", -1},
        {{"table", "table.bin", makeBitmap(3, 3, 24, 71).substr(5), "table", -1}, " 300 ", "", 300},
        {{"8", "levels.dat", "level 1\r\nlevel 2\r\n", "", 8}, "Level Data", "level data", -1},
        {{"Caf\xE9", "caf\xE9.dat", "x", "caf\xE9", -1},
         "Donn\xE9"
         "es",
         "donn\xE9"
         "es",
         -1},
    };
    const std::vector<FileItem> waves = {
        {"beep", "beep.wav", makeWave(1001, 50), "beep", -1},
        {"0042", "answer.wav", makeWave(1000, 51), "", 42},
        {"boom1", "boom 1.wav", makeWave(1002, 52), "boom1", -1},
        {"No\xEBl", "No\xEBl.wav", makeWave(47, 53), "no\xEBl", -1},
    };
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += static_cast<char>('a' + i % 26);
    const std::vector<StringItem> strings = {
        {"1", "Hello", 1},
        {"17", "World", 17},
        {"0", "zero", 0},
        {"32767", "last one", 32767},
        {"007", "Price: 5 \x80", 7},
        {"40", "  spaced\ttab  ", 40},
        {"15",
         "Gr\xF6\xDF"
         "e \xC4\xD6\xDC \xE4\xF6\xFC \x84quoted\x93 \x85",
         15},
        {"16", "", 16},
        {"100", longText, 100},
        {"5", "\xA9 \xAE \x99 \xB0 \xBD \xFF \x9F", 5},
    };

    // The manifest is linked into the consumer, which Windows then runs with it: a minimal one that
    // asks for common controls 6, so the consumer can tell that Windows read it.
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "  <assemblyIdentity type=\"win32\" name=\"Kelbo.Consumer\" version=\"1.0.0.0\"/>\r\n"
        "  <description>consumer \xC3\xA9</description>\r\n"
        "  <dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency>\r\n"
        "</assembly>\r\n";
    writeFile(out / "src" / "app.manifest", manifest);

    for (const auto* list : {&bitmaps, &icons, &waves, &cursors})
        for (const FileItem& item : *list)
            writeFile(out / "src" / cp1252ToUtf8(item.fileName), item.content);
    for (const DataItem& item : data)
        writeFile(out / "src" / cp1252ToUtf8(item.file.fileName), item.file.content);

    const auto project = [&](const std::string& dir, char sep, const std::vector<StringItem>& texts,
                             bool manifested) {
        Bytes b = "KELBO200";
        const auto section = [&](const std::vector<std::string>& lines) {
            put16(b, static_cast<std::uint16_t>(lines.size()));
            for (const std::string& l : lines) {
                put16(b, static_cast<std::uint16_t>(l.size()));
                b += l;
            }
        };
        const auto fileLines = [&](const std::vector<FileItem>& items) {
            std::vector<std::string> lines;
            for (const FileItem& i : items)
                lines.push_back(i.id + '\t' + dir + sep + "src" + sep + i.fileName);
            return lines;
        };
        section(fileLines(bitmaps));
        section(fileLines(icons));
        std::vector<std::string> lines;
        for (const StringItem& s : texts)
            lines.push_back(s.id + '\t' + s.text);
        section(lines);
        section(fileLines(waves));
        // Cursors and custom data live in the extension block after the original sections.
        b += "KELBOEXT";
        b += "CURS";
        section(fileLines(cursors));
        b += "DATA";
        lines.clear();
        for (const DataItem& i : data)
            lines.push_back(i.file.id + '\t' + i.type + '\t' + dir + sep + "src" + sep +
                            i.file.fileName);
        section(lines);
        // 16-bit Windows has no manifests; the version information goes into both layouts.
        if (manifested) {
            b += "MANI";
            section({"file=" + dir + sep + "src" + sep + "app.manifest"});
        }
        b += "VERS";
        section(std::vector<std::string>(std::begin(kVersionLines), std::end(kVersionLines)));
        return b;
    };
    // The Linux project names its sources by the Windows-1252 path; the program's file layer
    // maps it to the UTF-8 name on disk, as Windows maps it to UTF-16.
    writeFile(out / "linux.kbp", project(out.string(), '/', strings, true));
    writeFile(out / "win.kbp", project(winOut, '\\', strings, true));
    // The 16-bit layout keeps a string's length in one byte: its projects leave out the texts
    // above 255 characters.
    std::vector<StringItem> shortStrings;
    for (const StringItem& s : strings)
        if (s.text.size() <= 255)
            shortStrings.push_back(s);
    writeFile(out / "linux16.kbp", project(out.string(), '/', shortStrings, false));
    writeFile(out / "win16.kbp", project(winOut, '\\', shortStrings, false));

    // A project in three languages, its text in UTF-8: the same identifiers in each language,
    // as a localized program has them. English is the base section.
    struct LangString {
        std::uint16_t language;
        int id;
        std::string text; // UTF-8
    };
    struct LangBitmap {
        std::uint16_t language;
        std::string id, lookup, fileName; // UTF-8
        Bytes content;
    };
    struct LangVersion {
        std::uint16_t language;
        std::string description; // UTF-8
    };
    const std::uint16_t langs[] = {0x0409, 0x0419, 0x0804};
    const std::vector<LangString> langStrings = {
        {0x0409, 1, "Open"},
        {0x0409, 2, "Close"},
        {0x0419, 1, "Открыть"},
        {0x0419, 2, "Закрыть 😀"},
        {0x0419, 40, "Ελληνικά: ωραία"},
        {0x0804, 1, "打开"},
        {0x0804, 3, "𠀀 扩展"},
    };
    const std::vector<LangBitmap> langBitmaps = {
        {0x0409, "flag", "flag", "flag-en.bmp", makeBitmap(3, 2, 24, 80)},
        {0x0419, "flag", "flag", "flag-ru.bmp", makeBitmap(4, 2, 24, 81)},
        {0x0419, "флаг", "флаг", "флаг.bmp", makeBitmap(2, 2, 24, 82)},
        {0x0804, "旗", "旗", "旗.bmp", makeBitmap(5, 1, 24, 83)},
    };
    const std::vector<LangVersion> langVersions = {
        {0x0409, "Editor"}, {0x0419, "Редактор ✓"}, {0x0804, "编辑器 😀"}};
    for (const LangBitmap& b : langBitmaps)
        writeFile(out / "src" / b.fileName, b.content);
    const auto hex4 = [](std::uint16_t v) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04X", v);
        return std::string(buf);
    };
    const auto langProject = [&](const std::string& dir, char sep) {
        Bytes b = "KELBO200";
        const auto section = [&](const std::vector<std::string>& lines) {
            put16(b, static_cast<std::uint16_t>(lines.size()));
            for (const std::string& l : lines) {
                put16(b, static_cast<std::uint16_t>(l.size()));
                b += l;
            }
        };
        const auto kinds = [&](std::uint16_t lang, bool base) {
            std::vector<std::string> bmps, strs, vers;
            for (const LangBitmap& i : langBitmaps)
                if (i.language == lang)
                    bmps.push_back(i.id + '\t' + dir + sep + "src" + sep + i.fileName);
            for (const LangString& i : langStrings)
                if (i.language == lang)
                    strs.push_back(std::to_string(i.id) + '\t' + i.text);
            for (const LangVersion& v : langVersions)
                if (v.language == lang)
                    vers = {"FileVersion=1.2.3.4", "Language=" + hex4(lang), "CodePage=1200",
                            "FileDescription=" + v.description};
            if (base) {
                section(bmps);
                section({});
                section(strs);
                section({});
                return;
            }
            if (!bmps.empty()) {
                b += "BITM";
                section(bmps);
            }
            if (!strs.empty()) {
                b += "STRG";
                section(strs);
            }
            b += "VERS";
            section(vers);
        };
        kinds(langs[0], true);
        b += "KELBOEXT";
        b += "TEXT";
        section({"UTF-8"});
        for (const LangVersion& v : langVersions)
            if (v.language == langs[0]) {
                b += "VERS";
                section({"FileVersion=1.2.3.4", "Language=" + hex4(langs[0]), "CodePage=1200",
                         "FileDescription=" + v.description});
            }
        b += "BASE";
        section({hex4(langs[0])});
        for (std::size_t i = 1; i < std::size(langs); ++i) {
            b += "LANG";
            section({hex4(langs[i])});
            kinds(langs[i], false);
        }
        return b;
    };
    writeFile(out / "lang.kbp", langProject(out.string(), '/'));
    writeFile(out / "winlang.kbp", langProject(winOut, '\\'));
    std::string langInc = "// Generated by make_test_data; do not edit.\n";
    langInc += "static const LangStringCase kLangStrings[] = {\n";
    for (const LangString& i : langStrings)
        langInc += "    {0x" + hex4(i.language) + ", " + std::to_string(i.id) + ", " +
                   cLiteral(i.text) + "},\n";
    langInc += "};\nstatic const LangBitmapCase kLangBitmaps[] = {\n";
    for (const LangBitmap& i : langBitmaps)
        langInc += "    {0x" + hex4(i.language) + ", " + cLiteral(i.lookup) + ", " +
                   cLiteral(winOut + "\\src\\" + i.fileName) + "},\n";
    langInc += "};\nstatic const LangVersionCase kLangVersions[] = {\n";
    for (const LangVersion& v : langVersions)
        langInc += "    {0x" + hex4(v.language) + ", " + cLiteral(v.description) + "},\n";
    langInc += "};\n";
    writeFile(out / "lang_cases.inc", langInc);

    std::string inc = "// Generated by make_test_data; do not edit.\n";
    const auto fileCases = [&](const char* name, const std::vector<FileItem>& items) {
        inc += std::string("static const FileCase ") + name + "[] = {\n";
        for (const FileItem& i : items)
            inc += "    {" + cLiteral(i.lookup) + ", " + std::to_string(i.ordinal) + ", " +
                   cLiteral(winOut + "\\src\\" + i.fileName) + "},\n";
        inc += "};\n";
    };
    fileCases("kBitmaps", bitmaps);
    fileCases("kIcons", icons);
    fileCases("kWaves", waves);
    fileCases("kCursors", cursors);
    inc += "static const DataCase kData[] = {\n";
    for (const DataItem& i : data)
        inc += "    {{" + cLiteral(i.file.lookup) + ", " + std::to_string(i.file.ordinal) + ", " +
               cLiteral(winOut + "\\src\\" + i.file.fileName) + "}, " + cLiteral(i.typeLookup) +
               ", " + std::to_string(i.typeOrdinal) + "},\n";
    inc += "};\n";
    inc +=
        "static const char kManifestPath[] = " + cLiteral(winOut + "\\src\\app.manifest") + ";\n";
    inc += "static const StringCase kStrings[] = {\n";
    for (const StringItem& s : strings)
        inc += "    {" + std::to_string(s.number) + ", " + cLiteral(s.text) + ", " +
               std::to_string(s.text.size()) + "},\n";
    inc += "};\n";
    writeFile(out / "cases.inc", inc);
    return 0;
}
