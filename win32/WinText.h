// The Win32 front end's text edge: the core holds UTF-8, the wide API takes UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "platform/Unicode.h"

namespace kelbo::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API is UTF-16");

// Invalid UTF-8 shows as U+FFFD, one per bad byte.
inline std::wstring wide(std::string_view utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

// Whatever was typed or named, kept whole; only a lone surrogate becomes U+FFFD.
inline std::string narrow(std::wstring_view text) {
    return utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

} // namespace kelbo::win32
