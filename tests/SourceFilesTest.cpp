#include <gtest/gtest.h>

#include "rescompiler/SourceFiles.h"
#include "tests/TestSupport.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo {
namespace {

using test::le16;
using test::le32;

// A "BM" file around `dib` (header, masks, palette, pixels).
std::string bmpFile(const std::string& dib) {
    std::string out = "BM";
    le32(out, static_cast<std::uint32_t>(14 + dib.size()));
    le32(out, 0);
    le32(out, 0);
    return out + dib;
}

std::string infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
                       std::uint32_t compression = 0, std::uint32_t used = 0,
                       std::uint32_t size = 40) {
    std::string h;
    le32(h, size);
    le32(h, static_cast<std::uint32_t>(width));
    le32(h, static_cast<std::uint32_t>(height));
    le16(h, 1);
    le16(h, bits);
    le32(h, compression);
    le32(h, 0);
    le32(h, 0);
    le32(h, 0);
    le32(h, used);
    le32(h, 0);
    h.resize(size, '\0');
    return h;
}

std::string accepts(const std::string& bytes) {
    test::MemoryInput in(bytes);
    std::string problem;
    std::optional<BitmapFile> bmp = readBitmapFile(in, problem);
    if (bmp) {
        EXPECT_EQ(bmp->dataSize(), bytes.size() - 14);
    }
    return bmp ? "ok" : problem;
}

// Each layout of a DIB is accepted exactly when the file holds all that its header describes:
// one byte less is refused.
TEST(BitmapFiles, HoldWhatTheirHeaderDescribes) {
    std::string core;
    le32(core, 12);
    le16(core, 3); // 3 x 2 pixels of 4 bits: a 16-colour palette of RGB triples, 4-byte rows
    le16(core, 2);
    le16(core, 1);
    le16(core, 4);
    const struct {
        const char* what;
        std::string dib;
    } whole[] = {
        {"core header", core + std::string(16 * 3 + 2 * 4, 'p')},
        {"1 bit, 2 colours", infoHeader(9, 3, 1) + std::string(2 * 4 + 3 * 4, 'p')},
        {"8 bits, 3 colours used", infoHeader(3, 2, 8, 0, 3) + std::string(3 * 4 + 2 * 4, 'p')},
        {"24 bits, top-down", infoHeader(5, -3, 24) + std::string(3 * 16, 'p')},
        {"bit fields after a 40-byte header",
         infoHeader(2, 2, 16, 3) + std::string(12 + 2 * 4, 'p')},
        {"alpha bit fields", infoHeader(1, 1, 32, 6) + std::string(16 + 4, 'p')},
        {"bit fields inside a V5 header", infoHeader(1, 2, 32, 3, 0, 124) + std::string(8, 'p')},
        {"RLE8: only the palette counts", infoHeader(100, 100, 8, 1) + std::string(256 * 4, 'p')},
        {"no pixels at all", infoHeader(0, 0, 24)},
    };
    for (const auto& c : whole) {
        std::string file = bmpFile(c.dib);
        EXPECT_EQ(accepts(file), "ok") << c.what;
        file.pop_back();
        EXPECT_NE(accepts(file), "ok") << c.what << " cut by one byte";
    }
    // A pixel count that overflows any product is a short file, not a wrapped size.
    EXPECT_EQ(accepts(bmpFile(infoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32))),
              "Bitmap file ends before the last of its 2147483647 pixel rows");
    EXPECT_EQ(accepts(bmpFile(infoHeader(1, 1, 24, 0, 0xFFFFFFFF))),
              "Bitmap file ends inside its colour table");
    EXPECT_EQ(accepts(bmpFile(infoHeader(1, 1, 24, 3) + std::string(20, 'p'))),
              "Bitmap with 24 bits per pixel");
}

// Count 300: every image is read, each with planes and bits from its own header.
TEST(IconFiles, KeepEveryImageAndReadPlanesFromEachHeader) {
    std::vector<std::uint32_t> sizes(300, 40);
    std::string ico = test::sampleIcon(sizes);
    for (int i = 0; i < 300; ++i)
        ico[6 + 16 * 300 + 40 * i + 14] = static_cast<char>(i % 33);
    test::MemoryInput in(ico);
    std::string problem;
    std::optional<IconDirectory> dir = readIconDirectory(in, problem);
    ASSERT_TRUE(dir) << problem;
    ASSERT_EQ(dir->entries.size(), 300u);
    EXPECT_EQ(dir->entries[299].imageBitCount, 299 % 33);
    EXPECT_EQ(dir->entries[299].bitCount, 32);

    std::string cursorGroup;
    dir->entries[0].height = 200;
    appendCursorGroupEntry(cursorGroup, dir->entries[0], 7);
    EXPECT_EQ(cursorGroup, std::string("\x10\0\x90\x01\x01\0\0\0\x2C\0\0\0\x07\0", 14));

    test::MemoryInput cur(test::sampleCursor({40, 40}));
    dir = readIconDirectory(cur, problem, IconFileType::Cursor);
    ASSERT_TRUE(dir) << problem;
    EXPECT_EQ(dir->entries[1].planes, 2); // the hot spot as the directory gives it
    EXPECT_EQ(dir->entries[1].bitCount, 3);
    EXPECT_FALSE(readIconDirectory(cur, problem));
    EXPECT_EQ(problem, "Icon file is a cursor file (type 2, not 1)");
}

} // namespace
} // namespace kelbo
