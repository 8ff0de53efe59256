// The help index: one link per topic, each opening the topic's window.
#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace kelbo {

class Platform;

class frmHelp : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(Platform& platform, QWidget* parent = nullptr);

    // Shows topic `index` (0 to 5) modally over the index.
    void openTopic(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLabel*, 6> labels_{};
    QPushButton* Command1_ = nullptr;
};

} // namespace kelbo
