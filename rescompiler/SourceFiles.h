// Reading the .BMP, .ICO and .WAV sources of a compilation. Every size and offset is checked
// against the file's length before it is trusted.
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
// Only the first four images of an icon file are compiled.
inline constexpr int kMaxIconImages = 4;

struct BitmapHeader {
    std::uint64_t fileSize = 0;
    std::uint32_t declaredSize = 0;
};

// Fails (with the problem in `problem`) on a file shorter than 14 bytes; with `checkDeclared`
// also on a declared size below 14 or beyond the end of the file.
std::optional<BitmapHeader> readBitmapHeader(InputFile& file, bool checkDeclared,
                                             std::string& problem);

struct IconEntry {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint8_t reserved = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;
};

struct IconDirectory {
    std::uint16_t reserved = 0;
    std::uint16_t type = 0;
    std::int16_t count = 0;         // as the file says
    std::vector<IconEntry> entries; // the first min(count, 4)
};

// Fails on a file shorter than its header and directory, a negative image count, or an image
// that lies outside the file.
std::optional<IconDirectory> readIconDirectory(InputFile& file, std::string& problem);

// The 14 bytes of a group entry: the directory entry without its offset, then the image number.
void appendGroupEntry(std::string& out, const IconEntry& entry, std::uint16_t imageNumber);

} // namespace kelbo
