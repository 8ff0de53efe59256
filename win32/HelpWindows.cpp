#include "win32/HelpWindows.h"

#include <string>

#include "shell/Layout.h"
#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | DS_MODALFRAME;

} // namespace

void HelpWindow::run(HWND owner) {
    runModal(owner, L"", kFixedDialog | WS_SYSMENU);
}

bool HelpWindow::onInit() {
    const shell::WindowSpec& spec = shell::helpIndexSpec();
    setClientTwips(spec.clientWidth, spec.clientHeight);
    setWindowColour(RGB(0xFF, 0xFF, 0xFF));
    addControl(*spec.find("Command1"), ids::Command1);
    SendMessageW(hwnd(), DM_SETDEFID, ids::Command1, 0);
    moveToTwips(spec.origin.left, spec.origin.top);
    presenter_.attach(*this);
    SetFocus(item(ids::Command1));
    return false;
}

void HelpWindow::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void HelpWindow::setTopicLabel(int index, const std::string& label) {
    const int id = ids::HelpLabel1 + index;
    if (HWND former = item(id))
        DestroyWindow(former);
    const shell::ControlSpec* place =
        shell::helpIndexSpec().find("Label" + std::to_string(index + 1));
    if (!place)
        return;
    // A topic opens with a click, as a link does; it takes no focus.
    HWND shown = addLabel(wide(label), id, place->twips.left, place->twips.top,
                          font(place->bold, place->underline));
    SetWindowLongPtrW(shown, GWL_STYLE, GetWindowLongPtrW(shown, GWL_STYLE) | SS_NOTIFY);
    setTextColour(id, kDarkBlue);
}

void HelpWindow::runSubHelp(shell::SubHelpPresenter& topic) {
    SubHelpWindow window(topic);
    window.run(hwnd());
}

void HelpWindow::close() {
    EndDialog(hwnd(), IDOK);
}

bool HelpWindow::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    // The pointing hand over the topics.
    if (message == WM_SETCURSOR) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id >= ids::HelpLabel1 && id < ids::HelpLabel1 + shell::HelpPresenter::kTopicCount) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
    }
    return false;
}

bool HelpWindow::onCommand(int id, int code, HWND) {
    if (id == ids::Command1 || id == IDCANCEL || id == IDOK) {
        presenter_.exit();
        return true;
    }
    if (id >= ids::HelpLabel1 && id < ids::HelpLabel1 + shell::HelpPresenter::kTopicCount &&
        code == STN_CLICKED) {
        presenter_.openTopic(id - ids::HelpLabel1);
        return true;
    }
    return false;
}

void SubHelpWindow::run(HWND owner) {
    runModal(owner, L"", kFixedDialog);
}

bool SubHelpWindow::onInit() {
    setClientTwips(6690, 5370);
    setWindowColour(RGB(0xFF, 0xFF, 0xFF));
    // Keyboard order: the text, then INDEX.
    HWND text = addControl(L"EDIT", L"",
                           WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                           ids::Text1, 120, 600, 6495, 4575, WS_EX_CLIENTEDGE);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font(true)), FALSE);
    setBackColour(ids::Text1, RGB(0xFF, 0xFF, 0xFF));
    addControl(L"BUTTON", L"INDEX", WS_TABSTOP | BS_PUSHBUTTON | WS_CLIPSIBLINGS, ids::Command1,
               120, 0, 1095, 375);
    // The bar keeps the ordinary button-face colour against the white window.
    RECT client{};
    GetClientRect(hwnd(), &client);
    HWND bar = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0,
                               client.right, px(495), hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::Picture1)),
                               GetModuleHandleW(nullptr), nullptr);
    setBackColour(ids::Picture1, GetSysColor(COLOR_BTNFACE));
    SetWindowPos(bar, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    moveToTwips(1170, 975);
    presenter_.attach(*this);
    SetFocus(text);
    SendMessageW(text, EM_SETSEL, 0, 0);
    return false;
}

void SubHelpWindow::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void SubHelpWindow::setText(const std::string& text) {
    // The lines are separated by CR LF already, as a multi-line edit wants them.
    DialogWindow::setText(ids::Text1, wide(text));
}

void SubHelpWindow::close() {
    EndDialog(hwnd(), IDOK);
}

bool SubHelpWindow::onCommand(int id, int code, HWND) {
    // INDEX (clicked, or Enter while it has focus) and Escape go back to the index; Enter in
    // the text goes nowhere.
    if ((id == ids::Command1 && code == BN_CLICKED) || id == IDCANCEL) {
        presenter_.backToIndex();
        return true;
    }
    return id == IDOK;
}

void AboutWindow::run(HWND owner) {
    runModal(owner, L" ", kFixedDialog);
}

bool AboutWindow::onInit() {
    setClientTwips(3000, 3510);
    // The frame's children are placed inside it, at 120 twips from the window's left.
    addControl(L"STATIC", L"", SS_ETCHEDFRAME, ids::Frame1, 120, 0, 2775, 3375);
    HWND image = addControl(L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, ids::Image1, 120 + 240,
                            360, 480, 480);
    if (icon_)
        SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 120 + 960, 2760, 855, 375);
    centreOnScreen();
    presenter_.attach(*this);
    SetFocus(item(IDOK));
    return false;
}

void AboutWindow::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void AboutWindow::setProgramName(const std::string& name) {
    if (HWND former = item(ids::AboutLabel1))
        DestroyWindow(former);
    addLabel(wide(name), ids::AboutLabel1, 120 + 1440, 360, font(true));
}

void AboutWindow::setVersion(const std::string& version) {
    if (HWND former = item(ids::AboutLabel2))
        DestroyWindow(former);
    addLabel(wide(version), ids::AboutLabel2, 120 + 1200, 600, font(true));
}

void AboutWindow::close() {
    EndDialog(hwnd(), IDOK);
}

bool AboutWindow::onCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        presenter_.ok();
        return true;
    }
    return false;
}

} // namespace kelbo::win32
