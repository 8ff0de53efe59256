// Both .RES layouts read through the core's reader into one form, strict about padding, so
// that the files of two different compilers can be compared resource by resource.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oracle {

// A type or name field: a number, or a name in UTF-16.
struct ResId {
    bool isName = false;
    std::uint16_t number = 0;
    std::u16string name;

    static ResId ofNumber(std::uint16_t n) { return {false, n, {}}; }
    static ResId ofName(std::u16string s) { return {true, 0, std::move(s)}; }
    auto operator<=>(const ResId&) const = default;
    bool operator==(const ResId&) const = default;
};

std::string describe(const ResId& id);

inline constexpr std::uint16_t kRtCursor = 1;
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtBitmap = 2;
inline constexpr std::uint16_t kRtString = 6;
inline constexpr std::uint16_t kRtGroupCursor = 12;
inline constexpr std::uint16_t kRtGroupIcon = 14;

struct Resource {
    ResId type;
    ResId name;
    std::uint16_t memoryFlags = 0;
    std::uint16_t language = 0;
    std::uint32_t dataVersion = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::string data;
};

// 32-bit layout: every header starts on a four-byte boundary, the padding before it is zero,
// HeaderSize matches the fields, and the first resource is the empty entry (returned first).
std::optional<std::vector<Resource>> readRes32(std::string_view bytes, std::string& error);

// 16-bit layout, turned into the 32-bit form: names widened through Windows-1252, string blocks
// rewritten with 16-bit lengths and UTF-16 text, and an empty entry put first.
std::optional<std::vector<Resource>> readRes16(std::string_view bytes, std::string& error);

// One image of an icon or cursor group, its number resolved to the RT_ICON or RT_CURSOR resource
// it names. A cursor group's entries have word-sized width and height and no colour count.
struct GroupImage {
    std::uint16_t width = 0, height = 0;
    std::uint8_t colorCount = 0, reserved = 0;
    std::uint16_t planes = 0, bitCount = 0;
    std::uint32_t bytesInRes = 0;
    std::uint16_t imageNumber = 0;
    std::uint16_t imageFlags = 0;
    std::uint16_t imageLanguage = 0;
    std::string image;
};

struct IconGroup {
    std::uint16_t reserved = 0, type = 0, count = 0;
    std::vector<GroupImage> images;
};

// Fails when the group's size does not fit its count or names a missing image. `images` are the
// RT_ICON resources for an icon group, the RT_CURSOR ones for a cursor group.
std::optional<IconGroup> resolveGroup(const Resource& group,
                                      const std::map<std::uint16_t, const Resource*>& icons,
                                      std::string& error);

struct CompareOptions {
    bool memoryFlags = true;
    // Spaces in our names read as underscores, for scripts that cannot spell a space.
    bool spacesAsUnderscores = true;
    // Names and type names without regard to case, as the loader finds them.
    bool caseless = false;
    // Empty 32-byte entries after the first (files joined together) are left out.
    bool skipEmptyEntries = false;
};

// Everything in which the two files differ, worded for a test failure; empty when they hold the
// same resources: type, name and language each resource is found by, then its fields and data.
// Names of `ours` are compared with spaces read as underscores (a resource script cannot spell a
// space in a name). Icon and cursor groups are compared by their images' data, not their numbers
// (llvm-rc numbers icon and cursor images in one sequence).
std::vector<std::string> compareResources(const std::vector<Resource>& ours,
                                          const std::vector<Resource>& theirs,
                                          const CompareOptions& options = {});

} // namespace oracle
