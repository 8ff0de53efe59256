// kelbo-res over the damaged .RES files of res-manifest.txt, then every truncation of a good
// file of each layout: a clear error naming the file and the offset, and an import that fails
// writes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/ResCommand.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

const std::string kCorpus = KELBO_DAMAGED_DIR;

struct Ran {
    int status;
    std::string out, err;
};
Ran res(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = runResCommand(args, out, err);
    return {status, out.str(), err.str()};
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    std::size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// "ok" or "error TEXT": the outcome of a run on `file`.
void expectOutcome(const std::string& outcome, const Ran& r, const std::string& file) {
    if (outcome == "ok") {
        EXPECT_EQ(r.status, 0) << r.err;
        return;
    }
    ASSERT_EQ(outcome.rfind("error ", 0), 0u) << outcome;
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.err.rfind(file + outcome.substr(6), 0), 0u) << r.err;
}

TEST(DamagedRes, EveryManifestCaseGivesItsOutcome) {
    std::ifstream in(kCorpus + "/res-manifest.txt");
    std::string line;
    int cases = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> cols;
        for (std::size_t from = 0;;) {
            std::size_t at = line.find(" | ", from);
            cols.push_back(trim(line.substr(from, at - from)));
            if (at == std::string::npos)
                break;
            from = at + 3;
        }
        ASSERT_EQ(cols.size(), 4u) << line;
        SCOPED_TRACE(cols[0] + " (" + cols[1] + ")");
        ++cases;
        const std::string file = kCorpus + "/" + cols[1];
        expectOutcome(cols[2], res({"list", file}), file);
        ScratchDir dir;
        expectOutcome(cols[3], res({"import", file, dir.file("p.kbp")}), file);
        if (cols[3] != "ok") {
            EXPECT_TRUE(dir.entries().empty()) << "a failed import wrote files";
        }
    }
    EXPECT_GE(cases, 18);
}

// Cut after any byte, a file is either refused with the offset of the header it breaks, or,
// when the cut falls between resources, read as the resources before it.
TEST(DamagedRes, EveryTruncationIsRefusedOrEndsOnAResource) {
    for (const char* name : {"res/good32.res", "res/good16.res"}) {
        const std::string good = readFile(kCorpus + "/" + name);
        Ran whole = res({"list", kCorpus + "/" + name});
        ASSERT_EQ(whole.status, 0) << whole.err;
        ScratchDir dir;
        const std::string cut = dir.file("cut.res");
        int refused = 0;
        for (std::size_t n = 0; n < good.size(); ++n) {
            SCOPED_TRACE(std::string(name) + " cut to " + std::to_string(n));
            writeFile(cut, good.substr(0, n));
            Ran r = res({"list", cut});
            if (r.status == 0) {
                // Only the resources before the cut, listed as in the whole file; the last one's
                // padding may be missing.
                EXPECT_EQ(whole.out.rfind(r.out, 0), 0u) << r.out;
                if (good.size() - n > 3) {
                    EXPECT_LT(r.out.size(), whole.out.size());
                }
                continue;
            }
            ++refused;
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err.rfind(cut + ": offset ", 0), 0u) << r.err;
            Ran imported = res({"import", cut, dir.file("p.kbp")});
            EXPECT_EQ(imported.status, 1);
            if (n == 0) {
                EXPECT_EQ(r.err.rfind(cut + ": offset 0: empty file, no resources", 0), 0u);
                EXPECT_EQ(imported.err.rfind(cut + ": offset 0: empty file", 0), 0u);
            }
            EXPECT_EQ(dir.entries(), std::set<std::string>{"cut.res"});
        }
        // Every cut inside a resource is refused; only those between resources are not.
        EXPECT_GE(refused, static_cast<int>(good.size()) - 8);
    }
}

} // namespace
} // namespace kelbo::test
