// Unicode text as the core holds it (UTF-8) and as resources hold it (UTF-16), and the one
// upper-case rule for resource names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

// The code point at `pos`, advancing `pos`; false (pos unchanged) for a byte sequence that is
// not UTF-8: a stray or missing continuation byte, an overlong form, a surrogate or a value
// past U+10FFFF.
bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);
bool isValidUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t codePoint);

// Invalid UTF-8 becomes U+FFFD, one per bad byte; characters past U+FFFF become surrogate pairs.
std::u16string utf8ToUtf16(std::string_view text);
// The same as little-endian bytes, the form resources store.
std::string utf8ToUtf16Le(std::string_view text);
// UTF-16 code units the text takes.
std::size_t utf16Length(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// True when every character has a Windows-1252 byte; otherwise `bad` gets the first that has
// none (U+FFFD for invalid UTF-8).
bool fitsCp1252(std::string_view text, char32_t* bad = nullptr);

// A resource name's upper case: within Windows-1252 its own case pairs (à to À, ÿ to Ÿ, µ and ß
// stay), elsewhere Unicode's simple upper-case mapping of the Basic Multilingual Plane (а to А,
// ω to Ω), as Windows' case table maps UTF-16 units. Invalid UTF-8 is kept as it is.
char32_t upperCodePoint(char32_t codePoint);
std::string upperCaseName(std::string_view text);

} // namespace kelbo
