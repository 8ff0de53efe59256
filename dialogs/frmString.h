// The string item dialog: the text of one STRING item and its numeric identifier.
#pragma once

#include <QDialog>
#include <memory>

#include "platform/QtShellPlatform.h"
#include "project/Project.h"
#include "shell/ItemDialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelbo {

class Platform;

class frmString : public QDialog, public shell::StringItemView {
    Q_OBJECT
public:
    // The view of `presenter`, which decides what OK and Cancel do.
    explicit frmString(shell::StringItemPresenter& presenter, QWidget* parent = nullptr);
    // A dialog with its own presenter: adds a STRING line when session.EditedLine is empty,
    // otherwise replaces the STRING line at `selectedIndex`.
    frmString(Session& session, Platform& platform, int selectedIndex, QWidget* parent = nullptr);
    ~frmString() override;

    // Most characters the user may type into the text box.
    static constexpr int kMaxTypedLength = shell::StringItemPresenter::kMaxTypedLength;

    void setCaption(const std::string& caption) override;
    void setText(const std::string& text) override;
    void setIdentifier(const std::string& identifier) override;
    void setTextMaxLength(int characters) override;
    std::string text() const override;
    std::string identifier() const override;
    void focusText() override;
    void close(shell::DialogResult result) override;
    using QDialog::close;

private:
    void buildControls();
    void accept() override;
    void reject() override;

    std::unique_ptr<QtShellPlatform> ownPlatform_;
    std::unique_ptr<shell::StringItemPresenter> ownPresenter_;
    shell::StringItemPresenter* presenter_ = nullptr;

    QLabel* label1_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace kelbo
