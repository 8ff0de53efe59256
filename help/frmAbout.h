// The about box: the program's icon, name and version.
#pragma once

#include <QDialog>
#include <memory>

#include "shell/HelpPresenters.h"

class QIcon;
class QLabel;
class QPushButton;

namespace kelbo {

class frmAbout : public QDialog, public shell::AboutView {
    Q_OBJECT
public:
    frmAbout(shell::AboutPresenter& presenter, const QIcon& appIcon, QWidget* parent = nullptr);
    // A box with its own presenter.
    explicit frmAbout(const QIcon& appIcon, QWidget* parent = nullptr);
    ~frmAbout() override;

    void setCaption(const std::string& caption) override;
    void setProgramName(const std::string& name) override;
    void setVersion(const std::string& version) override;
    void close() override { QDialog::accept(); }

private:
    void buildControls(const QIcon& appIcon);

    std::unique_ptr<shell::AboutPresenter> ownPresenter_;
    shell::AboutPresenter* presenter_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* Label2_ = nullptr;
};

} // namespace kelbo
