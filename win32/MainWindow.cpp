#include "win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "messages/Captions.h"
#include "shell/Layout.h"
#include "win32/ControlIds.h"
#include "win32/FileItemDialog.h"
#include "win32/HelpWindows.h"
#include "win32/LanguagesDialog.h"
#include "win32/ManifestDialog.h"
#include "win32/StringDialog.h"
#include "win32/VersionDialog.h"
#include "win32/WinText.h"

namespace kelbo::win32 {

namespace {

// The icon resource the program's own project gives the .exe.
constexpr int kAppIconId = 1;

// A single fixed border with a minimize box: nothing to maximize.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;

} // namespace

MainWindow::MainWindow(shell::Platform& platform, std::string exeDir, std::string recentFilesPath)
    : presenter_(platform, std::move(exeDir), std::move(recentFilesPath)) {}

MainWindow::~MainWindow() {
    compile_.close();
    if (icon_)
        DestroyIcon(icon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

bool MainWindow::create() {
    if (!createModeless(nullptr, std::wstring(wide(kStartCaption)), kMainStyle))
        return false;
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    return true;
}

void MainWindow::startUp(const std::wstring& commandLine) {
    presenter_.startUp(narrow(commandLine));
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
    setClientTwips(shell::mainWindowSpec().clientWidth, shell::mainWindowSpec().clientHeight);
    buildControls();
    centreOnScreen();
    presenter_.attach(*this);
    SetFocus(item(ids::cmdAdd));
    return false;
}

void MainWindow::buildControls() {
    // The two rule lines under the menu, grey then white, are one etched line.
    addControl(L"STATIC", L"", SS_ETCHEDHORZ, ids::Line1, 0, 0, 6720, 30);
    // The rest in the layout's order, which is the keyboard order.
    std::map<std::string_view, int> names = {
        {"cmdAdd", ids::cmdAdd},           {"cmdModify", ids::cmdModify},
        {"cmdDelete", ids::cmdDelete},     {"TabStrip1", ids::TabStrip1},
        {"lblLanguage", ids::lblLanguage}, {"cboLanguage", ids::cboLanguage},
    };
    for (const shell::ControlSpec& control : shell::mainWindowSpec().controls) {
        const std::string_view name = control.name;
        if (name.size() == 5 && name.substr(0, 4) == "List" && name[4] >= '0' && name[4] <= '5') {
            const int k = name[4] - '0';
            HWND list = addControl(control, ids::List0 + k, WS_HSCROLL | LBS_USETABSTOPS);
            ShowWindow(list, k == 0 ? SW_SHOW : SW_HIDE);
            continue;
        }
        const auto id = names.find(name);
        if (id == names.end())
            continue;
        addControl(control, id->second,
                   control.kind == shell::ControlKind::TabStrip ? TCS_TOOLTIPS : 0);
    }
    HWND tabs = item(ids::TabStrip1);
    for (ResourceKind kind : shell::MainPresenter::tabKinds()) {
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
    // The menus as the shared layout describes them; the recent files come and go at the end
    // of the File menu.
    static const std::map<std::string_view, int> kMenuIds = {
        {"mnuNewKBP", ids::mnuNewKBP},       {"mnuOpenKBP", ids::mnuOpenKBP},
        {"mnuSaveKBP", ids::mnuSaveKBP},     {"mnuSaveAs", ids::mnuSaveAs},
        {"mnuImportRES", ids::mnuImportRES}, {"mnuExportRC", ids::mnuExportRC},
        {"mnuPrint", ids::mnuPrint},         {"mnuExit", ids::mnuExit},
        {"mnuManifest", ids::mnuManifest},   {"mnuVersion", ids::mnuVersion},
        {"mnuLanguages", ids::mnuLanguages}, {"mnuCompile16", ids::mnuCompile16},
        {"mnuCompile32", ids::mnuCompile32}, {"mnuCompileProgram", ids::mnuCompileProgram},
        {"mnuHelp", ids::mnuHelp},           {"mnuAbout", ids::mnuAbout},
    };
    HMENU bar = CreateMenu();
    for (const shell::MenuSpec& menu : shell::mainMenus()) {
        HMENU popup = CreatePopupMenu();
        for (const shell::MenuItemSpec& entry : menu.items) {
            if (entry.hidden)
                continue;
            if (entry.separator) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const auto id = kMenuIds.find(entry.name);
            AppendMenuW(popup, MF_STRING, id == kMenuIds.end() ? 0 : id->second,
                        wide(entry.caption).c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), wide(menu.caption).c_str());
        if (menu.name == "mfi") {
            fileMenu_ = popup;
            fileMenuBaseCount_ = GetMenuItemCount(popup);
        }
    }
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

void MainWindow::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd(), wide(caption).c_str());
}

void MainWindow::showTab(ResourceKind kind) {
    const int n = kindIndex(kind);
    HWND tabs = item(ids::TabStrip1);
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != n)
        SendMessageW(tabs, TCM_SETCURSEL, n, 0);
    for (ResourceKind k : shell::MainPresenter::tabKinds())
        ShowWindow(item(ids::List0 + kindIndex(k)), k == kind ? SW_SHOW : SW_HIDE);
}

void MainWindow::showList(ResourceKind kind, const std::vector<std::string>& lines, int select) {
    HWND list = item(ids::List0 + kindIndex(kind));
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
        // The horizontal extent is measured for short lists only: long ones stay fast.
        if (lines.size() < 2000) {
            const DWORD extent =
                GetTabbedTextExtentW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr);
            widest = std::max<int>(widest, LOWORD(extent));
        }
    }
    SelectObject(dc, former);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 4, 0);
    if (select >= 0 && select < static_cast<int>(lines.size()))
        SendMessageW(list, LB_SETCURSEL, select, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainWindow::showLanguages(const std::vector<std::string>& captions, int current) {
    setChoices(ids::cboLanguage, captions);
    setChoice(ids::cboLanguage, current);
}

int MainWindow::selectedItem(ResourceKind kind) const {
    const LRESULT selected = SendMessageW(item(ids::List0 + kindIndex(kind)), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void MainWindow::showRecentFiles(const std::vector<std::string>& captions) {
    // Menus cannot hide an item: the former recent items and their bar are taken out and the
    // current ones put in after Exit.
    while (GetMenuItemCount(fileMenu_) > fileMenuBaseCount_)
        DeleteMenu(fileMenu_, fileMenuBaseCount_, MF_BYPOSITION);
    if (!captions.empty())
        AppendMenuW(fileMenu_, MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = 0; i < captions.size() && i < kMaxRecentFiles; ++i) {
        // The "&" of the number is the access key; any "&" in the path is shown as itself.
        const std::wstring caption = wide(captions[i]);
        std::wstring shown = caption.substr(0, 3);
        for (wchar_t c : caption.substr(std::min<std::size_t>(3, caption.size()))) {
            shown += c;
            if (c == L'&')
                shown += L'&';
        }
        AppendMenuW(fileMenu_, MF_STRING, ids::mnuFile1 + static_cast<int>(i), shown.c_str());
    }
    DrawMenuBar(hwnd());
}

void MainWindow::runStringItemDialog(shell::StringItemPresenter& presenter) {
    StringDialog dialog(presenter);
    dialog.run(hwnd());
}

void MainWindow::runFileItemDialog(shell::FileItemPresenter& presenter) {
    FileItemDialog dialog(presenter);
    dialog.run(hwnd());
}

void MainWindow::runManifestDialog(shell::ManifestPresenter& presenter) {
    ManifestDialog dialog(presenter);
    dialog.run(hwnd());
}

void MainWindow::runVersionDialog(shell::VersionPresenter& presenter) {
    VersionDialog dialog(presenter);
    dialog.run(hwnd());
}

void MainWindow::runLanguagesDialog(shell::LanguagesPresenter& presenter) {
    LanguagesDialog dialog(presenter);
    dialog.run(hwnd());
}

void MainWindow::runHelp(shell::HelpPresenter& presenter) {
    HelpWindow help(presenter);
    help.run(hwnd());
}

void MainWindow::runAbout(shell::AboutPresenter& presenter) {
    AboutWindow about(presenter, icon_);
    about.run(hwnd());
}

shell::CompileLogPresenter& MainWindow::openCompileLog() {
    if (!compile_.isOpen())
        compile_.open(hwnd());
    SetWindowPos(compile_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return compile_.presenter();
}

void MainWindow::closeCompileLog() {
    compile_.close();
}

void MainWindow::endProgram() {
    compile_.close();
    DestroyWindow(hwnd());
}

bool MainWindow::onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == ids::TabStrip1 && header->code == TCN_SELCHANGE) {
            presenter_.tabChosen(
                static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            result = 0;
            return true;
        }
        if (header->code == TTN_GETDISPINFOW && header->idFrom < tabTips_.size()) {
            // The tool tip of a tab; the text must outlive the message.
            std::wstring& tip = tabTips_[header->idFrom];
            tip = wide(shell::tabToolTip(static_cast<int>(header->idFrom)));
            reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header))->lpszText = tip.data();
            result = 0;
            return true;
        }
        return false;
    }
    case WM_CLOSE:
        presenter_.exitClicked();
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
        presenter_.recentFileClicked(id - ids::mnuFile1 + 1);
        return true;
    }
    // Buttons report BN_CLICKED; menu items come with code 0.
    if ((id == ids::cmdAdd || id == ids::cmdModify || id == ids::cmdDelete) && code != BN_CLICKED)
        return false;
    switch (id) {
    case ids::cmdAdd:
        presenter_.addClicked();
        return true;
    case ids::cmdModify:
        presenter_.modifyClicked();
        return true;
    case ids::cmdDelete:
        presenter_.deleteClicked();
        return true;
    case ids::mnuNewKBP:
        presenter_.newClicked();
        return true;
    case ids::mnuOpenKBP:
        presenter_.openClicked();
        return true;
    case ids::mnuSaveKBP:
        presenter_.saveClicked();
        return true;
    case ids::mnuSaveAs:
        presenter_.saveAsClicked();
        return true;
    case ids::mnuImportRES:
        presenter_.importResClicked();
        return true;
    case ids::mnuExportRC:
        presenter_.exportRcClicked();
        return true;
    case ids::mnuPrint:
        presenter_.printClicked();
        return true;
    case ids::mnuExit:
        presenter_.exitClicked();
        return true;
    case ids::mnuManifest:
        presenter_.manifestClicked();
        return true;
    case ids::mnuVersion:
        presenter_.versionClicked();
        return true;
    case ids::mnuLanguages:
        presenter_.languagesClicked();
        return true;
    case ids::cboLanguage:
        if (code == CBN_SELCHANGE)
            presenter_.languageChosen(choice(ids::cboLanguage));
        return true;
    case ids::mnuCompile16:
        presenter_.compileClicked(16);
        return true;
    case ids::mnuCompile32:
        presenter_.compileClicked(32);
        return true;
    case ids::mnuCompileProgram:
        presenter_.compileIntoProgramClicked();
        return true;
    case ids::mnuHelp:
        presenter_.helpClicked();
        return true;
    case ids::mnuAbout:
        presenter_.aboutClicked();
        return true;
    case IDOK:
    case IDCANCEL:
        // Enter without a focused button, and Escape, do nothing in the main window.
        return true;
    default:
        return false;
    }
}

} // namespace kelbo::win32
