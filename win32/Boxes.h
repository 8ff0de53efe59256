// The boxes every window shows: the numbered errors and the plain "ERROR" box.
#pragma once

#include <string>

#include "win32/Win32Platform.h"

namespace kelbo::win32 {

// A beep, then the fixed message of `code` under "ERROR code".
void ShowError(Win32Platform& platform, HWND owner, int code);
// An "ERROR" box with a stop sign.
void showErrorText(Win32Platform& platform, HWND owner, const std::wstring& text);

} // namespace kelbo::win32
