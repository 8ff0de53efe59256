// readIconDirectory over an arbitrary .ICO or .CUR, read as each: at most one type is accepted,
// and whatever is accepted can be read whole and described by its group.
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
    int accepted = 0;
    for (IconFileType type : {IconFileType::Icon, IconFileType::Cursor}) {
        std::string problem;
        std::optional<IconDirectory> dir = readIconDirectory(in, problem, type);
        if (!dir) {
            FUZZ_CHECK(!problem.empty());
            continue;
        }
        ++accepted;
        FUZZ_CHECK(size >= kIconHeaderSize);
        FUZZ_CHECK(data[0] == 0 && data[1] == 0 && data[2] == static_cast<std::uint8_t>(type));
        FUZZ_CHECK(dir->entries.size() == static_cast<std::size_t>(data[4] | data[5] << 8));
        FUZZ_CHECK(size >= kIconHeaderSize + kIconEntrySize * dir->entries.size());
        std::string group;
        std::uint16_t number = 0;
        for (const IconEntry& e : dir->entries) {
            FUZZ_CHECK(std::uint64_t{e.imageOffset} + e.bytesInRes <= size);
            // A PNG signature or a DIB header of at least 40 bytes.
            FUZZ_CHECK(e.bytesInRes >= 8);
            std::vector<char> image(e.bytesInRes);
            FUZZ_CHECK(in.readAt(e.imageOffset, image.data(), image.size()));
            if (type == IconFileType::Cursor)
                appendCursorGroupEntry(group, e, ++number);
            else
                appendGroupEntry(group, e, ++number);
        }
        FUZZ_CHECK(group.size() == kGroupEntrySize * dir->entries.size());
    }
    FUZZ_CHECK(accepted <= 1);
    return 0;
}
