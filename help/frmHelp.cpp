#include "help/frmHelp.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "help/frmsubhelp.h"

namespace kelbo {

frmHelp::frmHelp(shell::HelpPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(&presenter) {
    buildControls();
    presenter_->attach(*this);
}

frmHelp::frmHelp(shell::Platform& /*platform*/, QWidget* parent)
    : QDialog(parent), ownPresenter_(std::make_unique<shell::HelpPresenter>()),
      presenter_(ownPresenter_.get()) {
    buildControls();
    presenter_->attach(*this);
}

frmHelp::~frmHelp() = default;

void frmHelp::buildControls() {
    const shell::WindowSpec& spec = shell::helpIndexSpec();
    setObjectName(toQt(spec.name));
    setWindowTitle(toQt(spec.caption));
    setFont(classicFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsOf(this).px(spec.clientWidth), twipsOf(this).px(spec.clientHeight));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    for (int i = 0; i < shell::HelpPresenter::kTopicCount; ++i) {
        auto* label = new QLabel(this);
        const QString name = QStringLiteral("Label%1").arg(i + 1);
        label->setObjectName(name);
        label->setFont(classicFont(true, true));
        QPalette link = label->palette();
        link.setColor(QPalette::WindowText, QColor::fromRgb(kDarkBlue));
        link.setColor(QPalette::Window, Qt::white);
        label->setPalette(link);
        label->setFocusPolicy(Qt::NoFocus);
        label->setCursor(Qt::PointingHandCursor);
        const shell::Rect at = spec.find(name.toStdString())->twips;
        label->move(twipsOf(this).px(at.left), twipsOf(this).px(at.top));
        label->installEventFilter(this);
        labels_[i] = label;
    }

    Command1_ = new QPushButton(toQt(spec.find("Command1")->caption), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1_, spec);
    connect(Command1_, &QPushButton::clicked, this, [this] { presenter_->exit(); });

    moveToTwips(this, spec.origin.left, spec.origin.top);
    Command1_->setFocus();
}

void frmHelp::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmHelp::setTopicLabel(int index, const std::string& label) {
    if (index < 0 || index >= static_cast<int>(labels_.size()))
        return;
    labels_[index]->setText(toQt(label));
    labels_[index]->adjustSize();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < static_cast<int>(labels_.size()); ++i) {
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
    presenter_->openTopic(index);
}

void frmHelp::runSubHelp(shell::SubHelpPresenter& topic) {
    frmsubhelp window(topic, this);
    window.exec();
}

} // namespace kelbo
