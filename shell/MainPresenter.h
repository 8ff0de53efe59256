// The main window's behaviour: the lists of the project under a tab strip, the item buttons and
// the menus. It owns the run's Session, decides every caption, box and dialog, and leaves the
// project itself to the core.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"
#include "projectfile/RecentFiles.h"
#include "shell/HelpPresenters.h"
#include "shell/ItemDialogs.h"
#include "shell/LanguagesPresenter.h"
#include "shell/Platform.h"
#include "shell/ProjectDialogs.h"
#include "shell/View.h"

namespace kelbo::shell {

// The command line as one path: the arguments after the program's name joined by one blank,
// without surrounding quotes. Only blanks and quotes matter, so any ASCII-based text will do.
std::string commandLinePath(const std::vector<std::string>& arguments);

class MainView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // Shows only the list of `kind`. The tab strip is left to the user: the presenter calls this
    // when a tab was chosen, and at start-up for the first tab, where a new strip already is.
    virtual void showTab(ResourceKind kind) = 0;
    // The list of `kind` shows `lines` afresh, with the line `select` selected (-1: none). The
    // lines belong to the presenter's project and stay valid until the next call for the kind,
    // so a view may show them without a copy.
    virtual void showList(ResourceKind kind, const std::vector<std::string>& lines, int select) = 0;
    // The language drop-down cboLanguage: the project's languages in order (the base first),
    // the one at `current` chosen. A choice of the user is reported with languageChosen().
    virtual void showLanguages(const std::vector<std::string>& captions, int current) = 0;
    // The selected line of the kind's list, -1 when none.
    virtual int selectedItem(ResourceKind kind) const = 0;
    // The recent-files items of the File menu, "&1 path" to "&5 path" (the "&" of the number is
    // the access key; any other "&" is shown as itself). None hides them and their separator.
    virtual void showRecentFiles(const std::vector<std::string>& captions) = 0;

    // Modal windows: each returns when the window is closed.
    virtual void runStringItemDialog(StringItemPresenter& presenter) = 0;
    virtual void runFileItemDialog(FileItemPresenter& presenter) = 0;
    virtual void runManifestDialog(ManifestPresenter& presenter) = 0;
    virtual void runVersionDialog(VersionPresenter& presenter) = 0;
    virtual void runLanguagesDialog(LanguagesPresenter& presenter) = 0;
    virtual void runHelp(HelpPresenter& presenter) = 0;
    virtual void runAbout(AboutPresenter& presenter) = 0;
    // Opens the compile log window, or brings the open one to the front, and gives its
    // presenter; the window lives on after the compilation, until its OK.
    virtual CompileLogPresenter& openCompileLog() = 0;
    // Closes the compile log window when it is open.
    virtual void closeCompileLog() = 0;
    // The program ends now (after Exit or the window frame, once the guard has run).
    virtual void endProgram() = 0;
};

class MainPresenter {
public:
    // `exeDir` is the program's folder (default of ProjectDir, ItemDir and ResDir);
    // `recentFilesPath` is the kbplast.cfg to read at start-up and to update at every save.
    MainPresenter(Platform& platform, std::string exeDir, std::string recentFilesPath,
                  FileSystem& fs = nativeFileSystem());

    // The kinds that have a tab, in the order of the tabs: those with item lines. The manifest
    // and the version information have a dialog of the Project menu each.
    static constexpr std::array<ResourceKind, 6> kTabKinds = {
        ResourceKind::Bitmap, ResourceKind::Icon,   ResourceKind::String,
        ResourceKind::Wave,   ResourceKind::Cursor, ResourceKind::Data};
    static std::span<const ResourceKind> tabKinds() { return kTabKinds; }

    // Binds the view; called once, before startUp().
    void attach(MainView& view);
    // The load sequence, run before the window is first shown: tab 1, the recent files, the
    // start caption, then the project named on the command line (empty: none), if any.
    void startUp(const std::string& commandLine);

    // The user's commands, named after their controls.
    void tabChosen(int index);
    // A language of the drop-down: every list shows that language's items.
    void languageChosen(int index);
    void addClicked();
    void modifyClicked();
    void deleteClicked();
    void newClicked();
    void openClicked();
    void saveClicked();
    // True when the file was written.
    bool saveAsClicked();
    // A .RES file made into a new project, which becomes the current one.
    void importResClicked();
    // The current project written as a resource script for other compilers.
    void exportRcClicked();
    void printClicked();
    // Exit, and the window's frame: the guard (once), then the end of the program.
    void exitClicked();
    // Recent file 1 to 5 of the File menu.
    void recentFileClicked(int number);
    // The Project menu.
    void manifestClicked();
    void versionClicked();
    void languagesClicked();
    void compileClicked(int bits);
    // Compiles in the 32-bit layout into a chosen program (EXE, DLL, OCX), its resources
    // replacing the program's, and shows the log.
    void compileIntoProgramClicked();
    void helpClicked();
    void aboutClicked();

    // The steps the commands are made of, also for tests.
    void changeTab(int n);
    // Writes the project and records it in the recent files; a failure is reported in a box.
    bool saveProject(const std::string& path);
    // Replaces the lists with the file's; an invalid file is reported with code 6.
    bool loadProject(const std::string& path);
    void directLoad(const std::string& path);
    // One section of the printed listing: a blank line, then each line of kind `nu` in the
    // language on show.
    std::vector<std::string> printList(int nu) const;

    Session& session() { return session_; }
    const Session& session() const { return session_; }
    const std::string& caption() const { return caption_; }

private:
    void setCaption(std::string caption);
    void reloadList(ResourceKind kind, int keepSelection);
    void reloadAllLists();
    // The drop-down and every list, for the language on show.
    void showSection();
    // Back to the base section, as after every new, opened or imported project.
    void resetSection();
    void showRecentFiles();
    void guardUnsavedChanges();
    std::optional<std::string> askFile(const FileDialogSpec& spec);
    std::optional<std::string> askProjectFile(bool save);
    void askResFile();
    // Where the imported project goes; nothing when the user cancelled.
    std::string resourceFolder() const;
    std::optional<std::string> askImportProject(const std::string& resPath);
    void showWarnings(const std::vector<std::string>& warnings, const std::string& what);
    void compile();
    void compileIntoProgram(const std::string& programPath);
    void openItemDialog(int selected);
    MainView& view();

    Platform& platform_;
    FileSystem& fs_;
    Session session_;
    std::string recentFilesPath_;
    MainView* view_ = nullptr;
    std::string caption_;
    // The file dialog keeps the name chosen last, for the next Open or Save As.
    std::string dialogFileName_;
    // What each recent item stands for.
    std::array<std::string, kMaxRecentFiles> recentCaptions_;
    bool closing_ = false;
};

} // namespace kelbo::shell
