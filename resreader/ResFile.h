// Reading a .RES file of either layout: the resource headers, checked against the file before
// they are trusted, and the data of one resource, by bounded pieces.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelbo {

enum class ResLayout { Bits32, Bits16 };

inline constexpr std::uint16_t kRtCursor = 1;
inline constexpr std::uint16_t kRtBitmap = 2;
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtString = 6;
inline constexpr std::uint16_t kRtGroupCursor = 12;
inline constexpr std::uint16_t kRtGroupIcon = 14;
inline constexpr std::uint16_t kRtVersion = 16;
inline constexpr std::uint16_t kRtManifest = 24;

// A type or name field as the file holds it: an ordinal, or text. A 16-bit file's one-byte names
// are widened through Windows-1252, so both layouts are handled alike.
struct ResName {
    bool isName = false;
    std::uint16_t ordinal = 0;
    std::u16string text;

    static ResName of(std::uint16_t n) { return {false, n, {}}; }
    bool isOrdinal(std::uint16_t n) const { return !isName && ordinal == n; }
    bool operator==(const ResName&) const = default;
};

struct ResEntry {
    ResName type;
    ResName name;
    std::uint16_t memoryFlags = 0;
    std::uint16_t language = 0; // the 16-bit layout has none
    std::uint32_t dataVersion = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::uint32_t codePage = 0; // a program's data entries hold one; a .RES file none
    std::uint64_t headerOffset = 0;
    std::uint64_t dataOffset = 0;
    std::uint32_t dataSize = 0;
};

// "2", "WAVE": how messages name a type or a resource, in Windows-1252 (? for a character
// outside it).
std::string describeName(const ResName& name);
// The same in UTF-8, every character kept, for a listing.
std::string describeNameUtf8(const ResName& name);
// "BITMAP", "GROUP_ICON", ... "WAVE" for the named type WAVE, "DATA" for anything else.
std::string kindWord(const ResName& type);
// A 16-bit field as the listings show it: "0x0409".
std::string hexWord(unsigned value);

// Walks the headers of a .RES file one by one. The 32-bit layout is the one that begins with the
// empty entry; anything else is read as the 16-bit layout. The empty entry is not returned.
class ResReader {
public:
    // `fileName` only names the file in messages.
    ResReader(InputFile& file, std::string fileName);

    // Reads the layout; false with the message in error() for a file that is no .RES at all.
    bool start();
    ResLayout layout() const { return layout_; }
    // The next resource; false at the end of the file (error() empty) or on a damaged header or
    // a size past the end (error() naming the file and the offset).
    bool next(ResEntry& entry);
    const std::string& error() const { return error_; }

private:
    bool fill(std::uint64_t offset, std::size_t count);
    bool byte(std::uint64_t& pos, std::uint8_t& v);
    bool word(std::uint64_t& pos, std::uint16_t& v);
    bool dword(std::uint64_t& pos, std::uint32_t& v);
    bool name32(std::uint64_t& pos, std::uint64_t limit, ResName& name, const char* what);
    bool name16(std::uint64_t& pos, ResName& name, const char* what);
    bool next32(ResEntry& entry);
    bool next16(ResEntry& entry);
    bool fail(std::uint64_t offset, const std::string& problem);

    InputFile& file_;
    std::string fileName_;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
    ResLayout layout_ = ResLayout::Bits16;
    std::string error_;
    // A window of the file, so a header costs no read of its own.
    std::vector<char> window_;
    std::uint64_t windowStart_ = 0;
};

// Every resource of a file; nothing (message in `error`) when any header is damaged.
struct ResDirectory {
    ResLayout layout = ResLayout::Bits32;
    std::vector<ResEntry> entries;
};
std::optional<ResDirectory> readResDirectory(InputFile& file, const std::string& fileName,
                                             std::string& error);

// The data of a small resource (a group, a string block, version information), at most `limit`
// bytes; false with a message for a larger one or a read error.
bool readResData(InputFile& file, const ResEntry& entry, std::uint32_t limit, std::string& data,
                 std::string& error);

} // namespace kelbo
