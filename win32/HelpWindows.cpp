#include "win32/HelpWindows.h"

#include "help/HelpTopics.h"
#include "messages/Captions.h"
#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
constexpr int kLabelTops[6] = {360, 840, 1320, 1800, 2280, 2760};

} // namespace

void HelpWindow::run(HWND owner) {
    runModal(owner, wide(kHelpIndexCaption), kFixedDialog | WS_SYSMENU);
}

bool HelpWindow::onInit() {
    setClientTwips(3315, 3990);
    setWindowColour(RGB(0xFF, 0xFF, 0xFF));
    const auto& topics = helpTopics();
    for (int i = 0; i < 6; ++i) {
        // A topic opens with a click, as a link does; it takes no focus.
        HWND label = addLabel(wide(topics[i].label), ids::HelpLabel1 + i, 480, kLabelTops[i],
                              font(true, true));
        SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | SS_NOTIFY);
        setTextColour(ids::HelpLabel1 + i, kDarkBlue);
    }
    addControl(L"BUTTON", L"Exit", WS_TABSTOP | BS_DEFPUSHBUTTON, ids::Command1, 1080, 3360, 1095,
               375);
    SendMessageW(hwnd(), DM_SETDEFID, ids::Command1, 0);
    moveToTwips(3210, 1290);
    SetFocus(item(ids::Command1));
    return false;
}

bool HelpWindow::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    // The pointing hand over the topics.
    if (message == WM_SETCURSOR) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id >= ids::HelpLabel1 && id < ids::HelpLabel1 + 6) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
    }
    return false;
}

bool HelpWindow::onCommand(int id, int code, HWND) {
    if (id == ids::Command1 || id == IDCANCEL || id == IDOK) {
        EndDialog(hwnd(), IDOK);
        return true;
    }
    if (id >= ids::HelpLabel1 && id < ids::HelpLabel1 + 6 && code == STN_CLICKED) {
        openTopic(id - ids::HelpLabel1);
        return true;
    }
    return false;
}

void HelpWindow::openTopic(int index) {
    const HelpTopic& topic = helpTopics()[static_cast<std::size_t>(index)];
    SubHelpWindow window(wide(topic.caption), wide(topic.text));
    window.run(hwnd());
}

SubHelpWindow::SubHelpWindow(std::wstring caption, std::wstring text)
    : caption_(std::move(caption)), text_(std::move(text)) {}

void SubHelpWindow::run(HWND owner) {
    runModal(owner, caption_, kFixedDialog);
}

bool SubHelpWindow::onInit() {
    setClientTwips(6690, 5370);
    setWindowColour(RGB(0xFF, 0xFF, 0xFF));
    // Keyboard order: the text, then INDEX.
    HWND text = addControl(L"EDIT", text_,
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
    SetFocus(text);
    SendMessageW(text, EM_SETSEL, 0, 0);
    return false;
}

bool SubHelpWindow::onCommand(int id, int code, HWND) {
    // INDEX (clicked, or Enter while it has focus) and Escape go back to the index; Enter in
    // the text goes nowhere.
    if ((id == ids::Command1 && code == BN_CLICKED) || id == IDCANCEL) {
        EndDialog(hwnd(), IDOK);
        return true;
    }
    return id == IDOK;
}

void AboutWindow::run(HWND owner) {
    // A blank rather than an empty title, as in the Qt window.
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
    addLabel(L"Kelbo", ids::AboutLabel1, 120 + 1440, 360, font(true));
    addLabel(L"Version " + wide(kVersion), ids::AboutLabel2, 120 + 1200, 600, font(true));
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 120 + 960, 2760, 855, 375);
    centreOnScreen();
    SetFocus(item(IDOK));
    return false;
}

bool AboutWindow::onCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(hwnd(), IDOK);
        return true;
    }
    return false;
}

} // namespace kelbo::win32
