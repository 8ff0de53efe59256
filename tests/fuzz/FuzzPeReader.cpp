// The PE reader and its resource directory over arbitrary bytes: whatever is accepted lies
// inside the file, and a program whose directory reads back is rewritten by the patch into a
// program that reads back too.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "peimage/PePatch.h"
#include "peimage/PeResources.h"
#include "tests/support/MemoryFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelbo;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::MemoryInput in(bytes);
    std::string error;
    std::optional<PeImage> image = readPeImage(in, "p.exe", error);
    if (!image) {
        FUZZ_CHECK(error.rfind("p.exe: offset ", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(image->endOfSections <= size);
    for (const PeSection& s : image->sections)
        FUZZ_CHECK(s.rawSize == 0 || std::uint64_t{s.rawOffset} + s.rawSize <= size);
    std::optional<PeResourceDirectory> tree = readPeResources(in, *image, "p.exe", error);
    if (!tree) {
        FUZZ_CHECK(error.rfind("p.exe: offset ", 0) == 0);
        return 0;
    }
    for (const ResEntry& e : tree->entries)
        FUZZ_CHECK(e.dataOffset + e.dataSize <= size);
    if (image->hasCertificateTable())
        return 0;
    // Patched with one resource, the program must read back with it (or be refused).
    test::MemoryFileSystem fs;
    fs.files["p.exe"] = bytes;
    fs.files["f.res"] = std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16) +
                        std::string(16, '\0') +
                        std::string("\x04\0\0\0\x20\0\0\0\xFF\xFF\x0A\0\xFF\xFF\x01\0", 16) +
                        std::string(16, '\0') + "data";
    PatchResult r = patchProgram("p.exe", "f.res", "out.exe", {}, fs);
    FUZZ_CHECK(fs.temporaryCount() == 0);
    if (!r.ok)
        return 0;
    test::MemoryInput out(fs.files["out.exe"]);
    std::optional<ResDirectory> back = readResourceEntries(out, "out.exe", error);
    FUZZ_CHECK(back);
    bool found = false;
    for (const ResEntry& e : back->entries)
        found |= e.type.isOrdinal(10) && e.name.isOrdinal(1);
    FUZZ_CHECK(found);
    return 0;
}
