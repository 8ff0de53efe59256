// The Win32 front end's text edge: the core keeps Windows-1252, the windows take UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Cp1252.h"

namespace kelbo::win32 {

inline std::wstring wide(std::string_view cp1252) {
    const std::u16string text = cp1252ToUtf16(cp1252);
    return std::wstring(text.begin(), text.end());
}

// Nothing, with the first character the code page cannot hold in `bad`, when there is none.
inline std::optional<std::string> narrow(std::wstring_view text, char32_t* bad = nullptr) {
    return utf16ToCp1252(std::u16string(text.begin(), text.end()), bad);
}

// UTF-8 (the text of some core messages) as UTF-16.
inline std::wstring wideFromUtf8(std::string_view utf8) {
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1   ? lead
                      : length == 2 ? lead & 0x1F
                      : length == 3 ? lead & 0x0F
                                    : lead & 0x07;
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
inline std::string utf8FromWide(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() &&
            static_cast<char16_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<char16_t>(text[i + 1]) < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        out += utf8Of(cp);
    }
    return out;
}

} // namespace kelbo::win32
