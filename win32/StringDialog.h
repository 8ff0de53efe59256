// The string item dialog on Win32: a view of the StringItemPresenter.
#pragma once

#include "shell/ItemDialogs.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class StringDialog : public DialogWindow, public shell::StringItemView {
public:
    explicit StringDialog(shell::StringItemPresenter& presenter) : presenter_(presenter) {}
    // Returns when the dialog is closed.
    void run(HWND owner);

    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void setIdentifier(const std::string& identifier) override;
    void setTextMaxLength(int characters) override;
    std::string text() const override;
    std::string identifier() const override;
    void focusText() override;
    void close(shell::DialogResult result) override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::StringItemPresenter& presenter_;
};

} // namespace kelbo::win32
