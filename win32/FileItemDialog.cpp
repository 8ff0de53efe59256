#include "win32/FileItemDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "platform/FileSystem.h"
#include "shell/Preview.h"
#include "win32/ControlIds.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
// Half the cross that marks a cursor's hot spot, in pixels.
constexpr int kCrossArm = 4;

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::wstring joinFolder(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\')
        return folder + name;
    return folder + L'\\' + name;
}

bool lessNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
}

// The names in `folder` matching `pattern` (case ignored, as Windows matches), folders or
// regular files only.
std::vector<std::wstring> namesIn(const std::wstring& folder, const std::wstring& pattern,
                                  bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(joinFolder(folder, pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name == L"." || name == L"..")
            continue;
        if (folder == folders && !(found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), lessNoCase);
    return names;
}

std::wstring listText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::wstring value(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(value.data()));
    value.resize(static_cast<std::size_t>(length));
    return value;
}

} // namespace

FileItemDialog::~FileItemDialog() {
    clearPreview();
}

void FileItemDialog::run(HWND owner) {
    runModal(owner, L"", kFixedDialog);
}

std::wstring FileItemDialog::rootOf(const std::wstring& folder) {
    if (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\') {
        // \\server\share\ : up to the separator after the share's name.
        std::size_t server = folder.find(L'\\', 2);
        if (server == std::wstring::npos)
            return folder + L'\\';
        std::size_t share = folder.find(L'\\', server + 1);
        return share == std::wstring::npos ? folder + L'\\' : folder.substr(0, share + 1);
    }
    if (folder.size() >= 2 && folder[1] == L':')
        return folder.substr(0, 2) + L'\\';
    return L"\\";
}

bool FileItemDialog::onInit() {
    setClientTwips(7320, 4140);
    // Creation order is the keyboard order: files, drives, folders, OK, Cancel, Play, name.
    addControl(L"LISTBOX", L"",
               WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
               ids::File1, 120, 600, 2535, 3375, WS_EX_CLIENTEDGE);
    addControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
               ids::Drive1, 2760, 3720, 2655, 315 + 2400);
    HWND dirs =
        addControl(L"LISTBOX", L"",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                   ids::Dir1, 2760, 600, 2655, 2955, WS_EX_CLIENTEDGE);
    SetWindowSubclass(dirs, &FileItemDialog::dirListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // OK is the default button; a focused Cancel or Play takes Enter itself.
    addControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 5880, 600, 1095, 375);
    addControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 5880, 1080, 1095, 375);
    addControl(L"BUTTON", L"Play", WS_TABSTOP | BS_PUSHBUTTON, ids::cmdPlay, 5880, 2880, 1095, 375);
    addControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, ids::Text1, 5640, 1920, 1575, 285,
               WS_EX_CLIENTEDGE);
    // DATA items only: the type after the identifier, then the size where the picture goes.
    const shell::WindowSpec& spec = shell::fileItemDialogSpec();
    addControl(*spec.find("txtType"), ids::txtType);
    addControl(*spec.find("Label4"), ids::Label4);
    addControl(*spec.find("etiSize"), ids::etiSize);
    addControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, ids::etiName, 240, 240, 2535,
               255);
    addControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, ids::etiRep, 2880, 240,
               3495, 255);
    setTextColour(ids::etiName, kDarkBlue);
    setTextColour(ids::etiRep, kDarkBlue);
    addControl(L"STATIC", L"Identificator", SS_LEFT, ids::Label3, 5640, 1680, 1455, 255);
    addControl(L"STATIC", L"", SS_OWNERDRAW, ids::PicTest, 5640, 2280, 1575, 1695,
               WS_EX_STATICEDGE);
    showFields();
    fillDrives();
    centreOnScreen();
    presenter_.attach(*this);
    return false;
}

void FileItemDialog::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void FileItemDialog::setPattern(const std::string& pattern) {
    pattern_ = wide(pattern);
}

bool FileItemDialog::showFolder(const std::string& folder) {
    return setFolder(wide(folder));
}

void FileItemDialog::setFileName(const std::string& name) {
    DialogWindow::setText(ids::etiName, wide(name));
}

