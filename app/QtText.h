// The core keeps text as UTF-8; widgets show UTF-16. Every crossing goes through these two
// functions so that no text is ever read as Latin-1 or the locale's code page by accident.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kelbo {

inline QString toQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

} // namespace kelbo
