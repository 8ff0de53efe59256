#include "win32/LanguagesDialog.h"

#include "shell/Layout.h"
#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
// Four hex digits.
constexpr int kCodeLength = 4;

} // namespace

const std::map<std::string_view, int>& LanguagesDialog::controlIds() {
    static const std::map<std::string_view, int> kIds = [] {
        std::map<std::string_view, int> made = {
            {"lblLanguages", ids::lblLanguages},
            {"lstLanguages", ids::lstLanguages},
            {"cmdRemove", ids::cmdRemove},
            {"lblChoice", ids::lblChoice},
            {"cboLanguage", ids::cboLanguage},
            {"lblCode", ids::lblCode},
            {"txtCode", ids::txtCode},
            {"lblCodeHint", ids::lblCodeHint},
            {"lblCopy", ids::lblCopy},
            {"cmdAdd", ids::cmdAdd},
            {"cmdBase", ids::cmdBase},
            {"cmdOK", IDOK},
            {"cmdCancel", IDCANCEL},
        };
        // The check boxes take their names from the layout, whose texts live for the run.
        for (const shell::ControlSpec& control : shell::languagesDialogSpec().controls) {
            const std::string_view name = control.name;
            if (name.size() == 8 && name.starts_with("chkCopy") && name[7] >= '0' && name[7] <= '7')
                made[name] = ids::chkCopy0 + (name[7] - '0');
        }
        return made;
    }();
    return kIds;
}

void LanguagesDialog::run(HWND owner) {
    runModal(owner, wide(shell::languagesDialogSpec().caption), kFixedDialog);
}

bool LanguagesDialog::onInit() {
    const shell::WindowSpec& spec = shell::languagesDialogSpec();
    setClientTwips(spec.clientWidth, spec.clientHeight);
    addControls(spec, controlIds());
    SendMessageW(item(ids::txtCode), EM_LIMITTEXT, kCodeLength, 0);
    centreOnScreen();
    presenter_.attach(*this);
    return true;
}

void LanguagesDialog::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void LanguagesDialog::showLanguages(const std::vector<std::string>& captions, int select) {
    HWND list = item(ids::lstLanguages);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& caption : captions)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(caption).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

int LanguagesDialog::selectedLanguage() const {
    const LRESULT selected = SendMessageW(item(ids::lstLanguages), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void LanguagesDialog::setChoices(const std::vector<std::string>& captions) {
    DialogWindow::setChoices(ids::cboLanguage, captions);
}

void LanguagesDialog::setChoice(int index) {
    DialogWindow::setChoice(ids::cboLanguage, index);
}

int LanguagesDialog::choice() const {
    return DialogWindow::choice(ids::cboLanguage);
}

void LanguagesDialog::setCode(const std::string& code) {
    setText(ids::txtCode, wide(code));
}

std::string LanguagesDialog::code() const {
    return lineText(ids::txtCode);
}

void LanguagesDialog::setCopyCaption(const std::string& caption) {
    setText(ids::lblCopy, wide(caption));
}

void LanguagesDialog::setCopyKind(ResourceKind kind, bool on) {
    setChecked(ids::chkCopy0 + kindIndex(kind), on);
}

bool LanguagesDialog::copyKind(ResourceKind kind) const {
    return checked(ids::chkCopy0 + kindIndex(kind));
}

void LanguagesDialog::enableRemove(bool enabled) {
    HWND remove = item(ids::cmdRemove);
    // A disabled button cannot keep the focus: it goes on to the next control first.
    if (!enabled && GetFocus() == remove)
        SendMessageW(hwnd(), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(remove, enabled);
}

void LanguagesDialog::close(shell::DialogResult result) {
    EndDialog(hwnd(), result == shell::DialogResult::Accepted ? IDOK : IDCANCEL);
}

bool LanguagesDialog::onCommand(int id, int code, HWND) {
    if (passOkCancel(presenter_, id, code))
        return true;
    switch (id) {
    case ids::lstLanguages:
        if (code == LBN_SELCHANGE)
            presenter_.selectionChanged();
        return true;
    case ids::cmdAdd:
        if (code == BN_CLICKED)
            presenter_.add();
        return true;
    case ids::cmdRemove:
        if (code == BN_CLICKED)
            presenter_.remove();
        return true;
    case ids::cmdBase:
        if (code == BN_CLICKED)
            presenter_.setBase();
        return true;
    default:
        return false;
    }
}

} // namespace kelbo::win32