void FileItemDialog::setIdentifier(const std::string& identifier) {
    DialogWindow::setText(ids::Text1, wide(identifier));
}

std::string FileItemDialog::identifier() const {
    return oneField(ids::Text1);
}

std::string FileItemDialog::type() const {
    return oneField(ids::txtType);
}

std::string FileItemDialog::oneField(int id) const {
    // A TAB pasted into a field would move the split of the item line, a line break would
    // split the line: neither is taken, as the Qt dialog refuses them on input.
    std::wstring typed = text(id);
    std::erase_if(typed, [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; });
    return narrow(typed);
}

void FileItemDialog::showPlayButton(bool play) {
    play_ = play;
    showFields();
}

void FileItemDialog::showDataFields(bool data) {
    data_ = data;
    showFields();
}

void FileItemDialog::showFields() {
    ShowWindow(item(ids::cmdPlay), play_ ? SW_SHOW : SW_HIDE);
    ShowWindow(item(ids::PicTest), play_ || data_ ? SW_HIDE : SW_SHOW);
    for (int id : {ids::Label4, ids::txtType, ids::etiSize})
        ShowWindow(item(id), data_ ? SW_SHOW : SW_HIDE);
}

void FileItemDialog::setType(const std::string& type) {
    DialogWindow::setText(ids::txtType, wide(type));
}

void FileItemDialog::setFileSize(const std::string& text) {
    DialogWindow::setText(ids::etiSize, wide(text));
}

void FileItemDialog::focusFileList() {
    SetFocus(item(ids::File1));
}

void FileItemDialog::close(shell::DialogResult result) {
    EndDialog(hwnd(), result == shell::DialogResult::Accepted ? IDOK : IDCANCEL);
}

void FileItemDialog::fillDrives() {
    HWND combo = item(ids::Drive1);
    std::vector<wchar_t> buffer(1024, L'\0');
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    for (DWORD at = 0; at < length && buffer[at];) {
        std::wstring root(buffer.data() + at);
        at += static_cast<DWORD>(root.size()) + 1;
        // Drive names upper-case, as the drive list of a dialog shows them.
        CharUpperBuffW(root.data(), static_cast<DWORD>(root.size()));
        drives_.push_back(root);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root.c_str()));
    }
}

bool FileItemDialog::setFolder(const std::wstring& requested) {
    if (requested.empty())
        return false;
    std::wstring target = requested;
    if (target.size() == 2 && target[1] == L':')
        target += L'\\';
    std::vector<wchar_t> full(32768, L'\0');
    const DWORD length =
        GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return false;
    std::wstring folder(full.data(), length);
    const std::wstring root = rootOf(folder);
    if (folder.size() > root.size() && folder.back() == L'\\')
        folder.pop_back();
    if (!isFolder(folder))
        return false;
    folder_ = folder;

    // The directory list: the folders from the root down to this one, then its subfolders.
    HWND dirs = item(ids::Dir1);
    SendMessageW(dirs, WM_SETREDRAW, FALSE, 0);
    SendMessageW(dirs, LB_RESETCONTENT, 0, 0);
    dirEntries_.clear();
    std::wstring path = root;
    int level = 0;
    const auto add = [&](const std::wstring& name, const std::wstring& entry) {
        const std::wstring shown = std::wstring(static_cast<std::size_t>(level) * 2, L' ') + name;
        SendMessageW(dirs, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        dirEntries_.push_back(entry);
    };
    add(root, root);
    std::size_t at = root.size();
    while (at < folder.size()) {
        std::size_t next = folder.find(L'\\', at);
        if (next == std::wstring::npos)
            next = folder.size();
        ++level;
        path = joinFolder(path, folder.substr(at, next - at));
        add(folder.substr(at, next - at), path);
        at = next + 1;
    }
    const int current = static_cast<int>(dirEntries_.size()) - 1;
    ++level;
    for (const std::wstring& name : namesIn(folder, L"*", true))
        add(name, joinFolder(folder, name));
    SendMessageW(dirs, LB_SETCURSEL, current, 0);
    SendMessageW(dirs, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(dirs, nullptr, TRUE);

    setText(ids::etiRep, folder);
    // The drive that holds the folder; a drive not yet listed is added.
    std::wstring drive = rootOf(folder);
    CharUpperBuffW(drive.data(), static_cast<DWORD>(drive.size()));
    auto listed = std::find(drives_.begin(), drives_.end(), drive);
    if (listed == drives_.end()) {
        drives_.push_back(drive);
        SendMessageW(item(ids::Drive1), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive.c_str()));
        listed = drives_.end() - 1;
    }
    SendMessageW(item(ids::Drive1), CB_SETCURSEL, listed - drives_.begin(), 0);
    driveFolders_[drive] = folder;

    HWND files = item(ids::File1);
    SendMessageW(files, WM_SETREDRAW, FALSE, 0);
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : namesIn(folder, pattern_, false))
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);
    presenter_.folderShown(narrow(folder));
    return true;
}

