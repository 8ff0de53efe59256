#include "win32/DialogWindow.h"

#include <commctrl.h>

#include <cmath>

#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

void appendText(std::vector<WORD>& words, const std::wstring& text) {
    for (wchar_t c : text)
        words.push_back(static_cast<WORD>(c));
    words.push_back(0);
}

UINT dpiOf(HWND hwnd) {
    if (const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0)
        return dpi;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

} // namespace

DialogWindow::~DialogWindow() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
    for (auto& [key, f] : fonts_)
        if (key != 0)
            DeleteObject(f);
    for (auto& [colour, brush] : brushes_)
        DeleteObject(brush);
}

std::vector<DWORD> DialogWindow::buildTemplate(const std::wstring& caption, DWORD style) const {
    // DLGTEMPLATE without items: the controls are made in WM_INITDIALOG, in pixels.
    std::vector<WORD> words;
    style |= DS_SETFONT;
    words.push_back(LOWORD(style));
    words.push_back(HIWORD(style));
    words.push_back(0); // extended style
    words.push_back(0);
    words.push_back(0); // item count
    for (int i = 0; i < 4; ++i)
        words.push_back(0); // x, y, cx, cy: set once the DPI is known
    words.push_back(0);     // no menu
    words.push_back(0);     // the dialog class
    appendText(words, caption);
    words.push_back(8);
    appendText(words, L"MS Shell Dlg");
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
    CopyMemory(aligned.data(), words.data(), words.size() * sizeof(WORD));
    return aligned;
}

INT_PTR DialogWindow::runModal(HWND owner, const std::wstring& caption, DWORD style) {
    const std::vector<DWORD> bytes = buildTemplate(caption, style);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), owner,
                                   &DialogWindow::dialogProc, reinterpret_cast<LPARAM>(this));
}

HWND DialogWindow::createModeless(HWND owner, const std::wstring& caption, DWORD style) {
    const std::vector<DWORD> bytes = buildTemplate(caption, style);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), owner,
                                      &DialogWindow::dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        self->fonts_[0] = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        return self->onInit() ? TRUE : FALSE;
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        return self->onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))
                   ? TRUE
                   : FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (const INT_PTR brush =
                self->colourMessage(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return brush;
        break;
    case WM_CTLCOLORDLG:
        if (self->hasWindowColour_)
            return reinterpret_cast<INT_PTR>(self->brushFor(self->windowColour_));
        break;
    case WM_DESTROY:
        self->onDestroy();
        self->hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        return FALSE;
    default:
        break;
    }
    INT_PTR result = 0;
    if (self->onMessage(message, wParam, lParam, result)) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}

bool DialogWindow::onMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

int DialogWindow::px(int twips) const {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpiOf(hwnd_)) / kTwipsPerInch));
}

