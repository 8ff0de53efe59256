#include "win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "platform/PathRules.h"
#include "project/Listing.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/RecentFiles.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ResCompiler.h"
#include "win32/Boxes.h"
#include "win32/ControlIds.h"
#include "win32/FileItemDialog.h"
#include "win32/HelpWindows.h"
#include "win32/PrintListing.h"
#include "win32/StringDialog.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

// The icon resource the program's own project gives the .exe.
constexpr int kAppIconId = 1;

// A single fixed border with a minimize box: nothing to maximize.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;

const std::array<const wchar_t*, kOriginalKindCount> kTabTips = {
    L"Bitmap resource", L"Icon resource", L"String resource", L"Wave resource"};

// The busy pointer for as long as a compilation runs, whichever way it ends.
class BusyPointer {
public:
    explicit BusyPointer(Win32Platform& platform) : platform_(platform) { platform_.setBusy(true); }
    ~BusyPointer() { platform_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Win32Platform& platform_;
};

} // namespace

MainWindow::MainWindow(Win32Platform& platform, std::string exeDir, std::string recentFilesPath)
    : platform_(platform), recentFilesPath_(std::move(recentFilesPath)) {
    session_.ExeDir = std::move(exeDir);
}

MainWindow::~MainWindow() {
    compile_.close();
    if (icon_)
        DestroyIcon(icon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

std::wstring MainWindow::commandLinePath(const std::wstring& arguments) {
    std::wstring text = arguments;
    while (!text.empty() && text.front() == L' ')
        text.erase(text.begin());
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return text;
}

bool MainWindow::create() {
    if (!createModeless(nullptr, std::wstring(wide(kStartCaption)), kMainStyle))
        return false;
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    return true;
}

void MainWindow::startUp(const std::wstring& commandLine) {
    if (commandLine.empty())
        return;
    if (std::optional<std::string> path = narrow(commandLine)) {
        DirectLoad(*path);
        return;
    }
    // A path the project's code page cannot spell names no project this program can keep.
    session_.ProjectPath.clear();
    setCaption(kInvalidFileCaption);
    ShowError(platform_, hwnd(), kInvalidProjectFile);
}

bool MainWindow::onInit() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    icon_ =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (icon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    if (smallIcon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    buildMenus();
    setClientTwips(6255, 5370);
    buildControls();
    centreOnScreen();
    ChangeTab(0);
    ShowRecentFiles();
    session_.ProjectChanged = false;
    setCaption(kStartCaption);
    SetFocus(item(ids::cmdAdd));
    return false;
}

void MainWindow::buildControls() {
    // The two rule lines under the menu: grey, then white.
    addControl(L"STATIC", L"", SS_ETCHEDHORZ, ids::Line1, 0, 0, 6720, 30);
    // Keyboard order is creation order: the three buttons, then the lists, then the tabs.
    addControl(L"BUTTON", L"Add", WS_TABSTOP | BS_PUSHBUTTON, ids::cmdAdd, 5100, 840, 855, 375);
    addControl(L"BUTTON", L"Modify", WS_TABSTOP | BS_PUSHBUTTON, ids::cmdModify, 5100, 1320, 855,
               375);
    addControl(L"BUTTON", L"Delete", WS_TABSTOP | BS_PUSHBUTTON, ids::cmdDelete, 5100, 1800, 855,
               375);
    for (ResourceKind kind : kOriginalKinds) {
        const int k = kindIndex(kind);
        HWND list = addControl(L"LISTBOX", L"",
                               WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                   LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | LBS_HASSTRINGS,
                               ids::List0 + k, 240, 600, 4695, 4350, WS_EX_CLIENTEDGE);
        ShowWindow(list, k == 0 ? SW_SHOW : SW_HIDE);
    }
    // TabStrip1 covers left 120, top 120, 6015 x 5055: the tabs on top, the page below them.
    HWND tabs = addControl(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS | TCS_TOOLTIPS,
                           ids::TabStrip1, 120, 120, 6015, 5055);
    for (ResourceKind kind : kOriginalKinds) {
        std::wstring name = wide(kindName(kind));
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = name.data();
        SendMessageW(tabs, TCM_INSERTITEMW, kindIndex(kind), reinterpret_cast<LPARAM>(&tab));
    }
    // Below its siblings, so the lists and buttons paint over the page.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::buildMenus() {
    HMENU bar = CreateMenu();
    fileMenu_ = CreatePopupMenu();
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuNewKBP, L"&New KBP");
    AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuOpenKBP, L"&Open KBP-File");
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuSaveKBP, L"&Save ");
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuSaveAs, L"Save &As...");
    AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuPrint, L"&Print");
    AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(fileMenu_, MF_STRING, ids::mnuExit, L"&Exit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenu_), L"&File");
    HMENU compile = CreatePopupMenu();
    AppendMenuW(compile, MF_STRING, ids::mnuCompile16, L"Compile in &16 bits-Mode");
    AppendMenuW(compile, MF_STRING, ids::mnuCompile32, L"Compile in &32 bits-Mode");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(compile), L"&Compile");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, ids::mnuHelp, L"&Help");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(help, MF_STRING, ids::mnuAbout, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    SetMenu(hwnd(), bar);
}

