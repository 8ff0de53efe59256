#include "win32/VersionDialog.h"

#include <string>
#include <utility>

#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
// Each part of a version is a number up to 65535.
constexpr int kPartLength = 5;

int partId(shell::VersionView::Field field, int part) {
    return (field == shell::VersionView::FileVersion ? ids::txtFile0 : ids::txtProduct0) + part;
}

} // namespace

const std::map<std::string_view, int>& VersionDialog::controlIds() {
    static const std::map<std::string_view, int> kIds = [] {
        std::map<std::string_view, int> made = {
            {"lblFileVersion", ids::lblFileVersion},
            {"lblProductVersion", ids::lblProductVersion},
            {"chkStrings", ids::chkStrings},
            {"lblFileType", ids::lblFileType},
            {"cboFileType", ids::cboFileType},
            {"lblLanguage", ids::lblLanguage},
            {"cboLanguage", ids::cboLanguage},
            {"lblCodePage", ids::lblCodePage},
            {"cboCodePage", ids::cboCodePage},
            {"cmdOK", IDOK},
            {"cmdCancel", IDCANCEL},
        };
        // The numbered controls take their names from the layout, whose texts live for the run.
        const std::pair<std::string_view, int> numbered[] = {{"txtFile", ids::txtFile0},
                                                             {"txtProduct", ids::txtProduct0},
                                                             {"lblString", ids::lblString0},
                                                             {"txtString", ids::txtString0}};
        for (const shell::ControlSpec& control : shell::versionDialogSpec().controls) {
            const std::string_view name = control.name;
            if (name.empty() || name.back() < '0' || name.back() > '9')
                continue;
            for (const auto& [prefix, first] : numbered)
                if (name.substr(0, name.size() - 1) == prefix)
                    made[name] = first + (name.back() - '0');
        }
        return made;
    }();
    return kIds;
}

void VersionDialog::run(HWND owner) {
    runModal(owner, wide(shell::versionDialogSpec().caption), kFixedDialog);
}

bool VersionDialog::onInit() {
    const shell::WindowSpec& spec = shell::versionDialogSpec();
    setClientTwips(spec.clientWidth, spec.clientHeight);
    addControls(spec, controlIds());
    for (int part = 0; part < 4; ++part)
        for (Field field : {FileVersion, ProductVersion})
            SendMessageW(item(partId(field, part)), EM_LIMITTEXT, kPartLength, 0);
    centreOnScreen();
    presenter_.attach(*this);
    SetFocus(item(ids::txtFile0));
    SendMessageW(item(ids::txtFile0), EM_SETSEL, 0, -1);
    return false;
}

void VersionDialog::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void VersionDialog::setChoices(const std::vector<std::string>& fileTypes,
                               const std::vector<std::string>& languages,
                               const std::vector<std::string>& codePages) {
    DialogWindow::setChoices(ids::cboFileType, fileTypes);
    DialogWindow::setChoices(ids::cboLanguage, languages);
    DialogWindow::setChoices(ids::cboCodePage, codePages);
}

void VersionDialog::setVersionPart(Field field, int part, const std::string& text) {
    if (part >= 0 && part < 4)
        setText(partId(field, part), wide(text));
}

std::string VersionDialog::versionPart(Field field, int part) const {
    if (part < 0 || part >= 4)
        return {};
    return lineText(partId(field, part));
}

void VersionDialog::setStringsFromNumbers(bool on) {
    setChecked(ids::chkStrings, on);
}

bool VersionDialog::stringsFromNumbers() const {
    return checked(ids::chkStrings);
}

void VersionDialog::setFileType(int index) {
    setChoice(ids::cboFileType, index);
}

int VersionDialog::fileType() const {
    return choice(ids::cboFileType);
}

void VersionDialog::setLanguage(int index) {
    setChoice(ids::cboLanguage, index);
}

int VersionDialog::language() const {
    return choice(ids::cboLanguage);
}

void VersionDialog::setCodePage(int index) {
    setChoice(ids::cboCodePage, index);
}

int VersionDialog::codePage() const {
    return choice(ids::cboCodePage);
}

void VersionDialog::setString(int index, const std::string& text) {
    if (index >= 0 && index < shell::kVersionStringCount)
        setText(ids::txtString0 + index, wide(text));
}

std::string VersionDialog::string(int index) const {
    if (index < 0 || index >= shell::kVersionStringCount)
        return {};
    return lineText(ids::txtString0 + index);
}

void VersionDialog::close(shell::DialogResult result) {
    EndDialog(hwnd(), result == shell::DialogResult::Accepted ? IDOK : IDCANCEL);
}

bool VersionDialog::onCommand(int id, int code, HWND) {
    return passOkCancel(presenter_, id, code);
}

} // namespace kelbo::win32
