#include "win32/CompileWindow.h"

#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

void CompileWindow::open(HWND owner) {
    // A window opened anew starts with an empty log.
    presenter_ = shell::CompileLogPresenter();
    // A title but no system menu, close, minimize or maximize button: only OK ends it.
    createModeless(owner, L"  Compilation", WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    ShowWindow(hwnd(), SW_SHOW);
}

bool CompileWindow::onInit() {
    setClientTwips(5430, 4050);
    HWND text = addControl(L"EDIT", L"",
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                           ids::Text1, 240, 120, 4935, 2895, WS_EX_CLIENTEDGE);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font(true)), FALSE);
    setTextColour(ids::Text1, RGB(0xFF, 0x00, 0x00));
    setBackColour(ids::Text1, RGB(0xFF, 0xFF, 0xC0));
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, ids::cmdCompileOK, 2040, 3360, 1095,
               375);
    centreOnScreen();
    presenter_.attach(*this);
    return true;
}

bool CompileWindow::onCommand(int id, int code, HWND) {
    // OK closes; Escape, with no close box to match, does nothing, nor does Enter in the log.
    if (id == ids::cmdCompileOK && code == BN_CLICKED) {
        presenter_.ok();
        return true;
    }
    return id == IDCANCEL || id == IDOK;
}

void CompileWindow::close() {
    if (hwnd())
        DestroyWindow(hwnd());
}

void CompileWindow::setLogText(const std::string& text) {
    // The log already separates its lines with CR LF, as a multi-line edit wants.
    SetWindowTextW(item(ids::Text1), wide(text).c_str());
    const LRESULT end = GetWindowTextLengthW(item(ids::Text1));
    SendMessageW(item(ids::Text1), EM_SETSEL, end, end);
    SendMessageW(item(ids::Text1), EM_SCROLLCARET, 0, 0);
    // A compilation runs on the window's thread: the log is drawn now, not after it.
    UpdateWindow(hwnd());
}

} // namespace kelbo::win32
