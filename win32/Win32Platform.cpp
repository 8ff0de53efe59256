#include "win32/Win32Platform.h"

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>

#include <vector>

#include "win32/DialogWindow.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

// A printer device context from PrintDlgW, in its default font; deleted with the object.
class DevicePrinter : public shell::Printer {
public:
    explicit DevicePrinter(HDC dc) : dc_(dc) {
        SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
        GetTextMetricsW(dc_, &metrics_);
    }
    ~DevicePrinter() override {
        if (started_)
            AbortDoc(dc_);
        DeleteDC(dc_);
    }
    DevicePrinter(const DevicePrinter&) = delete;
    DevicePrinter& operator=(const DevicePrinter&) = delete;

    bool begin(std::string& error) override {
        DOCINFOW info{};
        info.cbSize = sizeof info;
        info.lpszDocName = L"Kelbo";
        if (StartDocW(dc_, &info) <= 0 || StartPage(dc_) <= 0) {
            error = "The printer could not be started.";
            return false;
        }
        started_ = true;
        return true;
    }
    int pageHeight() const override { return GetDeviceCaps(dc_, VERTRES); }
    int lineHeight() const override { return metrics_.tmHeight + metrics_.tmExternalLeading; }
    int ascent() const override { return metrics_.tmAscent; }
    int averageCharWidth() const override { return metrics_.tmAveCharWidth; }
    int textWidth(std::string_view text) const override {
        const std::wstring w = wide(text);
        SIZE size{};
        GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
        return size.cx;
    }
    void drawText(int x, int baseline, std::string_view text) override {
        const std::wstring w = wide(text);
        TextOutW(dc_, x, baseline, w.c_str(), static_cast<int>(w.size()));
    }
    bool newPage() override { return EndPage(dc_) > 0 && StartPage(dc_) > 0; }
    bool end() override {
        started_ = false;
        return EndPage(dc_) > 0 && EndDoc(dc_) > 0;
    }

private:
    HDC dc_;
    TEXTMETRICW metrics_{};
    bool started_ = false;
};

std::wstring joined(const std::vector<std::string>& patterns) {
    std::wstring out;
    for (const std::string& pattern : patterns) {
        if (!out.empty())
            out += L';';
        out += wide(pattern);
    }
    return out;
}

} // namespace

HWND ownerWindow(shell::View* view) {
    auto* window = dynamic_cast<DialogWindow*>(view);
    return window ? window->hwnd() : nullptr;
}

void Win32Platform::beep() {
    MessageBeep(MB_OK);
}

shell::BoxAnswer Win32Platform::messageBox(shell::View* owner, const std::string& text,
                                           const std::string& title, shell::BoxIcon icon,
                                           shell::BoxButtons buttons) {
    UINT type = icon == shell::BoxIcon::Stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    type |= buttons == shell::BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    const int answer =
        MessageBoxW(ownerWindow(owner), wide(text).c_str(), wide(title).c_str(), type);
    return answer == IDOK ? shell::BoxAnswer::Ok : shell::BoxAnswer::Cancel;
}

std::optional<std::string> Win32Platform::fileDialog(shell::View* owner,
                                                     const shell::FileDialogSpec& request) {
    // The filter is pairs of NUL-terminated strings, ended by one more NUL.
    const std::wstring patterns = joined(request.filter.patterns);
    std::wstring filter = wide(request.filter.name) + L" (" + patterns + L")";
    filter += L'\0';
    filter += patterns;
    filter += L'\0';
    filter += L'\0';
    std::vector<wchar_t> name(32768, L'\0');
    wide(request.initialFile).copy(name.data(), name.size() - 1);
    const std::wstring initialDir = wide(request.initialDir);
    const std::wstring title = wide(request.title);
    const std::wstring suffix = wide(request.defaultSuffix);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ownerWindow(owner);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
    // The current folder stays where the program started: bare names on the command line and
    // in recent files are taken there.
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (request.save && request.confirmOverwrite)
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (!request.save)
        ofn.Flags |= OFN_FILEMUSTEXIST;
    if (!(request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)))
        return std::nullopt;
    return narrow(name.data());
}

std::unique_ptr<shell::Printer> Win32Platform::choosePrinter(shell::View* owner) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerWindow(owner);
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    if (!PrintDlgW(&dialog) || !dialog.hDC)
        return nullptr;
    if (dialog.hDevMode)
        GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames)
        GlobalFree(dialog.hDevNames);
    return std::make_unique<DevicePrinter>(dialog.hDC);
}

void Win32Platform::playSound(const std::string& path) {
    if (!PlaySoundW(wide(path).c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT))
        beep();
}

void Win32Platform::setBusy(bool busy) {
    if (busy && busyDepth_++ == 0)
        formerCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (!busy && busyDepth_ > 0 && --busyDepth_ == 0)
        SetCursor(formerCursor_ ? formerCursor_ : LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Platform::progress(shell::View* owner, const std::string& title, std::size_t done,
                             std::size_t total) {
    if (!progress_) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        HWND parent = ownerWindow(owner);
        RECT area{};
        if (!parent || !GetWindowRect(parent, &area))
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        const int width = MulDiv(360, GetSystemMetrics(SM_CYCAPTION), 19);
        const int height = GetSystemMetrics(SM_CYCAPTION) * 3;
        // The bar itself is the window, with the work's title as its caption.
        progress_ = CreateWindowExW(WS_EX_DLGMODALFRAME, PROGRESS_CLASSW, wide(title).c_str(),
                                    WS_POPUP | WS_CAPTION | WS_VISIBLE | PBS_SMOOTH,
                                    (area.left + area.right - width) / 2,
                                    (area.top + area.bottom - height) / 2, width, height, parent,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!progress_)
            return;
    }
    // The range is an int: the steps are scaled down to fit.
    const std::size_t scale = total / 1000000 + 1;
    SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(total / scale));
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(done / scale), 0);
    // The work runs without a message loop: the bar is painted now.
    UpdateWindow(progress_);
}

void Win32Platform::progressDone() {
    if (progress_)
        DestroyWindow(progress_);
    progress_ = nullptr;
}

shell::CalendarDate Win32Platform::today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

} // namespace kelbo::win32
