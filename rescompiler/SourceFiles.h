// Reading the .BMP, .ICO and .CUR sources of a compilation as resource compilers read them. Every
// size and offset is checked against the file's length before it is trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelbo {

inline constexpr std::uint32_t kBitmapFileHeaderSize = 14;
inline constexpr std::uint32_t kIconHeaderSize = 6;
inline constexpr std::uint32_t kIconEntrySize = 16;
inline constexpr std::uint32_t kGroupEntrySize = 14;
// A cursor image's resource starts with its hot spot: two 16-bit words.
inline constexpr std::uint32_t kHotSpotSize = 4;

struct BitmapFile {
    std::uint64_t fileSize = 0;
    // What the resource holds: everything after the 14-byte file header. The declared file size
    // and pixel offset are not trusted; the DIB is read as the loader reads it.
    std::uint64_t dataSize() const { return fileSize - kBitmapFileHeaderSize; }
};

// Fails (with the problem in `problem`) on a file that does not begin with "BM", whose DIB header
// is neither 12 nor at least 40 bytes, or that ends before the palette and pixel rows its header
// describes (uncompressed and bit-field bitmaps; of compressed ones only the header and palette
// are checked).
std::optional<BitmapFile> readBitmapFile(InputFile& file, std::string& problem);

// The type field of an icon or cursor file's header.
enum class IconFileType : std::uint16_t { Icon = 1, Cursor = 2 };

struct IconEntry {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    // Planes and bit count of an icon; the hot spot's x and y of a cursor.
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;
    // What the group entry says: taken from the image's BITMAPINFOHEADER when its size field is
    // exactly 40, else (a PNG image, a longer header) 1 plane and 32 bits, as the loader and
    // other compilers expect whatever the directory claims.
    std::uint16_t imagePlanes = 1;
    std::uint16_t imageBitCount = 32;
};

struct IconDirectory {
    IconFileType type = IconFileType::Icon;
    std::vector<IconEntry> entries; // every image the header counts
};

// Fails on a reserved field other than 0, a type other than `type`, a directory or image outside
// the file, or an image that is neither a PNG nor a DIB with a header of at least 40 bytes.
std::optional<IconDirectory> readIconDirectory(InputFile& file, std::string& problem,
                                               IconFileType type = IconFileType::Icon);

// The 14 bytes of an icon group entry: width, height, colour count, reserved, planes, bit count,
// bytes in the image, image number.
void appendGroupEntry(std::string& out, const IconEntry& entry, std::uint16_t imageNumber);
// The 14 bytes of a cursor group entry: width and height (doubled, the image's XOR and AND masks
// as the loader counts them) as words, planes, bit count, bytes in the resource (hot spot
// included), image number.
void appendCursorGroupEntry(std::string& out, const IconEntry& entry, std::uint16_t imageNumber);

} // namespace kelbo