LRESULT CALLBACK FileItemDialog::dirListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
    // Enter in the directory list opens the folder, as users of the classic dialog expect,
    // instead of pressing the default button.
    if (message == WM_GETDLGCODE && wParam == VK_RETURN)
        return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        reinterpret_cast<FileItemDialog*>(data)->openDirEntry();
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, &FileItemDialog::dirListProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void FileItemDialog::openDirEntry() {
    const LRESULT selected = SendMessageW(item(ids::Dir1), LB_GETCURSEL, 0, 0);
    if (selected >= 0 && static_cast<std::size_t>(selected) < dirEntries_.size())
        setFolder(std::wstring(dirEntries_[static_cast<std::size_t>(selected)]));
}

void FileItemDialog::driveChosen() {
    const LRESULT selected = SendMessageW(item(ids::Drive1), CB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<std::size_t>(selected) >= drives_.size())
        return;
    const std::wstring root = drives_[static_cast<std::size_t>(selected)];
    const auto remembered = driveFolders_.find(root);
    if (remembered != driveFolders_.end() && setFolder(std::wstring(remembered->second)))
        return;
    if (setFolder(root))
        return;
    // A drive that cannot be read: go back quietly to the drive of the folder on show.
    setFolder(std::wstring(folder_));
}

void FileItemDialog::fileSelected() {
    HWND files = item(ids::File1);
    const LRESULT selected = SendMessageW(files, LB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    const std::wstring name = listText(files, static_cast<int>(selected));
    DialogWindow::setText(ids::etiName, name);
    presenter_.fileChosen(narrow(name));
}

void FileItemDialog::clearPreview() {
    if (bitmap_)
        DeleteObject(bitmap_);
    if (icon_)
        DestroyIcon(icon_);
    if (cursor_)
        DestroyCursor(cursor_);
    bitmap_ = nullptr;
    icon_ = nullptr;
    cursor_ = nullptr;
}

void FileItemDialog::loadCursor(const std::string& bytes) {
    const std::optional<shell::CursorImage> first = shell::firstCursorImage(bytes);
    if (!first || bytes.size() < 22)
        return;
    const auto byteAt = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
    };
    const auto le32At = [&](std::size_t at) {
        return byteAt(at) | byteAt(at + 1) << 8 | byteAt(at + 2) << 16 | byteAt(at + 3) << 24;
    };
    // The first entry of the directory: the image's size at 14, its offset at 18.
    const std::uint32_t size = le32At(14);
    const std::uint32_t offset = le32At(18);
    if (offset > bytes.size() || size > bytes.size() - offset)
        return;
    // A cursor resource is the image after its hot spot, two 16-bit numbers.
    std::string resource;
    for (int value : {first->hotX, first->hotY}) {
        resource += static_cast<char>(value & 0xFF);
        resource += static_cast<char>((value >> 8) & 0xFF);
    }
    resource.append(bytes, offset, size);
    cursor_ = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(resource.data()),
                                       static_cast<DWORD>(resource.size()), FALSE, 0x00030000,
                                       first->width, first->height, LR_DEFAULTCOLOR);
    cursorWidth_ = first->width;
    cursorHeight_ = first->height;
    hotSpot_ = {first->hotX, first->hotY};
}

