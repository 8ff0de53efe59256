// Which chosen files the file item dialog hands to its picture decoder.
#include <gtest/gtest.h>

#include "shell/Preview.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

using shell::worthPreviewing;

TEST(Preview, WholeBitmapsOnlyAndEveryRowOfARunLengthStream) {
    const std::string bitmap = sampleBitmap(5, 4);
    EXPECT_TRUE(worthPreviewing(bitmap, ResourceKind::Bitmap));
    // Trailing bytes do no harm; one byte of pixels missing does.
    EXPECT_TRUE(worthPreviewing(bitmap + "tail", ResourceKind::Bitmap));
    EXPECT_FALSE(worthPreviewing(bitmap.substr(0, bitmap.size() - 1), ResourceKind::Bitmap));
    EXPECT_FALSE(worthPreviewing(bitmap.substr(0, 30), ResourceKind::Bitmap));
    EXPECT_FALSE(worthPreviewing("", ResourceKind::Bitmap));

    // An 8-bit run-length bitmap, 4 x 2: its runs must fill both rows and end with the mark.
    std::string rle = "BM";
    le32(rle, 0);
    le32(rle, 0);
    le32(rle, 14 + 40 + 4 * 256);
    std::string info;
    for (std::uint32_t v : {40u, 4u, 2u})
        le32(info, v);
    le16(info, 1);
    le16(info, 8);
    for (std::uint32_t v : {1u, 0u, 0u, 0u, 0u, 0u})
        le32(info, v);
    rle += info + std::string(4 * 256, '\0');
    const std::string full = rle + std::string("\x04\x01\x00\x00\x04\x02\x00\x01", 8);
    EXPECT_TRUE(worthPreviewing(full, ResourceKind::Bitmap));
    const std::string shortRow = rle + std::string("\x03\x01\x00\x00\x04\x02\x00\x01", 8);
    EXPECT_FALSE(worthPreviewing(shortRow, ResourceKind::Bitmap));
    const std::string noEnd = rle + std::string("\x04\x01\x00\x00\x04\x02", 6);
    EXPECT_FALSE(worthPreviewing(noEnd, ResourceKind::Bitmap));
}

TEST(Preview, IconsNeedADirectoryTheCompilerAccepts) {
    EXPECT_TRUE(worthPreviewing(sampleIcon({40, 60}), ResourceKind::Icon));
    // An image that runs past the end of the file, or a header promising more images.
    const std::string icon = sampleIcon({40, 60});
    EXPECT_FALSE(worthPreviewing(icon.substr(0, icon.size() - 1), ResourceKind::Icon));
    EXPECT_FALSE(worthPreviewing(sampleIcon({40}, 3), ResourceKind::Icon));
    // The same bytes chosen as a bitmap item are not an icon's to check: the decoder decides.
    EXPECT_TRUE(worthPreviewing(icon.substr(0, icon.size() - 1), ResourceKind::Bitmap));
}

} // namespace
} // namespace kelbo::test
