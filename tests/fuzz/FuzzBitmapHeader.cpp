// readBitmapHeader over an arbitrary .BMP, in both of its modes.
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzChecks.h"
#include "rescompiler/SourceFiles.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    test::MemoryInput in(std::string(reinterpret_cast<const char*>(data), size));
    std::string problem;
    std::optional<BitmapHeader> loose = readBitmapHeader(in, false, problem);
    FUZZ_CHECK(loose.has_value() == (size >= kBitmapFileHeaderSize));
    FUZZ_CHECK(loose.has_value() || !problem.empty());

    problem.clear();
    std::optional<BitmapHeader> strict = readBitmapHeader(in, true, problem);
    if (!strict) {
        FUZZ_CHECK(!problem.empty());
        return 0;
    }
    FUZZ_CHECK(strict->fileSize == size);
    FUZZ_CHECK(strict->declaredSize >= kBitmapFileHeaderSize && strict->declaredSize <= size);
    std::string body(strict->declaredSize - kBitmapFileHeaderSize, '\0');
    FUZZ_CHECK(in.readAt(kBitmapFileHeaderSize, body.data(), body.size()));
    return 0;
}
