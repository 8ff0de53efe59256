// Drives the Win32 windows from a test's thread: the main window runs on a thread of its own
// with its real message loop; clicks, keys and text go in as window messages, boxes are found
// by their titles. The file, printer and sound dialogs go through a scripted platform.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "tests/support/Samples.h"
#include "win32/ControlIds.h"
#include "win32/MainWindow.h"
#include "win32/Win32Platform.h"
#include "win32/WinText.h"

namespace kelbo::win32::driver {

using namespace std::chrono_literals;

struct Drawn {
    int x;
    int baseline;
    std::string text;
};
using Pages = std::vector<std::vector<Drawn>>;

// A printer of fixed metrics that keeps what was drawn, page by page.
class RecordingPrinter : public shell::Printer {
public:
    static constexpr int kLineHeight = 10;
    static constexpr int kAscent = 8;
    static constexpr int kCharWidth = 6;

    RecordingPrinter(int pageHeight, Pages& pages) : height_(pageHeight), pages_(pages) {}
    bool begin(std::string&) override {
        pages_.emplace_back();
        return true;
    }
    int pageHeight() const override { return height_; }
    int lineHeight() const override { return kLineHeight; }
    int ascent() const override { return kAscent; }
    int averageCharWidth() const override { return kCharWidth; }
    int textWidth(std::string_view text) const override {
        return kCharWidth * static_cast<int>(text.size());
    }
    void drawText(int x, int baseline, std::string_view text) override {
        pages_.back().push_back({x, baseline, std::string(text)});
    }
    bool newPage() override {
        pages_.emplace_back();
        return true;
    }
    bool end() override { return true; }

private:
    int height_;
    Pages& pages_;
};

// Real message boxes; scripted file dialogs, printer and sound.
class ScriptedPlatform : public Win32Platform {
public:
    std::optional<std::string> fileDialog(shell::View*,
                                          const shell::FileDialogSpec& request) override {
        std::lock_guard lock(mutex_);
        requests.push_back(request);
        if (fileAnswers.empty() || !fileAnswers.front()) {
            if (!fileAnswers.empty())
                fileAnswers.pop_front();
            return std::nullopt;
        }
        const std::wstring answer = *fileAnswers.front();
        fileAnswers.pop_front();
        return narrow(answer);
    }
    std::unique_ptr<shell::Printer> choosePrinter(shell::View*) override {
        std::lock_guard lock(mutex_);
        ++printDialogs;
        if (pageHeight == 0)
            return nullptr;
        printed.clear();
        return std::make_unique<RecordingPrinter>(pageHeight, printed);
    }
    void playSound(const std::string& path) override {
        std::lock_guard lock(mutex_);
        played.push_back(path);
    }
    void beep() override {
        std::lock_guard lock(mutex_);
        ++beeps;
    }
    void answerFile(std::optional<std::wstring> path) {
        std::lock_guard lock(mutex_);
        fileAnswers.push_back(std::move(path));
    }
    std::vector<std::string> playedSounds() {
        std::lock_guard lock(mutex_);
        return played;
    }

    std::deque<std::optional<std::wstring>> fileAnswers;
    std::vector<shell::FileDialogSpec> requests;
    std::vector<std::string> played;
    int printDialogs = 0;
    int pageHeight = 0; // 0: the print dialog is cancelled
    Pages printed;
    int beeps = 0;

private:
    std::mutex mutex_;
};

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(10);
    }
    return true;
}

inline std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// A scratch folder under the user's temporary folder, removed with its files afterwards.
class Folder {
public:
    Folder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"kelbo-views-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Folder() {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW((path_ + L"\\" + found.cFileName).c_str());
            while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring path(const std::wstring& name = {}) const {
        return name.empty() ? path_ : path_ + L"\\" + name;
    }
    std::string narrowPath(const std::wstring& name = {}) const { return narrow(path(name)); }
    void write(const std::wstring& name, const std::string& bytes) const {
        std::string error;
        ASSERT_TRUE(writeWholeFile(nativeFileSystem(), narrowPath(name), bytes, error)) << error;
    }
    std::string read(const std::wstring& name) const {
        std::string bytes, error;
        readWholeFile(nativeFileSystem(), narrowPath(name), bytes, error);
        return bytes;
    }

private:
    std::wstring path_;
    static inline int counter_ = 0;
};

