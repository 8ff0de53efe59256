// The main window: the four lists of the project under a tab strip, the item buttons and the
// menus. It owns the run's Session and leaves every decision about the project to the core.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "project/Project.h"
#include "win32/CompileWindow.h"
#include "win32/DialogWindow.h"
#include "win32/Win32Platform.h"

namespace kelbo::win32 {

class MainWindow : public DialogWindow {
public:
    // `exeDir` is the program's folder (default of ProjectDir and ResDir); `recentFilesPath` is
    // the kbplast.cfg to read at start-up and to update at every save.
    MainWindow(Win32Platform& platform, std::string exeDir, std::string recentFilesPath);
    ~MainWindow() override;

    // Creates and shows the window: tab 1, the recent files, the start caption.
    bool create();
    // Loads the project named on the command line, if any; an invalid one is reported in a box.
    void startUp(const std::wstring& commandLine);
    // Passes a message of the thread's loop to the dialog manager of this window or of the
    // compile log; true when it was taken.
    bool translate(MSG& message);
    // GetMessage, the dialog manager, dispatch, until the window has gone; the WM_QUIT code.
    int runMessageLoop();

    Session& session() { return session_; }
    CompileWindow& compileWindow() { return compile_; }
    // The command line as one path: without surrounding quotes.
    static std::wstring commandLinePath(const std::wstring& arguments);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroy() override;

    void buildControls();
    void buildMenus();
    void setCaption(std::string_view caption);
    int selectedIndex(ResourceKind kind) const;
    void reloadList(ResourceKind kind, int keepSelection);
    void reloadAllLists();
    void ChangeTab(int n);
    void ShowRecentFiles();
    void guardUnsavedChanges();
    std::optional<std::string> askProjectFile(bool save);
    std::optional<std::string> toProjectText(const std::wstring& path);
    bool SaveRC(const std::string& path);
    bool LoadRC(const std::string& path);
    void DirectLoad(const std::string& path);

    void cmdAdd_Click();
    void cmdModify_Click();
    void cmdDelete_Click();
    void openItemDialog(int selected);
    void mnuNewKBP_Click();
    void mnuOpenKBP_Click();
    void mnuSaveKBP_Click();
    bool mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuFile_Click(int number);
    void compileCommand(int bits);
    void GetNameRes();
    void Compile();
    void mnuHelp_Click();
    void mnuAbout_Click();

    Win32Platform& platform_;
    Session session_;
    std::string recentFilesPath_;
    // The file dialog keeps the name chosen last, for the next Open or Save As.
    std::wstring dialogFileName_;
    // What each recent item stands for, in the project's code page.
    std::array<std::string, 5> recentCaptions_;
    int recentCount_ = 0;
    bool closing_ = false;
    HMENU fileMenu_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    CompileWindow compile_;
};

} // namespace kelbo::win32
