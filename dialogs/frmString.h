// The string item dialog: the text of one STRING item and its numeric identifier.
#pragma once

#include <QDialog>

#include "project/Project.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelbo {

class Platform;

class frmString : public QDialog {
    Q_OBJECT
public:
    // Adds a STRING line when session.EditedLine is empty, otherwise replaces the STRING line at
    // `selectedIndex`.
    frmString(Session& session, Platform& platform, int selectedIndex, QWidget* parent = nullptr);

    // Most characters the user may type into the text box.
    static constexpr int kMaxTypedLength = 255;

private:
    void accept() override;

    Session& session_;
    Platform& platform_;
    int selectedIndex_;

    QLabel* label1_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLineEdit* Text2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace kelbo
