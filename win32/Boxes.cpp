#include "win32/Boxes.h"

#include "messages/ErrorCodes.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

void ShowError(Win32Platform& platform, HWND owner, int code) {
    platform.beep();
    platform.messageBox(owner, wide(errorMessage(code)), wide(errorTitle(code)),
                        Win32Platform::BoxIcon::Stop, Win32Platform::BoxButtons::Ok);
}

void showErrorText(Win32Platform& platform, HWND owner, const std::wstring& text) {
    platform.messageBox(owner, text, L"ERROR", Win32Platform::BoxIcon::Stop,
                        Win32Platform::BoxButtons::Ok);
}

} // namespace kelbo::win32
