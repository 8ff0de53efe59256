#include <gtest/gtest.h>

#include <fstream>

#include "tests/TestSupport.h"

namespace kelbo {
namespace {

using test::projectBytes;
using test::readFile;
using test::runCompiler;
using test::sampleBitmap;
using test::sampleIcon;
using test::sampleWave;
using test::TempDir;
using test::writeFile;

class CompileCommand : public ::testing::Test {
protected:
    TempDir dir;
    std::string out = dir.file("out.res");

    std::string project(const std::vector<std::vector<std::string>>& kinds) {
        std::string path = dir.file("p.kbp");
        writeFile(path, projectBytes(kinds));
        return path;
    }
    std::string source(const std::string& name, const std::string& bytes) {
        writeFile(dir.file(name), bytes);
        return dir.file(name);
    }
};

TEST_F(CompileCommand, PassingRunPrintsTheLogAndExitsZero) {
    std::string kbp = project({{"logo\t" + source("a.bmp", sampleBitmap(3, 3))},
                               {"1\t" + source("a.ico", sampleIcon({40, 60}))},
                               {"1\tHello"},
                               {"7\t" + source("a.wav", sampleWave(99))}});
    test::RunResult r = runCompiler({"--16", kbp, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Identificators = OK\n\n[BITMAP] = OK\n[ICON] = OK\n[STRING] = OK\n"
                     "[WAVE] = OK\nCompilation 16 bits : " +
                         out + "\nCompilation : SuccessFull\n");
    std::string res16 = readFile(out);
    r = runCompiler({kbp, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Compilation 32 bits : " + out + "\n"), std::string::npos);
    EXPECT_NE(readFile(out), res16);
    EXPECT_EQ(readFile(out).substr(0, 8), std::string("\0\0\0\0\x20\0\0\0", 8));
}

TEST_F(CompileCommand, FailuresExitOneWithTheirMessage) {
    test::RunResult r = runCompiler({dir.file("none.kbp"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid KBP-file\n");
    r = runCompiler({project({{}, {}, {}, {}}), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Nothing to compile\n");
    writeFile(out, "former");
    r = runCompiler({project({{"a\t/x", "A\t/y"}, {}, {}, {}}), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n*** ERROR ***\nSame Identificators\na\t/x\nA\t/y\n");
    r = runCompiler({project({{"a\t" + dir.file("gone.bmp")}, {}, {}, {}}), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("*** ERROR ***\na\t" + dir.file("gone.bmp") + "\nCannot read"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("SuccessFull"), std::string::npos);
    EXPECT_EQ(readFile(out), "former");
}

TEST_F(CompileCommand, UsageHelpAndVersion) {
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {}, {"only-one"}, {"a", "b", "c"}, {"--17", "a", "b"}, {"-x", "a", "b"}}) {
        test::RunResult r = runCompiler(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "usage: kelbo-compile [--16 | --32] PROJECT OUTPUT\n");
    }
    EXPECT_EQ(runCompiler({"--version"}).out, "2.12\n");
    test::RunResult help = runCompiler({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: kelbo-compile [--16 | --32] PROJECT OUTPUT\n", 0), 0u);
}

TEST_F(CompileCommand, NonAsciiPathsAndTextsAreWindows1252Inside) {
    {
        std::ofstream wav(dir.path() / std::filesystem::path(u8"\u00E9t\u00E9.wav"),
                          std::ios::binary);
        wav << sampleWave(10);
    }
    // The project holds Windows-1252, where é is the one byte E9.
    std::string kbp =
        project({{}, {}, {"1\tprix 5\x80"}, {"caf\xE9\t" + dir.file("\xE9t\xE9.wav")}});
    test::RunResult r = runCompiler({kbp, out});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    std::string res = readFile(out);
    // The name CAFÉ widened, and the euro sign as U+20AC in the string block.
    EXPECT_NE(res.find(std::string("C\0A\0F\0\xC9\0\0\0", 10)), std::string::npos);
    EXPECT_NE(res.find(std::string("5\0\xAC\x20", 4)), std::string::npos);
    EXPECT_NE(res.find(sampleWave(10)), std::string::npos);
}

} // namespace
} // namespace kelbo
