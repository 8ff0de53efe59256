// Compiles projects with kelbo-compile and the equivalent resource script with llvm-rc, and
// checks that both .RES files hold the same resources.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ResReader.h"
#include "SampleMedia.h"
#include "platform/Cp1252.h"
#include "project/Project.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/SourceFiles.h"

namespace fs = std::filesystem;
using kelbo::Project;
using kelbo::ResourceKind;

namespace {

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult run(const std::string& command) {
    RunResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        r.output.append(buf, n);
    int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const fs::path& p, const std::string& bytes) {
    ASSERT_TRUE(kelbo::sample::writeBinaryFile(p, bytes)) << p;
}

std::string trimSpaces(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

bool allDigits(const std::string& s) {
    return s.find_first_not_of("0123456789") == std::string::npos;
}

// How the resource script names an item: its number, or its name with spaces as underscores
// (the script has no way to spell a space in a name; the comparison reads ours the same way).
std::string scriptId(const std::string& rawId) {
    std::string id = trimSpaces(rawId);
    if (allDigits(id))
        return std::to_string(id.empty() ? 0 : std::stol(id));
    for (char& c : id)
        if (c == ' ')
            c = '_';
    return id;
}

std::string scriptString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

// The resource script that says what the project says, in Windows-1252 like the project.
std::string resourceScript(const Project& project) {
    std::string rc = "LANGUAGE 0, 0\n";
    auto fileKind = [&](ResourceKind kind, const char* keyword) {
        for (const std::string& line : project.lines(kind)) {
            std::size_t tab = line.find('\t');
            std::string path = kelbo::cp1252ToUtf8(trimSpaces(line.substr(tab + 1)));
            rc += scriptId(line.substr(0, tab)) + " " + keyword + " \"" + path + "\"\n";
        }
    };
    fileKind(ResourceKind::Bitmap, "BITMAP");
    fileKind(ResourceKind::Icon, "ICON");
    if (project.count(ResourceKind::String) > 0) {
        rc += "STRINGTABLE\n{\n";
        for (const std::string& line : project.lines(ResourceKind::String)) {
            std::size_t tab = line.find('\t');
            rc += "  " + std::to_string(std::stol(trimSpaces(line.substr(0, tab)))) + ", " +
                  scriptString(line.substr(tab + 1)) + "\n";
        }
        rc += "}\n";
    }
    fileKind(ResourceKind::Wave, "WAVE");
    fileKind(ResourceKind::Cursor, "CURSOR");
    // A user-defined resource: `name type "file"`, the type a number or an upper-cased name.
    for (const std::string& line : project.lines(ResourceKind::Data)) {
        std::size_t tab = line.find('\t');
        std::size_t second = line.find('\t', tab + 1);
        std::string type = trimSpaces(line.substr(tab + 1, second - tab - 1));
        for (char& c : type)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        std::string path = kelbo::cp1252ToUtf8(trimSpaces(line.substr(second + 1)));
        rc += scriptId(line.substr(0, tab)) + " " + (allDigits(type) ? scriptId(type) : type) +
              " \"" + path + "\"\n";
    }
    return rc;
}

// Resources a project must give besides icon and cursor images: one per bitmap, icon group,
// wave, cursor group and custom item, one per string block in use.
std::size_t expectedOtherResources(const Project& project) {
    std::set<long> blocks;
    for (const std::string& line : project.lines(ResourceKind::String))
        blocks.insert(std::stol(trimSpaces(line.substr(0, line.find('\t')))) / 16);
    return project.count(ResourceKind::Bitmap) + project.count(ResourceKind::Icon) +
           project.count(ResourceKind::Wave) + project.count(ResourceKind::Cursor) +
           project.count(ResourceKind::Data) + blocks.size();
}

std::size_t countImages(const std::vector<oracle::Resource>& all) {
    std::size_t n = 0;
    for (const auto& r : all)
        n += !r.type.isName &&
             (r.type.number == oracle::kRtIcon || r.type.number == oracle::kRtCursor);
    return n;
}

std::string withTrailingBytes(std::string bmp, std::size_t extra) {
    bmp.append(extra, '\x5A');
    auto size = static_cast<std::uint32_t>(bmp.size());
    for (int i = 0; i < 4; ++i)
        bmp[2 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return bmp;
}

std::string patterned(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 7)) & 0xFF);
    if (size >= 4)
        s.replace(0, 4, "RIFF");
    return s;
}

