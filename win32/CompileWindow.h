// The compile log window: the log of the last compilations, until OK closes it.
#pragma once

#include "rescompiler/CompileLog.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class CompileWindow : public DialogWindow {
public:
    // Opens the window without a modal loop, owned by `owner`.
    void open(HWND owner);
    bool isOpen() const { return hwnd() != nullptr; }
    void close();

    CompileLog& log() { return log_; }
    // Shows the log as it stands, scrolled to its end.
    void showLog();

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    CompileLog log_;
};

} // namespace kelbo::win32
