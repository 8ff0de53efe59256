#include "help/frmsubhelp.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/DialogMetrics.h"

namespace kelbo {

frmsubhelp::frmsubhelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmsubhelp"));
    setFont(classicFont());
    setFixedDialogFrame(this, 6690, 5370);
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
    Picture1_->setGeometry(0, 0, width(), twipsOf(this).px(495));

    Command1_ = new QPushButton(QStringLiteral("INDEX"), Picture1_);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setAutoDefault(false);
    placeTwips(Command1_, 120, 0, 1095, 375);

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setFont(classicFont(true));
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Typing would be lost when the window closes anyway.
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    placeTwips(Text1_, 120, 600, 6495, 4575);

    setTabOrder(Text1_, Command1_);
    connect(Command1_, &QPushButton::clicked, this, &frmsubhelp::accept);

    moveToTwips(this, 1170, 975);
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

} // namespace kelbo
