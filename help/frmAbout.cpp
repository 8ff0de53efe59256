#include "help/frmAbout.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "dialogs/DialogMetrics.h"
#include "messages/Captions.h"

namespace kelbo {

frmAbout::frmAbout(const QIcon& appIcon, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    // A blank rather than an empty title: window systems fill an empty one with the program's
    // name.
    setWindowTitle(QStringLiteral(" "));
    setFont(classicFont());
    setFixedDialogFrame(this, 3000, 3510);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    placeTwips(frame, 120, 0, 2775, 3375);

    auto* image = new QLabel(frame);
    image->setObjectName(QStringLiteral("Image1"));
    placeTwips(image, 240, 360, 480, 480);
    image->setPixmap(appIcon.pixmap(image->size()));

    auto* name = new QLabel(QStringLiteral("Kelbo"), frame);
    name->setObjectName(QStringLiteral("Label1"));
    name->setFont(classicFont(true));
    name->move(twipsOf(this).px(1440), twipsOf(this).px(360));
    name->adjustSize();

    auto* version = new QLabel(frame);
    version->setObjectName(QStringLiteral("Label2"));
    version->setFont(classicFont(true));
    version->move(twipsOf(this).px(1200), twipsOf(this).px(600));
    version->setText(QStringLiteral("Version ") +
                     QString::fromLatin1(kVersion.data(), static_cast<qsizetype>(kVersion.size())));
    version->adjustSize();

    auto* ok = new QPushButton(QStringLiteral("OK"), frame);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    placeTwips(ok, 960, 2760, 855, 375);
    connect(ok, &QPushButton::clicked, this, &frmAbout::accept);

    centreWindow(*this);
    ok->setFocus();
}

} // namespace kelbo
