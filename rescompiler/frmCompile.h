// The compile log window: stays open beside the main window and shows the log of the last
// compilation until OK closes (and discards) it.
#pragma once

#include <QWidget>

#include "rescompiler/CompileLog.h"
#include "shell/HelpPresenters.h"

class QPlainTextEdit;
class QPushButton;

namespace kelbo {

class frmCompile : public QWidget, public shell::CompileLogView {
    Q_OBJECT
public:
    explicit frmCompile(QWidget* parent = nullptr);

    shell::CompileLogPresenter& presenter() { return presenter_; }
    // The log the writers extend; showLog() puts its current text on screen.
    CompileLog& log() { return presenter_.log(); }
    void showLog() { presenter_.showLog(); }

    void setLogText(const std::string& text) override;
    void close() override { QWidget::close(); }

private:
    shell::CompileLogPresenter presenter_;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
};

} // namespace kelbo
