#include "help/frmsubhelp.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"

namespace kelbo {

frmsubhelp::frmsubhelp(shell::SubHelpPresenter& topic, QWidget* parent)
    : QDialog(parent), presenter_(&topic) {
    buildControls();
    presenter_->attach(view_);
}

frmsubhelp::frmsubhelp(QWidget* parent) : QDialog(parent) {
    buildControls();
}

frmsubhelp::~frmsubhelp() = default;

void frmsubhelp::buildControls() {
    const shell::WindowSpec& spec = shell::subHelpSpec();
    setObjectName(toQt(spec.name));
    setFont(classicFont());
    setFixedDialogFrame(this, spec.clientWidth, spec.clientHeight);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // The bar keeps the ordinary button-face colour against the white window.
    Picture1_ = new QWidget(this);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    QPalette face = Picture1_->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    Picture1_->setPalette(face);
    Picture1_->setAutoFillBackground(true);
    Picture1_->setGeometry(0, 0, width(), twipsOf(this).px(spec.find("Picture1")->twips.height));

    Command1_ = new QPushButton(toQt(spec.find("Command1")->caption), Picture1_);
    Command1_->setObjectName(QStringLiteral("Command1"));
    // INDEX takes Enter while it has the focus; the window has no default button.
    Command1_->setAutoDefault(true);
    placeTwips(Command1_, spec);

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setFont(classicFont(true));
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Typing would be lost when the window closes anyway.
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    placeTwips(Text1_, spec);

    setTabOrder(Text1_, Command1_);
    connect(Command1_, &QPushButton::clicked, this, [this] {
        if (presenter_)
            presenter_->backToIndex();
        else
            accept();
    });

    moveToTwips(this, spec.origin.left, spec.origin.top);
    Text1_->setFocus();
}

void frmsubhelp::setText(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1_->setPlainText(lines);
}

QString frmsubhelp::text() const {
    QString lines = Text1_->toPlainText();
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return lines;
}

void frmsubhelp::TopicView::setCaption(const std::string& caption) {
    window_.setWindowTitle(toQt(caption));
}

void frmsubhelp::TopicView::setText(const std::string& text) {
    window_.setText(toQt(text));
}

void frmsubhelp::TopicView::close() {
    window_.accept();
}

} // namespace kelbo
