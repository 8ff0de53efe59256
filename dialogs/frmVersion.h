// The Project menu's version dialog: the numbers, file type, language, code page and string
// fields of the project's version information.
#pragma once

#include <QDialog>
#include <array>

#include "dialogs/SpecControls.h"
#include "shell/ProjectDialogs.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kelbo {

class frmVersion : public QDialog, public shell::VersionView {
    Q_OBJECT
public:
    explicit frmVersion(shell::VersionPresenter& presenter, QWidget* parent = nullptr);
    ~frmVersion() override;

    // Characters a version number field takes: 65535 has five.
    static constexpr int kPartLength = 5;

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
    using QDialog::close;

private:
    QLineEdit* part(Field field, int index) const;
    void accept() override;
    void reject() override;

    shell::VersionPresenter& presenter_;
    SpecControls controls_;
    std::array<std::array<QLineEdit*, 4>, 2> parts_{};
    std::array<QLineEdit*, shell::kVersionStringCount> strings_{};
    QCheckBox* chkStrings_;
    QComboBox* cboFileType_;
    QComboBox* cboLanguage_;
    QComboBox* cboCodePage_;
};

} // namespace kelbo
