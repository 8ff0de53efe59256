// The Languages dialog of the Project menu on Win32: a view of the LanguagesPresenter.
#pragma once

#include "shell/LanguagesPresenter.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class LanguagesDialog : public DialogWindow, public shell::LanguagesView {
public:
    explicit LanguagesDialog(shell::LanguagesPresenter& presenter) : presenter_(presenter) {}
    // Returns when the dialog is closed.
    void run(HWND owner);
    // The id of each control of languagesDialogSpec().
    static const std::map<std::string_view, int>& controlIds();

    void setCaption(const std::string& caption) override;
    void showLanguages(const std::vector<std::string>& captions, int select) override;
    int selectedLanguage() const override;
    void setChoices(const std::vector<std::string>& captions) override;
    void setChoice(int index) override;
    int choice() const override;
    void setCode(const std::string& code) override;
    std::string code() const override;
    void setCopyCaption(const std::string& caption) override;
    void setCopyKind(ResourceKind kind, bool on) override;
    bool copyKind(ResourceKind kind) const override;
    void enableRemove(bool enabled) override;
    void close(shell::DialogResult result) override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::LanguagesPresenter& presenter_;
};

} // namespace kelbo::win32
