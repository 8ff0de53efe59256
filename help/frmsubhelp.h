// One help topic: its caption and text under a bar with the button back to the index.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kelbo {

class frmsubhelp : public QDialog {
    Q_OBJECT
public:
    explicit frmsubhelp(QWidget* parent = nullptr);

    // The topic text, lines separated by CR LF.
    void setText(const QString& text);
    // The text as shown, with CR LF line ends.
    QString text() const;

private:
    QWidget* Picture1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPlainTextEdit* Text1_ = nullptr;
};

} // namespace kelbo
