#include "resreader/ResFile.h"

#include <algorithm>
#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"

namespace kelbo {
namespace {

constexpr std::size_t kWindowSize = 1 << 16;
// Longer names are damage, not resources: no tool writes them and none could load them.
constexpr std::size_t kMaxNameLength = 0xFFFF;
constexpr std::uint32_t kEmptyEntrySize = 32;

} // namespace

std::string describeName(const ResName& name) {
    return name.isName ? utf16ToUtf8(name.text) : std::to_string(name.ordinal);
}

std::string kindWord(const ResName& type) {
    if (type.isName)
        return type.text == u"WAVE" ? "WAVE" : "DATA";
    switch (type.ordinal) {
    case kRtCursor:
        return "CURSOR";
    case kRtBitmap:
        return "BITMAP";
    case kRtIcon:
        return "ICON";
    case kRtString:
        return "STRING";
    case kRtGroupCursor:
        return "GROUP_CURSOR";
    case kRtGroupIcon:
        return "GROUP_ICON";
    case kRtVersion:
        return "VERSION";
    case kRtManifest:
        return "MANIFEST";
    default:
        return "DATA";
    }
}

ResReader::ResReader(InputFile& file, std::string fileName)
    : file_(file), fileName_(std::move(fileName)), size_(file.size()) {}

bool ResReader::fail(std::uint64_t offset, const std::string& problem) {
    error_ = fileName_ + ": offset " + std::to_string(offset) + ": " + problem;
    return false;
}

bool ResReader::fill(std::uint64_t offset, std::size_t count) {
    if (offset > size_ || count > size_ - offset)
        return false;
    if (offset >= windowStart_ && offset + count <= windowStart_ + window_.size())
        return true;
    auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_ - offset));
    window_.resize(n);
    windowStart_ = offset;
    if (!file_.readAt(offset, window_.data(), n)) {
        window_.clear();
        return false;
    }
    return true;
}

bool ResReader::byte(std::uint64_t& pos, std::uint8_t& v) {
    if (!fill(pos, 1))
        return false;
    v = static_cast<std::uint8_t>(window_[static_cast<std::size_t>(pos - windowStart_)]);
    pos += 1;
    return true;
}

bool ResReader::word(std::uint64_t& pos, std::uint16_t& v) {
    std::uint8_t lo = 0, hi = 0;
    if (!fill(pos, 2) || !byte(pos, lo) || !byte(pos, hi))
        return false;
    v = static_cast<std::uint16_t>(lo | hi << 8);
    return true;
}

bool ResReader::dword(std::uint64_t& pos, std::uint32_t& v) {
    std::uint16_t lo = 0, hi = 0;
    if (!fill(pos, 4) || !word(pos, lo) || !word(pos, hi))
        return false;
    v = lo | static_cast<std::uint32_t>(hi) << 16;
    return true;
}

bool ResReader::start() {
    if (size_ == 0)
        return fail(0, "empty file, no resources");
    std::uint64_t pos = 0;
    std::uint32_t dataSize = 0, headerSize = 0, type = 0, name = 0;
    // The empty entry: no data, a 32-byte header, type 0 and name 0 as ordinals.
    layout_ = size_ >= kEmptyEntrySize && dword(pos, dataSize) && dword(pos, headerSize) &&
                      dword(pos, type) && dword(pos, name) && dataSize == 0 &&
                      headerSize == kEmptyEntrySize && type == 0xFFFF && name == 0xFFFF
                  ? ResLayout::Bits32
                  : ResLayout::Bits16;
    pos_ = layout_ == ResLayout::Bits32 ? kEmptyEntrySize : 0;
    return true;
}

bool ResReader::next(ResEntry& entry) {
    error_.clear();
    if (pos_ >= size_)
        return false;
    entry = ResEntry{};
    entry.headerOffset = pos_;
    return layout_ == ResLayout::Bits32 ? next32(entry) : next16(entry);
}

bool ResReader::name32(std::uint64_t& pos, std::uint64_t limit, ResName& name, const char* what) {
    const std::uint64_t start = pos;
    std::uint16_t first = 0;
    if (pos + 2 > limit || !word(pos, first))
        return fail(start, std::string("header ends inside the ") + what);
    if (first == 0xFFFF) {
        name.isName = false;
        if (pos + 2 > limit || !word(pos, name.ordinal))
            return fail(start, std::string("header ends inside the ") + what);
        return true;
    }
    if (first == 0)
        return fail(start, std::string("zero-length ") + what);
    name.isName = true;
    for (std::uint16_t unit = first; unit != 0;) {
        if (name.text.size() == kMaxNameLength)
            return fail(start, std::string(what) + " longer than 65535 characters");
        name.text.push_back(static_cast<char16_t>(unit));
        if (pos + 2 > limit || !word(pos, unit))
            return fail(start, std::string("unterminated ") + what);
    }
    return true;
}

