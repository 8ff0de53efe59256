// readIconDirectory over an arbitrary .ICO: whatever it accepts can be read whole.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "rescompiler/SourceFiles.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    test::MemoryInput in(std::string(reinterpret_cast<const char*>(data), size));
    std::string problem;
    std::optional<IconDirectory> dir = readIconDirectory(in, problem);
    if (!dir) {
        FUZZ_CHECK(!problem.empty());
        return 0;
    }
    FUZZ_CHECK(size >= kIconHeaderSize);
    FUZZ_CHECK(dir->count >= 0);
    FUZZ_CHECK(dir->entries.size() ==
               static_cast<std::size_t>(std::min<int>(dir->count, kMaxIconImages)));
    FUZZ_CHECK(size >= kIconHeaderSize + kIconEntrySize * dir->entries.size());
    std::string group;
    std::uint16_t number = 0;
    for (const IconEntry& e : dir->entries) {
        FUZZ_CHECK(std::uint64_t{e.imageOffset} + e.bytesInRes <= size);
        std::vector<char> image(e.bytesInRes);
        FUZZ_CHECK(in.readAt(e.imageOffset, image.data(), image.size()));
        appendGroupEntry(group, e, ++number);
    }
    FUZZ_CHECK(group.size() == kGroupEntrySize * dir->entries.size());
    return 0;
}
