// The compile log window on Win32: a view of the CompileLogPresenter, open beside the main
// window until its OK.
#pragma once

#include "shell/HelpPresenters.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class CompileWindow : public DialogWindow, public shell::CompileLogView {
public:
    // Opens the window without a modal loop, owned by `owner`, with a fresh presenter.
    void open(HWND owner);
    bool isOpen() const { return hwnd() != nullptr; }
    shell::CompileLogPresenter& presenter() { return presenter_; }

    void setLogText(const std::string& text) override;
    void close() override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::CompileLogPresenter presenter_;
};

} // namespace kelbo::win32
