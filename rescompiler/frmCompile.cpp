#include "rescompiler/frmCompile.h"

#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "app/Twips.h"
#include "shell/Layout.h"

namespace kelbo {

frmCompile::frmCompile(QWidget* parent)
    // A window of its own with a title but no system menu, close, minimize or maximize button:
    // only OK ends it.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    const shell::WindowSpec& spec = shell::compileLogSpec();
    setObjectName(toQt(spec.name));
    setWindowTitle(toQt(spec.caption));
    setAttribute(Qt::WA_DeleteOnClose);

    const Twips tw = Twips::forScreen();
    setFixedSize(tw.size(spec.clientWidth, spec.clientHeight));
    const auto place = [&](QWidget* widget) {
        const shell::Rect r = spec.find(widget->objectName().toStdString())->twips;
        widget->setGeometry(tw.rect(r.left, r.top, r.width, r.height));
    };

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    place(Text1);
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
    place(cmdOK);
    // Never the default: only a click, or Enter or Space while it has the focus, ends the log.
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { presenter_.ok(); });

    setTabOrder(Text1, cmdOK);
    centreWindow(*this);
    presenter_.attach(*this);
}

void frmCompile::setLogText(const std::string& logText) {
    // The log separates lines with CR LF; the text box wants one line break per line.
    QString text = toQt(logText);
    text.replace("\r\n", "\n");
    Text1->setPlainText(text);
    Text1->moveCursor(QTextCursor::End);
    Text1->repaint();
}

} // namespace kelbo
