#include "dialogs/frmString.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "platform/Platform.h"

namespace kelbo {

frmString::frmString(shell::StringItemPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(&presenter) {
    buildControls();
    presenter_->attach(*this);
    centreWindow(*this);
}

frmString::frmString(Session& session, Platform& platform, int selectedIndex, QWidget* parent)
    : QDialog(parent), ownPlatform_(std::make_unique<QtShellPlatform>(platform)),
      ownPresenter_(
          std::make_unique<shell::StringItemPresenter>(session, *ownPlatform_, selectedIndex)),
      presenter_(ownPresenter_.get()) {
    buildControls();
    presenter_->attach(*this);
    centreWindow(*this);
}

frmString::~frmString() = default;

void frmString::buildControls() {
    const shell::WindowSpec& spec = shell::stringItemDialogSpec();
    setObjectName(toQt(spec.name));
    setWindowTitle(toQt(spec.caption));
    setFont(classicFont());
    setFixedDialogFrame(this, spec.clientWidth, spec.clientHeight);

    const auto label = [&](const char* name) {
        auto* widget = new QLabel(toQt(spec.find(name)->caption), this);
        widget->setObjectName(QLatin1String(name));
        placeTwips(widget, spec);
        widget->adjustSize();
        return widget;
    };
    const auto edit = [&](const char* name) {
        auto* widget = new QLineEdit(this);
        widget->setObjectName(QLatin1String(name));
        placeTwips(widget, spec);
        return widget;
    };
    // Both buttons take Enter while they have the focus; OK takes it while no button has.
    const auto button = [&](const char* name) {
        auto* widget = new QPushButton(toQt(spec.find(name)->caption), this);
        widget->setObjectName(QLatin1String(name));
        widget->setAutoDefault(true);
        placeTwips(widget, spec);
        return widget;
    };

    label1_ = label("label1");
    Text1_ = edit("Text1");
    Label2_ = label("Label2");
    Text2_ = edit("Text2");
    Label3_ = new QLabel(toQt(spec.find("Label3")->caption), this);
    Label3_->setObjectName(QStringLiteral("Label3"));
    QPalette hint = Label3_->palette();
    hint.setColor(QPalette::WindowText, QColor::fromRgb(kRed));
    Label3_->setPalette(hint);
    placeTwips(Label3_, spec);
    Label3_->adjustSize();

    cmdOK_ = button("cmdOK");
    cmdOK_->setDefault(true);
    cmdCancel_ = button("cmdCancel");

    setTabOrder(Text1_, Text2_);
    setTabOrder(Text2_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    connect(cmdOK_, &QPushButton::clicked, this, &frmString::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmString::reject);
}

void frmString::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmString::setText(const std::string& text) {
    Text1_->setText(toQt(text));
}

void frmString::setIdentifier(const std::string& identifier) {
    Text2_->setText(toQt(identifier));
}

void frmString::setTextMaxLength(int characters) {
    Text1_->setMaxLength(characters);
}

std::string frmString::text() const {
    return fromQt(Text1_->text());
}

std::string frmString::identifier() const {
    return fromQt(Text2_->text());
}

void frmString::focusText() {
    Text1_->setFocus();
}

void frmString::close(shell::DialogResult result) {
    if (result == shell::DialogResult::Accepted)
        QDialog::accept();
    else
        QDialog::reject();
}

void frmString::accept() {
    presenter_->ok();
}

// Cancel, Escape and the frame.
void frmString::reject() {
    presenter_->cancel();
}

} // namespace kelbo
