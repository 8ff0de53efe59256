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
#include "ScriptSupport.h"
#include "platform/Cp1252.h"
#include "project/Project.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/SourceFiles.h"
#include "resreader/Import.h"
#include "resreader/RcExport.h"
#include "resreader/ResFile.h"
#include "resreader/VersionBlock.h"

namespace fs = std::filesystem;
using kelbo::Project;
using kelbo::ResourceKind;

namespace {

using oracle::quote;
using oracle::readAll;
using oracle::run;
using oracle::RunResult;
using oracle::scriptString;

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

    // llvm-rc on the script and kelbo-compile --32 on the project give the same resources
    // (`count` of them, when not 0).
    void compareScriptWithProject(const fs::path& kbp, const fs::path& rc, std::size_t count) {
        RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " +
                          quote((dir_ / "llvm.res").string()) + " " + quote(rc.string()));
        ASSERT_EQ(l.exitCode, 0) << l.output << readAll(rc);
        RunResult k = run(quote(KELBO_COMPILE_EXE) + " --32 " + quote(kbp.string()) + " " +
                          quote((dir_ / "kelbo.res").string()));
        ASSERT_EQ(k.exitCode, 0) << k.output;
        std::string error;
        auto theirs = oracle::readRes32(readAll(dir_ / "llvm.res"), error);
        auto ours = oracle::readRes32(readAll(dir_ / "kelbo.res"), error);
        ASSERT_TRUE(theirs && ours) << error;
        EXPECT_EQ(theirs->size(), ours->size());
        if (count > 0) {
            EXPECT_EQ(ours->size(), count);
        }
        for (const std::string& d : oracle::compareResources(*ours, *theirs))
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
    // 16-bit layout has no manifest at all, and no languages.
    for (int i = 0; i < project->sectionCount(); ++i) {
        project->section(i).clear(ResourceKind::Manifest);
        project->section(i).clear(ResourceKind::Version);
    }
    compareWithLlvmRc(*project, 32);
    while (project->sectionCount() > 1)
        project->removeSection(1);
    compareWithLlvmRc(*project, 16);
}

// --- reading .RES files back -------------------------------------------------------------

const oracle::Resource* find(const std::vector<oracle::Resource>& all, std::uint16_t type,
                             const oracle::ResId& name) {
    for (const auto& r : all)
        if (r.type == oracle::ResId::ofNumber(type) && r.name == name)
            return &r;
    return nullptr;
}

std::string cursorFile(int side, std::uint16_t x, std::uint16_t y) {
    std::string info;
    auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            info += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const std::uint32_t xorBytes = 4u * side * side, mask = ((side + 31) / 32) * 4u * side;
    le(40, 4), le(side, 4), le(2 * side, 4), le(1, 2), le(32, 2), le(0, 4), le(xorBytes + mask, 4);
    le(0, 4), le(0, 4), le(0, 4), le(0, 4);
    info += patterned(xorBytes, 9) + std::string(mask, '\0');
    std::string cur;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            cur += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0, 2), put(2, 2), put(1, 2);
    put(side, 1), put(side, 1), put(0, 1), put(0, 1), put(x, 2), put(y, 2);
    put(static_cast<std::uint32_t>(info.size()), 4), put(22, 4);
    return cur + info;
}

