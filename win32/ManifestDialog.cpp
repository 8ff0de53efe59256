#include "win32/ManifestDialog.h"

#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The generator's settings, with their labels.
constexpr int kGeneratorControls[] = {
    ids::chkControls, ids::lblDpi,     ids::cboDpi,         ids::lblLevel,
    ids::cboLevel,    ids::chkOs,      ids::lblName,        ids::txtName,
    ids::lblVersion,  ids::txtVersion, ids::lblDescription, ids::txtDescription,
};

} // namespace

const std::map<std::string_view, int>& ManifestDialog::controlIds() {
    static const std::map<std::string_view, int> kIds = {
        {"optNone", ids::optNone},
        {"optFile", ids::optFile},
        {"txtFile", ids::txtFile},
        {"cmdBrowse", ids::cmdBrowse},
        {"optGenerated", ids::optGenerated},
        {"chkControls", ids::chkControls},
        {"lblDpi", ids::lblDpi},
        {"cboDpi", ids::cboDpi},
        {"lblLevel", ids::lblLevel},
        {"cboLevel", ids::cboLevel},
        {"chkOs", ids::chkOs},
        {"lblName", ids::lblName},
        {"txtName", ids::txtName},
        {"lblVersion", ids::lblVersion},
        {"txtVersion", ids::txtVersion},
        {"lblDescription", ids::lblDescription},
        {"txtDescription", ids::txtDescription},
        {"chkDll", ids::chkDll},
        {"lblXml", ids::lblXml},
        {"txtXml", ids::txtXml},
        {"cmdOK", IDOK},
        {"cmdCancel", IDCANCEL},
    };
    return kIds;
}

void ManifestDialog::run(HWND owner) {
    runModal(owner, wide(shell::manifestDialogSpec().caption), kFixedDialog);
}

bool ManifestDialog::onInit() {
    const shell::WindowSpec& spec = shell::manifestDialogSpec();
    setClientTwips(spec.clientWidth, spec.clientHeight);
    addControls(spec, controlIds());
    centreOnScreen();
    presenter_.attach(*this);
    // The focus starts on the chosen option, where Tab would bring it.
    for (int id : {ids::optNone, ids::optFile, ids::optGenerated})
        if (checked(id))
            SetFocus(item(id));
    return false;
}

void ManifestDialog::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void ManifestDialog::setChoices(const std::vector<std::string>& dpi,
                                const std::vector<std::string>& levels) {
    DialogWindow::setChoices(ids::cboDpi, dpi);
    DialogWindow::setChoices(ids::cboLevel, levels);
}

void ManifestDialog::setSource(shell::ManifestSource source) {
    setChecked(ids::optNone, source == shell::ManifestSource::None);
    setChecked(ids::optFile, source == shell::ManifestSource::File);
    setChecked(ids::optGenerated, source == shell::ManifestSource::Generated);
}

shell::ManifestSource ManifestDialog::source() const {
    if (checked(ids::optFile))
        return shell::ManifestSource::File;
    if (checked(ids::optGenerated))
        return shell::ManifestSource::Generated;
    return shell::ManifestSource::None;
}

void ManifestDialog::fill(int id, const std::string& value) {
    filling_ = true;
    setText(id, wide(value));
    filling_ = false;
}

void ManifestDialog::setFilePath(const std::string& path) {
    fill(ids::txtFile, path);
}

std::string ManifestDialog::filePath() const {
    return lineText(ids::txtFile);
}

void ManifestDialog::setCommonControls(bool on) {
    setChecked(ids::chkControls, on);
}

bool ManifestDialog::commonControls() const {
    return checked(ids::chkControls);
}

void ManifestDialog::setDpiChoice(int index) {
    setChoice(ids::cboDpi, index);
}

int ManifestDialog::dpiChoice() const {
    return choice(ids::cboDpi);
}

void ManifestDialog::setLevelChoice(int index) {
    setChoice(ids::cboLevel, index);
}

int ManifestDialog::levelChoice() const {
    return choice(ids::cboLevel);
}

void ManifestDialog::setSupportedOs(bool on) {
    setChecked(ids::chkOs, on);
}

bool ManifestDialog::supportedOs() const {
    return checked(ids::chkOs);
}

void ManifestDialog::setAssemblyName(const std::string& name) {
    fill(ids::txtName, name);
}

std::string ManifestDialog::assemblyName() const {
    return lineText(ids::txtName);
}

void ManifestDialog::setAssemblyVersion(const std::string& version) {
    fill(ids::txtVersion, version);
}

std::string ManifestDialog::assemblyVersion() const {
    return lineText(ids::txtVersion);
}

void ManifestDialog::setDescription(const std::string& description) {
    fill(ids::txtDescription, description);
}

std::string ManifestDialog::description() const {
    return lineText(ids::txtDescription);
}

void ManifestDialog::setDll(bool on) {
    setChecked(ids::chkDll, on);
}

bool ManifestDialog::dll() const {
    return checked(ids::chkDll);
}

void ManifestDialog::enableControls(bool file, bool generated) {
    EnableWindow(item(ids::txtFile), file);
    EnableWindow(item(ids::cmdBrowse), file);
    for (int id : kGeneratorControls)
        EnableWindow(item(id), generated);
    // Resource 2 is for a manifest from a file as much as for a generated one.
    EnableWindow(item(ids::chkDll), file || generated);
}

void ManifestDialog::showXml(const std::string& utf8) {
    // A multi-line edit breaks lines at CR LF only.
    std::wstring shown;
    for (wchar_t c : wide(utf8)) {
        if (c == L'\n' && (shown.empty() || shown.back() != L'\r'))
            shown += L'\r';
        shown += c;
    }
    setText(ids::txtXml, shown);
}

void ManifestDialog::close(shell::DialogResult result) {
    EndDialog(hwnd(), result == shell::DialogResult::Accepted ? IDOK : IDCANCEL);
}

bool ManifestDialog::onCommand(int id, int code, HWND) {
    if (passOkCancel(presenter_, id, code))
        return true;
    switch (id) {
    case ids::cmdBrowse:
        if (code == BN_CLICKED)
            presenter_.browse();
        return true;
    case ids::optNone:
    case ids::optFile:
    case ids::optGenerated:
        if (code == BN_CLICKED)
            presenter_.sourceChosen();
        return true;
    case ids::chkControls:
    case ids::chkOs:
    case ids::chkDll:
        if (code == BN_CLICKED)
            presenter_.settingChanged();
        return true;
    case ids::cboDpi:
    case ids::cboLevel:
        if (code == CBN_SELCHANGE)
            presenter_.settingChanged();
        return true;
    case ids::txtFile:
    case ids::txtName:
    case ids::txtVersion:
    case ids::txtDescription:
        if (code == EN_CHANGE && !filling_)
            presenter_.settingChanged();
        return true;
    default:
        return false;
    }
}

} // namespace kelbo::win32
