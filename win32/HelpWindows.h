// The help index, the window of one help topic, and the about box.
#pragma once

#include <string>

#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class HelpWindow : public DialogWindow {
public:
    void run(HWND owner);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void openTopic(int index);
};

class SubHelpWindow : public DialogWindow {
public:
    SubHelpWindow(std::wstring caption, std::wstring text);
    void run(HWND owner);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    std::wstring caption_;
    std::wstring text_;
};

class AboutWindow : public DialogWindow {
public:
    explicit AboutWindow(HICON icon) : icon_(icon) {}
    void run(HWND owner);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    HICON icon_;
};

} // namespace kelbo::win32
