// kelbo.exe: the Win32 window of the resource compiler.
#include <windows.h>

#include <commctrl.h>

#include "platform/FileSystem.h"
#include "projectfile/RecentFiles.h"
#include "win32/MainWindow.h"
#include "win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string exeDir = kelbo::executableDirectory();
    kelbo::win32::Win32Platform platform;
    kelbo::win32::MainWindow window(platform, exeDir, kelbo::recentFilesLocation(exeDir));
    if (!window.create())
        return 1;
    window.startUp(kelbo::win32::MainWindow::commandLinePath(commandLine));
    return window.runMessageLoop();
}
