// The version resource of VERSION lines against what llvm-rc writes for the equivalent
// VERSIONINFO statement, byte for byte.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ResReader.h"
#include "ScriptSupport.h"
#include "rescompiler/VersionInfo.h"

namespace fs = std::filesystem;

namespace {

using oracle::quote;
using oracle::readAll;
using oracle::run;

// What the VERSION lines say, written the way a resource script says it. The fixed fields are
// typed by the case so that they do not come from the code under test.
struct VersionCase {
    const char* name;
    std::vector<std::string> lines; // canonical keys, so that each string line maps to a VALUE
    const char* fileVersion;        // "1,2,3,4"
    const char* productVersion;
    int fileType;
    const char* translation; // "0x409, 1252"
    const char* table;       // "040904E4"
    const char* flags = "FILEFLAGSMASK 0x3F\nFILEFLAGS 0\nFILEOS 0x40004\n";
    const char* subtype = "0";
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

bool isSettingKey(const std::string& key) {
    return key == "FileType" || key == "Language" || key == "CodePage" ||
           key == "FileVersionNumber" || key == "ProductVersionNumber" || key == "FileFlagsMask" ||
           key == "FileFlags" || key == "FileOS" || key == "FileSubtype";
}

std::string scriptOf(const VersionCase& c) {
    std::string rc = "LANGUAGE 0, 0\n1 VERSIONINFO\n";
    rc += std::string("FILEVERSION ") + c.fileVersion + "\n";
    rc += std::string("PRODUCTVERSION ") + c.productVersion + "\n";
    rc += c.flags;
    rc += "FILETYPE " + std::to_string(c.fileType) + "\nFILESUBTYPE " + c.subtype + "\n{\n";
    std::string values;
    for (const std::string& line : c.lines) {
        std::size_t eq = line.find('=');
        std::string key = line.substr(0, eq);
        if (!isSettingKey(key))
            values += "      VALUE \"" + key + "\", " +
                      oracle::scriptString(line.substr(eq + 1), true) + "\n";
    }
    if (!values.empty()) {
        rc += "  BLOCK \"StringFileInfo\"\n  {\n";
        rc += std::string("    BLOCK \"") + c.table + "\"\n    {\n" + values + "    }\n  }\n";
    }
    rc += "  BLOCK \"VarFileInfo\"\n  {\n";
    rc += std::string("    VALUE \"Translation\", ") + c.translation + "\n  }\n}\n";
    return rc;
}

class VersionOracleTest : public ::testing::TestWithParam<VersionCase> {
protected:
    void SetUp() override {
        llvmRc_ = KELBO_LLVM_RC;
        if (llvmRc_.empty() || access(llvmRc_.c_str(), X_OK) != 0)
            GTEST_SKIP() << "llvm-rc is not installed";
        std::string pattern = (fs::temp_directory_path() / "kelbo-version-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty())
            fs::remove_all(dir_, ec);
    }

    std::string llvmRc_;
    fs::path dir_;
};

TEST_P(VersionOracleTest, SameBytesAsLlvmRc) {
    const VersionCase& c = GetParam();
    const std::string script = scriptOf(c);
    {
        std::ofstream out(dir_ / "version.rc", std::ios::binary);
        out << script;
    }
    oracle::RunResult l =
        run(quote(llvmRc_) + " -no-preprocess -c 65001 /fo " +
            quote((dir_ / "version.res").string()) + " " + quote((dir_ / "version.rc").string()));
    ASSERT_EQ(l.exitCode, 0) << l.output << "\n" << script;
    std::string error;
    auto theirs = oracle::readRes32(readAll(dir_ / "version.res"), error);
    ASSERT_TRUE(theirs) << error;
    ASSERT_EQ(theirs->size(), 2u) << "the empty entry and the version resource";
    const oracle::Resource& res = (*theirs)[1];
    EXPECT_EQ(res.type, oracle::ResId::ofNumber(16));
    EXPECT_EQ(res.name, oracle::ResId::ofNumber(1));
    EXPECT_EQ(res.memoryFlags, 0x0030);

    kelbo::VersionProblem problem;
    std::optional<std::string> ours = kelbo::buildVersionResource(c.lines, 32, problem);
    ASSERT_TRUE(ours) << problem.line << ": " << problem.text;
    ASSERT_EQ(ours->size(), res.data.size()) << script;
    for (std::size_t i = 0; i < ours->size(); ++i)
        ASSERT_EQ((*ours)[i], res.data[i]) << "first difference at byte " << i << "\n" << script;
}

// Values of every length modulo four, so each padding shows; letters of several scripts and one
// past U+FFFF; characters the script must escape; the fixed fields given apart from the strings.
const VersionCase kCases[] = {
    {"EveryKey",
     {"CompanyName=Acme \xE2\x82\xAC Caf\xC3\xA9 \xD0\x96 \xCE\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80",
      "FileVersion=1.2.3.4", "FileDescription=A", "Language=0c0a", "ProductVersion=65535.0.7",
      "Comments=say \"hi\" \\ back", "InternalName=ab", "LegalCopyright=\xC2\xA9 2026 Acme",
      "LegalTrademarks=abc", "FileType=dll", "OriginalFilename=demo.dll", "PrivateBuild=x",
      "ProductName=Demo \xE2\x84\xA2", "SpecialBuild=none", "CodePage=1200"},
     "1,2,3,4",
     "65535,0,7,0",
     2,
     "0xC0A, 1200",
     "0C0A04B0"},
    {"FileVersionOnly", {"FileVersion=1"}, "1,0,0,0", "0,0,0,0", 1, "0x409, 1252", "040904E4"},
    {"EmptyValue",
     {"Comments=", "ProductVersion=2.5"},
     "0,0,0,0",
     "2,5,0,0",
     1,
     "0x409, 1252",
     "040904E4"},
    {"NoStrings", {"FileType=dll", "Language=0000"}, "0,0,0,0", "0,0,0,0", 2, "0, 1252", ""},
    {"NoLinesAtAll", {}, "0,0,0,0", "0,0,0,0", 1, "0x409, 1252", ""},
    {"NumbersApartAndFixedFields",
     {"FileType=3", "FileVersionNumber=1.0.0.1", "ProductVersionNumber=2.0.0.0",
      "FileFlagsMask=0x17", "FileFlags=0x2", "FileOS=0x4", "FileSubtype=7", "Language=0419",
      "CodePage=1200", "FileVersion=1, 0, 0, 1", "ProductVersion=2.0 beta",
      "CompanyName=\xD0\x9E\xD0\x9E\xD0\x9E \xC2\xAB\xD0\xA0\xD0\xBE\xD0\xBC\xC2\xBB"},
     "1,0,0,1",
     "2,0,0,0",
     3,
     "0x419, 1200",
     "041904B0",
     "FILEFLAGSMASK 0x17\nFILEFLAGS 0x2\nFILEOS 0x4\n",
     "7"},
};

INSTANTIATE_TEST_SUITE_P(Cases, VersionOracleTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
