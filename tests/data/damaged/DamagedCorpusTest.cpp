// Runs kelbo-compile over every damaged input of manifest.txt and checks the outcome it names;
// then every truncation and every negative field of a valid project and of valid sources,
// made here rather than committed one by one, and files that cannot be read at all.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

#include "cli/CompileCommand.h"
#include "projectfile/ProjectFile.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/Samples.h"
#include "tests/support/Subprocess.h"

namespace kelbo::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif
#else
constexpr bool kUnderAsan = false;
#endif

const std::string kCorpus = KELBO_DAMAGED_DIR;
const std::string kFormer = std::string("FORMER OUTPUT") + '\0' + "\x01\xff kept";
int inputsTried = 0;

struct Expectation {
    enum Kind { Invalid, Nothing, Error, Ok } kind;
    std::string problem; // for Error: the line naming the problem
};

struct Case {
    std::string name;
    int bits;
    std::string project;
    Expectation expected;
};

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    std::size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::vector<std::string> splitOn(const std::string& s, const std::string& by) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = s.find(by, from);
        parts.push_back(s.substr(from, at - from));
        if (at == std::string::npos)
            return parts;
        from = at + by.size();
    }
}

std::vector<Case> manifest() {
    std::ifstream in(kCorpus + "/manifest.txt");
    std::vector<Case> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> cols = splitOn(line, " | ");
        if (cols.size() != 4) {
            ADD_FAILURE() << "bad manifest line: " << line;
            continue;
        }
        std::string outcome = trim(cols[3]);
        Expectation e{Expectation::Ok, {}};
        if (outcome == "invalid")
            e.kind = Expectation::Invalid;
        else if (outcome == "nothing")
            e.kind = Expectation::Nothing;
        else if (outcome.rfind("error ", 0) == 0)
            e = {Expectation::Error, outcome.substr(6)};
        else if (outcome != "ok")
            ADD_FAILURE() << "bad outcome: " << line;
        for (const std::string& bits : splitOn(trim(cols[1]), ","))
            cases.push_back({trim(cols[0]), std::stoi(bits), trim(cols[2]), e});
    }
    return cases;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Checks what a run of kelbo-compile gave against what the case expects.
void checkOutcome(const Expectation& expected, int status, const std::string& out,
                  const std::string& err, const std::string& projectBytes,
                  const ScratchDir& outDir) {
    ++inputsTried;
    const std::string output = readFile(outDir.path() / "out.res");
    const bool succeeded = out.find("Compilation : SuccessFull") != std::string::npos;
    if (expected.kind == Expectation::Ok) {
        EXPECT_EQ(status, 0) << out << err;
        EXPECT_TRUE(succeeded) << out;
        EXPECT_NE(output, kFormer);
        EXPECT_EQ(outDir.entries(), std::set<std::string>{"out.res"});
        return;
    }
    EXPECT_EQ(status, 1) << out << err;
    EXPECT_FALSE(succeeded) << out;
    EXPECT_EQ(output, kFormer);
    EXPECT_EQ(outDir.entries(), std::set<std::string>{"out.res"});
    switch (expected.kind) {
    case Expectation::Invalid:
        EXPECT_EQ(err, "Invalid KBP-file\n");
        EXPECT_EQ(out, "");
        break;
    case Expectation::Nothing:
        EXPECT_EQ(err, "Nothing to compile\n");
        break;
    case Expectation::Error: {
        std::vector<std::string> lines = linesOf(out);
        auto at = std::find(lines.begin(), lines.end(), "*** ERROR ***");
        ASSERT_NE(at, lines.end()) << out;
        std::vector<std::string> after(at + 1, lines.end());
        EXPECT_NE(std::find(after.begin(), after.end(), expected.problem), after.end()) << out;
        // The message shows the item it is about.
        std::optional<Project> project = decodeProject(projectBytes);
        ASSERT_TRUE(project);
        bool namesItem = false;
        for (ResourceKind kind : kAllKinds)
            for (const std::string& item : project->lines(kind))
                namesItem = namesItem || std::find(after.begin(), after.end(), item) != after.end();
        EXPECT_TRUE(namesItem) << out;
        break;
    }
    case Expectation::Ok:
        break;
    }
}

TEST(DamagedCorpus, EveryManifestCaseGivesItsOutcome) {
    std::vector<Case> cases = manifest();
    ASSERT_GE(cases.size(), 40u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " (" + std::to_string(c.bits) + " bits, " + c.project + ")");
        ScratchDir outDir;
        writeFile(outDir.path() / "out.res", kFormer);
        ProcessResult r = runProcess(
            {KELBO_COMPILE_EXE, "--" + std::to_string(c.bits), c.project, outDir.file("out.res")},
            kCorpus, std::chrono::seconds(30));
        ASSERT_FALSE(r.timedOut);
        ASSERT_TRUE(r.exited) << "signal " << r.signal << "\n" << r.err;
        checkOutcome(c.expected, r.status, r.out, r.err, readFile(kCorpus + "/" + c.project),
                     outDir);
    }
}

