// Windows-1252 is the one 8-bit code page of projects, logs and resource names on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelbo {

// UTF-16 code unit of a Windows-1252 byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as Windows does.
char16_t cp1252ToUtf16(unsigned char byte);
// The Windows-1252 byte of a code point, if the code page has one.
std::optional<unsigned char> unicodeToCp1252(char32_t codePoint);

std::string cp1252ToUtf8(std::string_view text);
// Fails on invalid UTF-8 and on characters the code page cannot hold; `bad` then gets the first
// offending code point (U+FFFD for invalid UTF-8).
std::optional<std::string> utf8ToCp1252(std::string_view text, char32_t* bad = nullptr);
std::u16string cp1252ToUtf16(std::string_view text);
std::optional<std::string> utf16ToCp1252(std::u16string_view text, char32_t* bad = nullptr);

// Case mapping within Windows-1252 (à to À, š to Š, ÿ to Ÿ); bytes without a partner stay.
unsigned char cp1252Upper(unsigned char byte);
unsigned char cp1252Lower(unsigned char byte);
std::string cp1252ToUpper(std::string_view text);
std::string cp1252ToLower(std::string_view text);

// The UTF-8 bytes of one code point.
std::string utf8Of(char32_t codePoint);

// "U+20AC" style name of a code point, for messages.
std::string codePointName(char32_t codePoint);

} // namespace kelbo