bool ResReader::next32(ResEntry& entry) {
    const std::uint64_t start = pos_;
    std::uint64_t pos = pos_;
    std::uint32_t headerSize = 0;
    if (!dword(pos, entry.dataSize) || !dword(pos, headerSize))
        return fail(start, "truncated resource header");
    if (headerSize < kEmptyEntrySize || headerSize % 4 != 0)
        return fail(start, "header size " + std::to_string(headerSize) +
                               " is not a multiple of 4 of at least 32");
    if (headerSize > size_ - start)
        return fail(start,
                    "header size " + std::to_string(headerSize) + " runs past the end of the file");
    // The fixed fields take the last 16 bytes; the names must end before them.
    const std::uint64_t namesEnd = start + headerSize - 16;
    if (!name32(pos, namesEnd, entry.type, "type") || !name32(pos, namesEnd, entry.name, "name"))
        return false;
    pos += (4 - pos % 4) % 4;
    if (pos != namesEnd)
        return fail(start, "header size " + std::to_string(headerSize) +
                               " does not match its fields (" + std::to_string(pos + 16 - start) +
                               " bytes)");
    if (!dword(pos, entry.dataVersion) || !word(pos, entry.memoryFlags) ||
        !word(pos, entry.language) || !dword(pos, entry.version) ||
        !dword(pos, entry.characteristics))
        return fail(start, "truncated resource header");
    entry.dataOffset = pos;
    if (entry.dataSize > size_ - pos)
        return fail(start, "resource " + describeName(entry.type) + " " + describeName(entry.name) +
                               ": data size " + std::to_string(entry.dataSize) +
                               " runs past the end of the file");
    // The padding after the last resource may be missing.
    std::uint64_t end = pos + entry.dataSize;
    pos_ = std::min<std::uint64_t>(end + (4 - end % 4) % 4, size_);
    return true;
}

bool ResReader::name16(std::uint64_t& pos, ResName& name, const char* what) {
    const std::uint64_t start = pos;
    std::uint8_t first = 0;
    if (!byte(pos, first))
        return fail(start, std::string("file ends inside the ") + what);
    if (first == 0xFF) {
        name.isName = false;
        if (!word(pos, name.ordinal))
            return fail(start, std::string("file ends inside the ") + what);
        return true;
    }
    if (first == 0)
        return fail(start, std::string("zero-length ") + what);
    name.isName = true;
    for (std::uint8_t c = first; c != 0;) {
        if (name.text.size() == kMaxNameLength)
            return fail(start, std::string(what) + " longer than 65535 characters");
        name.text.push_back(cp1252ToUtf16(c));
        if (!byte(pos, c))
            return fail(start, std::string("unterminated ") + what);
    }
    return true;
}

bool ResReader::next16(ResEntry& entry) {
    const std::uint64_t start = pos_;
    std::uint64_t pos = pos_;
    if (!name16(pos, entry.type, "type") || !name16(pos, entry.name, "name"))
        return false;
    if (!word(pos, entry.memoryFlags) || !dword(pos, entry.dataSize))
        return fail(start, "truncated resource header");
    entry.dataOffset = pos;
    if (entry.dataSize > size_ - pos)
        return fail(start, "resource " + describeName(entry.type) + " " + describeName(entry.name) +
                               ": data size " + std::to_string(entry.dataSize) +
                               " runs past the end of the file");
    pos_ = pos + entry.dataSize;
    return true;
}

std::optional<ResDirectory> readResDirectory(InputFile& file, const std::string& fileName,
                                             std::string& error) {
    ResReader reader(file, fileName);
    if (!reader.start()) {
        error = reader.error();
        return std::nullopt;
    }
    ResDirectory dir;
    dir.layout = reader.layout();
    ResEntry entry;
    while (reader.next(entry))
        dir.entries.push_back(std::move(entry));
    if (!reader.error().empty()) {
        error = reader.error();
        return std::nullopt;
    }
    return dir;
}

bool readResData(InputFile& file, const ResEntry& entry, std::uint32_t limit, std::string& data,
                 std::string& error) {
    if (entry.dataSize > limit) {
        error = "resource " + describeName(entry.type) + " " + describeName(entry.name) +
                " is larger than " + std::to_string(limit) + " bytes";
        return false;
    }
    data.assign(entry.dataSize, '\0');
    if (entry.dataSize > 0 && !file.readAt(entry.dataOffset, data.data(), data.size())) {
        error = "resource " + describeName(entry.type) + " " + describeName(entry.name) +
                " cannot be read";
        return false;
    }
    return true;
}

std::string hexWord(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
    return text;
}

} // namespace kelbo