// kelbo-compile's own code path, in this process, for the generated cases.
struct InProcess {
    int status;
    std::string out;
    std::string err;
};
InProcess compileInProcess(int bits, const std::string& project, const std::string& output,
                           FileSystem& fs = nativeFileSystem()) {
    std::ostringstream out, err;
    int status = runCompileCommand({"--" + std::to_string(bits), project, output}, out, err, fs);
    return {status, out.str(), err.str()};
}

TEST(DamagedCorpus, EveryTruncationOfAProjectIsInvalid) {
    const std::string good = readFile(kCorpus + "/projects/good.kbp");
    ASSERT_TRUE(decodeProject(good));
    ScratchDir dir;
    ScratchDir outDir;
    writeFile(outDir.path() / "out.res", kFormer);
    for (std::size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE("first " + std::to_string(n) + " bytes");
        const std::string cut = good.substr(0, n);
        writeFile(dir.path() / "cut.kbp", cut);
        InProcess r =
            compileInProcess(n % 2 ? 16 : 32, dir.file("cut.kbp"), outDir.file("out.res"));
        checkOutcome({Expectation::Invalid, {}}, r.status, r.out, r.err, cut, outDir);
    }
    // And through the program itself for a few of them.
    for (std::size_t n : {std::size_t{0}, std::size_t{9}, good.size() - 1}) {
        writeFile(dir.path() / "cut.kbp", good.substr(0, n));
        ProcessResult r =
            runProcess({KELBO_COMPILE_EXE, dir.file("cut.kbp"), outDir.file("out.res")});
        checkOutcome({Expectation::Invalid, {}}, r.status, r.out, r.err, "", outDir);
    }
}

TEST(DamagedCorpus, EveryCountOrLengthMadeNegativeIsInvalid) {
    const std::string good = readFile(kCorpus + "/projects/good.kbp");
    // Where the counts and lengths of the file are.
    std::vector<std::size_t> fields;
    std::size_t pos = 8;
    for (int kind = 0; kind < kOriginalKindCount; ++kind) {
        fields.push_back(pos);
        int count =
            static_cast<unsigned char>(good[pos]) | static_cast<unsigned char>(good[pos + 1]) << 8;
        pos += 2;
        for (int i = 0; i < count; ++i) {
            fields.push_back(pos);
            pos += 2 + (static_cast<unsigned char>(good[pos]) |
                        static_cast<unsigned char>(good[pos + 1]) << 8);
        }
    }
    ASSERT_EQ(pos, good.size());
    ScratchDir dir;
    ScratchDir outDir;
    writeFile(outDir.path() / "out.res", kFormer);
    for (std::size_t at : fields) {
        for (std::uint16_t value : {0xFFFF, 0x8000, 0x8001}) {
            SCOPED_TRACE("field at " + std::to_string(at) + " = " + std::to_string(value));
            std::string bad = good;
            bad[at] = static_cast<char>(value & 0xFF);
            bad[at + 1] = static_cast<char>(value >> 8);
            writeFile(dir.path() / "bad.kbp", bad);
            InProcess r = compileInProcess(32, dir.file("bad.kbp"), outDir.file("out.res"));
            checkOutcome({Expectation::Invalid, {}}, r.status, r.out, r.err, bad, outDir);
        }
    }
}

TEST(DamagedCorpus, EveryTruncationOfASourceStopsTheCompilation) {
    ScratchDir dir;
    ScratchDir outDir;
    writeFile(outDir.path() / "out.res", kFormer);
    const std::string bitmap = readFile(kCorpus + "/sources/good.bmp");
    const std::string bitmapProject = projectBytes({{"1\t" + dir.file("s.bmp")}, {}, {}, {}});
    writeFile(dir.path() / "bitmap.kbp", bitmapProject);
    // An icon project, and a cursor project (whose items follow the original sections).
    struct IconCase {
        const char* what;
        std::string source;
        std::string project;
    } icons[] = {{"Icon", readFile(kCorpus + "/sources/good.ico"),
                  projectBytes({{}, {"1\t" + dir.file("s.src")}, {}, {}})},
                 {"Cursor", readFile(kCorpus + "/sources/good.cur"), {}}};
    Project cursors;
    cursors.append(ResourceKind::Cursor, "1\t" + dir.file("s.src"));
    std::string error;
    icons[1].project = encodeProject(cursors, error).value_or("");
    ASSERT_FALSE(icons[1].project.empty()) << error;
    for (int bits : {32, 16}) {
        for (const IconCase& c : icons) {
            writeFile(dir.path() / "icon.kbp", c.project);
            const std::string what = c.what;
            for (std::size_t n = 0; n < c.source.size(); ++n) {
                SCOPED_TRACE(std::to_string(bits) + " bits, " + what + " cut to " +
                             std::to_string(n));
                writeFile(dir.path() / "s.src", c.source.substr(0, n));
                InProcess r = compileInProcess(bits, dir.file("icon.kbp"), outDir.file("out.res"));
                std::string problem = n < 6    ? what + " file shorter than its 6-byte header"
                                      : n < 38 ? what + " file shorter than its image directory"
                                      : n < 78 ? what + " image 1 lies outside the file"
                                               : what + " image 2 lies outside the file";
                checkOutcome({Expectation::Error, problem}, r.status, r.out, r.err, c.project,
                             outDir);
            }
        }
        for (std::size_t n = 0; n < bitmap.size(); ++n) {
            SCOPED_TRACE(std::to_string(bits) + " bits, bitmap cut to " + std::to_string(n));
            writeFile(dir.path() / "s.bmp", bitmap.substr(0, n));
            InProcess r = compileInProcess(bits, dir.file("bitmap.kbp"), outDir.file("out.res"));
            // The same in both layouts: the file must hold the header, then every pixel row.
            std::string problem = n < 14   ? "Bitmap file shorter than its 14-byte header"
                                  : n < 54 ? "Bitmap file ends inside its DIB header"
                                           : "Bitmap file ends before the last of its 4 pixel rows";
            checkOutcome({Expectation::Error, problem}, r.status, r.out, r.err, bitmapProject,
                         outDir);
        }
    }
}