bool MainWindow::translate(MSG& message) {
    if (compile_.isOpen() && IsDialogMessageW(compile_.hwnd(), &message))
        return true;
    return hwnd() && IsDialogMessageW(hwnd(), &message);
}

int MainWindow::runMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        if (!translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::setCaption(std::string_view caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

int MainWindow::selectedIndex(ResourceKind kind) const {
    const LRESULT selected = SendMessageW(item(ids::List0 + kindIndex(kind)), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void MainWindow::reloadList(ResourceKind kind, int keepSelection) {
    HWND list = item(ids::List0 + kindIndex(kind));
    const Project::Lines& lines = session_.project.lines(kind);
    // Tens of thousands of lines: storage reserved at once and no drawing until the end.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += (line.size() + 1) * sizeof(wchar_t);
    SendMessageW(list, LB_INITSTORAGE, lines.size(), bytes);
    int widest = 0;
    HDC dc = GetDC(list);
    HGDIOBJ former = SelectObject(dc, font());
    for (const std::string& line : lines) {
        const std::wstring text = wide(line);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        // The horizontal extent is measured on a sample only: long lists stay fast.
        if (lines.size() < 2000) {
            const DWORD extent =
                GetTabbedTextExtentW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr);
            widest = std::max<int>(widest, LOWORD(extent));
        }
    }
    SelectObject(dc, former);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 4, 0);
    if (keepSelection >= 0 && keepSelection < static_cast<int>(lines.size()))
        SendMessageW(list, LB_SETCURSEL, keepSelection, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::reloadAllLists() {
    for (ResourceKind kind : kOriginalKinds)
        reloadList(kind, -1);
}

void MainWindow::ChangeTab(int n) {
    if (n < 0 || n >= kOriginalKindCount)
        return;
    session_.CurrentKind = static_cast<ResourceKind>(n);
    SendMessageW(item(ids::TabStrip1), TCM_SETCURSEL, n, 0);
    for (int k = 0; k < kOriginalKindCount; ++k)
        ShowWindow(item(ids::List0 + k), k == n ? SW_SHOW : SW_HIDE);
}

bool MainWindow::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == ids::TabStrip1 && header->code == TCN_SELCHANGE) {
            ChangeTab(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            result = 0;
            return true;
        }
        if (header->code == TTN_GETDISPINFOW && header->idFrom < kTabTips.size()) {
            auto* tip = reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header));
            tip->lpszText = const_cast<wchar_t*>(kTabTips[header->idFrom]);
            result = 0;
            return true;
        }
        return false;
    }
    case WM_CLOSE:
        mnuExit_Click();
        result = 0;
        return true;
    default:
        return false;
    }
}

void MainWindow::onDestroy() {
    compile_.close();
    PostQuitMessage(0);
}

bool MainWindow::onCommand(int id, int code, HWND) {
    if (id >= ids::mnuFile1 && id < ids::mnuFile1 + kMaxRecentFiles) {
        mnuFile_Click(id - ids::mnuFile1 + 1);
        return true;
    }
    // Buttons report BN_CLICKED; menu items come with code 0.
    if ((id == ids::cmdAdd || id == ids::cmdModify || id == ids::cmdDelete) && code != BN_CLICKED)
        return false;
    switch (id) {
    case ids::cmdAdd:
        cmdAdd_Click();
        return true;
    case ids::cmdModify:
        cmdModify_Click();
        return true;
    case ids::cmdDelete:
        cmdDelete_Click();
        return true;
    case ids::mnuNewKBP:
        mnuNewKBP_Click();
        return true;
    case ids::mnuOpenKBP:
        mnuOpenKBP_Click();
        return true;
    case ids::mnuSaveKBP:
        mnuSaveKBP_Click();
        return true;
    case ids::mnuSaveAs:
        mnuSaveAs_Click();
        return true;
    case ids::mnuPrint:
        mnuPrint_Click();
        return true;
    case ids::mnuExit:
        mnuExit_Click();
        return true;
    case ids::mnuCompile16:
        compileCommand(16);
        return true;
    case ids::mnuCompile32:
        compileCommand(32);
        return true;
    case ids::mnuHelp:
        mnuHelp_Click();
        return true;
    case ids::mnuAbout:
        mnuAbout_Click();
        return true;
    case IDOK:
    case IDCANCEL:
        // Enter without a focused button, and Escape, do nothing in the main window.
        return true;
    default:
        return false;
    }
}

