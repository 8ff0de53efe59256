// The string item dialog: one STRING line's text and numeric identifier.
#pragma once

#include "project/Project.h"
#include "win32/DialogWindow.h"
#include "win32/Win32Platform.h"

namespace kelbo::win32 {

class StringDialog : public DialogWindow {
public:
    static constexpr int kMaxTypedLength = 255;

    // Adds a line when session.EditedLine is empty, otherwise replaces the line at
    // `selectedIndex`.
    StringDialog(Session& session, Win32Platform& platform, int selectedIndex);
    // True when OK stored the line.
    bool run(HWND owner);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    void accept();

    Session& session_;
    Win32Platform& platform_;
    int selectedIndex_;
};

} // namespace kelbo::win32
