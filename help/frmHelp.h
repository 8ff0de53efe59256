// The help index: one link per topic, each opening the topic's window.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "shell/HelpPresenters.h"

class QLabel;
class QPushButton;

namespace kelbo {

class frmHelp : public QDialog, public shell::HelpView {
    Q_OBJECT
public:
    explicit frmHelp(shell::HelpPresenter& presenter, QWidget* parent = nullptr);
    // An index with its own presenter.
    explicit frmHelp(shell::Platform& platform, QWidget* parent = nullptr);
    ~frmHelp() override;

    // Shows topic `index` (0 to 5) modally over the index.
    void openTopic(int index);

    void setCaption(const std::string& caption) override;
    void setTopicLabel(int index, const std::string& label) override;
    void runSubHelp(shell::SubHelpPresenter& topic) override;
    void close() override { QDialog::accept(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();

    std::unique_ptr<shell::HelpPresenter> ownPresenter_;
    shell::HelpPresenter* presenter_ = nullptr;
    std::array<QLabel*, shell::HelpPresenter::kTopicCount> labels_{};
    QPushButton* Command1_ = nullptr;
};

} // namespace kelbo