// A .RES that llvm-rc writes, with every kind Kelbo knows and others (a dialog, a menu), comes
// back as the same resources: kelbo-compile of the imported project writes what llvm-rc wrote,
// and the others are DATA items holding the resources' bytes.
TEST_F(OracleTest, ImportOfLlvmRcFileGivesTheSameResources) {
    Project p = fixtureProject();
    std::string rc = resourceScript(p);
    writeAll(dir_ / "app.manifest", "<assembly/>\n");
    rc += "1 24 \"" + (dir_ / "app.manifest").string() + "\"\n";
    rc += "MAIN MENU\n{\n  MENUITEM \"&Open\", 100\n}\n";
    rc += "10 DIALOGEX 0, 0, 100, 50\nCAPTION \"Hi\"\n{\n  PUSHBUTTON \"OK\", 1, 5, 5, 40, 14\n}\n";
    rc += "1 VERSIONINFO\nFILEVERSION 1,2,3,4\nPRODUCTVERSION 1,2,0,0\nFILEFLAGSMASK 0x3F\n"
          "FILEFLAGS 0\nFILEOS 0x40004\nFILETYPE 2\nFILESUBTYPE 0\n{\n"
          " BLOCK \"StringFileInfo\"\n {\n  BLOCK \"040704E4\"\n  {\n"
          "   VALUE \"CompanyName\", \"Acme\\0\"\n   VALUE \"FileVersion\", \"1.2.3.4\\0\"\n"
          "   VALUE \"ProductVersion\", \"1.2\\0\"\n  }\n }\n"
          " BLOCK \"VarFileInfo\"\n {\n  VALUE \"Translation\", 0x0407, 1252\n }\n}\n";
    const fs::path theirs = dir_ / "llvm.res";
    writeAll(dir_ / "all.rc", rc);
    RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " + quote(theirs.string()) +
                      " " + quote((dir_ / "all.rc").string()));
    ASSERT_EQ(l.exitCode, 0) << l.output;

    const std::string kbp = sourcePath("imported.kbp");
    kelbo::ImportResult r = kelbo::importResFile(sourcePath("llvm.res"), kbp, false);
    ASSERT_TRUE(r.ok) << r.error;
    // llvm-rc gives dialogs and menus flags of their own; the project's DATA items take 0x0030.
    ASSERT_EQ(r.warnings.size(), 2u);
    for (const std::string& w : r.warnings)
        EXPECT_NE(w.find("memory flags 0x1030 become 0x0030"), std::string::npos) << w;

    std::string error;
    auto all = oracle::readRes32(readAll(theirs), error);
    ASSERT_TRUE(all) << error;
    const fs::path ours = dir_ / "back.res";
    RunResult k =
        run(quote(KELBO_COMPILE_EXE) + " --32 " + quote(kbp) + " " + quote(ours.string()));
    ASSERT_EQ(k.exitCode, 0) << k.output;
    auto back = oracle::readRes32(readAll(ours), error);
    ASSERT_TRUE(back) << error;
    std::vector<oracle::Resource> kept;
    for (const auto& res : *all)
        if (res.type.isName || (res.type.number != 4 && res.type.number != 5))
            kept.push_back(res);
    ASSERT_EQ(back->size(), kept.size() + 2) << "every resource, the menu and dialog as DATA";
    for (const std::string& d : oracle::compareResources(*back, kept))
        if (d.find("only in ours") == std::string::npos)
            ADD_FAILURE() << d;

    const std::string folder = kelbo::importFolderFor(kbp);
    const oracle::Resource* menu = find(*all, 4, oracle::ResId::ofName(u"MAIN"));
    const oracle::Resource* dialog = find(*all, 5, oracle::ResId::ofNumber(10));
    ASSERT_TRUE(menu && dialog);
    EXPECT_EQ(readAll(kelbo::cp1252ToUtf8(folder) + "/4_MAIN.bin"), menu->data);
    EXPECT_EQ(readAll(kelbo::cp1252ToUtf8(folder) + "/5_10.bin"), dialog->data);
    EXPECT_EQ(r.project.lines(ResourceKind::Version),
              (Project::Lines{"FileType=dll", "Language=0407", "CompanyName=Acme",
                              "FileVersion=1.2.3.4", "ProductVersion=1.2"}));
}

