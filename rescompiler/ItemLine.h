// Item-line helpers and the byte rules that both RES writers share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "messages/ErrorCodes.h"

namespace kelbo {

inline constexpr char kTab = '\t';
// What TestNumber returns for text that is not all digits.
inline constexpr std::int16_t kNotANumber = 9999;

// The raw text before the first TAB (the whole line when it holds none).
std::string_view itemIdText(std::string_view line);
// The raw text after the first TAB (empty when the line holds none).
std::string_view itemTailText(std::string_view line);

// Cut at the first TAB, upper-case (upperCaseName), trim spaces.
std::string GetItemId(std::string_view line);
// Everything after the first TAB, spaces trimmed, case kept.
std::string GetItemSource(std::string_view line);
// Trims spaces from `text` in place; 0 when the rest is all digits (or empty), else 9999.
std::int16_t TestNumber(std::string& text);

// DATA lines: `identifier TAB type TAB source`. The type is the text between the first two TABs,
// upper-cased and trimmed as identifiers are; the source is what follows the second TAB.
std::string GetItemType(std::string_view line);
std::string GetDataSource(std::string_view line);
// The source of a file item of any kind: after the type for DATA, else after the first TAB.
std::string GetItemSource(std::string_view line, bool typed);

// A resource's type or name: an ordinal, or an upper-cased name.
struct ResourceId {
    bool isName;
    std::uint16_t ordinal;
    std::string name;
    bool operator==(const ResourceId&) const = default;
};
inline ResourceId ordinalId(std::uint16_t value) {
    return {false, value, {}};
}
// An item's identifier or DATA type as the writers write it: ordinal when all digits, else the
// upper-cased, trimmed name.
ResourceId resourceIdOfText(std::string id);
// The identifier of a file item.
ResourceId resourceIdOf(const std::string& line);

// Removes leading and trailing spaces (code 32 only).
std::string_view trimSpaces(std::string_view text);
// Value of an all-digit text, or -1 when it exceeds `limit` (so huge numbers never overflow).
long long digitsValue(std::string_view digits, long long limit = kMaxIdentifier);

// The UTF-8 text as UTF-16, little-endian, no terminator.
std::string WidenText(std::string_view text);
// Zero bytes that bring `length` up to a multiple of four.
inline std::uint32_t PadToFour(std::uint32_t length) {
    return (4 - length % 4) % 4;
}

} // namespace kelbo
