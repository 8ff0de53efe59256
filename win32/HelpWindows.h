// The help index, the window of one help topic and the about box on Win32: views of their
// presenters.
#pragma once

#include <string>

#include "shell/HelpPresenters.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class HelpWindow : public DialogWindow, public shell::HelpView {
public:
    explicit HelpWindow(shell::HelpPresenter& presenter) : presenter_(presenter) {}
    void run(HWND owner);

    void setCaption(const std::string& caption) override;
    void setTopicLabel(int index, const std::string& label) override;
    void runSubHelp(shell::SubHelpPresenter& topic) override;
    void close() override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    shell::HelpPresenter& presenter_;
};

class SubHelpWindow : public DialogWindow, public shell::SubHelpView {
public:
    explicit SubHelpWindow(shell::SubHelpPresenter& presenter) : presenter_(presenter) {}
    void run(HWND owner);

    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void close() override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::SubHelpPresenter& presenter_;
};

class AboutWindow : public DialogWindow, public shell::AboutView {
public:
    AboutWindow(shell::AboutPresenter& presenter, HICON icon)
        : presenter_(presenter), icon_(icon) {}
    void run(HWND owner);

    void setCaption(const std::string& caption) override;
    void setProgramName(const std::string& name) override;
    void setVersion(const std::string& version) override;
    void close() override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::AboutPresenter& presenter_;
    HICON icon_;
};

} // namespace kelbo::win32