class OracleTest : public ::testing::Test {
protected:
    void SetUp() override {
        llvmRc_ = KELBO_LLVM_RC;
        if (llvmRc_.empty() || access(llvmRc_.c_str(), X_OK) != 0)
            GTEST_SKIP() << "llvm-rc is not installed";
        std::string pattern = (fs::temp_directory_path() / "kelbo-oracle-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }

    void TearDown() override {
        // KELBO_ORACLE_KEEP keeps the files of passing tests too, for a look at them.
        if (!dir_.empty() && !HasFailure() && !std::getenv("KELBO_ORACLE_KEEP")) {
            std::error_code ec;
            fs::remove_all(dir_, ec);
        } else if (!dir_.empty()) {
            std::printf("files kept in %s\n", dir_.c_str());
        }
    }

    std::string sourcePath(const std::string& name) {
        auto p = kelbo::utf8ToCp1252((dir_ / name).string());
        EXPECT_TRUE(p.has_value());
        return p.value_or("");
    }

    // A project with every kind and the awkward cases of each.
    Project fixtureProject() {
        using namespace kelbo::sample;
        Project p;
        auto file = [&](ResourceKind kind, const std::string& id, const std::string& name,
                        const std::string& bytes) {
            writeAll(dir_ / name, bytes);
            p.append(kind, id + '\t' + sourcePath(name));
        };
        // Bitmaps: 24-bit and 8-bit; two end in bytes that make their data size odd, so the
        // padding after the data shows.
        Image tiny(5, 3, 0xFF336699u);
        tiny.at(0, 0) = 0xFFFFFFFFu;
        file(ResourceKind::Bitmap, "1", "one.bmp", encodeBmp24(tiny));
        std::vector<std::uint8_t> idx(7 * 5);
        for (std::size_t i = 0; i < idx.size(); ++i)
            idx[i] = static_cast<std::uint8_t>(i % 4);
        file(ResourceKind::Bitmap, "logo", "logo.bmp",
             encodeBmp8(7, 5, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, idx));
        file(ResourceKind::Bitmap, " My Pic ", "mypic.bmp",
             withTrailingBytes(encodeBmp24(Image(3, 2, 0xFFABCDEFu)), 2));
        file(ResourceKind::Bitmap, "0042", "wheel.bmp", encodeBmp24(drawColourWheel(20)));
        file(ResourceKind::Bitmap, "32767", "last.bmp",
             withTrailingBytes(encodeBmp24(Image(1, 1, 0xFF102030u)), 1));

        // Icons of 1, 2 and 5 images; one image is PNG-style data of odd size.
        file(ResourceKind::Icon, "1", "single.ico", encodeIcon({iconImage32(drawBadge(16))}));
        IconImage png;
        png.width = 64;
        png.height = 64;
        png.data = "\x89PNG\r\n\x1a\n" + patterned(993, 3);
        file(ResourceKind::Icon, "App", "app.ico", encodeIcon({iconImage32(drawBadge(32)), png}));
        file(ResourceKind::Icon, "Five Images", "five.ico",
             encodeIcon({iconImage32(drawBadge(16)), iconImage32(drawBadge(20)),
                         iconImage32(drawBadge(24)), iconImage32(drawBadge(32)),
                         iconImage32(drawBadge(48))}));
        file(ResourceKind::Icon, "7", "seven.ico",
             encodeIcon({iconImage32(drawColourWheel(16)), iconImage32(drawColourWheel(32))}));
        // Nine sizes, as a modern icon has; the directory's planes and bits left 0 as icon
        // editors leave them, and a 24-bit image among them.
        std::vector<IconImage> sizes;
        for (int size : {16, 20, 24, 32, 40, 48, 64, 96, 128}) {
            sizes.push_back(iconImage32(drawBadge(size)));
            sizes.back().planes = 0;
            sizes.back().bitCount = 0;
        }
        sizes[2].data[14] = 24;
        file(ResourceKind::Icon, "Nine", "nine.ico", encodeIcon(sizes));

        // Strings in five blocks, out of order, slots 0 and 15 among them.
        const std::pair<const char*, std::string> strings[] = {
            {"100", "Caf\xE9 cr\xE8me \xE0 5 \x80"},
            {"0", "Slot zero of block one"},
            {"15", "a\tTAB inside"},
            {"1", "  spaces at both ends  "},
            {"32767", "last slot of the last block"},
            {"16", "block two, slot zero"},
            {" 31 ", "identifier with spaces around it"},
            {"200", ""},
            {"201", "say \"hi\" \\ back"},
            {"202", std::string(255, 'x')},
            {"17", "B"},
        };
        for (const auto& [id, text] : strings)
            p.append(ResourceKind::String, std::string(id) + '\t' + text);

        // Waves of sizes that need 3, 2, 1 and 0 padding bytes, and an empty one.
        file(ResourceKind::Wave, "1", "a.wav", patterned(1001, 1));
        file(ResourceKind::Wave, "BEEP", "beep.wav", patterned(1002, 2));
        file(ResourceKind::Wave, "boom1", "boom.wav", patterned(1003, 3));
        file(ResourceKind::Wave, "65", "tiny.wav", patterned(4, 4));
        file(ResourceKind::Wave, "Big Bang", "empty.wav", "");

        // Cursors: two sizes with their own hot spots, a 256-pixel one (0 in the directory),
        // a PNG image and one with a longer header; image numbers go on across items.
        file(ResourceKind::Cursor, "Arrow", "arrow.cur",
             encodeCursor(
                 {{iconImage32(drawPointer(32)), 1, 1}, {iconImage32(drawPointer(16)), 2, 3}}));
        CursorImage big{iconImage32(drawPointer(256)), 255, 7};
        CursorImage pngCursor{png, 40, 50};
        CursorImage v5{iconImage32(drawPointer(24)), 12, 12};
        v5.image.data[0] = 124; // a BITMAPV5HEADER: no planes and bits taken from it
        v5.image.data.insert(40, std::string(84, '\0'));
        file(ResourceKind::Cursor, "101", "mixed.cur", encodeCursor({big, pngCursor, v5}));
        file(ResourceKind::Cursor, "32767", "one.cur",
             encodeCursor({{iconImage32(drawPointer(8)), 0, 0}}));

        // Custom data under a named type and under numeric ones, odd sizes and an empty file.
        auto data = [&](const std::string& id, const std::string& type, const std::string& name,
                        const std::string& bytes) {
            writeAll(dir_ / name, bytes);
            p.append(ResourceKind::Data, id + '\t' + type + '\t' + sourcePath(name));
        };
        data("7", "CUSTOM", "custom.bin", patterned(1001, 5));
        data("Table", "300", "table.bin", patterned(10, 6));
        data("2", " levels ", "levels.bin", "level one\r\nlevel two\r\n");
        data("Nothing", "32767", "nothing.bin", "");
        return p;
    }

    // Compiles the project with both tools and compares the results. `extraScript` says in the
    // script what the project's MANIFEST and VERSION lines say, `extra` resources.
    void compareWithLlvmRc(const Project& project, int bits, const std::string& extraScript = "",
                           std::size_t extra = 0) {
        const fs::path kbp = dir_ / "project.kbp";
        const fs::path ours = dir_ / ("kelbo" + std::to_string(bits) + ".res");
        const fs::path rc = dir_ / "project.rc";
        const fs::path theirs = dir_ / "llvm.res";
        std::string error;
        ASSERT_TRUE(kelbo::saveProjectFile(kbp.string(), project, error)) << error;
        RunResult k = run(quote(KELBO_COMPILE_EXE) + " --" + std::to_string(bits) + " " +
                          quote(kbp.string()) + " " + quote(ours.string()));
        ASSERT_EQ(k.exitCode, 0) << k.output;
        EXPECT_NE(k.output.find("Compilation : SuccessFull"), std::string::npos) << k.output;

        writeAll(rc, resourceScript(project) + extraScript);
        RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " + quote(theirs.string()) +
                          " " + quote(rc.string()));
        ASSERT_EQ(l.exitCode, 0) << l.output << "\n" << readAll(rc);

        auto theirRes = oracle::readRes32(readAll(theirs), error);
        ASSERT_TRUE(theirRes) << "llvm-rc's file: " << error;
        auto ourRes = bits == 16 ? oracle::readRes16(readAll(ours), error)
                                 : oracle::readRes32(readAll(ours), error);
        ASSERT_TRUE(ourRes) << "kelbo's file: " << error;

        // Guard against a reader that finds nothing in either file.
        const std::size_t others = expectedOtherResources(project) + extra;
        ASSERT_EQ(theirRes->size() - countImages(*theirRes), 1 + others);
        EXPECT_EQ(ourRes->size() - countImages(*ourRes), 1 + others);
        EXPECT_EQ(countImages(*ourRes), countImages(*theirRes));

        for (const std::string& d : oracle::compareResources(*ourRes, *theirRes))
            ADD_FAILURE() << d;
    }

    std::string llvmRc_;
    fs::path dir_;
};

TEST_F(OracleTest, Compile32MatchesLlvmRc) {
    Project p = fixtureProject();
    compareWithLlvmRc(p, 32);
}

// The 16-bit file, read back into the 32-bit form, holds the same resources.
TEST_F(OracleTest, Compile16HoldsTheSameResources) {
    Project p = fixtureProject();
    compareWithLlvmRc(p, 16);
}

// A manifest file and version information beside every other kind, through kelbo-compile.
TEST_F(OracleTest, EveryKindMatchesLlvmRc) {
    Project p = fixtureProject();
    const std::string manifest = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n"
                                 "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
                                 "manifestVersion=\"1.0\"/>\r\n";
    writeAll(dir_ / "app.manifest", manifest);
    p.append(ResourceKind::Manifest, "id=2");
    p.append(ResourceKind::Manifest, "file=" + sourcePath("app.manifest"));
    for (const char* line : {"FileVersion=1.2.3.4", "CompanyName=Acme", "ProductVersion= 2.0 ",
                             "FileDescription=Caf\xE9 \"tool\"", "FileType=dll", "LegalCopyright="})
        p.append(ResourceKind::Version, line);
    const std::string script = "2 24 \"" + kelbo::cp1252ToUtf8(sourcePath("app.manifest")) +
                               "\"\n"
                               "1 VERSIONINFO\n"
                               "FILEVERSION 1,2,3,4\nPRODUCTVERSION 2,0,0,0\n"
                               "FILEFLAGSMASK 0x3F\nFILEFLAGS 0\nFILEOS 0x40004\n"
                               "FILETYPE 2\nFILESUBTYPE 0\n{\n"
                               "  BLOCK \"StringFileInfo\"\n  {\n    BLOCK \"040904E4\"\n    {\n"
                               "      VALUE \"FileVersion\", \"1.2.3.4\\0\"\n"
                               "      VALUE \"CompanyName\", \"Acme\\0\"\n"
                               "      VALUE \"ProductVersion\", \"2.0\\0\"\n"
                               "      VALUE \"FileDescription\", \"Caf\xE9 \"\"tool\"\"\\0\"\n"
                               "      VALUE \"LegalCopyright\", \"\\0\"\n"
                               "    }\n  }\n"
                               "  BLOCK \"VarFileInfo\"\n  {\n"
                               "    VALUE \"Translation\", 0x0409, 1252\n  }\n}\n";
    compareWithLlvmRc(p, 32, script, 2);
}

TEST_F(OracleTest, ExampleProjectMatchesLlvmRc) {
    auto project = kelbo::loadProjectFile(KELBO_EXAMPLE_KBP);
    ASSERT_TRUE(project) << KELBO_EXAMPLE_KBP;
    ASSERT_GT(project->totalCount(), 0);
    // The example's manifest and version are checked where their own tests check them; the
    // 16-bit layout has no manifest at all.
    project->clear(ResourceKind::Manifest);
    project->clear(ResourceKind::Version);
    compareWithLlvmRc(*project, 32);
    compareWithLlvmRc(*project, 16);
}

// A manifest file is copied as llvm-rc copies `ID 24 "file"`: byte for byte, unpadded, pure.
TEST_F(OracleTest, ManifestFileMatchesLlvmRc) {
    const std::string manifest =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "  <description>Caf\xC3\xA9 &amp; co</description>\r\n"
        "  <!-- odd size -->\r\n"
        "</assembly>\r\n ";
    ASSERT_NE(manifest.size() % 4, 0u);
    writeAll(dir_ / "app.manifest", manifest);
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        const fs::path rc = dir_ / "manifest.rc";
        const fs::path theirs = dir_ / "manifest.res";
        writeAll(rc, "LANGUAGE 0, 0\n" + std::to_string(id) + " 24 \"app.manifest\"\n");
        RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " + quote(theirs.string()) +
                          " " + quote(rc.string()));
        ASSERT_EQ(l.exitCode, 0) << l.output;
        std::string error;
        auto theirRes = oracle::readRes32(readAll(theirs), error);
        ASSERT_TRUE(theirRes) << error;
        ASSERT_EQ(theirRes->size(), 2u);
        const oracle::Resource& r = (*theirRes)[1];

        kelbo::ManifestProblem problem;
        auto ours =
            kelbo::buildManifest({"id=" + std::to_string(id), "file=" + sourcePath("app.manifest")},
                                 kelbo::nativeFileSystem(), problem);
        ASSERT_TRUE(ours) << problem.line << ": " << problem.problem;
        EXPECT_EQ(r.type, oracle::ResId::ofNumber(24));
        EXPECT_EQ(r.name, oracle::ResId::ofNumber(ours->id));
        EXPECT_EQ(r.memoryFlags, 0x0030);
        EXPECT_EQ(r.language, 0);
        EXPECT_EQ(r.data, ours->data);
        EXPECT_EQ(r.data, manifest);
    }
}

} // namespace
