#include "rescompiler/frmCompile.h"

#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "app/Twips.h"

namespace kelbo {

frmCompile::frmCompile(QWidget* parent)
    // A window of its own with a title but no system menu, close, minimize or maximize button:
    // only OK ends it.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("frmCompile");
    setWindowTitle("  Compilation");
    setAttribute(Qt::WA_DeleteOnClose);

    const Twips tw = Twips::forScreen();
    setFixedSize(tw.size(5430, 4050));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setGeometry(tw.rect(240, 120, 4935, 2895));
    Text1->setReadOnly(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette colours = Text1->palette();
    colours.setColor(QPalette::Text, QColor(0xFF, 0x00, 0x00));
    colours.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xC0));
    Text1->setPalette(colours);
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    Text1->setFont(font);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setGeometry(tw.rect(2040, 3360, 1095, 375));
    cmdOK->setAutoDefault(false);
    cmdOK->setDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(Text1, cmdOK);
    centreWindow(*this);
}

void frmCompile::showLog() {
    // The log separates lines with CR LF; the text box wants one line break per line.
    QString text = toQt(log_.text());
    text.replace("\r\n", "\n");
    Text1->setPlainText(text);
    Text1->moveCursor(QTextCursor::End);
    Text1->repaint();
}

} // namespace kelbo
