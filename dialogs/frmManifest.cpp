#include "dialogs/frmManifest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

frmManifest::frmManifest(shell::ManifestPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(presenter), controls_(this, shell::manifestDialogSpec()),
      optNone_(controls_.get<QRadioButton>("optNone")),
      optFile_(controls_.get<QRadioButton>("optFile")),
      optGenerated_(controls_.get<QRadioButton>("optGenerated")),
      txtFile_(controls_.get<QLineEdit>("txtFile")),
      cmdBrowse_(controls_.get<QPushButton>("cmdBrowse")),
      chkControls_(controls_.get<QCheckBox>("chkControls")),
      cboDpi_(controls_.get<QComboBox>("cboDpi")), cboLevel_(controls_.get<QComboBox>("cboLevel")),
      chkOs_(controls_.get<QCheckBox>("chkOs")), txtName_(controls_.get<QLineEdit>("txtName")),
      txtVersion_(controls_.get<QLineEdit>("txtVersion")),
      txtDescription_(controls_.get<QLineEdit>("txtDescription")),
      chkDll_(controls_.get<QCheckBox>("chkDll")),
      txtXml_(controls_.get<QPlainTextEdit>("txtXml")) {
    // Markup reads best in columns; long lines scroll rather than wrap into the next element.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    txtXml_->setFont(fixed);
    txtXml_->setLineWrapMode(QPlainTextEdit::NoWrap);
    connectReports();
    {
        const QScopedValueRollback<bool> quiet(quiet_, true);
        presenter_.attach(*this);
    }
    centreWindow(*this);
}

frmManifest::~frmManifest() = default;

void frmManifest::connectReports() {
    using P = shell::ManifestPresenter;
    for (QRadioButton* option : {optNone_, optFile_, optGenerated_})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            // Of the two buttons a choice toggles, the one turned on speaks.
            if (on)
                report(&P::sourceChosen);
        });
    for (QCheckBox* box : {chkControls_, chkOs_, chkDll_})
        connect(box, &QCheckBox::toggled, this, [this] { report(&P::settingChanged); });
    for (QComboBox* box : {cboDpi_, cboLevel_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { report(&P::settingChanged); });
    for (QLineEdit* edit : {txtFile_, txtName_, txtVersion_, txtDescription_})
        connect(edit, &QLineEdit::textChanged, this, [this] { report(&P::settingChanged); });
    connect(cmdBrowse_, &QPushButton::clicked, this, [this] { report(&P::browse); });
    connect(controls_.get<QPushButton>("cmdOK"), &QPushButton::clicked, this, &frmManifest::accept);
    connect(controls_.get<QPushButton>("cmdCancel"), &QPushButton::clicked, this,
            &frmManifest::reject);
}

void frmManifest::report(void (shell::ManifestPresenter::*what)()) {
    if (quiet_)
        return;
    const QScopedValueRollback<bool> quiet(quiet_, true);
    (presenter_.*what)();
}

void frmManifest::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmManifest::setChoices(const std::vector<std::string>& dpi,
                             const std::vector<std::string>& levels) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    fillChoices(cboDpi_, dpi);
    fillChoices(cboLevel_, levels);
}

void frmManifest::setSource(shell::ManifestSource source) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    switch (source) {
    case shell::ManifestSource::None:
        optNone_->setChecked(true);
        break;
    case shell::ManifestSource::File:
        optFile_->setChecked(true);
        break;
    case shell::ManifestSource::Generated:
        optGenerated_->setChecked(true);
        break;
    }
}

shell::ManifestSource frmManifest::source() const {
    if (optFile_->isChecked())
        return shell::ManifestSource::File;
    if (optGenerated_->isChecked())
        return shell::ManifestSource::Generated;
    return shell::ManifestSource::None;
}

void frmManifest::setFilePath(const std::string& path) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    txtFile_->setText(toQt(path));
}

std::string frmManifest::filePath() const {
    return fromQt(txtFile_->text());
}

void frmManifest::setCommonControls(bool on) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    chkControls_->setChecked(on);
}

bool frmManifest::commonControls() const {
    return chkControls_->isChecked();
}

void frmManifest::setDpiChoice(int index) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    cboDpi_->setCurrentIndex(index);
}

int frmManifest::dpiChoice() const {
    return cboDpi_->currentIndex();
}

void frmManifest::setLevelChoice(int index) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    cboLevel_->setCurrentIndex(index);
}

int frmManifest::levelChoice() const {
    return cboLevel_->currentIndex();
}

void frmManifest::setSupportedOs(bool on) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    chkOs_->setChecked(on);
}

bool frmManifest::supportedOs() const {
    return chkOs_->isChecked();
}

void frmManifest::setAssemblyName(const std::string& name) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    txtName_->setText(toQt(name));
}

std::string frmManifest::assemblyName() const {
    return fromQt(txtName_->text());
}

void frmManifest::setAssemblyVersion(const std::string& version) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    txtVersion_->setText(toQt(version));
}

std::string frmManifest::assemblyVersion() const {
    return fromQt(txtVersion_->text());
}

void frmManifest::setDescription(const std::string& description) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    txtDescription_->setText(toQt(description));
}

std::string frmManifest::description() const {
    return fromQt(txtDescription_->text());
}

void frmManifest::setDll(bool on) {
    const QScopedValueRollback<bool> quiet(quiet_, true);
    chkDll_->setChecked(on);
}

bool frmManifest::dll() const {
    return chkDll_->isChecked();
}

void frmManifest::enableControls(bool file, bool generated) {
    txtFile_->setEnabled(file);
    cmdBrowse_->setEnabled(file);
    // Each label greys with the control it names.
    for (const char* name :
         {"chkControls", "lblDpi", "cboDpi", "lblLevel", "cboLevel", "chkOs", "lblName", "txtName",
          "lblVersion", "txtVersion", "lblDescription", "txtDescription"})
        controls_.get<QWidget>(QLatin1String(name))->setEnabled(generated);
    // Where the manifest goes applies to a file as much as to a generated one.
    chkDll_->setEnabled(file || generated);
}

void frmManifest::showXml(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    // The resource's own line ends are CR LF; the box breaks lines at LF alone.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Keeps the reader's place while the text follows the settings.
    const int scrolled = txtXml_->verticalScrollBar()->value();
    txtXml_->setPlainText(text);
    txtXml_->verticalScrollBar()->setValue(scrolled);
}

void frmManifest::close(shell::DialogResult result) {
    if (result == shell::DialogResult::Accepted)
        QDialog::accept();
    else
        QDialog::reject();
}

void frmManifest::accept() {
    presenter_.ok();
}

// Cancel, Escape and the frame.
void frmManifest::reject() {
    presenter_.cancel();
}

} // namespace kelbo