void MainWindow::cmdAdd_Click() {
    session_.EditedLine.clear();
    openItemDialog(selectedIndex(session_.CurrentKind));
}

void MainWindow::cmdModify_Click() {
    const int selected = selectedIndex(session_.CurrentKind);
    if (selected < 0) {
        ShowError(platform_, hwnd(), kNoItemSelected);
        return;
    }
    session_.EditedLine = session_.project.line(session_.CurrentKind, selected);
    openItemDialog(selected);
}

void MainWindow::openItemDialog(int selected) {
    const ResourceKind kind = session_.CurrentKind;
    if (kind == ResourceKind::String) {
        StringDialog dialog(session_, platform_, selected);
        dialog.run(hwnd());
    } else {
        FileItemDialog dialog(session_, platform_, selected);
        dialog.run(hwnd());
    }
    reloadList(kind, selected);
}

void MainWindow::cmdDelete_Click() {
    const ResourceKind kind = session_.CurrentKind;
    const int selected = selectedIndex(kind);
    if (selected < 0)
        return;
    session_.removeItem(kind, selected);
    reloadList(kind, -1);
}

void MainWindow::guardUnsavedChanges() {
    if (!session_.ProjectChanged)
        return;
    const Win32Platform::BoxAnswer answer = platform_.messageBox(
        hwnd(), L"File has changed\r\nSave-it ?", L"WARNING", Win32Platform::BoxIcon::Exclamation,
        Win32Platform::BoxButtons::OkCancel);
    if (answer == Win32Platform::BoxAnswer::Ok)
        mnuSaveKBP_Click();
}

void MainWindow::mnuNewKBP_Click() {
    guardUnsavedChanges();
    newProject(session_);
    reloadAllLists();
    setCaption(kNewCaption);
}

std::optional<std::string> MainWindow::toProjectText(const std::wstring& path) {
    if (std::optional<std::string> text = narrow(path))
        return text;
    showErrorText(platform_, hwnd(),
                  L"This file name holds characters a project cannot store:\r\n" + path);
    return std::nullopt;
}

std::optional<std::string> MainWindow::askProjectFile(bool save) {
    prepareProjectDialog(session_);
    Win32Platform::FileDialogSpec spec;
    spec.save = save;
    spec.initialDir = wide(folderForBrowsing(session_.ProjectDir));
    spec.initialFile = dialogFileName_;
    spec.filterName = L"Resource Project (KBP)";
    spec.filterPattern = L"*.KBP";
    spec.defaultSuffix = L"KBP";
    spec.confirmOverwrite = save;
    const std::optional<std::wstring> chosen = platform_.fileDialog(hwnd(), spec);
    if (!chosen)
        return std::nullopt;
    dialogFileName_ = *chosen;
    return toProjectText(*chosen);
}

void MainWindow::mnuOpenKBP_Click() {
    // Opening another project drops the current one, so unsaved work is offered for saving.
    guardUnsavedChanges();
    const std::optional<std::string> path = askProjectFile(false);
    if (!path)
        return;
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    LoadRC(session_.ProjectPath);
    session_.ProjectChanged = false;
}

bool MainWindow::mnuSaveAs_Click() {
    const std::optional<std::string> path = askProjectFile(true);
    if (!path)
        return false;
    // A file that could not be written does not become the project's file.
    const std::string formerPath = session_.ProjectPath;
    const std::string formerDir = session_.ProjectDir;
    const int length = GetWindowTextLengthW(hwnd());
    std::wstring formerCaption(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd(), formerCaption.data(), length + 1);
    formerCaption.resize(static_cast<std::size_t>(length));
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    if (!SaveRC(session_.ProjectPath)) {
        session_.ProjectPath = formerPath;
        session_.ProjectDir = formerDir;
        SetWindowTextW(hwnd(), formerCaption.c_str());
        return false;
    }
    session_.ProjectChanged = false;
    return true;
}

void MainWindow::mnuSaveKBP_Click() {
    if (session_.ProjectPath.empty())
        mnuSaveAs_Click();
    if (session_.ProjectPath.empty())
        return;
    if (SaveRC(session_.ProjectPath))
        session_.ProjectChanged = false;
}

bool MainWindow::SaveRC(const std::string& path) {
    std::string error;
    if (kelbo::SaveRC(session_, path, recentFilesPath_, error)) {
        ShowRecentFiles();
        return true;
    }
    std::wstring text = L"The project was not saved.";
    if (error.find(path) == std::string::npos)
        text += L"\r\n" + wide(path);
    text += L"\r\n" + wide(error);
    showErrorText(platform_, hwnd(), text);
    return false;
}

bool MainWindow::LoadRC(const std::string& path) {
    if (kelbo::LoadRC(session_, path)) {
        reloadAllLists();
        return true;
    }
    setCaption(kInvalidFileCaption);
    ShowError(platform_, hwnd(), kInvalidProjectFile);
    return false;
}

