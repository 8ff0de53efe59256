// The main window: the lists of the project under a tab strip (one tab per kind of item lines),
// the language they show above it, the item buttons and the menus. It shows what its presenter
// decides and passes on what the user does; the presenter owns the run's Session.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/QtShellPlatform.h"
#include "project/Project.h"
#include "shell/MainPresenter.h"

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QTabBar;
class QFrame;

namespace kelbo {

class Platform;
class ProjectListModel;
class frmCompile;

class Interface : public QMainWindow, public shell::MainView {
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

    void ChangeTab(int n) { presenter_.changeTab(n); }
    // Writes the project and records it in the recent files; a failure is reported in a box.
    bool SaveRC(const std::string& f) { return presenter_.saveProject(f); }
    // Replaces the lists with the file's; an invalid file is reported with code 6.
    bool LoadRC(const std::string& path) { return presenter_.loadProject(path); }
    // One section of the printed listing: a blank line, then each line of kind `nu`.
    std::vector<std::string> PrintList(int nu) const { return presenter_.printList(nu); }
    void DirectLoad(const std::string& path) { presenter_.directLoad(path); }

    Session& session() { return presenter_.session(); }
    const Session& session() const { return presenter_.session(); }
    shell::MainPresenter& presenter() { return presenter_; }
    // The selected line of a kind's list, -1 when none.
    int selectedIndex(ResourceKind kind) const;
    // The list of a kind with a tab; null for the others.
    QListView* list(ResourceKind kind) const;
    // The compile log window while it is open.
    frmCompile* compileWindow() const;

    // The view the presenter drives.
    void setCaption(const std::string& caption) override;
    void showTab(ResourceKind kind) override;
    void showList(ResourceKind kind, const std::vector<std::string>& lines, int select) override;
    int selectedItem(ResourceKind kind) const override { return selectedIndex(kind); }
    void showRecentFiles(const std::vector<std::string>& captions) override;
    void showLanguages(const std::vector<std::string>& captions, int current) override;
    void runStringItemDialog(shell::StringItemPresenter& presenter) override;
    void runFileItemDialog(shell::FileItemPresenter& presenter) override;
    void runManifestDialog(shell::ManifestPresenter& presenter) override;
    void runVersionDialog(shell::VersionPresenter& presenter) override;
    void runLanguagesDialog(shell::LanguagesPresenter& presenter) override;
    void runHelp(shell::HelpPresenter& presenter) override;
    void runAbout(shell::AboutPresenter& presenter) override;
    shell::CompileLogPresenter& openCompileLog() override;
    void closeCompileLog() override;
    void endProgram() override;

signals:
    // The program is to end now (Exit or the window frame, after the guard).
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int kTabCount = static_cast<int>(shell::MainPresenter::kTabKinds.size());

    void buildControls();
    void buildMenus();

    QtShellPlatform platform_;
    shell::MainPresenter presenter_;

    QTabBar* TabStrip1 = nullptr;
    std::array<QListView*, kTabCount> List{};
    std::array<ProjectListModel*, kTabCount> models_{};
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdModify = nullptr;
    QPushButton* cmdDelete = nullptr;
    QLabel* lblLanguage = nullptr;
    QComboBox* cboLanguage = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QAction* mnulastBar = nullptr;
    std::array<QAction*, 5> recentItems_{};
    QPointer<frmCompile> compile_;
};

} // namespace kelbo
