// What every window's view has in common. A presenter decides; its view only shows and reports.
// Texts cross between them as Windows-1252, the core's code page; each view converts at its own
// edge (UTF-16 for Qt and for the wide Win32 API).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelbo::shell {

// Base of every view, so that the platform can be told which window owns a box or a dialog.
// A front end finds its own window behind it (a QWidget, an HWND) by a cast of its own.
class View {
public:
    virtual ~View() = default;
};

// What the user typed, in the project's code page; nothing, with the first character the code
// page cannot hold in `bad`, when it cannot be stored.
struct TypedText {
    std::optional<std::string> text;
    char32_t bad = 0;

    static TypedText of(std::string cp1252) { return {std::move(cp1252), 0}; }
    static TypedText unrepresentable(char32_t codePoint) { return {std::nullopt, codePoint}; }
};

} // namespace kelbo::shell