// Root reads any file whatever its mode, so a file layer stands in for one that cannot be read.
TEST(DamagedCorpus, UnreadableFilesAreReported) {
    MemoryFileSystem fs;
    fs.files["/p/locked.kbp"] = readFile(kCorpus + "/projects/good.kbp");
    fs.unreadable.insert("/p/locked.kbp");
    fs.files["/p/demo.kbp"] = projectBytes({{"1\t/p/locked.bmp"}, {}, {}, {}});
    fs.unreadable.insert("/p/locked.bmp");
    for (int bits : {32, 16}) {
        fs.files["/out/out.res"] = kFormer;
        InProcess r = compileInProcess(bits, "/p/locked.kbp", "/out/out.res", fs);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Invalid KBP-file\n");
        r = compileInProcess(bits, "/p/demo.kbp", "/out/out.res", fs);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("*** ERROR ***\n1\t/p/locked.bmp\nCannot read /p/locked.bmp : "
                             "Permission denied"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(fs.files["/out/out.res"], kFormer);
        EXPECT_EQ(fs.temporaryCount(), 0u);
        inputsTried += 2;
    }
}

// A FIFO opens only once a writer comes, so reading one must not be tried at all.
TEST(DamagedCorpus, AFifoIsRefusedWithoutWaiting) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.kbp").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(dir.file("pipe.wav").c_str(), 0644), 0);
    writeFile(dir.path() / "fifo.kbp", projectBytes({{}, {}, {}, {"1\t" + dir.file("pipe.wav")}}));
    ScratchDir outDir;
    writeFile(outDir.path() / "out.res", kFormer);
    ProcessResult r = runProcess({KELBO_COMPILE_EXE, dir.file("pipe.kbp"), outDir.file("out.res")},
                                 {}, std::chrono::seconds(5));
    ASSERT_FALSE(r.timedOut) << "kelbo-compile waits on a FIFO given as the project";
    checkOutcome({Expectation::Invalid, {}}, r.status, r.out, r.err, "", outDir);
    r = runProcess({KELBO_COMPILE_EXE, dir.file("fifo.kbp"), outDir.file("out.res")}, {},
                   std::chrono::seconds(5));
    ASSERT_FALSE(r.timedOut) << "kelbo-compile waits on a FIFO given as a source";
    checkOutcome(
        {Expectation::Error, "Cannot read " + dir.file("pipe.wav") + " : Not a regular file"},
        r.status, r.out, r.err, readFile(dir.path() / "fifo.kbp"), outDir);
}

// A project file followed by gigabytes of bytes the format ignores: loading must neither
// abort nor need the whole file in memory. Without ASan (which needs a vast address space) the
// child also gets only 1 GB of address space.
TEST(DamagedCorpus, GigabytesOfTrailingBytesAreIgnored) {
    ScratchDir dir;
    writeFile(dir.path() / "big.kbp", readFile(kCorpus + "/projects/good.kbp"));
    std::filesystem::resize_file(dir.path() / "big.kbp", 3ull << 30); // sparse
    ScratchDir outDir;
    writeFile(outDir.path() / "out.res", kFormer);
    ProcessResult r =
        runProcess({KELBO_COMPILE_EXE, "--16", dir.file("big.kbp"), outDir.file("out.res")},
                   kCorpus, std::chrono::seconds(60), [] {
                       if (!kUnderAsan) {
                           struct rlimit limit {
                               1ull << 30, 1ull << 30
                           };
                           ::setrlimit(RLIMIT_AS, &limit);
                       }
                   });
    ASSERT_TRUE(r.exited) << "signal " << r.signal << "\n" << r.err;
    checkOutcome({Expectation::Ok, {}}, r.status, r.out, r.err, "", outDir);
    struct rusage usage {};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 512 * 1024) << "kilobytes resident at most in a child";
}

class Tally : public ::testing::Environment {
    void TearDown() override {
        std::cout << "[ damaged  ] " << inputsTried << " damaged inputs tried\n";
    }
};
const auto* const tally = ::testing::AddGlobalTestEnvironment(new Tally);

} // namespace
} // namespace kelbo::test
