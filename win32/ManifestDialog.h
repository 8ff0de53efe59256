// The manifest dialog of the Project menu on Win32: a view of the ManifestPresenter.
#pragma once

#include "shell/ProjectDialogs.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class ManifestDialog : public DialogWindow, public shell::ManifestView {
public:
    explicit ManifestDialog(shell::ManifestPresenter& presenter) : presenter_(presenter) {}
    // Returns when the dialog is closed.
    void run(HWND owner);
    // The id of each control of manifestDialogSpec().
    static const std::map<std::string_view, int>& controlIds();

    void setCaption(const std::string& caption) override;
    void setChoices(const std::vector<std::string>& dpi,
                    const std::vector<std::string>& levels) override;
    void setSource(shell::ManifestSource source) override;
    shell::ManifestSource source() const override;
    void setFilePath(const std::string& path) override;
    std::string filePath() const override;
    void setCommonControls(bool on) override;
    bool commonControls() const override;
    void setDpiChoice(int index) override;
    int dpiChoice() const override;
    void setLevelChoice(int index) override;
    int levelChoice() const override;
    void setSupportedOs(bool on) override;
    bool supportedOs() const override;
    void setAssemblyName(const std::string& name) override;
    std::string assemblyName() const override;
    void setAssemblyVersion(const std::string& version) override;
    std::string assemblyVersion() const override;
    void setDescription(const std::string& description) override;
    std::string description() const override;
    void setDll(bool on) override;
    bool dll() const override;
    void enableControls(bool file, bool generated) override;
    void showXml(const std::string& utf8) override;
    void close(shell::DialogResult result) override;

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    // A text the presenter puts in: its change is no user's and is not reported back.
    void fill(int id, const std::string& value);

    shell::ManifestPresenter& presenter_;
    bool filling_ = false;
};

} // namespace kelbo::win32