// The version block llvm-rc writes for a VERSIONINFO statement, read field by field.
TEST_F(OracleTest, VersionBlockReadsLlvmRcVersionInfo) {
    writeAll(dir_ / "v.rc", "LANGUAGE 0, 0\n1 VERSIONINFO\nFILEVERSION 1,2,3,65535\n"
                            "PRODUCTVERSION 4,0,0,0\nFILEFLAGSMASK 0x3F\nFILEFLAGS 0\n"
                            "FILEOS 0x40004\nFILETYPE 1\nFILESUBTYPE 0\n{\n"
                            " BLOCK \"StringFileInfo\"\n {\n  BLOCK \"040904E4\"\n  {\n"
                            "   VALUE \"ProductName\", \"Caf\xE9\\0\"\n"
                            "   VALUE \"Comments\", \"\\0\"\n"
                            "   VALUE \"LegalCopyright\", \"(c) 2026\\0\"\n  }\n }\n"
                            " BLOCK \"VarFileInfo\"\n {\n  VALUE \"Translation\", 0x0409, 1252\n"
                            " }\n}\n");
    RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " +
                      quote((dir_ / "v.res").string()) + " " + quote((dir_ / "v.rc").string()));
    ASSERT_EQ(l.exitCode, 0) << l.output;
    std::string error;
    auto res = oracle::readRes32(readAll(dir_ / "v.res"), error);
    ASSERT_TRUE(res && res->size() == 2) << error;
    auto block = kelbo::parseVersionBlock((*res)[1].data, kelbo::ResLayout::Bits32, error);
    ASSERT_TRUE(block) << error;
    EXPECT_TRUE(block->hasFixed);
    EXPECT_EQ(block->fileVersion, (std::array<std::uint16_t, 4>{1, 2, 3, 65535}));
    EXPECT_EQ(block->productVersion, (std::array<std::uint16_t, 4>{4, 0, 0, 0}));
    EXPECT_EQ(block->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(block->fileOS, 0x40004u);
    ASSERT_EQ(block->tables.size(), 1u);
    EXPECT_EQ(block->tables[0].key, u"040904E4");
    using Pair = std::pair<std::u16string, std::u16string>;
    EXPECT_EQ(block->tables[0].strings, (std::vector<Pair>{{u"ProductName", u"Caf\u00E9"},
                                                           {u"Comments", u""},
                                                           {u"LegalCopyright", u"(c) 2026"}}));
    EXPECT_EQ(block->translations,
              (std::vector<std::pair<std::uint16_t, std::uint16_t>>{{0x0409, 1252}}));
    std::vector<std::string> warnings;
    EXPECT_EQ(
        kelbo::versionLines(*block, warnings),
        (std::vector<std::string>{"ProductName=Caf\xE9", "Comments=", "LegalCopyright=(c) 2026",
                                  "FileVersion=1.2.3.65535", "ProductVersion=4.0.0.0"}));
    EXPECT_EQ(warnings.size(), 2u) << "the version strings the block lacks are added";

    // Cut anywhere, the block is refused or read without reading past its end.
    const std::string& data = (*res)[1].data;
    for (std::size_t n = 0; n < data.size(); ++n)
        kelbo::parseVersionBlock(std::string_view(data).substr(0, n), kelbo::ResLayout::Bits32,
                                 error);
}

// The script kelbo-res rc writes compiles with llvm-rc to what kelbo-compile --32 writes.
TEST_F(OracleTest, RcScriptCompilesToTheSameResources) {
    Project full = fixtureProject();
    Project p;
    // llvm-rc cannot spell a name with a space; those are left to the quoted-name warning test.
    for (ResourceKind kind : kelbo::kAllKinds)
        for (const std::string& line : full.lines(kind))
            if (!kelbo::hasIdentifier(kind) || kind == ResourceKind::String ||
                trimSpaces(line.substr(0, line.find('\t'))).find(' ') == std::string::npos)
                p.append(kind, line);
    writeAll(dir_ / "app.manifest", "<assembly/> ");
    p.append(ResourceKind::Manifest, "file=" + sourcePath("app.manifest"));
    for (const char* line :
         {"FileVersion=1.2", "CompanyName=Acme \"A\" \xE9\\", "FileType=dll", "Language=0407",
          "CodePage=1200", "ProductVersion=3.4.5.6", "LegalCopyright="})
        p.append(ResourceKind::Version, line);
    const fs::path kbp = dir_ / "p.kbp", rc = dir_ / "p.rc";
    std::string error;
    ASSERT_TRUE(kelbo::saveProjectFile(kbp.string(), p, error)) << error;
    kelbo::RcScript script = kelbo::exportRcScript(p, rc.string());
    ASSERT_TRUE(script.ok) << script.error;
    EXPECT_TRUE(script.warnings.empty());
    compareScriptWithProject(kbp, rc, 0);
}

