#include "win32/StringDialog.h"

#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {
constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
} // namespace

void StringDialog::run(HWND owner) {
    runModal(owner, L"", kFixedDialog);
}

bool StringDialog::onInit() {
    setClientTwips(6690, 1200);
    // Creation order is the keyboard order: text, identifier, OK, Cancel.
    addLabel(L"String", ids::label1, 120, 160);
    addControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ids::Text1, 720, 120, 5775, 285,
               WS_EX_CLIENTEDGE);
    addLabel(L"Identificator", ids::Label2, 120, 632);
    addControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ids::Text2, 1080, 600, 1095, 285,
               WS_EX_CLIENTEDGE);
    addLabel(L"Only a number", ids::Label3, 2400, 600);
    setTextColour(ids::Label3, kRed);
    // OK is the default button; a focused Cancel takes Enter itself (the dialog manager moves
    // the default to the focused push button).
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 4560, 600, 855, 375);
    addControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 5640, 600, 855, 375);
    centreOnScreen();
    presenter_.attach(*this);
    return false;
}

void StringDialog::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void StringDialog::setText(const std::string& text) {
    DialogWindow::setText(ids::Text1, wide(text));
}

void StringDialog::setIdentifier(const std::string& identifier) {
    DialogWindow::setText(ids::Text2, wide(identifier));
}

void StringDialog::setTextMaxLength(int characters) {
    SendMessageW(item(ids::Text1), EM_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

std::string StringDialog::text() const {
    return narrow(DialogWindow::text(ids::Text1));
}

std::string StringDialog::identifier() const {
    return narrow(DialogWindow::text(ids::Text2));
}

void StringDialog::focusText() {
    SetFocus(item(ids::Text1));
}

void StringDialog::close(shell::DialogResult result) {
    EndDialog(hwnd(), result == shell::DialogResult::Accepted ? IDOK : IDCANCEL);
}

bool StringDialog::onCommand(int id, int code, HWND) {
    return passOkCancel(presenter_, id, code);
}

} // namespace kelbo::win32
