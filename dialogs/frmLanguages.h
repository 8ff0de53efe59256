// The Project menu's Languages dialog: the project's languages, a language to add or make the
// base, and the kinds a new language copies.
#pragma once

#include <QDialog>
#include <array>

#include "dialogs/SpecControls.h"
#include "shell/LanguagesPresenter.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QLabel;

namespace kelbo {

class frmLanguages : public QDialog, public shell::LanguagesView {
    Q_OBJECT
public:
    explicit frmLanguages(shell::LanguagesPresenter& presenter, QWidget* parent = nullptr);
    ~frmLanguages() override;

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
    using QDialog::close;

private:
    void accept() override;
    void reject() override;

    shell::LanguagesPresenter& presenter_;
    SpecControls controls_;
    QListWidget* lstLanguages_;
    QComboBox* cboLanguage_;
    QLineEdit* txtCode_;
    QLabel* lblCopy_;
    QPushButton* cmdRemove_;
    std::array<QCheckBox*, kKindCount> copy_{};
};

} // namespace kelbo