// A 32 x 32 icon file of one 32-bit image, a solid colour (red 0x20, green 0x60, blue 0xC0);
// type 2 makes it a cursor whose hot spot is (hotX, hotY).
inline std::string sampleIconFile(int type = 1, int hotX = 0, int hotY = 0) {
    using kelbo::test::le16;
    using kelbo::test::le32;
    std::string image;
    le32(image, 40);
    le32(image, 32);
    le32(image, 64);
    le16(image, 1);
    le16(image, 32);
    le32(image, 0);
    le32(image, 32 * 32 * 4 + 32 * 4);
    for (int i = 0; i < 4; ++i)
        le32(image, 0);
    for (int i = 0; i < 32 * 32; ++i)
        le32(image, 0xFF2060C0);
    image.append(32 * 4, '\0');
    std::string out;
    le16(out, 0);
    le16(out, static_cast<std::uint32_t>(type));
    le16(out, 1);
    out += '\x20';
    out += '\x20';
    out += '\0';
    out += '\0';
    le16(out, type == 2 ? static_cast<std::uint32_t>(hotX) : 1);
    le16(out, type == 2 ? static_cast<std::uint32_t>(hotY) : 32);
    le32(out, static_cast<std::uint32_t>(image.size()));
    le32(out, 22);
    return out + image;
}

// Posted to the main window after the messages a test has sent; the thread's message hook
// signals when the window's loop takes it, that is once everything before it was handled.
inline const UINT kSyncMessage = RegisterWindowMessageW(L"kelbo-views-test-sync");
inline HANDLE syncEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);

inline LRESULT CALLBACK watchForSync(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE &&
        reinterpret_cast<const MSG*>(lParam)->message == kSyncMessage)
        SetEvent(syncEvent);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The main window on a thread of its own, with its message loop, as in the program.
