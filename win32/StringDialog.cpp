#include "win32/StringDialog.h"

#include <algorithm>

#include "dialogs/ItemValidation.h"
#include "win32/Boxes.h"
#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {
constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
} // namespace

StringDialog::StringDialog(Session& session, Win32Platform& platform, int selectedIndex)
    : session_(session), platform_(platform), selectedIndex_(selectedIndex) {}

bool StringDialog::run(HWND owner) {
    return runModal(owner, L"  STRING", kFixedDialog) == IDOK;
}

bool StringDialog::onInit() {
    setClientTwips(6690, 1200);
    addLabel(L"String", ids::label1, 120, 160);
    addControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ids::Text1, 720, 120, 5775, 285,
               WS_EX_CLIENTEDGE);
    addLabel(L"Identificator", ids::Label2, 120, 632);
    addControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ids::Text2, 1080, 600, 1095, 285,
               WS_EX_CLIENTEDGE);
    addLabel(L"Only a number", ids::Label3, 2400, 600);
    setTextColour(ids::Label3, kRed);
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 4560, 600, 855, 375);
    addControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 5640, 600, 855, 375);

    if (!session_.EditedLine.empty()) {
        const EditedParts parts = splitEditedLine(session_.EditedLine);
        const std::wstring text = wide(parts.rest);
        // The limit is on typing: a longer text from a project file is shown whole, not cut.
        SendMessageW(item(ids::Text1), EM_LIMITTEXT,
                     std::max<std::size_t>(kMaxTypedLength, text.size()), 0);
        setText(ids::Text1, text);
        setText(ids::Text2, wide(parts.identifier));
    } else {
        SendMessageW(item(ids::Text1), EM_LIMITTEXT, kMaxTypedLength, 0);
    }
    centreOnScreen();
    SetFocus(item(ids::Text1));
    return false;
}

bool StringDialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED)
        return false;
    if (id == IDOK) {
        accept();
        return true;
    }
    if (id == IDCANCEL) {
        // Escape and the Cancel button: nothing stored.
        EndDialog(hwnd(), IDCANCEL);
        return true;
    }
    return false;
}

void StringDialog::accept() {
    char32_t bad = 0;
    const std::optional<std::string> identifier = narrow(text(ids::Text2), &bad);
    const std::optional<std::string> line =
        identifier ? narrow(text(ids::Text1), &bad) : std::nullopt;
    if (!line) {
        platform_.beep();
        showErrorText(platform_, hwnd(), wideFromUtf8(unrepresentableMessage(bad)));
        return;
    }
    const ItemCheck check = checkStringItem(*identifier, *line);
    if (!check.ok()) {
        ShowError(platform_, hwnd(), check.errorCode);
        return;
    }
    if (session_.EditedLine.empty())
        session_.appendItem(ResourceKind::String, check.line);
    else
        session_.replaceItem(ResourceKind::String, selectedIndex_, check.line);
    EndDialog(hwnd(), IDOK);
}

} // namespace kelbo::win32