void DialogWindow::setClientTwips(int width, int height) {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    RECT frame{0, 0, px(width), px(height)};
    AdjustWindowRectExForDpi(&frame, style, GetMenu(hwnd_) != nullptr, exStyle, dpiOf(hwnd_));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps takes more than one line, and a frame may differ from what the
    // system computed: grow or shrink by what the client area lacks.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int missingWidth = px(width) - (client.right - client.left);
    const int missingHeight = px(height) - (client.bottom - client.top);
    if (missingWidth != 0 || missingHeight != 0) {
        RECT outer{};
        GetWindowRect(hwnd_, &outer);
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + missingWidth,
                     outer.bottom - outer.top + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void DialogWindow::centreOnScreen() {
    RECT outer{};
    GetWindowRect(hwnd_, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(hwnd_, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::moveToTwips(int left, int top) {
    SetWindowPos(hwnd_, nullptr, px(left), px(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND DialogWindow::addControl(const wchar_t* className, const std::wstring& text, DWORD style,
                              int id, int left, int top, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                   px(left), px(top), px(width), px(height), hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
    return control;
}

void DialogWindow::addControls(const shell::WindowSpec& spec,
                               const std::map<std::string_view, int>& ids) {
    int lastOption = -1;
    for (int i = 0; i < static_cast<int>(spec.controls.size()); ++i)
        if (spec.controls[i].kind == shell::ControlKind::Option)
            lastOption = i;
    bool optionSeen = false;
    for (int i = 0; i < static_cast<int>(spec.controls.size()); ++i) {
        const shell::ControlSpec& control = spec.controls[i];
        const auto id = ids.find(control.name);
        if (id == ids.end())
            continue;
        DWORD group = 0;
        if (control.kind == shell::ControlKind::Option && !optionSeen) {
            group = WS_GROUP;
            optionSeen = true;
        } else if (lastOption >= 0 && i > lastOption && control.tabStop) {
            group = WS_GROUP;
            lastOption = -1;
        }
        addControl(control, id->second, group);
    }
}

HWND DialogWindow::addControl(const shell::ControlSpec& spec, int id, DWORD extraStyle) {
    using K = shell::ControlKind;
    const shell::Rect& r = spec.twips;
    const DWORD style = extraStyle | (spec.tabStop ? WS_TABSTOP : 0);
    const std::wstring caption = wide(spec.caption);
    HWND control = nullptr;
    switch (spec.kind) {
    case K::Button:
        control = addControl(
            L"BUTTON", caption,
            style | (spec.role == shell::ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
            id, r.left, r.top, r.width, r.height);
        break;
    case K::CheckBox:
        control = addControl(L"BUTTON", caption, style | BS_AUTOCHECKBOX, id, r.left, r.top,
                             r.width, r.height);
        break;
    case K::Option:
        control = addControl(L"BUTTON", caption, style | BS_AUTORADIOBUTTON, id, r.left, r.top,
                             r.width, r.height);
        break;
    case K::Edit:
        control = addControl(L"EDIT", caption, style | ES_AUTOHSCROLL, id, r.left, r.top, r.width,
                             r.height, WS_EX_CLIENTEDGE);
        break;
    case K::TextBox:
        control = addControl(L"EDIT", caption,
                             style | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, id,
                             r.left, r.top, r.width, r.height, WS_EX_CLIENTEDGE);
        break;
    case K::ComboBox: {
        // The window of a drop-down list is as tall as the list it drops; the closed box is
        // made the height the layout gives.
        control =
            addControl(L"COMBOBOX", caption, style | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
                       id, r.left, r.top, r.width, r.height + 2400);
        // The height of the selection field sets the closed box's height; how the two relate
        // differs between systems, so it is corrected until the box has the height asked for.
        LRESULT field = SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int attempt = 0; attempt < 3 && field != CB_ERR; ++attempt) {
            RECT closed{};
            GetWindowRect(control, &closed);
            const int missing = px(r.height) - (closed.bottom - closed.top);
            if (missing == 0 || field + missing < 1)
                break;
            field += missing;
            SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        }
        break;
    }
    case K::List:
        control =
            addControl(L"LISTBOX", caption,
                       style | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, id,
                       r.left, r.top, r.width, r.height, WS_EX_CLIENTEDGE);
        break;
    case K::TabStrip:
        control = addControl(WC_TABCONTROLW, caption, style | WS_CLIPSIBLINGS, id, r.left, r.top,
                             r.width, r.height);
        break;
    case K::Label:
        if (spec.autoSize)
            control = addLabel(caption, id, r.left, r.top, font(spec.bold, spec.underline));
        else
            control = addControl(L"STATIC", caption, SS_LEFT | SS_NOPREFIX, id, r.left, r.top,
                                 r.width, r.height);
        break;
    default:
        control = addControl(L"STATIC", caption, SS_LEFT | SS_NOPREFIX, id, r.left, r.top, r.width,
                             r.height);
        break;
    }
    if (!spec.autoSize && (spec.bold || spec.underline))
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(spec.bold, spec.underline)),
                     FALSE);
    if (spec.colour == shell::TextColour::DarkBlue)
        setTextColour(id, kDarkBlue);
    else if (spec.colour == shell::TextColour::Red)
        setTextColour(id, kRed);
    return control;
}

HWND DialogWindow::addLabel(const std::wstring& text, int id, int left, int top, HFONT f) {
    HFONT use = f ? f : font();
    HDC dc = GetDC(hwnd_);
    HGDIOBJ former = SelectObject(dc, use);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, former);
    ReleaseDC(hwnd_, dc);
    HWND label = CreateWindowExW(
        0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, px(left),
        px(top), size.cx + 1, size.cy, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(use), FALSE);
    return label;
}

HFONT DialogWindow::font(bool bold, bool underline) {
    const int key = (bold ? 1 : 0) | (underline ? 2 : 0);
    if (auto found = fonts_.find(key); found != fonts_.end() && found->second)
        return found->second;
    LOGFONTW description{};
    GetObjectW(fonts_[0] ? fonts_[0] : GetStockObject(DEFAULT_GUI_FONT), sizeof description,
               &description);
    if (key == 0)
        return fonts_[0];
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfUnderline = underline ? TRUE : FALSE;
    HFONT made = CreateFontIndirectW(&description);
    fonts_[key] = made;
    return made;
}

void DialogWindow::setTextColour(int id, COLORREF colour) {
    textColours_[id] = colour;
}

void DialogWindow::setBackColour(int id, COLORREF colour) {
    backColours_[id] = colour;
}

void DialogWindow::setWindowColour(COLORREF colour) {
    hasWindowColour_ = true;
    windowColour_ = colour;
}

HBRUSH DialogWindow::brushFor(COLORREF colour) {
    HBRUSH& brush = brushes_[colour];
    if (!brush)
        brush = CreateSolidBrush(colour);
    return brush;
}

INT_PTR DialogWindow::colourMessage(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const auto text = textColours_.find(id);
    const auto back = backColours_.find(id);
    if (text == textColours_.end() && back == backColours_.end() && !hasWindowColour_)
        return 0;
    if (text != textColours_.end())
        SetTextColor(dc, text->second);
    COLORREF background = GetSysColor(COLOR_BTNFACE);
    if (back != backColours_.end())
        background = back->second;
    else if (hasWindowColour_)
        background = windowColour_;
    SetBkColor(dc, background);
    return reinterpret_cast<INT_PTR>(brushFor(background));
}

std::wstring DialogWindow::text(int id) const {
    HWND control = item(id);
    const int length = GetWindowTextLengthW(control);
    std::wstring value(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, value.data(), length + 1);
    value.resize(static_cast<std::size_t>(length));
    return value;
}

void DialogWindow::setText(int id, const std::wstring& value) {
    SetWindowTextW(item(id), value.c_str());
}

std::string DialogWindow::lineText(int id) const {
    std::wstring typed = text(id);
    std::erase_if(typed, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
    return narrow(typed);
}

bool DialogWindow::checked(int id) const {
    return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogWindow::setChecked(int id, bool on) {
    // An option button's tab stop follows its check, so Tab reaches the group at its choice.
    SendMessageW(item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DialogWindow::setChoices(int id, const std::vector<std::string>& entries) {
    HWND combo = item(id);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
}

int DialogWindow::choice(int id) const {
    const LRESULT chosen = SendMessageW(item(id), CB_GETCURSEL, 0, 0);
    return chosen == CB_ERR ? -1 : static_cast<int>(chosen);
}

void DialogWindow::setChoice(int id, int index) {
    SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

} // namespace kelbo::win32
