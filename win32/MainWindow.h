// The main window on Win32: the lists of the project under a tab strip, the item buttons
// and the menus, a view of the MainPresenter, which decides everything else.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/MainPresenter.h"
#include "win32/CompileWindow.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class MainWindow : public DialogWindow, public shell::MainView {
public:
    // `exeDir` is the program's folder (default of ProjectDir and ResDir); `recentFilesPath` is
    // the kbplast.cfg to read at start-up and to update at every save.
    MainWindow(shell::Platform& platform, std::string exeDir, std::string recentFilesPath);
    ~MainWindow() override;

    // Creates and shows the window.
    bool create();
    // The load sequence: tab 1, the recent files, the start caption, then the project named on
    // the command line (empty: none); an invalid one is reported in a box.
    void startUp(const std::wstring& commandLine);
    // Passes a message of the thread's loop to the dialog manager of this window or of the
    // compile log; true when it was taken.
    bool translate(MSG& message);
    // GetMessage, the dialog manager, dispatch, until the window has gone; the WM_QUIT code.
    int runMessageLoop();

    shell::MainPresenter& presenter() { return presenter_; }

    // shell::MainView
    void setCaption(const std::string& caption) override;
    void showTab(ResourceKind kind) override;
    void showList(ResourceKind kind, const std::vector<std::string>& lines, int select) override;
    void showLanguages(const std::vector<std::string>& captions, int current) override;
    int selectedItem(ResourceKind kind) const override;
    void showRecentFiles(const std::vector<std::string>& captions) override;
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

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroy() override;

    void buildControls();
    void buildMenus();

    shell::MainPresenter presenter_;
    HMENU fileMenu_ = nullptr;
    int fileMenuBaseCount_ = 0;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    CompileWindow compile_;
    std::array<std::wstring, shell::MainPresenter::kTabKinds.size()> tabTips_;
};

} // namespace kelbo::win32
