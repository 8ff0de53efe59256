// The Project menu's manifest dialog: no manifest, one read from a file, or one generated from
// a few settings, with the XML shown as it will be written.
#pragma once

#include <QDialog>

#include "dialogs/SpecControls.h"
#include "shell/ProjectDialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace kelbo {

class frmManifest : public QDialog, public shell::ManifestView {
    Q_OBJECT
public:
    explicit frmManifest(shell::ManifestPresenter& presenter, QWidget* parent = nullptr);
    ~frmManifest() override;

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
    using QDialog::close;

private:
    void connectReports();
    // What the user changed goes to the presenter; what the presenter sets does not come back.
    void report(void (shell::ManifestPresenter::*what)());
    void accept() override;
    void reject() override;

    shell::ManifestPresenter& presenter_;
    SpecControls controls_;
    bool quiet_ = false;

    QRadioButton* optNone_;
    QRadioButton* optFile_;
    QRadioButton* optGenerated_;
    QLineEdit* txtFile_;
    QPushButton* cmdBrowse_;
    QCheckBox* chkControls_;
    QComboBox* cboDpi_;
    QComboBox* cboLevel_;
    QCheckBox* chkOs_;
    QLineEdit* txtName_;
    QLineEdit* txtVersion_;
    QLineEdit* txtDescription_;
    QCheckBox* chkDll_;
    QPlainTextEdit* txtXml_;
};

} // namespace kelbo
