// The core keeps text as Windows-1252 bytes; widgets show UTF-16. Every crossing goes through
// these two functions so that no user text is ever read as UTF-8 or Latin-1 by accident.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Cp1252.h"

namespace kelbo {

inline QString toQt(std::string_view cp1252) {
    return QString::fromStdU16String(cp1252ToUtf16(cp1252));
}

// Nothing when the text holds a character the code page cannot store.
inline std::optional<std::string> fromQt(const QString& text) {
    return utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

} // namespace kelbo