class Gui {
public:
    Gui(ScriptedPlatform& platform, const Folder& folder, std::wstring commandLine = {})
        : Gui(platform, folder.path(), std::move(commandLine)) {}
    // `folder` is the program's folder, where its recent-files list is kept too.
    Gui(ScriptedPlatform& platform, const std::wstring& folder, std::wstring commandLine = {})
        : platform_(platform) {
        const std::string exeDir = narrow(folder);
        const std::string recent = narrow(folder + L"\\kbplast.cfg");
        thread_ = std::thread([this, exeDir, recent, commandLine] {
            threadId_ = GetCurrentThreadId();
            HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &watchForSync, nullptr, threadId_);
            MainWindow window(platform_, exeDir, recent);
            window_ = &window;
            if (window.create()) {
                main_ = window.hwnd();
                window.startUp(commandLine);
                window.runMessageLoop();
            }
            window_ = nullptr;
            UnhookWindowsHookEx(hook);
            finished_ = true;
        });
        waitFor([this] { return main_ != nullptr || finished_; });
        // The load sequence has run once the thread takes its next message (its own loop's,
        // or a box's the sequence opened).
        sync();
    }
    ~Gui() {
        if (!finished_) {
            PostMessageW(main_, WM_COMMAND, ids::mnuExit, 0);
            // A guard box or an item dialog still open is answered with Cancel.
            waitFor(
                [this] {
                    EnumThreadWindows(
                        threadId_,
                        [](HWND hwnd, LPARAM main) -> BOOL {
                            if (hwnd != reinterpret_cast<HWND>(main))
                                PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
                            return TRUE;
                        },
                        reinterpret_cast<LPARAM>(main_.load()));
                    return finished_.load();
                },
                20s);
        }
        thread_.join();
    }

    HWND main() const { return main_; }
    // The run's values; read them only after sync(), while the window's thread waits.
    const Session& session() const { return window_->presenter().session(); }
    HWND control(int id) const { return GetDlgItem(main_, id); }
    bool finished() const { return finished_; }
    // Returns once the window's thread has handled everything sent or posted before.
    void sync() const {
        if (finished_)
            return;
        ResetEvent(syncEvent);
        PostMessageW(main_, kSyncMessage, 0, 0);
        EXPECT_EQ(WaitForSingleObject(syncEvent, 10000), WAIT_OBJECT_0);
    }
    void menu(int id) const { PostMessageW(main_, WM_COMMAND, id, 0); }
    void click(int id) const { PostMessageW(control(id), BM_CLICK, 0, 0); }
    void selectTab(int index) const {
        HWND tabs = control(ids::TabStrip1);
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
        NMHDR header{tabs, static_cast<UINT_PTR>(ids::TabStrip1), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main_, WM_NOTIFY, ids::TabStrip1, reinterpret_cast<LPARAM>(&header));
    }
    std::vector<std::wstring> lines(int kind) const {
        HWND list = control(ids::List0 + kind);
        std::vector<std::wstring> out;
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                              L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            text.resize(text.size() - 1);
            out.push_back(text);
        }
        return out;
    }
    void select(int kind, int index) const {
        SendMessageW(control(ids::List0 + kind), LB_SETCURSEL, index, 0);
    }
    std::wstring caption() const { return windowText(main_); }
    // The window with keyboard focus on the window's thread.
    HWND focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(threadId_, &info);
        return info.hwndFocus;
    }
    // A key pressed on the focused control, through the thread's queue and its dialog manager.
    void key(WPARAM vk) const {
        HWND target = focus();
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    }
    // A top-level window of the thread with this caption, once it is there.
    HWND waitForWindow(const std::wstring& caption) const {
        HWND found = nullptr;
        waitFor([&] {
            found = FindWindowW(L"#32770", caption.c_str());
            return found && IsWindowVisible(found);
        });
        return found;
    }
    std::wstring menuText(int id) const {
        wchar_t text[512] = {};
        GetMenuStringW(GetMenu(main_), id, text, 512, MF_BYCOMMAND);
        return text;
    }

private:
    ScriptedPlatform& platform_;
    std::thread thread_;
    DWORD threadId_ = 0;
    MainWindow* window_ = nullptr;
    std::atomic<HWND> main_ = nullptr;
    std::atomic<bool> finished_ = false;
};

// Answers the box with this title by its button; returns the box's text.
inline std::wstring answerBox(const Gui& gui, const std::wstring& title, int button = IDOK) {
    HWND box = gui.waitForWindow(title);
    if (!box)
        return L"(no box \"" + title + L"\")";
    const std::wstring text = windowText(GetDlgItem(box, 0xFFFF));
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    waitFor([&] { return !IsWindow(box); });
    return text;
}

inline void closeDialog(HWND dialog, int button) {
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    waitFor([&] { return !IsWindow(dialog); });
}

// A click on a check box or an option button, handled before this returns.
inline void tick(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

inline bool isChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Chooses an entry of a drop-down list as the user would, with its notification.
inline void chooseEntry(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

inline int chosenEntry(HWND dialog, int id) {
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

// The entries of a drop-down list, or the lines of a list box.
inline std::vector<std::wstring> entries(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const bool combo = std::wstring(className) == L"ComboBox";
    std::vector<std::wstring> out;
    const int count =
        static_cast<int>(SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i,
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        out.push_back(text);
    }
    return out;
}

// The entry of a drop-down list that begins with `prefix`; -1 when there is none.
inline int entryStarting(HWND dialog, int id, const std::wstring& prefix) {
    const LRESULT at = SendMessageW(GetDlgItem(dialog, id), CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(prefix.c_str()));
    return at == CB_ERR ? -1 : static_cast<int>(at);
}

inline void setText(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

inline std::wstring textOf(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

// Chooses a line of a dialog's list box as a click would, with its notification.
inline void chooseLine(HWND dialog, int id, const std::wstring& text) {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT at =
        SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_NE(at, LB_ERR) << "no line " << narrow(text);
    SendMessageW(list, LB_SETCURSEL, at, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

} // namespace kelbo::win32::driver
