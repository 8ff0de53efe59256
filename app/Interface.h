// The main window: the four lists of the project under a tab strip, the item buttons and the
// menus. It owns the run's Session and leaves every decision about the project to the core.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "project/Project.h"

class QAction;
class QListView;
class QMenu;
class QPushButton;
class QTabBar;
class QFrame;

namespace kelbo {

class Platform;
class ProjectListModel;
class frmCompile;

class Interface : public QMainWindow {
    Q_OBJECT
public:
    // `exeDir` is the program's folder (default of ProjectDir and ResDir); `recentFilesPath` is
    // the kbplast.cfg to read at start-up and to update at every save.
    Interface(Platform& platform, std::string exeDir, std::string recentFilesPath,
              QWidget* parent = nullptr);
    ~Interface() override;

    // The load sequence, run before the window is first shown: tab 1, the recent files, the
    // start caption, then the project named on the command line, if any.
    void startUp(const QString& commandLine);
    // The command line as one path: the arguments after the program's name joined by one
    // blank, without surrounding quotes.
    static QString commandLinePath(const QStringList& arguments);

    void ChangeTab(int n);
    // Writes the project and records it in the recent files; a failure is reported in a box.
    bool SaveRC(const std::string& f);
    // Replaces the lists with the file's; an invalid file is reported with code 6.
    bool LoadRC(const std::string& path);
    // One section of the printed listing: a blank line, then each line of kind `nu`.
    std::vector<std::string> PrintList(int nu) const;
    void GetNameRes();
    void Compile();
    void DirectLoad(const std::string& path);

    Session& session() { return session_; }
    const Session& session() const { return session_; }
    // The selected line of a kind's list, -1 when none.
    int selectedIndex(ResourceKind kind) const;
    QListView* list(ResourceKind kind) const { return List[kindIndex(kind)]; }
    // The compile log window while it is open.
    frmCompile* compileWindow() const;

signals:
    // The program is to end now (Exit or the window frame, after the guard).
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption);
    QAction* addSeparator(QMenu* menu, const char* name);
    void setCaption(std::string_view caption);
    void reloadList(ResourceKind kind, int keepSelection);
    void reloadAllLists();
    void ShowRecentFiles();
    void guardUnsavedChanges();
    std::optional<std::string> askProjectFile(bool save);
    std::optional<std::string> toProjectText(const QString& path);

    // Handlers, named after their controls.
    void TabStrip1_Click(int index);
    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void openItemDialog(int selected);
    void mnuNewKBP_Click();
    void mnuOpenKBP_Click();
    void mnuSaveKBP_Click();
    // True when the file was written.
    bool mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuFile_Click(int number);
    void compileCommand(int bits);
    void mnuHelp_Click();
    void mnuAbout_Click();

    Platform& platform_;
    Session session_;
    std::string recentFilesPath_;
    // The file dialog keeps the name chosen last, for the next Open or Save As.
    QString dialogFileName_;
    // What each recent item stands for, in the project's code page.
    std::array<std::string, 5> recentCaptions_;
    bool closing_ = false;

    QTabBar* TabStrip1 = nullptr;
    std::array<QListView*, kOriginalKindCount> List{};
    std::array<ProjectListModel*, kOriginalKindCount> models_{};
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdDelete = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QAction* mnulastBar = nullptr;
    std::array<QAction*, 5> recentItems_{};
    QPointer<frmCompile> compile_;
};

} // namespace kelbo
