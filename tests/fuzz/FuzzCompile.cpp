// A whole compilation, in both layouts, of a project and sources taken from the input, on a
// file layer that may fail a write, the commit or a read. Whatever happens: success only with a
// well-framed output, otherwise an error in the log and the former output as it was.
//
// Input: one byte choosing the fault, then sections separated by "@@@@": the project (one item
// per line, a kind digit 0-7 followed by the item line), then the source files /src/0, /src/1...
// A source path that names no file is mapped onto one of them, so mutations need not spell
// paths; "/src/dir" is a folder and "/src/locked" cannot be opened.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzChecks.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/ResCompiler.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/MemoryFileSystem.h"

namespace {

using namespace kelbo;

constexpr std::string_view kSeparator = "@@@@";
constexpr std::size_t kMaxItems = 1200;
const std::string kOutput = "/out/x.res";
const std::string kFormer = "FORMER OUTPUT, MUST SURVIVE";

class SourceFs : public test::MemoryFileSystem {
public:
    std::vector<std::string> sources;

    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        if (files.count(path) || directories.count(path) || unreadable.count(path) ||
            sources.empty() || path.empty())
            return MemoryFileSystem::openInput(path, error);
        unsigned sum = 0;
        for (unsigned char c : path)
            sum += c;
        return std::make_unique<test::MemoryInput>(sources[sum % sources.size()]);
    }
};

std::vector<std::string_view> split(std::string_view text, std::string_view by) {
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t at = text.find(by);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + by.size());
    }
}

test::FaultPlan planFor(std::uint8_t selector) {
    test::FaultPlan plan;
    const int n = (selector >> 2) & 15;
    switch (selector & 3) {
    case 1:
        plan.failWriteAt = n / 4 + 1;
        plan.partialBytes = static_cast<std::size_t>(n) * 7;
        break;
    case 2:
        (n & 1 ? plan.failRename : plan.failFlush) = true;
        plan.reason = n & 1 ? "Permission denied" : "Input/output error";
        break;
    case 3:
        plan.failReadAt = n + 1;
        break;
    default:
        break;
    }
    return plan;
}

void compileOnce(const Project& project, const std::vector<std::string>& sources,
                 std::uint8_t selector, int bits) {
    SourceFs fs;
    fs.sources = sources;
    for (std::size_t i = 0; i < sources.size(); ++i)
        fs.files["/src/" + std::to_string(i)] = sources[i];
    fs.directories.insert("/src/dir");
    fs.unreadable.insert("/src/locked");
    fs.files[kOutput] = kFormer;
    const test::FaultPlan plan = planFor(selector);
    test::FaultyFileSystem faulty(fs, plan);

    CompileLog log;
    CompileOutcome outcome = runCompilation(project, bits, kOutput, log, faulty);
    const bool success = outcome == CompileOutcome::Success;
    const std::string& text = log.text();
    if (std::getenv("KELBO_FUZZ_SHOW_LOG"))
        std::fprintf(stderr, "--- %d bits:%s\n", bits, text.c_str());

    FUZZ_CHECK(success == log.succeeded());
    FUZZ_CHECK(fs.temporaryCount() == 0);
    if (success) {
        FUZZ_CHECK(!faulty.fired());
        FUZZ_CHECK(text.find("*** ERROR ***") == std::string::npos);
        const std::string& res = fs.files[kOutput];
        FUZZ_CHECK(bits == 16 ? fuzz::framed16(res) : fuzz::framed32(res));
        return;
    }
    FUZZ_CHECK(fuzz::reportsError(text));
    FUZZ_CHECK(fs.files[kOutput] == kFormer);
    const bool outputFault = plan.failWriteAt || plan.failFlush || plan.failRename;
    if (faulty.fired() && outputFault) {
        FUZZ_CHECK(text.find(kOutput) != std::string::npos);
        FUZZ_CHECK(text.find(plan.reason) != std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    std::vector<std::string_view> parts =
        split(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), kSeparator);

    Project project;
    std::size_t items = 0;
    for (std::string_view line : split(parts[0], "\n")) {
        if (line.empty() || ++items > kMaxItems)
            continue;
        auto kind = static_cast<ResourceKind>(static_cast<unsigned char>(line[0] - '0') % 8);
        project.append(kind, std::string(line.substr(1)));
    }
    if (project.empty())
        return 0;
    std::vector<std::string> sources(parts.begin() + 1, parts.end());

    compileOnce(project, sources, selector, 32);
    compileOnce(project, sources, selector, 16);
    return 0;
}
