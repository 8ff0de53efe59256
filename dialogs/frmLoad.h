// The file item dialog: picks the .BMP, .ICO or .WAV file of one item and its identifier.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

#include "project/Project.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kelbo {

class DirList;
class DriveList;
class Platform;

class frmLoad : public QDialog {
    Q_OBJECT
public:
    // Works on session.CurrentKind (BITMAP, ICON or WAVE): adds a line when session.EditedLine
    // is empty, otherwise replaces the line at `selectedIndex`.
    frmLoad(Session& session, Platform& platform, int selectedIndex, QWidget* parent = nullptr);

private:
    void buildControls();
    void openOn(const QString& folder);
    void driveChosen(const QString& root);
    void folderChanged(const QString& folder);
    void fileSelected();
    void play();
    void accept() override;
    QString fullPath() const;

    Session& session_;
    Platform& platform_;
    int selectedIndex_;
    ResourceKind kind_;
    QString pattern_;
    // Last folder shown on each drive while the dialog is open.
    QHash<QString, QString> driveFolders_;

    QLabel* etiName_ = nullptr;
    QLabel* etiRep_ = nullptr;
    QListWidget* File1_ = nullptr;
    DirList* Dir1_ = nullptr;
    DriveList* Drive1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QLabel* PicTest_ = nullptr;
    QPushButton* cmdPlay_ = nullptr;
};

} // namespace kelbo