// A manifest made from keys is written beside the script, which names it.
TEST_F(OracleTest, RcScriptWritesTheGeneratedManifestBesideIt) {
    Project p;
    for (const char* line : {"id=2", "name=Acme.Tool", "controls=6", "dpi=permonitorv2",
                             "level=requireAdministrator", "os=all"})
        p.append(ResourceKind::Manifest, line);
    const fs::path kbp = dir_ / "g.kbp", rc = dir_ / "g.rc";
    std::string error;
    ASSERT_TRUE(kelbo::saveProjectFile(kbp.string(), p, error)) << error;
    kelbo::RcScript script = kelbo::exportRcScript(p, rc.string());
    ASSERT_TRUE(script.ok) << script.error;
    EXPECT_NE(readAll(rc).find("2 24 \"" + (dir_ / "g.manifest").string() + "\""),
              std::string::npos)
        << readAll(rc);
    compareScriptWithProject(kbp, rc, 2);
}

// The newer kinds through the script: llvm-rc compiles it, and the import of its .RES gives the
// project back (its files in the files folder).
TEST_F(OracleTest, RcScriptOfTheNewerKindsImportsBackToTheProject) {
    writeAll(dir_ / "arrow.cur", cursorFile(32, 3, 9));
    writeAll(dir_ / "blob.bin", patterned(77, 2));
    writeAll(dir_ / "app.manifest", "<assembly/>  ");
    Project p;
    p.append(ResourceKind::Cursor, "ARROW\t" + sourcePath("arrow.cur"));
    p.append(ResourceKind::Data, "7\t10\t" + sourcePath("blob.bin"));
    p.append(ResourceKind::Data, "LOGO\tCUSTOM\t" + sourcePath("blob.bin"));
    p.append(ResourceKind::Manifest, "file=" + sourcePath("app.manifest"));
    p.append(ResourceKind::Manifest, "id=2");
    const Project::Lines version = {"FileType=dll",           "Language=0407",
                                    "CompanyName=Acme \"A\"", "FileVersion=1.2.3.4",
                                    "ProductVersion=1.2",     "Comments=caf\xE9\\"};
    for (const std::string& line : version)
        p.append(ResourceKind::Version, line);
    kelbo::RcScript script = kelbo::exportRcScript(p, sourcePath("n.rc"));
    ASSERT_TRUE(script.ok) << script.error;
    RunResult l = run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " +
                      quote((dir_ / "n.res").string()) + " " + quote((dir_ / "n.rc").string()));
    ASSERT_EQ(l.exitCode, 0) << l.output << readAll(dir_ / "n.rc");
    const std::string kbp = sourcePath("n.kbp");
    kelbo::ImportResult r = kelbo::importResFile(sourcePath("n.res"), kbp, false);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();
    const std::string folder = kelbo::importFolderFor(kbp);
    EXPECT_EQ(r.project.lines(ResourceKind::Version), version);
    EXPECT_EQ(r.project.lines(ResourceKind::Manifest),
              (Project::Lines{"file=" + folder + "/manifest_2.manifest", "id=2"}));
    EXPECT_EQ(r.project.lines(ResourceKind::Data),
              (Project::Lines{"7\t10\t" + folder + "/10_7.bin",
                              "LOGO\tCUSTOM\t" + folder + "/CUSTOM_LOGO.bin"}));
    EXPECT_EQ(r.project.lines(ResourceKind::Cursor),
              Project::Lines{"ARROW\t" + folder + "/ARROW.cur"});
    const std::string f = kelbo::cp1252ToUtf8(folder) + "/";
    EXPECT_EQ(readAll(f + "ARROW.cur"), readAll(dir_ / "arrow.cur"));
    EXPECT_EQ(readAll(f + "10_7.bin"), patterned(77, 2));
    EXPECT_EQ(readAll(f + "CUSTOM_LOGO.bin"), patterned(77, 2));
    EXPECT_EQ(readAll(f + "manifest_2.manifest"), "<assembly/>  ");
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
