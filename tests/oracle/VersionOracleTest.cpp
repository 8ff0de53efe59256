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
#include "rescompiler/VersionInfo.h"

namespace fs = std::filesystem;

namespace {

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Exit status of the command, its output and error text in `output`.
int run(const std::string& command, std::string& output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A value as a resource script spells it, with the terminator written out so that llvm-rc
// counts it in the value length.
std::string scriptValue(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out + "\\0\"";
}

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
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

bool isSettingKey(const std::string& key) {
    return key == "FileType" || key == "Language" || key == "CodePage";
}

std::string scriptOf(const VersionCase& c) {
    std::string rc = "LANGUAGE 0, 0\n1 VERSIONINFO\n";
    rc += std::string("FILEVERSION ") + c.fileVersion + "\n";
    rc += std::string("PRODUCTVERSION ") + c.productVersion + "\n";
    rc += "FILEFLAGSMASK 0x3F\nFILEFLAGS 0\nFILEOS 0x40004\n";
    rc += "FILETYPE " + std::to_string(c.fileType) + "\nFILESUBTYPE 0\n{\n";
    std::string values;
    for (const std::string& line : c.lines) {
        std::size_t eq = line.find('=');
        std::string key = line.substr(0, eq);
        if (!isSettingKey(key))
            values += "      VALUE \"" + key + "\", " + scriptValue(line.substr(eq + 1)) + "\n";
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
    std::string output;
    ASSERT_EQ(run(quote(llvmRc_) + " -no-preprocess -c 1252 /fo " +
                      quote((dir_ / "version.res").string()) + " " +
                      quote((dir_ / "version.rc").string()),
                  output),
              0)
        << output << "\n"
        << script;
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

// Values of every length modulo four, so each padding shows; Windows-1252 letters above 0x7F;
// characters the script must escape.
const VersionCase kCases[] = {
    {"EveryKey",
     {"CompanyName=Acme \x80 Caf\xE9", "FileVersion=1.2.3.4", "FileDescription=A", "Language=0c0a",
      "ProductVersion=65535.0.7", "Comments=say \"hi\" \\ back", "InternalName=ab",
      "LegalCopyright=\xA9 2026 Acme", "LegalTrademarks=abc", "FileType=dll",
      "OriginalFilename=demo.dll", "PrivateBuild=x", "ProductName=Demo \x99", "SpecialBuild=none",
      "CodePage=1200"},
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
};

INSTANTIATE_TEST_SUITE_P(Cases, VersionOracleTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
