// The file item dialog: picks the file of one item (.BMP, .ICO, .WAV, .CUR or any file for DATA)
// and its identifier, and for DATA its type.
#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <memory>

#include "platform/QtShellPlatform.h"
#include "project/Project.h"
#include "shell/ItemDialogs.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kelbo {

class DirList;
class DriveList;
class Platform;

class frmLoad : public QDialog, public shell::FileItemView {
    Q_OBJECT
public:
    // The view of `presenter`, which decides where the dialog opens and what OK stores.
    explicit frmLoad(shell::FileItemPresenter& presenter, QWidget* parent = nullptr);
    // A dialog with its own presenter. Works on session.CurrentKind (any file kind): adds
    // a line when session.EditedLine is empty, otherwise replaces the line at `selectedIndex`.
    frmLoad(Session& session, Platform& platform, int selectedIndex, QWidget* parent = nullptr);
    ~frmLoad() override;

    void setCaption(const std::string& caption) override;
    void setPattern(const std::string& pattern) override;
    bool showFolder(const std::string& folder) override;
    void setFileName(const std::string& name) override;
    void setIdentifier(const std::string& identifier) override;
    std::string identifier() const override;
    void previewChosenFile() override;
    void showPlayButton(bool play) override;
    void showDataFields(bool data) override;
    void setType(const std::string& type) override;
    std::string type() const override;
    void setFileSize(const std::string& text) override;
    void focusFileList() override;
    void close(shell::DialogResult result) override;
    using QDialog::close;

private:
    void buildControls();
    void driveChosen(const QString& root);
    void folderChanged(const QString& folder);
    void fileSelected();
    void accept() override;
    void reject() override;
    QString fullPath() const;
    // The picture box shows unless the Play button or the DATA fields take its place.
    void placeSideControls();

    std::unique_ptr<QtShellPlatform> ownPlatform_;
    std::unique_ptr<shell::FileItemPresenter> ownPresenter_;
    shell::FileItemPresenter* presenter_ = nullptr;
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
    QLabel* Label4_ = nullptr;
    QLineEdit* txtType_ = nullptr;
    QLabel* etiSize_ = nullptr;
    bool play_ = false;
    bool data_ = false;
};

} // namespace kelbo
