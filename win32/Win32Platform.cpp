#include "win32/Win32Platform.h"

#include <commdlg.h>
#include <mmsystem.h>

#include <vector>

namespace kelbo::win32 {

namespace {

// A printer device context from PrintDlgW; deleted with the object.
class DevicePrinter : public Printer {
public:
    explicit DevicePrinter(HDC dc) : dc_(dc) {}
    ~DevicePrinter() override { DeleteDC(dc_); }
    DevicePrinter(const DevicePrinter&) = delete;
    DevicePrinter& operator=(const DevicePrinter&) = delete;

    HDC dc() override { return dc_; }
    SIZE pageSize() override { return {GetDeviceCaps(dc_, HORZRES), GetDeviceCaps(dc_, VERTRES)}; }
    bool startDoc(const std::wstring& name) override {
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = name.c_str();
        return StartDocW(dc_, &info) > 0;
    }
    bool startPage() override { return StartPage(dc_) > 0; }
    bool endPage() override { return EndPage(dc_) > 0; }
    bool endDoc() override { return EndDoc(dc_) > 0; }
    void drawText(int x, int y, const std::wstring& text) override {
        TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
    }

private:
    HDC dc_;
};

} // namespace

void Win32Platform::beep() {
    MessageBeep(MB_OK);
}

Win32Platform::BoxAnswer Win32Platform::messageBox(HWND owner, const std::wstring& text,
                                                   const std::wstring& title, BoxIcon icon,
                                                   BoxButtons buttons) {
    UINT type = icon == BoxIcon::Stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    type |= buttons == BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), type);
    return answer == IDOK ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

std::optional<std::wstring> Win32Platform::fileDialog(HWND owner, const FileDialogSpec& spec) {
    // The filter is pairs of NUL-terminated strings, ended by one more NUL.
    std::wstring filter = spec.filterName + L" (" + spec.filterPattern + L")";
    filter += L'\0';
    filter += spec.filterPattern;
    filter += L'\0';
    filter += L'\0';
    std::vector<wchar_t> name(32768, L'\0');
    spec.initialFile.copy(name.data(), name.size() - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = spec.initialDir.empty() ? nullptr : spec.initialDir.c_str();
    ofn.lpstrTitle = spec.title.empty() ? nullptr : spec.title.c_str();
    ofn.lpstrDefExt = spec.defaultSuffix.empty() ? nullptr : spec.defaultSuffix.c_str();
    // The current folder stays where the program started: bare names on the command line and
    // in recent files are taken there.
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (spec.save && spec.confirmOverwrite)
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (!spec.save)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    const BOOL chosen = spec.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen)
        return std::nullopt;
    return std::wstring(name.data());
}

std::unique_ptr<Printer> Win32Platform::printDialog(HWND owner) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgW(&dialog) || !dialog.hDC)
        return nullptr;
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    return std::make_unique<DevicePrinter>(dialog.hDC);
}

void Win32Platform::playSound(const std::wstring& path) {
    if (!PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT))
        beep();
}

void Win32Platform::setBusy(bool busy) {
    if (busy) {
        formerCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        SetCursor(formerCursor_ ? formerCursor_ : LoadCursorW(nullptr, IDC_ARROW));
        formerCursor_ = nullptr;
    }
}

} // namespace kelbo::win32
