#include "dialogs/frmVersion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

frmVersion::frmVersion(shell::VersionPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), controls_(this, shell::versionDialogSpec()),
      chkStrings_(controls_.get<QCheckBox>("chkStrings")),
      cboFileType_(controls_.get<QComboBox>("cboFileType")),
      cboLanguage_(controls_.get<QComboBox>("cboLanguage")),
      cboCodePage_(controls_.get<QComboBox>("cboCodePage")) {
    for (int field = 0; field < 2; ++field)
        for (int i = 0; i < 4; ++i) {
            QLineEdit* edit = controls_.get<QLineEdit>(
                QStringLiteral("txt%1%2").arg(field == FileVersion ? "File" : "Product").arg(i));
            edit->setMaxLength(kPartLength);
            parts_[field][i] = edit;
        }
    for (int i = 0; i < shell::kVersionStringCount; ++i) {
        strings_[i] = controls_.get<QLineEdit>(QStringLiteral("txtString%1").arg(i));
        strings_[i]->setValidator(new OneLineValidator(strings_[i]));
    }
    connect(controls_.get<QPushButton>("cmdOK"), &QPushButton::clicked, this, &frmVersion::accept);
    connect(controls_.get<QPushButton>("cmdCancel"), &QPushButton::clicked, this,
            &frmVersion::reject);
    presenter_.attach(*this);
    centreWindow(*this);
}

frmVersion::~frmVersion() = default;

QLineEdit* frmVersion::part(Field field, int index) const {
    const bool known = (field == FileVersion || field == ProductVersion) && index >= 0 && index < 4;
    return known ? parts_[field][index] : nullptr;
}

void frmVersion::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmVersion::setChoices(const std::vector<std::string>& fileTypes,
                            const std::vector<std::string>& languages,
                            const std::vector<std::string>& codePages) {
    fillChoices(cboFileType_, fileTypes);
    fillChoices(cboLanguage_, languages);
    fillChoices(cboCodePage_, codePages);
}

void frmVersion::setVersionPart(Field field, int index, const std::string& text) {
    if (QLineEdit* edit = part(field, index))
        edit->setText(toQt(text));
}

std::string frmVersion::versionPart(Field field, int index) const {
    const QLineEdit* edit = part(field, index);
    return edit ? fromQt(edit->text()) : std::string();
}

void frmVersion::setStringsFromNumbers(bool on) {
    chkStrings_->setChecked(on);
}

bool frmVersion::stringsFromNumbers() const {
    return chkStrings_->isChecked();
}

void frmVersion::setFileType(int index) {
    cboFileType_->setCurrentIndex(index);
}

int frmVersion::fileType() const {
    return cboFileType_->currentIndex();
}

void frmVersion::setLanguage(int index) {
    cboLanguage_->setCurrentIndex(index);
}

int frmVersion::language() const {
    return cboLanguage_->currentIndex();
}

void frmVersion::setCodePage(int index) {
    cboCodePage_->setCurrentIndex(index);
}

int frmVersion::codePage() const {
    return cboCodePage_->currentIndex();
}

void frmVersion::setString(int index, const std::string& text) {
    if (index >= 0 && index < shell::kVersionStringCount)
        strings_[index]->setText(toQt(text));
}

std::string frmVersion::string(int index) const {
    return index >= 0 && index < shell::kVersionStringCount ? fromQt(strings_[index]->text())
                                                            : std::string();
}

void frmVersion::close(shell::DialogResult result) {
    if (result == shell::DialogResult::Accepted)
        QDialog::accept();
    else
        QDialog::reject();
}

void frmVersion::accept() {
    presenter_.ok();
}

// Cancel, Escape and the frame.
void frmVersion::reject() {
    presenter_.cancel();
}

} // namespace kelbo
