#include "rescompiler/SourceFiles.h"

#include <algorithm>
#include <cstring>

namespace kelbo {
namespace {

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t i32(const unsigned char* p) {
    return static_cast<std::int32_t>(u32(p));
}
void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

constexpr std::uint32_t kCoreHeaderSize = 12; // BITMAPCOREHEADER
constexpr std::uint32_t kInfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool validBitCount(std::uint32_t compression, std::uint16_t bits) {
    if (compression != kRgb)
        return bits == 16 || bits == 32;
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

std::optional<BitmapFile> readBitmapFile(InputFile& file, std::string& problem) {
    BitmapFile bmp;
    bmp.fileSize = file.size();
    unsigned char raw[kBitmapFileHeaderSize];
    if (bmp.fileSize < kBitmapFileHeaderSize || !file.readAt(0, raw, sizeof raw)) {
        problem = "Bitmap file shorter than its 14-byte header";
        return std::nullopt;
    }
    if (raw[0] != 'B' || raw[1] != 'M') {
        problem = "Not a bitmap file: it does not begin with \"BM\"";
        return std::nullopt;
    }
    const std::uint64_t dib = bmp.dataSize();
    unsigned char info[kInfoHeaderSize];
    if (dib < 4 || !file.readAt(kBitmapFileHeaderSize, info, 4)) {
        problem = "Bitmap file ends inside its DIB header";
        return std::nullopt;
    }
    const std::uint32_t headerSize = u32(info);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) {
        problem = "Bitmap with a DIB header of " + std::to_string(headerSize) +
                  " bytes: 12 or at least 40 expected";
        return std::nullopt;
    }
    if (headerSize > dib ||
        !file.readAt(kBitmapFileHeaderSize, info, std::min(headerSize, kInfoHeaderSize))) {
        problem = "Bitmap file ends inside its DIB header";
        return std::nullopt;
    }

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t colours = 0;
    std::uint64_t entrySize = 4;
    std::uint64_t masks = 0;
    if (headerSize == kCoreHeaderSize) {
        width = u16(info + 4);
        height = u16(info + 6);
        bitCount = u16(info + 10);
        entrySize = 3;
        colours = bitCount <= 8 ? std::uint64_t{1} << bitCount : 0;
    } else {
        width = i32(info + 4);
        height = i32(info + 8);
        bitCount = u16(info + 14);
        compression = u32(info + 16);
        const std::uint32_t used = u32(info + 32);
        colours = used != 0 ? used : bitCount <= 8 ? std::uint64_t{1} << bitCount : 0;
        // Longer headers hold their masks; after a 40-byte one they follow it.
        if (headerSize == kInfoHeaderSize && compression == kBitFields)
            masks = 12;
        if (headerSize == kInfoHeaderSize && compression == kAlphaBitFields)
            masks = 16;
    }
    const std::uint64_t beforePixels = headerSize + masks + colours * entrySize;
    if (beforePixels > dib) {
        problem = "Bitmap file ends inside its colour table";
        return std::nullopt;
    }
    // Compressed pixels (RLE, JPEG, PNG) have no size the header vouches for.
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
        return bmp;
    if (!validBitCount(compression, bitCount)) {
        problem = "Bitmap with " + std::to_string(bitCount) + " bits per pixel";
        return std::nullopt;
    }
    if (width < 0) {
        problem = "Bitmap with a negative width";
        return std::nullopt;
    }
    // A negative height is a top-down bitmap.
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (rows > 0 && stride > (dib - beforePixels) / rows) {
        problem = "Bitmap file ends before the last of its " + std::to_string(rows) + " pixel rows";
        return std::nullopt;
    }
    return bmp;
}

std::optional<IconDirectory> readIconDirectory(InputFile& file, std::string& problem,
                                               IconFileType type) {
    const std::string what = type == IconFileType::Cursor ? "Cursor" : "Icon";
    IconDirectory dir;
    dir.type = type;
    const std::uint64_t size = file.size();
    unsigned char raw[kIconHeaderSize];
    if (size < kIconHeaderSize || !file.readAt(0, raw, sizeof raw)) {
        problem = what + " file shorter than its 6-byte header";
        return std::nullopt;
    }
    if (u16(raw) != 0) {
        problem = what + " file whose reserved field is " + std::to_string(u16(raw)) + ", not 0";
        return std::nullopt;
    }
    const std::uint16_t fileType = u16(raw + 2);
    if (fileType != static_cast<std::uint16_t>(type)) {
        if (fileType == static_cast<std::uint16_t>(IconFileType::Icon))
            problem = what + " file is an icon file (type 1, not 2)";
        else if (fileType == static_cast<std::uint16_t>(IconFileType::Cursor))
            problem = what + " file is a cursor file (type 2, not 1)";
        else
            problem = what + " file of type " + std::to_string(fileType) + ", not " +
                      std::to_string(static_cast<std::uint16_t>(type));
        return std::nullopt;
    }
    // The count is a word: all of its images are compiled.
    const std::uint16_t count = u16(raw + 4);
    const std::uint64_t directoryEnd = kIconHeaderSize + std::uint64_t{kIconEntrySize} * count;
    if (size < directoryEnd) {
        problem = what + " file shorter than its image directory";
        return std::nullopt;
    }
    // At most 1 MB, and only as much as the file holds.
    std::string entries(kIconEntrySize * count, '\0');
    if (count > 0 && !file.readAt(kIconHeaderSize, entries.data(), entries.size())) {
        problem = what + " file directory cannot be read";
        return std::nullopt;
    }
    dir.entries.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(entries.data()) + kIconEntrySize * i;
        IconEntry e;
        e.width = p[0];
        e.height = p[1];
        e.colorCount = p[2];
        e.reserved = p[3];
        e.planes = u16(p + 4);
        e.bitCount = u16(p + 6);
        e.bytesInRes = u32(p + 8);
        e.imageOffset = u32(p + 12);
        const std::string image = what + " image " + std::to_string(i + 1);
        if (std::uint64_t{e.imageOffset} + e.bytesInRes > size) {
            problem = image + " lies outside the file";
            return std::nullopt;
        }
        unsigned char head[kInfoHeaderSize];
        const std::uint32_t headBytes = std::min(e.bytesInRes, kInfoHeaderSize);
        if (headBytes > 0 && !file.readAt(e.imageOffset, head, headBytes)) {
            problem = image + " cannot be read";
            return std::nullopt;
        }
        const bool png = headBytes >= sizeof kPngSignature &&
                         std::memcmp(head, kPngSignature, sizeof kPngSignature) == 0;
        if (!png) {
            const std::uint32_t headerSize = headBytes >= 4 ? u32(head) : 0;
            if (headerSize < kInfoHeaderSize || headerSize > e.bytesInRes) {
                problem = image + " is neither a PNG image nor a bitmap with a 40-byte header";
                return std::nullopt;
            }
            if (headerSize == kInfoHeaderSize) {
                e.imagePlanes = u16(head + 12);
                e.imageBitCount = u16(head + 14);
            }
        }
        dir.entries.push_back(e);
    }
    return dir;
}

void appendGroupEntry(std::string& out, const IconEntry& e, std::uint16_t imageNumber) {
    out += static_cast<char>(e.width);
    out += static_cast<char>(e.height);
    out += static_cast<char>(e.colorCount);
    out += static_cast<char>(e.reserved);
    put16(out, e.imagePlanes);
    put16(out, e.imageBitCount);
    put32(out, e.bytesInRes);
    put16(out, imageNumber);
}

void appendCursorGroupEntry(std::string& out, const IconEntry& e, std::uint16_t imageNumber) {
    put16(out, e.width);
    put16(out, static_cast<std::uint16_t>(e.height * 2));
    put16(out, e.imagePlanes);
    put16(out, e.imageBitCount);
    put32(out, e.bytesInRes + kHotSpotSize);
    put16(out, imageNumber);
}

} // namespace kelbo
