// readBitmapFile over an arbitrary .BMP: what it accepts is a "BM" file whose data after the
// 14-byte header can be read whole, with a DIB header of 12 or at least 40 bytes inside it.
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzChecks.h"
#include "rescompiler/SourceFiles.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::MemoryInput in(bytes);
    std::string problem;
    std::optional<BitmapFile> bmp = readBitmapFile(in, problem);
    if (!bmp) {
        FUZZ_CHECK(!problem.empty());
        return 0;
    }
    FUZZ_CHECK(bmp->fileSize == size);
    FUZZ_CHECK(size >= kBitmapFileHeaderSize + 12 && bytes.compare(0, 2, "BM") == 0);
    const std::uint32_t headerSize = fuzz::le32(bytes, kBitmapFileHeaderSize);
    FUZZ_CHECK(headerSize == 12 || headerSize >= 40);
    FUZZ_CHECK(headerSize <= bmp->dataSize());
    std::string body(bmp->dataSize(), '\0');
    FUZZ_CHECK(in.readAt(kBitmapFileHeaderSize, body.data(), body.size()));
    return 0;
}
