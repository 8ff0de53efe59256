// Feeds every committed seed and every input that once broke the core through a fuzz target,
// so a build without libFuzzer still checks them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsUnder(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> found;
    if (!std::filesystem::is_directory(dir))
        return found;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file())
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(FuzzReplay, SeedCorpus) {
    auto seeds = inputsUnder(KELBO_FUZZ_CORPUS);
    ASSERT_FALSE(seeds.empty()) << "no seeds in " << KELBO_FUZZ_CORPUS;
    for (const auto& file : seeds) {
        SCOPED_TRACE(file.string());
        replay(file);
    }
}

TEST(FuzzReplay, FormerCrashes) {
    for (const auto& file : inputsUnder(KELBO_FUZZ_REGRESSIONS)) {
        SCOPED_TRACE(file.string());
        replay(file);
    }
}

} // namespace
