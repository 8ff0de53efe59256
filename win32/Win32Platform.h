// The system services of the Win32 windows: MessageBoxW, the common file and print dialogs,
// PlaySoundW, the wait cursor, the local date. Each is virtual, so tests can script the dialogs
// while the real windows and boxes run.
#pragma once

#include <windows.h>

#include "shell/Platform.h"

namespace kelbo::win32 {

// The window behind a view, for the owner of a box or dialog; null for none.
HWND ownerWindow(shell::View* view);

class Win32Platform : public shell::Platform {
public:
    void beep() override;
    shell::BoxAnswer messageBox(shell::View* owner, const std::string& text,
                                const std::string& title, shell::BoxIcon icon,
                                shell::BoxButtons buttons) override;
    std::optional<std::string> fileDialog(shell::View* owner,
                                          const shell::FileDialogSpec& request) override;
    std::unique_ptr<shell::Printer> choosePrinter(shell::View* owner) override;
    void playSound(const std::string& path) override;
    void setBusy(bool busy) override;
    shell::CalendarDate today() override;
    void progress(shell::View* owner, const std::string& title, std::size_t done,
                  std::size_t total) override;
    void progressDone() override;

private:
    int busyDepth_ = 0;
    HCURSOR formerCursor_ = nullptr;
    // The bar of long work, a captioned window of its own over the owner; null when none.
    HWND progress_ = nullptr;
};

} // namespace kelbo::win32
