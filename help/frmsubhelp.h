// One help topic: its caption and text under a bar with the button back to the index.
#pragma once

#include <QDialog>
#include <memory>

#include "shell/HelpPresenters.h"

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kelbo {

class frmsubhelp : public QDialog {
    Q_OBJECT
public:
    // The window of one topic of the index.
    explicit frmsubhelp(shell::SubHelpPresenter& topic, QWidget* parent = nullptr);
    // A window whose text and caption are set from outside.
    explicit frmsubhelp(QWidget* parent = nullptr);
    ~frmsubhelp() override;

    // The topic text, lines separated by CR LF.
    void setText(const QString& text);
    // The text as shown, with CR LF line ends.
    QString text() const;

private:
    // The presenter's view; a member rather than a base, as Qt's text setter is already named.
    class TopicView : public shell::SubHelpView {
    public:
        explicit TopicView(frmsubhelp& window) : window_(window) {}
        void setCaption(const std::string& caption) override;
        void setText(const std::string& text) override;
        void close() override;

    private:
        frmsubhelp& window_;
    };

    void buildControls();

    TopicView view_{*this};
    shell::SubHelpPresenter* presenter_ = nullptr;
    QWidget* Picture1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPlainTextEdit* Text1_ = nullptr;
};

} // namespace kelbo
