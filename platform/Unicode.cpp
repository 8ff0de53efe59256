#include "platform/Unicode.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/Cp1252.h"

namespace kelbo {
namespace {

struct CasePair {
    char16_t from;
    char16_t to;
};

constexpr CasePair kUpper[] = {
#include "platform/UpperTable.inc"
};

} // namespace

bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint) {
    if (pos >= text.size())
        return false;
    auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        codePoint = b0;
        ++pos;
        return true;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos <= static_cast<std::size_t>(extra))
        return false;
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    codePoint = cp;
    pos += 1 + static_cast<std::size_t>(extra);
    return true;
}

bool isValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < text.size()) {
        // ASCII runs are the common case.
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        if (!decodeUtf8(text, pos, cp))
            return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Calls `unit` with each UTF-16 code unit of the text.
template <class Unit> void eachUtf16Unit(std::string_view text, Unit&& unit) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            unit(static_cast<char16_t>(b));
            ++pos;
            continue;
        }
        char32_t cp = 0;
        if (!decodeUtf8(text, pos, cp)) {
            unit(u'\uFFFD');
            ++pos;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(cp));
        }
    }
}

} // namespace

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    eachUtf16Unit(text, [&](char16_t u) { out += u; });
    return out;
}

std::string utf8ToUtf16Le(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    eachUtf16Unit(text, [&](char16_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    });
    return out;
}

std::size_t utf16Length(std::string_view text) {
    std::size_t n = 0;
    eachUtf16Unit(text, [&](char16_t) { ++n; });
    return n;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

bool fitsCp1252(std::string_view text, char32_t* bad) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp = 0;
        if (!decodeUtf8(text, pos, cp)) {
            if (bad)
                *bad = 0xFFFD;
            return false;
        }
        if (!unicodeToCp1252(cp)) {
            if (bad)
                *bad = cp;
            return false;
        }
    }
    return true;
}

char32_t upperCodePoint(char32_t cp) {
    if (cp < 0x80)
        return cp >= 'a' && cp <= 'z' ? cp - 0x20 : cp;
    if (std::optional<unsigned char> byte = unicodeToCp1252(cp))
        return cp1252ToUtf16(cp1252Upper(*byte));
    if (cp > 0xFFFF)
        return cp;
    const auto* end = std::end(kUpper);
    const auto* it = std::lower_bound(std::begin(kUpper), end, cp,
                                      [](const CasePair& p, char32_t c) { return p.from < c; });
    return it != end && it->from == cp ? it->to : cp;
}

std::string upperCaseName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto b = static_cast<unsigned char>(text[pos]);
        if (b < 0x80) {
            out += static_cast<char>(b >= 'a' && b <= 'z' ? b - 0x20 : b);
            ++pos;
            continue;
        }
        std::size_t at = pos;
        char32_t cp = 0;
        if (!decodeUtf8(text, pos, cp)) {
            out += text[at];
            pos = at + 1;
            continue;
        }
        appendUtf8(out, upperCodePoint(cp));
    }
    return out;
}

} // namespace kelbo
