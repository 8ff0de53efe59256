#include "platform/Cp1252.h"

#include <array>
#include <cstdio>

#include "platform/Unicode.h"

namespace kelbo {
namespace {

// 0x80 to 0x9F; the undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool fail(char32_t* bad, char32_t cp) {
    if (bad)
        *bad = cp;
    return false;
}

} // namespace

char16_t cp1252ToUtf16(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicodeToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        appendUtf8(out, cp1252ToUtf16(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text, char32_t* bad) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        if (!decodeUtf8(text, i, cp)) {
            fail(bad, 0xFFFD);
            return std::nullopt;
        }
        std::optional<unsigned char> byte = unicodeToCp1252(cp);
        if (!byte) {
            fail(bad, cp);
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

std::u16string cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out += cp1252ToUtf16(static_cast<unsigned char>(c));
    return out;
}

std::optional<std::string> utf16ToCp1252(std::u16string_view text, char32_t* bad) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        std::optional<unsigned char> byte = unicodeToCp1252(cp);
        if (!byte) {
            fail(bad, cp);
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

unsigned char cp1252Upper(unsigned char b) {
    if (b >= 'a' && b <= 'z')
        return static_cast<unsigned char>(b - 0x20);
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return static_cast<unsigned char>(b - 0x20);
    switch (b) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return static_cast<unsigned char>(b - 0x10);
    case 0xFF: // ÿ
        return 0x9F;
    default:
        return b;
    }
}

unsigned char cp1252Lower(unsigned char b) {
    if (b >= 'A' && b <= 'Z')
        return static_cast<unsigned char>(b + 0x20);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return static_cast<unsigned char>(b + 0x20);
    switch (b) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<unsigned char>(b + 0x10);
    case 0x9F: // Ÿ
        return 0xFF;
    default:
        return b;
    }
}

std::string cp1252ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(cp1252Upper(static_cast<unsigned char>(c)));
    return out;
}

std::string cp1252ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(cp1252Lower(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8Of(char32_t codePoint) {
    std::string out;
    appendUtf8(out, codePoint);
    return out;
}

std::string codePointName(char32_t cp) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
    return buffer;
}

} // namespace kelbo