// The picture of a .BMP, .ICO or .CUR file, unscaled; an icon file shows its 32 x 32 image when
// it has one, a cursor file its first image. Only files the shared rule finds whole reach the
// decoder.
void FileItemDialog::previewChosenFile() {
    const std::wstring path = joinFolder(text(ids::etiRep), text(ids::etiName));
    const ResourceKind kind = presenter_.kind();
    clearPreview();
    InvalidateRect(item(ids::PicTest), nullptr, TRUE);
    if (kind != ResourceKind::Bitmap && kind != ResourceKind::Icon && kind != ResourceKind::Cursor)
        return;
    if (!isRegularFile(path))
        return;
    std::string error;
    std::unique_ptr<InputFile> in = nativeFileSystem().openInput(narrow(path), error);
    if (!in || in->size() == 0 || in->size() > shell::kMaxPreviewBytes)
        return;
    std::string bytes(static_cast<std::size_t>(in->size()), '\0');
    if (!in->readAt(0, bytes.data(), bytes.size()) || !shell::worthPreviewing(bytes, kind))
        return;
    if (kind == ResourceKind::Cursor) {
        loadCursor(bytes);
    } else if (kind == ResourceKind::Icon) {
        // The image Windows would pick: 32 x 32 when there is one, else the first, at its size.
        int width = static_cast<unsigned char>(bytes[6]);
        int height = static_cast<unsigned char>(bytes[7]);
        const int count =
            static_cast<unsigned char>(bytes[4]) | static_cast<unsigned char>(bytes[5]) << 8;
        for (int i = 0; i < count && 6 + 16 * (i + 1) <= static_cast<int>(bytes.size()); ++i)
            if (bytes[6 + 16 * i] == 32 && bytes[7 + 16 * i] == 32)
                width = height = 32;
        icon_ =
            static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, width ? width : 256,
                                          height ? height : 256, LR_LOADFROMFILE));
    } else {
        bitmap_ = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    }
}

bool FileItemDialog::onCommand(int id, int code, HWND) {
    if (passOkCancel(presenter_, id, code))
        return true;
    switch (id) {
    case ids::cmdPlay:
        if (code == BN_CLICKED)
            presenter_.play();
        return true;
    case ids::File1:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK)
            fileSelected();
        return true;
    case ids::Dir1:
        if (code == LBN_DBLCLK)
            openDirEntry();
        return true;
    case ids::Drive1:
        if (code == CBN_SELCHANGE)
            driveChosen();
        return true;
    default:
        return false;
    }
}

bool FileItemDialog::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (message != WM_DRAWITEM)
        return false;
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw->CtlID != ids::PicTest)
        return false;
    FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    // Drawn at its own size from the top-left corner; the box cuts off what does not fit.
    if (bitmap_) {
        BITMAP info{};
        GetObjectW(bitmap_, sizeof info, &info);
        HDC memory = CreateCompatibleDC(draw->hDC);
        HGDIOBJ former = SelectObject(memory, bitmap_);
        BitBlt(draw->hDC, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, former);
        DeleteDC(memory);
    } else if (icon_) {
        DrawIconEx(draw->hDC, 0, 0, icon_, 0, 0, 0, nullptr, DI_NORMAL);
    } else if (cursor_) {
        // Set in from the corner, so a hot spot on the image's edge shows its whole cross.
        const int inset = kCrossArm + 1;
        DrawIconEx(draw->hDC, inset, inset, cursor_, cursorWidth_, cursorHeight_, 0, nullptr,
                   DI_NORMAL);
        HPEN pen = CreatePen(PS_SOLID, 1, kRed);
        HGDIOBJ former = SelectObject(draw->hDC, pen);
        const int x = inset + hotSpot_.x;
        const int y = inset + hotSpot_.y;
        MoveToEx(draw->hDC, x - kCrossArm, y, nullptr);
        LineTo(draw->hDC, x + kCrossArm + 1, y);
        MoveToEx(draw->hDC, x, y - kCrossArm, nullptr);
        LineTo(draw->hDC, x, y + kCrossArm + 1);
        SelectObject(draw->hDC, former);
        DeleteObject(pen);
    }
    result = TRUE;
    return true;
}

void FileItemDialog::onDestroy() {
    clearPreview();
}

} // namespace kelbo::win32
