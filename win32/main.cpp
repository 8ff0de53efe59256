// kelbo.exe: the Win32 window of the resource compiler.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "projectfile/RecentFiles.h"
#include "shell/MainPresenter.h"
#include "win32/MainWindow.h"
#include "win32/Win32Platform.h"
#include "win32/WinText.h"

namespace {

// The project named on the command line: the arguments after the program's name, by the shared
// rule.
std::wstring commandLineProject() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::vector<std::string> utf8;
    for (int i = 0; i < count; ++i)
        utf8.push_back(kelbo::win32::narrow(arguments[i]));
    LocalFree(arguments);
    return kelbo::win32::wide(kelbo::shell::commandLinePath(utf8));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const std::string exeDir = kelbo::executableDirectory();
    kelbo::win32::Win32Platform platform;
    kelbo::win32::MainWindow window(platform, exeDir, kelbo::recentFilesLocation(exeDir));
    if (!window.create())
        return 1;
    window.startUp(commandLineProject());
    return window.runMessageLoop();
}
