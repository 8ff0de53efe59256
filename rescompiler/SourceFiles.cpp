#include "rescompiler/SourceFiles.h"

namespace kelbo {
namespace {

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t u32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

std::optional<BitmapHeader> readBitmapHeader(InputFile& file, bool checkDeclared,
                                             std::string& problem) {
    BitmapHeader header;
    header.fileSize = file.size();
    unsigned char raw[kBitmapFileHeaderSize];
    if (header.fileSize < kBitmapFileHeaderSize || !file.readAt(0, raw, sizeof raw)) {
        problem = "Bitmap file shorter than its 14-byte header";
        return std::nullopt;
    }
    header.declaredSize = u32(raw + 2);
    if (checkDeclared) {
        if (header.declaredSize < kBitmapFileHeaderSize) {
            problem = "Bitmap file declares a size below 14 bytes";
            return std::nullopt;
        }
        if (header.declaredSize > header.fileSize) {
            problem = "Bitmap file declares " + std::to_string(header.declaredSize) +
                      " bytes but holds " + std::to_string(header.fileSize);
            return std::nullopt;
        }
    }
    return header;
}

std::optional<IconDirectory> readIconDirectory(InputFile& file, std::string& problem) {
    IconDirectory dir;
    const std::uint64_t size = file.size();
    unsigned char raw[kIconHeaderSize];
    if (size < kIconHeaderSize || !file.readAt(0, raw, sizeof raw)) {
        problem = "Icon file shorter than its 6-byte header";
        return std::nullopt;
    }
    dir.reserved = u16(raw);
    dir.type = u16(raw + 2);
    dir.count = static_cast<std::int16_t>(u16(raw + 4));
    if (dir.count < 0) {
        problem = "Icon file with a negative image count";
        return std::nullopt;
    }
    const int n = dir.count < kMaxIconImages ? dir.count : kMaxIconImages;
    const std::uint64_t directoryEnd = kIconHeaderSize + std::uint64_t{kIconEntrySize} * n;
    if (size < directoryEnd) {
        problem = "Icon file shorter than its image directory";
        return std::nullopt;
    }
    unsigned char entries[kIconEntrySize * kMaxIconImages];
    if (n > 0 && !file.readAt(kIconHeaderSize, entries, kIconEntrySize * n)) {
        problem = "Icon file directory cannot be read";
        return std::nullopt;
    }
    for (int i = 0; i < n; ++i) {
        const unsigned char* p = entries + kIconEntrySize * i;
        IconEntry e;
        e.width = p[0];
        e.height = p[1];
        e.colorCount = p[2];
        e.reserved = p[3];
        e.planes = u16(p + 4);
        e.bitCount = u16(p + 6);
        e.bytesInRes = u32(p + 8);
        e.imageOffset = u32(p + 12);
        if (std::uint64_t{e.imageOffset} + e.bytesInRes > size) {
            problem = "Icon image " + std::to_string(i + 1) + " lies outside the file";
            return std::nullopt;
        }
        dir.entries.push_back(e);
    }
    return dir;
}

void appendGroupEntry(std::string& out, const IconEntry& e, std::uint16_t imageNumber) {
    auto put16 = [&](std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    out += static_cast<char>(e.width);
    out += static_cast<char>(e.height);
    out += static_cast<char>(e.colorCount);
    out += static_cast<char>(e.reserved);
    put16(e.planes);
    put16(e.bitCount);
    put16(static_cast<std::uint16_t>(e.bytesInRes & 0xFFFF));
    put16(static_cast<std::uint16_t>(e.bytesInRes >> 16));
    put16(imageNumber);
}

} // namespace kelbo