void MainWindow::DirectLoad(const std::string& path) {
    switch (kelbo::DirectLoad(session_, path)) {
    case LoadOutcome::NothingToLoad:
        return;
    case LoadOutcome::Loaded:
        setCaption(session_.ProjectPath);
        reloadAllLists();
        return;
    case LoadOutcome::Invalid:
        setCaption(kInvalidFileCaption);
        reloadAllLists();
        ShowError(platform_, hwnd(), kInvalidProjectFile);
        return;
    }
}

void MainWindow::ShowRecentFiles() {
    const std::vector<std::string> paths = readRecentFiles(recentFilesPath_);
    // Menus cannot hide an item: the former recent items and their bar are taken out and the
    // current ones put in after Exit.
    const int exitPosition = 8;
    while (GetMenuItemCount(fileMenu_) > exitPosition + 1)
        DeleteMenu(fileMenu_, exitPosition + 1, MF_BYPOSITION);
    recentCount_ = std::min<int>(static_cast<int>(paths.size()), kMaxRecentFiles);
    if (recentCount_ == 0)
        return;
    AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < recentCount_; ++i) {
        recentCaptions_[i] = recentItemCaption(i + 1, paths[i]);
        // The "&" of the number is the access key; any "&" in the path is shown as itself.
        const std::wstring caption = wide(recentCaptions_[i]);
        std::wstring shown = caption.substr(0, 3);
        for (wchar_t c : caption.substr(3)) {
            shown += c;
            if (c == L'&')
                shown += L'&';
        }
        AppendMenuW(fileMenu_, MF_STRING, ids::mnuFile1 + i, shown.c_str());
    }
    DrawMenuBar(hwnd());
}

void MainWindow::mnuFile_Click(int number) {
    if (number < 1 || number > recentCount_)
        return;
    guardUnsavedChanges();
    DirectLoad(pathFromRecentCaption(recentCaptions_[number - 1]));
}

void MainWindow::mnuPrint_Click() {
    std::unique_ptr<Printer> printer = platform_.printDialog(hwnd());
    // Cancel means no printout.
    if (!printer)
        return;
    SYSTEMTIME today{};
    GetLocalTime(&today);
    const std::vector<std::string> lines = listingLines(
        session_.project, session_.ProjectPath, listingDate(today.wYear, today.wMonth, today.wDay));
    std::wstring error;
    if (!printListing(*printer, lines, error))
        showErrorText(platform_, hwnd(), L"The listing was not printed.\r\n" + error);
}

void MainWindow::mnuExit_Click() {
    if (!closing_) {
        closing_ = true;
        guardUnsavedChanges();
    }
    // The end is immediate, whatever else is open.
    compile_.close();
    DestroyWindow(hwnd());
}

void MainWindow::compileCommand(int bits) {
    if (CountItems(session_.project) == 0) {
        ShowError(platform_, hwnd(), kNothingToCompile);
        return;
    }
    session_.CompileBits = static_cast<std::int16_t>(bits);
    GetNameRes();
    if (session_.ResFileName.empty())
        return;
    Compile();
}

void MainWindow::GetNameRes() {
    prepareResDialog(session_);
    Win32Platform::FileDialogSpec spec;
    spec.save = true;
    spec.title = wide(resDialogTitle(session_.CompileBits));
    spec.initialDir = wide(folderForBrowsing(session_.ResDir));
    spec.filterName = L"Res-File (RES)";
    spec.filterPattern = L"*.RES";
    spec.defaultSuffix = L"res";
    spec.confirmOverwrite = true;
    const std::optional<std::wstring> chosen = platform_.fileDialog(hwnd(), spec);
    if (!chosen)
        return;
    const std::optional<std::string> path = toProjectText(*chosen);
    if (!path)
        return;
    takeResFile(session_, *path);
}

void MainWindow::Compile() {
    BusyPointer busy(platform_);
    if (!compile_.isOpen())
        compile_.open(hwnd());
    SetWindowPos(compile_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CompileLog& log = compile_.log();
    bool ok = CheckIdentifiers(session_.project, log) == 0;
    // The check's outcome is on screen while the writer runs.
    compile_.showLog();
    if (ok) {
        ok = session_.CompileBits == 16 ? Compile16(session_.project, session_.ResFileName, log)
                                        : Compile32(session_.project, session_.ResFileName, log);
        compile_.showLog();
    }
    if (!ok)
        platform_.beep();
}

void MainWindow::mnuHelp_Click() {
    HelpWindow help;
    help.run(hwnd());
}

void MainWindow::mnuAbout_Click() {
    AboutWindow about(icon_);
    about.run(hwnd());
}

} // namespace kelbo::win32
