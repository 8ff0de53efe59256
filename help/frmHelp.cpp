#include "help/frmHelp.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "help/HelpTopics.h"
#include "help/frmsubhelp.h"

namespace kelbo {

namespace {

constexpr int kLabelTops[6] = {360, 840, 1320, 1800, 2280, 2760};

} // namespace

frmHelp::frmHelp(Platform& /*platform*/, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QString::fromLatin1(kHelpIndexCaption));
    setFont(classicFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsOf(this).px(3315), twipsOf(this).px(3990));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    const auto& topics = helpTopics();
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(toQt(topics[i].label), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setFont(classicFont(true, true));
        QPalette link = label->palette();
        link.setColor(QPalette::WindowText, QColor::fromRgb(kDarkBlue));
        link.setColor(QPalette::Window, Qt::white);
        label->setPalette(link);
        label->setFocusPolicy(Qt::NoFocus);
        label->setCursor(Qt::PointingHandCursor);
        label->move(twipsOf(this).px(480), twipsOf(this).px(kLabelTops[i]));
        label->adjustSize();
        label->installEventFilter(this);
        labels_[i] = label;
    }

    Command1_ = new QPushButton(QStringLiteral("Exit"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1_, 1080, 3360, 1095, 375);
    connect(Command1_, &QPushButton::clicked, this, &frmHelp::accept);

    moveToTwips(this, 3210, 1290);
    Command1_->setFocus();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 6; ++i) {
            if (watched == labels_[i] &&
                labels_[i]->rect().contains(
                    static_cast<QMouseEvent*>(event)->position().toPoint())) {
                openTopic(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmHelp::openTopic(int index) {
    if (index < 0 || index >= 6)
        return;
    const HelpTopic& topic = helpTopics()[index];
    frmsubhelp window(this);
    window.setWindowTitle(toQt(topic.caption));
    window.setText(toQt(topic.text));
    window.exec();
}

} // namespace kelbo
