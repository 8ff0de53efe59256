#include "help/frmAbout.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

frmAbout::frmAbout(shell::AboutPresenter& presenter, const QIcon& appIcon, QWidget* parent)
    : QDialog(parent), presenter_(&presenter) {
    buildControls(appIcon);
    presenter_->attach(*this);
}

frmAbout::frmAbout(const QIcon& appIcon, QWidget* parent)
    : QDialog(parent), ownPresenter_(std::make_unique<shell::AboutPresenter>()),
      presenter_(ownPresenter_.get()) {
    buildControls(appIcon);
    presenter_->attach(*this);
}

frmAbout::~frmAbout() = default;

void frmAbout::buildControls(const QIcon& appIcon) {
    const shell::WindowSpec& spec = shell::aboutSpec();
    setObjectName(toQt(spec.name));
    setWindowTitle(toQt(spec.caption));
    setFont(classicFont());
    setFixedDialogFrame(this, spec.clientWidth, spec.clientHeight);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    placeTwips(frame, spec);

    auto* image = new QLabel(frame);
    image->setObjectName(QStringLiteral("Image1"));
    placeTwips(image, spec);
    image->setPixmap(appIcon.pixmap(image->size()));

    const auto label = [&](const char* name) {
        auto* widget = new QLabel(frame);
        widget->setObjectName(QLatin1String(name));
        widget->setFont(classicFont(true));
        const shell::Rect at = spec.find(name)->twips;
        widget->move(twipsOf(this).px(at.left), twipsOf(this).px(at.top));
        return widget;
    };
    Label1_ = label("Label1");
    Label2_ = label("Label2");

    auto* ok = new QPushButton(toQt(spec.find("Command1")->caption), frame);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    placeTwips(ok, spec);
    connect(ok, &QPushButton::clicked, this, [this] { presenter_->ok(); });

    centreWindow(*this);
    ok->setFocus();
}

void frmAbout::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmAbout::setProgramName(const std::string& name) {
    Label1_->setText(toQt(name));
    Label1_->adjustSize();
}

void frmAbout::setVersion(const std::string& version) {
    Label2_->setText(toQt(version));
    Label2_->adjustSize();
}

} // namespace kelbo
