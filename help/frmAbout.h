// The about box: the program's icon, name and version.
#pragma once

#include <QDialog>

class QIcon;
class QLabel;
class QPushButton;

namespace kelbo {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const QIcon& appIcon, QWidget* parent = nullptr);
};

} // namespace kelbo
