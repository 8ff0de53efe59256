#include "dialogs/frmLanguages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

namespace {

// Four hex digits at most; what they mean is checked when Add or Set as base is pressed.
constexpr int kCodeLength = 4;

} // namespace

frmLanguages::frmLanguages(shell::LanguagesPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), controls_(this, shell::languagesDialogSpec()),
      lstLanguages_(controls_.get<QListWidget>("lstLanguages")),
      cboLanguage_(controls_.get<QComboBox>("cboLanguage")),
      txtCode_(controls_.get<QLineEdit>("txtCode")), lblCopy_(controls_.get<QLabel>("lblCopy")),
      cmdRemove_(controls_.get<QPushButton>("cmdRemove")) {
    for (int k = 0; k < kKindCount; ++k)
        copy_[k] = controls_.get<QCheckBox>(QStringLiteral("chkCopy%1").arg(k));
    // A long language name wraps onto the label's second line.
    lblCopy_->setWordWrap(true);
    lblCopy_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtCode_->setMaxLength(kCodeLength);
    txtCode_->setValidator(new OneLineValidator(txtCode_));
    connect(lstLanguages_, &QListWidget::currentRowChanged, this,
            [this] { presenter_.selectionChanged(); });
    connect(controls_.get<QPushButton>("cmdAdd"), &QPushButton::clicked, this,
            [this] { presenter_.add(); });
    connect(cmdRemove_, &QPushButton::clicked, this, [this] { presenter_.remove(); });
    connect(controls_.get<QPushButton>("cmdBase"), &QPushButton::clicked, this,
            [this] { presenter_.setBase(); });
    connect(controls_.get<QPushButton>("cmdOK"), &QPushButton::clicked, this,
            &frmLanguages::accept);
    connect(controls_.get<QPushButton>("cmdCancel"), &QPushButton::clicked, this,
            &frmLanguages::reject);
    presenter_.attach(*this);
    centreWindow(*this);
}

frmLanguages::~frmLanguages() {
    // The list may report a change of row while it is taken down; nobody listens by then.
    lstLanguages_->disconnect(this);
}

void frmLanguages::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmLanguages::showLanguages(const std::vector<std::string>& captions, int select) {
    const QSignalBlocker quiet(lstLanguages_);
    lstLanguages_->clear();
    for (const std::string& caption : captions)
        lstLanguages_->addItem(toQt(caption));
    lstLanguages_->setCurrentRow(select);
}

int frmLanguages::selectedLanguage() const {
    return lstLanguages_->currentRow();
}

void frmLanguages::setChoices(const std::vector<std::string>& captions) {
    fillChoices(cboLanguage_, captions);
}

void frmLanguages::setChoice(int index) {
    cboLanguage_->setCurrentIndex(index);
}

int frmLanguages::choice() const {
    return cboLanguage_->currentIndex();
}

void frmLanguages::setCode(const std::string& code) {
    txtCode_->setText(toQt(code));
}

std::string frmLanguages::code() const {
    return fromQt(txtCode_->text());
}

void frmLanguages::setCopyCaption(const std::string& caption) {
    lblCopy_->setText(toQt(caption));
}

void frmLanguages::setCopyKind(ResourceKind kind, bool on) {
    copy_[kindIndex(kind)]->setChecked(on);
}

bool frmLanguages::copyKind(ResourceKind kind) const {
    return copy_[kindIndex(kind)]->isChecked();
}

void frmLanguages::enableRemove(bool enabled) {
    cmdRemove_->setEnabled(enabled);
}

void frmLanguages::close(shell::DialogResult result) {
    if (result == shell::DialogResult::Accepted)
        QDialog::accept();
    else
        QDialog::reject();
}

void frmLanguages::accept() {
    presenter_.ok();
}

// Cancel, Escape and the frame.
void frmLanguages::reject() {
    presenter_.cancel();
}

} // namespace kelbo
