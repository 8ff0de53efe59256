// What every window's view has in common. A presenter decides; its view only shows and reports.
// Texts cross between them as UTF-8, as the model holds them; each view converts at its own edge
// (UTF-16 for Qt and for the wide Win32 API).
#pragma once

namespace kelbo::shell {

// Base of every view, so that the platform can be told which window owns a box or a dialog.
// A front end finds its own window behind it (a QWidget, an HWND) by a cast of its own.
class View {
public:
    virtual ~View() = default;
};

} // namespace kelbo::shell
