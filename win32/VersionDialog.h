// The version dialog of the Project menu on Win32: a view of the VersionPresenter.
#pragma once

#include "shell/ProjectDialogs.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class VersionDialog : public DialogWindow, public shell::VersionView {
public:
    explicit VersionDialog(shell::VersionPresenter& presenter) : presenter_(presenter) {}
    // Returns when the dialog is closed.
    void run(HWND owner);
    // The id of each control of versionDialogSpec().
    static const std::map<std::string_view, int>& controlIds();

    void setCaption(const std::string& caption) override;
    void setChoices(const std::vector<std::string>& fileTypes,
                    const std::vector<std::string>& languages,
                    const std::vector<std::string>& codePages) override;
    void setVersionPart(Field field, int part, const std::string& text) override;
    std::string versionPart(Field field, int part) const override;
    void setStringsFromNumbers(bool on) override;
    bool stringsFromNumbers() const override;
    void setFileType(int index) override;
    int fileType() const override;
    void setLanguage(int index) override;
    int language() const override;
    void setCodePage(int index) override;
    int codePage() const override;
    void setString(int index, const std::string& text) override;
    std::string string(int index) const override;
    void close(shell::DialogResult result) override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;

    shell::VersionPresenter& presenter_;
};

} // namespace kelbo::win32
