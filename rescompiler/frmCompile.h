// The compile log window: stays open beside the main window and shows the log of the last
// compilation until OK closes (and discards) it.
#pragma once

#include <QWidget>

#include "rescompiler/CompileLog.h"

class QPlainTextEdit;
class QPushButton;

namespace kelbo {

class frmCompile : public QWidget {
    Q_OBJECT
public:
    explicit frmCompile(QWidget* parent = nullptr);

    // The log the writers extend; showLog() puts its current text on screen.
    CompileLog& log() { return log_; }
    void showLog();

private:
    CompileLog log_;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
};

} // namespace kelbo
