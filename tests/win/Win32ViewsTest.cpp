// The Win32 windows themselves, under Wine, driven as a user's clicks and keys would drive them
// (see Win32Driver.h): items on every tab, the keyboard in the dialogs, the guard, saving,
// recent files, compiling, printing and the help windows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "cli/CompileCommand.h"
#include "help/HelpTopics.h"
#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "platform/FileSystem.h"
#include "platform/Unicode.h"
#include "project/Listing.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/VersionInfo.h"
#include "resreader/RcExport.h"
#include "shell/Layout.h"
#include "tests/support/PeBuilder.h"
#include "tests/support/Samples.h"
#include "tests/win/Win32Driver.h"
#include "win32/ControlIds.h"
#include "win32/LanguagesDialog.h"
#include "win32/MainWindow.h"
#include "win32/ManifestDialog.h"
#include "win32/VersionDialog.h"
#include "win32/WinText.h"

namespace kelbo::win32 {
namespace {

using namespace std::chrono_literals;
using namespace kelbo::win32::driver;

class Win32Views : public ::testing::Test {
protected:
    // Adds a STRING item through the string dialog.
    void addString(Gui& gui, const std::wstring& id, const std::wstring& text) {
        gui.selectTab(2);
        gui.click(ids::cmdAdd);
        HWND dialog = gui.waitForWindow(L"  STRING");
        ASSERT_TRUE(dialog);
        setText(dialog, ids::Text1, text);
        setText(dialog, ids::Text2, id);
        closeDialog(dialog, IDOK);
        gui.sync();
    }

    ScriptedPlatform platform_;
    Folder folder_;
};

TEST_F(Win32Views, StringItemsAddModifyDelete) {
    Gui gui(platform_, folder_);
    ASSERT_TRUE(gui.main());
    EXPECT_EQ(gui.caption(), wide(kStartCaption));
    addString(gui, L"7", L"Hello");
    addString(gui, L" 12 ", L"Second line");
    EXPECT_EQ(gui.lines(2), (std::vector<std::wstring>{L"7\tHello", L"12\tSecond line"}));
    EXPECT_TRUE(gui.lines(0).empty());

    gui.select(2, 0);
    gui.click(ids::cmdModify);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(textOf(dialog, ids::Text1), L"Hello");
    EXPECT_EQ(textOf(dialog, ids::Text2), L"7");
    setText(dialog, ids::Text1, L"Caf\u00e9 \u20ac");
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_EQ(gui.lines(2)[0], L"7\tCaf\u00e9 \u20ac");

    gui.select(2, 1);
    gui.click(ids::cmdDelete);
    gui.sync();
    EXPECT_EQ(gui.lines(2), (std::vector<std::wstring>{L"7\tCaf\u00e9 \u20ac"}));
}

TEST_F(Win32Views, StringDialogRefusals) {
    Gui gui(platform_, folder_);
    gui.selectTab(2);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    setText(dialog, ids::Text1, L"text");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 2"), wide(errorMessage(kNoIdentifier)));
    setText(dialog, ids::Text2, L"abc");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 4"), wide(errorMessage(kStringIdOnlyNumber)));
    setText(dialog, ids::Text2, L"40000");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 5"), wide(errorMessage(kIdentifierTooLarge)));
    // Every refusal left the dialog open; Cancel stores nothing.
    ASSERT_TRUE(IsWindow(dialog));
    closeDialog(dialog, IDCANCEL);
    gui.sync();
    EXPECT_TRUE(gui.lines(2).empty());
    EXPECT_GE(platform_.beeps, 3);
}

TEST_F(Win32Views, AnyScriptIsKeptAsTyped) {
    Gui gui(platform_, folder_);
    // Chinese, Greek and a character past U+FFFF (a surrogate pair in the edit box).
    const std::wstring text = L"\u4e2d\u6587 \u03b1\u03b2 \U0001F600";
    addString(gui, L"1", text);
    EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\t" + text});
    EXPECT_EQ(gui.session().project.lines(ResourceKind::String),
              std::vector<std::string>{"1\t\u4e2d\u6587 \u03b1\u03b2 \U0001F600"});
    EXPECT_EQ(platform_.beeps, 0);
}

TEST_F(Win32Views, KeyboardInTheStringDialog) {
    Gui gui(platform_, folder_);
    gui.selectTab(2);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gui.focus(), GetDlgItem(dialog, ids::Text1));
    setText(dialog, ids::Text1, L"typed");
    setText(dialog, ids::Text2, L"3");
    // Tab to Cancel and press Enter: the focused button takes Enter, nothing is added.
    for (int i = 0; i < 3; ++i)
        gui.key(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(dialog, IDCANCEL); }));
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_TRUE(gui.lines(2).empty());

    // Enter in a text box presses the default button, OK.
    gui.click(ids::cmdAdd);
    dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    setText(dialog, ids::Text1, L"typed");
    setText(dialog, ids::Text2, L"3");
    gui.key(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(dialog, ids::Text2); }));
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_EQ(gui.lines(2), (std::vector<std::wstring>{L"3\ttyped"}));

    // Escape is Cancel.
    gui.click(ids::cmdAdd);
    dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    setText(dialog, ids::Text2, L"4");
    gui.key(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_EQ(gui.lines(2).size(), 1u);
}

TEST_F(Win32Views, EnterOnTheMainWindowsButtons) {
    Gui gui(platform_, folder_);
    gui.selectTab(2);
    SendMessageW(gui.main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(gui.control(ids::cmdAdd)),
                 TRUE);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == gui.control(ids::cmdAdd); }));
    gui.key(VK_RETURN);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    closeDialog(dialog, IDCANCEL);
    // Modify with nothing selected, from the keyboard.
    gui.sync();
    SendMessageW(gui.main(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(gui.control(ids::cmdModify)),
                 TRUE);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == gui.control(ids::cmdModify); }));
    gui.key(VK_RETURN);
    EXPECT_EQ(answerBox(gui, L"ERROR 1"), wide(errorMessage(kNoItemSelected)));
}

TEST_F(Win32Views, FileItemsOnEveryFileTab) {
    folder_.write(L"Picture.bmp", test::sampleBitmap(40, 30));
    folder_.write(L"other.BMP", test::sampleBitmap(8, 8));
    folder_.write(L"App.ico", sampleIconFile());
    folder_.write(L"Chime.wav", test::sampleWave(64));
    folder_.write(L"Arrow.cur", sampleIconFile(2, 3, 4));
    folder_.write(L"notes.txt", "x");
    Gui gui(platform_, folder_);
    struct Case {
        int tab;
        const wchar_t* caption;
        const wchar_t* file;
        std::vector<std::wstring> listed;
    };
    const Case cases[] = {
        {0, L"  BITMAP", L"Picture.bmp", {L"other.BMP", L"Picture.bmp"}},
        {1, L"  ICON", L"App.ico", {L"App.ico"}},
        {3, L"  WAVE", L"Chime.wav", {L"Chime.wav"}},
        {4, L"  CURSOR", L"Arrow.cur", {L"Arrow.cur"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.caption));
        gui.selectTab(c.tab);
        gui.click(ids::cmdAdd);
        HWND dialog = gui.waitForWindow(c.caption);
        ASSERT_TRUE(dialog);
        // The folder opens on the program's folder, the pattern lists only its kind.
        EXPECT_EQ(textOf(dialog, ids::etiRep), folder_.path());
        HWND files = GetDlgItem(dialog, ids::File1);
        std::vector<std::wstring> listed;
        for (int i = 0; i < SendMessageW(files, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t line[MAX_PATH] = {};
            SendMessageW(files, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            listed.push_back(line);
        }
        EXPECT_EQ(listed, c.listed);
        // OK before a file is chosen: the name still shows the pattern.
        setText(dialog, ids::Text1, L"ITEM");
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(answerBox(gui, L"ERROR 3"), wide(errorMessage(kBadFileName)));
        chooseLine(dialog, ids::File1, c.file);
        EXPECT_EQ(textOf(dialog, ids::etiName), c.file);
        setText(dialog, ids::Text1, L"");
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(answerBox(gui, L"ERROR 2"), wide(errorMessage(kNoIdentifier)));
        setText(dialog, ids::Text1, L"ITEM");
        closeDialog(dialog, IDOK);
        gui.sync();
        const std::wstring expected = L"ITEM\t" + folder_.path(c.file);
        EXPECT_EQ(gui.lines(c.tab), std::vector<std::wstring>{expected});

        gui.select(c.tab, 0);
        gui.click(ids::cmdModify);
        dialog = gui.waitForWindow(c.caption);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(textOf(dialog, ids::Text1), L"ITEM");
        EXPECT_EQ(textOf(dialog, ids::etiName), c.file);
        setText(dialog, ids::Text1, L"RENAMED");
        closeDialog(dialog, IDOK);
        gui.sync();
        EXPECT_EQ(gui.lines(c.tab), std::vector<std::wstring>{L"RENAMED\t" + folder_.path(c.file)});

        gui.select(c.tab, 0);
        gui.click(ids::cmdDelete);
        gui.sync();
        EXPECT_TRUE(gui.lines(c.tab).empty());
    }
}

TEST_F(Win32Views, FileDialogFoldersPlayAndKeys) {
    CreateDirectoryW(folder_.path(L"sub").c_str(), nullptr);
    folder_.write(L"sub\\Deep.wav", test::sampleWave(64));
    Gui gui(platform_, folder_);
    gui.selectTab(3);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  WAVE");
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ids::PicTest)));
    // Enter in the directory list opens the folder instead of pressing OK.
    HWND dirs = GetDlgItem(dialog, ids::Dir1);
    const LRESULT sub = SendMessageW(dirs, LB_GETCOUNT, 0, 0) - 1;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dirs), TRUE);
    SendMessageW(dirs, LB_SETCURSEL, sub, 0);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == dirs; }));
    gui.key(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return textOf(dialog, ids::etiRep) == folder_.path(L"sub"); }));
    ASSERT_TRUE(IsWindow(dialog));
    chooseLine(dialog, ids::File1, L"Deep.wav");
    // Play from the keyboard: Enter on the focused Play button plays, the dialog stays.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::cmdPlay)),
                 TRUE);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(dialog, ids::cmdPlay); }));
    gui.key(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return !platform_.playedSounds().empty(); }));
    EXPECT_EQ(platform_.playedSounds().front(), folder_.narrowPath(L"sub\\Deep.wav"));
    EXPECT_TRUE(IsWindow(dialog));
    gui.key(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_TRUE(gui.lines(3).empty());
    RemoveDirectoryW(folder_.path(L"sub").c_str());
}

// A picture from a folder whose name no single code page spells (Cyrillic, Chinese, an emoji):
// listed, chosen, stored whole in the item line and compiled from the window.
TEST_F(Win32Views, AFileFromAFolderOfAnyName) {
    const std::wstring sub =
        L"\u041a\u0430\u0440\u0442\u0438\u043d\u043a\u0438 \u56fe\u7247 \U0001F600";
    const std::wstring file = L"\u041b\u043e\u0433\u043e.bmp";
    const std::string bitmap = test::sampleBitmap(16, 16);
    ASSERT_TRUE(CreateDirectoryW(folder_.path(sub).c_str(), nullptr));
    folder_.write(sub + L"\\" + file, bitmap);
    {
        Gui gui(platform_, folder_);
        gui.click(ids::cmdAdd);
        HWND dialog = gui.waitForWindow(L"  BITMAP");
        ASSERT_TRUE(dialog);
        HWND dirs = GetDlgItem(dialog, ids::Dir1);
        const LRESULT last = SendMessageW(dirs, LB_GETCOUNT, 0, 0) - 1;
        SendMessageW(dirs, LB_SETCURSEL, last, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(ids::Dir1, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(dirs));
        ASSERT_EQ(textOf(dialog, ids::etiRep), folder_.path(sub));
        chooseLine(dialog, ids::File1, file);
        setText(dialog, ids::Text1, L"LOGO");
        closeDialog(dialog, IDOK);
        gui.sync();
        const std::wstring path = folder_.path(sub + L"\\" + file);
        EXPECT_EQ(gui.lines(0), std::vector<std::wstring>{L"LOGO\t" + path});
        EXPECT_EQ(gui.session().project.lines(ResourceKind::Bitmap),
                  std::vector<std::string>{"LOGO\t" + narrow(path)});
        platform_.answerFile(folder_.path(L"any.res"));
        gui.menu(ids::mnuCompile32);
        HWND log = gui.waitForWindow(L"  Compilation");
        ASSERT_TRUE(log);
        gui.sync();
        EXPECT_NE(textOf(log, ids::Text1).find(L"Compilation : SuccessFull"), std::wstring::npos)
            << narrow(textOf(log, ids::Text1));
        closeDialog(log, ids::cmdCompileOK);
    }
    // The bitmap resource is the file after its 14-byte header.
    EXPECT_NE(folder_.read(L"any.res").find(bitmap.substr(14)), std::string::npos);
    DeleteFileW(folder_.path(sub + L"\\" + file).c_str());
    RemoveDirectoryW(folder_.path(sub).c_str());
}

// The pixels the file dialog paints into its picture box, as a copy in memory.
class PictureCopy {
public:
    explicit PictureCopy(HWND dialog) {
        HWND box = GetDlgItem(dialog, ids::PicTest);
        GetClientRect(box, &rect_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = rect_.right;
        info.bmiHeader.biHeight = -rect_.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        former_ = SelectObject(dc_, bitmap_);
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_STATIC;
        draw.CtlID = ids::PicTest;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = box;
        draw.hDC = dc_;
        draw.rcItem = rect_;
        SendMessageW(dialog, WM_DRAWITEM, ids::PicTest, reinterpret_cast<LPARAM>(&draw));
        GdiFlush();
        pixels_ = static_cast<const std::uint32_t*>(bits);
    }
    ~PictureCopy() {
        SelectObject(dc_, former_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    int width() const { return rect_.right; }
    int height() const { return rect_.bottom; }
    // 0x00RRGGBB
    std::uint32_t at(int x, int y) const { return pixels_[y * rect_.right + x] & 0xFFFFFF; }

private:
    RECT rect_{};
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ former_ = nullptr;
    const std::uint32_t* pixels_ = nullptr;
};

TEST_F(Win32Views, CursorPreviewMarksTheHotSpot) {
    folder_.write(L"Arrow.cur", sampleIconFile(2, 7, 11));
    folder_.write(L"Broken.cur", sampleIconFile(2, 7, 11).substr(0, 40));
    Gui gui(platform_, folder_);
    gui.selectTab(4);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  CURSOR");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, ids::PicTest)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ids::txtType)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ids::cmdPlay)));
    chooseLine(dialog, ids::File1, L"Arrow.cur");
    {
        const PictureCopy picture(dialog);
        // The image's extent, from its colour; the cross, from red lines through one point.
        constexpr std::uint32_t kImage = 0x2060C0;
        constexpr std::uint32_t kCross = 0xFF0000;
        int left = picture.width(), top = picture.height(), right = -1, bottom = -1;
        std::vector<int> rows(picture.height()), columns(picture.width());
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.at(x, y) == kImage) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                } else if (picture.at(x, y) == kCross) {
                    ++rows[y];
                    ++columns[x];
                }
            }
        EXPECT_EQ(right - left + 1, 32);
        EXPECT_EQ(bottom - top + 1, 32);
        const int crossY =
            static_cast<int>(std::max_element(rows.begin(), rows.end()) - rows.begin());
        const int crossX =
            static_cast<int>(std::max_element(columns.begin(), columns.end()) - columns.begin());
        EXPECT_GT(rows[crossY], 4);
        EXPECT_GT(columns[crossX], 4);
        EXPECT_EQ(crossX - left, 7);
        EXPECT_EQ(crossY - top, 11);
        // Outside the image and the cross the box keeps its face colour.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(picture.at(picture.width() - 1, picture.height() - 1),
                  RGB(GetBValue(face), GetGValue(face), GetRValue(face)));
    }
    // A damaged file leaves the box empty.
    chooseLine(dialog, ids::File1, L"Broken.cur");
    {
        const PictureCopy picture(dialog);
        for (int y = 0; y < picture.height(); y += 3)
            for (int x = 0; x < picture.width(); x += 3)
                ASSERT_NE(picture.at(x, y), 0x2060C0u) << x << "," << y;
    }
    closeDialog(dialog, IDCANCEL);
}

TEST_F(Win32Views, DataItemsWithTheirType) {
    folder_.write(L"blob.bin", std::string(1234, 'x'));
    folder_.write(L"Arrow.cur", sampleIconFile(2, 0, 0));
    folder_.write(L"notes.txt", "x");
    Gui gui(platform_, folder_);
    gui.selectTab(5);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  DATA");
    ASSERT_TRUE(dialog);
    // Every file is listed; the type field shows in place of the picture, with its default.
    HWND files = GetDlgItem(dialog, ids::File1);
    EXPECT_EQ(SendMessageW(files, LB_GETCOUNT, 0, 0), 3);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ids::PicTest)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, ids::cmdPlay)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, ids::txtType)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, ids::etiSize)));
    EXPECT_EQ(textOf(dialog, ids::Label4), L"Type");
    EXPECT_EQ(textOf(dialog, ids::txtType), L"CUSTOM");
    EXPECT_EQ(textOf(dialog, ids::etiSize), L"");
    chooseLine(dialog, ids::File1, L"blob.bin");
    EXPECT_EQ(textOf(dialog, ids::etiSize), L"1,234 bytes");
    setText(dialog, ids::Text1, L"BLOB");
    // A type the compiler refuses keeps the dialog open.
    setText(dialog, ids::txtType, L"2");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 8").rfind(wide(errorMessage(kBadDataType)), 0), 0u);
    ASSERT_TRUE(IsWindow(dialog));
    setText(dialog, ids::txtType, L" MYTYPE ");
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_EQ(gui.lines(5),
              std::vector<std::wstring>{L"BLOB\tMYTYPE\t" + folder_.path(L"blob.bin")});
    EXPECT_TRUE(gui.lines(4).empty());

    // Modify shows the type and the size of the file, and keeps what is not changed.
    gui.select(5, 0);
    gui.click(ids::cmdModify);
    dialog = gui.waitForWindow(L"  DATA");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(textOf(dialog, ids::Text1), L"BLOB");
    EXPECT_EQ(textOf(dialog, ids::txtType), L"MYTYPE");
    EXPECT_EQ(textOf(dialog, ids::etiName), L"blob.bin");
    EXPECT_EQ(textOf(dialog, ids::etiSize), L"1,234 bytes");
    chooseLine(dialog, ids::File1, L"notes.txt");
    EXPECT_EQ(textOf(dialog, ids::etiSize), L"1 byte");
    setText(dialog, ids::txtType, L"10");
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_EQ(gui.lines(5), std::vector<std::wstring>{L"BLOB\t10\t" + folder_.path(L"notes.txt")});
    EXPECT_TRUE(gui.session().ProjectChanged);

    gui.select(5, 0);
    gui.click(ids::cmdDelete);
    gui.sync();
    EXPECT_TRUE(gui.lines(5).empty());
}

// The XML the manifest dialog shows: the manifest as written, each line ending in CR LF.
std::wstring shownXml(const std::string& utf8) {
    std::wstring shown;
    for (wchar_t c : wide(utf8)) {
        if (c == L'\n' && (shown.empty() || shown.back() != L'\r'))
            shown += L'\r';
        shown += c;
    }
    return shown;
}

TEST_F(Win32Views, ManifestDialogOkAndCancel) {
    Gui gui(platform_, folder_);
    const auto openDialog = [&] {
        gui.menu(ids::mnuManifest);
        return gui.waitForWindow(L"  MANIFEST");
    };
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog);
    // A project without a manifest: none, nothing to edit, nothing to show.
    EXPECT_TRUE(isChecked(dialog, ids::optNone));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ids::txtName)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ids::cmdBrowse)));
    EXPECT_EQ(textOf(dialog, ids::txtXml), L"");
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, ids::cboDpi), CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(shell::dpiChoices().size()));

    // Each change shows the manifest as it will be written.
    ManifestSettings wanted;
    tick(dialog, ids::optGenerated);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ids::txtName)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ids::txtFile)));
    EXPECT_EQ(textOf(dialog, ids::txtXml), shownXml(generateManifest(wanted)));
    tick(dialog, ids::chkControls);
    wanted.commonControls = true;
    EXPECT_EQ(textOf(dialog, ids::txtXml), shownXml(generateManifest(wanted)));
    chooseEntry(dialog, ids::cboDpi, 4);
    wanted.dpi = DpiAwareness::PerMonitorV2;
    setText(dialog, ids::txtName, L"Caf\u00e9.App");
    wanted.name = "Caf\u00e9.App";
    const std::wstring xml = textOf(dialog, ids::txtXml);
    EXPECT_EQ(xml, shownXml(generateManifest(wanted)));
    EXPECT_NE(xml.find(L"Caf\u00e9.App"), std::wstring::npos);
    EXPECT_EQ(xml.find(L"\n<"), xml.find(L"\r\n<") + 1);

    // Cancel leaves the project as it was.
    closeDialog(dialog, IDCANCEL);
    gui.sync();
    EXPECT_TRUE(gui.session().project.lines(ResourceKind::Manifest).empty());
    EXPECT_FALSE(gui.session().ProjectChanged);

    dialog = openDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(isChecked(dialog, ids::optNone));
    // OK without a change changes nothing either.
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_FALSE(gui.session().ProjectChanged);

    dialog = openDialog();
    ASSERT_TRUE(dialog);
    tick(dialog, ids::optGenerated);
    tick(dialog, ids::chkControls);
    chooseEntry(dialog, ids::cboDpi, 4);
    setText(dialog, ids::txtName, L"Caf\u00e9.App");
    // A version the compiler refuses keeps the dialog open, with the reason.
    setText(dialog, ids::txtVersion, L"one");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 9").rfind(wide(errorMessage(kBadManifest)), 0), 0u);
    ASSERT_TRUE(IsWindow(dialog));
    setText(dialog, ids::txtVersion, L"2.0.0.0");
    wanted.version = "2.0.0.0";
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_EQ(gui.session().project.lines(ResourceKind::Manifest), manifestLines(wanted));
    EXPECT_TRUE(gui.session().ProjectChanged);

    // Saved, then OK again on what is stored: still unchanged.
    platform_.answerFile(folder_.path(L"m.kbp"));
    gui.menu(ids::mnuSaveKBP);
    gui.sync();
    ASSERT_FALSE(gui.session().ProjectChanged);
    dialog = openDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(isChecked(dialog, ids::optGenerated));
    EXPECT_TRUE(isChecked(dialog, ids::chkControls));
    EXPECT_EQ(chosenEntry(dialog, ids::cboDpi), 4);
    EXPECT_EQ(textOf(dialog, ids::txtName), L"Caf\u00e9.App");
    EXPECT_EQ(textOf(dialog, ids::txtXml), shownXml(generateManifest(wanted)));
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_FALSE(gui.session().ProjectChanged);

    // A file instead, chosen with Browse; it shows as it is, and resource 2 for a DLL.
    const std::string own =
        "<?xml version=\"1.0\"?>\n<assembly "
        "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n";
    folder_.write(L"own.manifest", own);
    dialog = openDialog();
    ASSERT_TRUE(dialog);
    platform_.answerFile(folder_.path(L"own.manifest"));
    PostMessageW(GetDlgItem(dialog, ids::cmdBrowse), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return isChecked(dialog, ids::optFile); }));
    gui.sync();
    EXPECT_EQ(textOf(dialog, ids::txtFile), folder_.path(L"own.manifest"));
    EXPECT_FALSE(isChecked(dialog, ids::optGenerated));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ids::txtFile)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ids::chkControls)));
    EXPECT_EQ(textOf(dialog, ids::txtXml), shownXml(own));
    tick(dialog, ids::chkDll);
    closeDialog(dialog, IDOK);
    gui.sync();
    ManifestSettings file;
    file.id = kManifestIdLibrary;
    file.file = folder_.narrowPath(L"own.manifest");
    EXPECT_EQ(gui.session().project.lines(ResourceKind::Manifest), manifestLines(file));
    EXPECT_TRUE(gui.session().ProjectChanged);
}

TEST_F(Win32Views, VersionDialogOkAndCancel) {
    Gui gui(platform_, folder_);
    const auto openDialog = [&] {
        gui.menu(ids::mnuVersion);
        return gui.waitForWindow(L"  VERSION");
    };
    HWND dialog = openDialog();
    ASSERT_TRUE(dialog);
    const std::vector<shell::LanguageChoice>& languages = shell::commonLanguages();
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, ids::cboLanguage), CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(languages.size()));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, ids::cboFileType), CB_GETCOUNT, 0, 0), 2);
    // A number field takes five characters from the keyboard.
    HWND part = GetDlgItem(dialog, ids::txtFile0);
    for (int i = 0; i < 7; ++i)
        PostMessageW(part, WM_CHAR, L'9', 1);
    gui.sync();
    EXPECT_EQ(textOf(dialog, ids::txtFile0), L"99999");
    // Too large for a part: refused, the dialog stays.
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(answerBox(gui, L"ERROR 10").rfind(wide(errorMessage(kBadVersion)), 0), 0u);
    ASSERT_TRUE(IsWindow(dialog));
    const wchar_t* parts[] = {L"1", L"2", L"3", L"4"};
    for (int i = 0; i < 4; ++i)
        setText(dialog, ids::txtFile0 + i, parts[i]);
    setText(dialog, ids::txtString0 + 1, L"Kelbo & Co \u20ac");
    // The third language, for a DLL.
    chooseEntry(dialog, ids::cboLanguage, 2);
    chooseEntry(dialog, ids::cboFileType, 1);
    closeDialog(dialog, IDCANCEL);
    gui.sync();
    EXPECT_TRUE(gui.session().project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(gui.session().ProjectChanged);

    dialog = openDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(textOf(dialog, ids::txtFile0), L"");
    EXPECT_EQ(textOf(dialog, ids::txtString0 + 1), L"");
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_FALSE(gui.session().ProjectChanged);

    dialog = openDialog();
    ASSERT_TRUE(dialog);
    for (int i = 0; i < 4; ++i)
        setText(dialog, ids::txtFile0 + i, parts[i]);
    setText(dialog, ids::txtString0 + 1, L"Kelbo & Co \u20ac");
    chooseEntry(dialog, ids::cboLanguage, 2);
    chooseEntry(dialog, ids::cboFileType, 1);
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_TRUE(gui.session().ProjectChanged);
    VersionProblem problem;
    const std::optional<VersionSettings> stored =
        parseVersionLines(gui.session().project.lines(ResourceKind::Version), problem);
    ASSERT_TRUE(stored) << problem.text;
    EXPECT_EQ(stored->fileVersion, (VersionNumber{1, 2, 3, 4}));
    EXPECT_TRUE(stored->dll);
    EXPECT_EQ(stored->language, languages[2].id);
    const auto company =
        std::find_if(stored->strings.begin(), stored->strings.end(),
                     [](const VersionString& s) { return s.key == "CompanyName"; });
    ASSERT_NE(company, stored->strings.end());
    EXPECT_EQ(company->value, "Kelbo & Co \u20ac");

    // Saved, then shown again as stored; OK without a change leaves the project unchanged.
    platform_.answerFile(folder_.path(L"v.kbp"));
    gui.menu(ids::mnuSaveKBP);
    gui.sync();
    ASSERT_FALSE(gui.session().ProjectChanged);
    dialog = openDialog();
    ASSERT_TRUE(dialog);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(textOf(dialog, ids::txtFile0 + i), parts[i]);
    EXPECT_EQ(textOf(dialog, ids::txtString0 + 1), L"Kelbo & Co \u20ac");
    EXPECT_EQ(chosenEntry(dialog, ids::cboLanguage), 2);
    EXPECT_EQ(chosenEntry(dialog, ids::cboFileType), 1);
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_FALSE(gui.session().ProjectChanged);
}

// Tab from the focused control visits `order`, then comes back to where it started.
void expectTabOrder(const Gui& gui, HWND dialog, const std::vector<int>& order) {
    const HWND start = gui.focus();
    for (int id : order) {
        gui.key(VK_TAB);
        ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(dialog, id); }, 2s))
            << "expected " << id << ", focus on " << GetDlgCtrlID(gui.focus());
    }
    gui.key(VK_TAB);
    EXPECT_TRUE(waitFor([&] { return gui.focus() == start; }, 2s));
}

TEST_F(Win32Views, KeyboardInTheProjectDialogs) {
    Gui gui(platform_, folder_);
    gui.menu(ids::mnuManifest);
    HWND dialog = gui.waitForWindow(L"  MANIFEST");
    ASSERT_TRUE(dialog);
    // The focus starts on the chosen option; the arrow keys choose another.
    EXPECT_EQ(gui.focus(), GetDlgItem(dialog, ids::optNone));
    gui.key(VK_DOWN);
    ASSERT_TRUE(waitFor([&] { return isChecked(dialog, ids::optFile); }));
    EXPECT_FALSE(isChecked(dialog, ids::optNone));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ids::txtFile)));
    SendMessageW(dialog, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::optGenerated)), TRUE);
    tick(dialog, ids::optGenerated);
    // Tab reaches each setting once, the options only at their choice.
    expectTabOrder(gui, dialog,
                   {ids::chkControls, ids::cboDpi, ids::cboLevel, ids::chkOs, ids::txtName,
                    ids::txtVersion, ids::txtDescription, ids::chkDll, ids::txtXml, IDOK,
                    IDCANCEL});
    // Space on a focused check box ticks it.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::chkOs)),
                 TRUE);
    gui.key(VK_SPACE);
    ASSERT_TRUE(waitFor([&] { return isChecked(dialog, ids::chkOs); }));
    // Cancel focused: Enter cancels.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)),
                 TRUE);
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_TRUE(gui.session().project.lines(ResourceKind::Manifest).empty());

    // Enter in a text box is OK; Escape is Cancel.
    gui.menu(ids::mnuManifest);
    dialog = gui.waitForWindow(L"  MANIFEST");
    ASSERT_TRUE(dialog);
    tick(dialog, ids::optGenerated);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::txtName)),
                 TRUE);
    setText(dialog, ids::txtName, L"Keyed.App");
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_FALSE(gui.session().project.lines(ResourceKind::Manifest).empty());
    const Project::Lines kept = gui.session().project.lines(ResourceKind::Manifest);
    // The same keys in the manifest text, which is read-only and takes neither.
    for (WPARAM vk : {VK_ESCAPE, VK_RETURN}) {
        gui.menu(ids::mnuManifest);
        dialog = gui.waitForWindow(L"  MANIFEST");
        ASSERT_TRUE(dialog);
        tick(dialog, ids::optNone);
        SendMessageW(dialog, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::txtXml)), TRUE);
        ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(dialog, ids::txtXml); }));
        gui.key(vk);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
        gui.sync();
        EXPECT_EQ(gui.session().project.lines(ResourceKind::Manifest),
                  vk == VK_ESCAPE ? kept : Project::Lines{});
    }

    gui.menu(ids::mnuVersion);
    dialog = gui.waitForWindow(L"  VERSION");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gui.focus(), GetDlgItem(dialog, ids::txtFile0));
    std::vector<int> order = {ids::txtFile0 + 1, ids::txtFile0 + 2, ids::txtFile0 + 3};
    for (int i = 0; i < 4; ++i)
        order.push_back(ids::txtProduct0 + i);
    for (int id : {ids::chkStrings, ids::cboFileType, ids::cboLanguage, ids::cboCodePage})
        order.push_back(id);
    for (int i = 0; i < shell::kVersionStringCount; ++i)
        order.push_back(ids::txtString0 + i);
    order.push_back(IDOK);
    order.push_back(IDCANCEL);
    expectTabOrder(gui, dialog, order);
    setText(dialog, ids::txtString0 + 8, L"Keyed");
    gui.key(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_TRUE(gui.session().project.lines(ResourceKind::Version).empty());
    gui.menu(ids::mnuVersion);
    dialog = gui.waitForWindow(L"  VERSION");
    ASSERT_TRUE(dialog);
    setText(dialog, ids::txtString0 + 8, L"Keyed");
    SendMessageW(dialog, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::txtString0 + 8)), TRUE);
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_FALSE(gui.session().project.lines(ResourceKind::Version).empty());
}

// Every kind in one project: the file kinds added through their dialogs, the manifest and the
// version through theirs; saved, opened by a new run and compiled from its window.
TEST_F(Win32Views, EveryKindSavedReopenedAndCompiled) {
    folder_.write(L"Picture.bmp", test::sampleBitmap(16, 16));
    folder_.write(L"App.ico", sampleIconFile());
    folder_.write(L"Chime.wav", test::sampleWave(64));
    folder_.write(L"Arrow.cur", sampleIconFile(2, 3, 4));
    folder_.write(L"blob.bin", "some bytes");
    {
        Gui gui(platform_, folder_);
        const std::pair<int, const wchar_t*> files[] = {{0, L"Picture.bmp"},
                                                        {1, L"App.ico"},
                                                        {3, L"Chime.wav"},
                                                        {4, L"Arrow.cur"},
                                                        {5, L"blob.bin"}};
        for (const auto& [tab, file] : files) {
            gui.selectTab(tab);
            gui.click(ids::cmdAdd);
            HWND dialog =
                gui.waitForWindow(L"  " + wide(kindName(shell::MainPresenter::tabKinds()[tab])));
            ASSERT_TRUE(dialog);
            chooseLine(dialog, ids::File1, file);
            setText(dialog, ids::Text1, tab == 5 ? L"BLOB" : L"10" + std::to_wstring(tab));
            closeDialog(dialog, IDOK);
            gui.sync();
        }
        addString(gui, L"1", L"Caf\u00e9");
        gui.menu(ids::mnuManifest);
        HWND dialog = gui.waitForWindow(L"  MANIFEST");
        ASSERT_TRUE(dialog);
        tick(dialog, ids::optGenerated);
        tick(dialog, ids::chkControls);
        chooseEntry(dialog, ids::cboLevel, 1);
        closeDialog(dialog, IDOK);
        gui.menu(ids::mnuVersion);
        dialog = gui.waitForWindow(L"  VERSION");
        ASSERT_TRUE(dialog);
        setText(dialog, ids::txtFile0, L"3");
        setText(dialog, ids::txtString0 + 8, L"Every kind");
        closeDialog(dialog, IDOK);
        gui.sync();
        for (ResourceKind kind : kAllKinds)
            EXPECT_FALSE(gui.session().project.lines(kind).empty()) << kindName(kind);
        platform_.answerFile(folder_.path(L"every.kbp"));
        gui.menu(ids::mnuSaveKBP);
        gui.sync();
    }
    Gui gui(platform_, folder_, folder_.path(L"every.kbp"));
    EXPECT_EQ(gui.lines(4).size(), 1u);
    EXPECT_EQ(gui.lines(5),
              std::vector<std::wstring>{L"BLOB\tCUSTOM\t" + folder_.path(L"blob.bin")});
    platform_.answerFile(folder_.path(L"gui.res"));
    gui.menu(ids::mnuCompile32);
    HWND log = gui.waitForWindow(L"  Compilation");
    ASSERT_TRUE(log);
    gui.sync();
    EXPECT_NE(textOf(log, ids::Text1).find(L"Compilation : SuccessFull"), std::wstring::npos)
        << narrow(textOf(log, ids::Text1));
    closeDialog(log, ids::cmdCompileOK);
    std::ostringstream said, complaints;
    ASSERT_EQ(runCompileCommand(
                  {"--32", folder_.narrowPath(L"every.kbp"), folder_.narrowPath(L"cli.res")}, said,
                  complaints),
              0)
        << complaints.str();
    EXPECT_FALSE(folder_.read(L"gui.res").empty());
    EXPECT_EQ(folder_.read(L"gui.res"), folder_.read(L"cli.res"));
}

// Russian added through the Languages dialog with a copy of the strings, its string made
// Cyrillic through the string dialog, saved, opened by a new run, shown by the drop-down and
// compiled from the window as kelbo-compile compiles the file.
TEST_F(Win32Views, ASecondLanguageSavedReopenedAndCompiled) {
    const std::wstring russian = L"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440";
    {
        Gui gui(platform_, folder_);
        addString(gui, L"1", L"Hello");
        EXPECT_EQ(entries(gui.main(), ids::cboLanguage),
                  std::vector<std::wstring>{L"Neutral [0000] \u2013 base"});
        gui.menu(ids::mnuLanguages);
        HWND dialog = gui.waitForWindow(L"  Languages");
        ASSERT_TRUE(dialog);
        const int at = entryStarting(dialog, ids::cboLanguage, L"Russian (Russia)");
        ASSERT_GE(at, 0);
        chooseEntry(dialog, ids::cboLanguage, at);
        EXPECT_TRUE(isChecked(dialog, ids::chkCopy0 + kindIndex(ResourceKind::String)));
        PostMessageW(GetDlgItem(dialog, ids::cmdAdd), BM_CLICK, 0, 0);
        gui.sync();
        EXPECT_EQ(
            entries(dialog, ids::lstLanguages),
            (std::vector<std::wstring>{
                L"Neutral [0000] \u2013 base",
                L"Russian (Russia) \u2013 \u0440\u0443\u0441\u0441\u043a\u0438\u0439 [0419]"}));
        closeDialog(dialog, IDOK);
        gui.sync();

        ASSERT_EQ(entries(gui.main(), ids::cboLanguage).size(), 2u);
        chooseEntry(gui.main(), ids::cboLanguage, 1);
        gui.sync();
        EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\tHello"});
        gui.select(2, 0);
        gui.click(ids::cmdModify);
        dialog = gui.waitForWindow(L"  STRING");
        ASSERT_TRUE(dialog);
        setText(dialog, ids::Text1, russian);
        closeDialog(dialog, IDOK);
        gui.sync();
        EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\t" + russian});
        // Switching back shows the base's own string.
        chooseEntry(gui.main(), ids::cboLanguage, 0);
        gui.sync();
        EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\tHello"});
        platform_.answerFile(folder_.path(L"two.kbp"));
        gui.menu(ids::mnuSaveKBP);
        gui.sync();
    }
    const std::optional<Project> saved = loadProjectFile(folder_.narrowPath(L"two.kbp"));
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->sectionCount(), 2);
    EXPECT_EQ(saved->section(1).language, 0x0419);
    EXPECT_EQ(saved->section(1).lines(ResourceKind::String),
              std::vector<std::string>{"1\t" + narrow(russian)});

    Gui gui(platform_, folder_, folder_.path(L"two.kbp"));
    EXPECT_EQ(chosenEntry(gui.main(), ids::cboLanguage), 0);
    chooseEntry(gui.main(), ids::cboLanguage, 1);
    gui.sync();
    EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\t" + russian});
    platform_.answerFile(folder_.path(L"gui.res"));
    gui.menu(ids::mnuCompile32);
    HWND log = gui.waitForWindow(L"  Compilation");
    ASSERT_TRUE(log);
    gui.sync();
    EXPECT_NE(textOf(log, ids::Text1).find(L"Compilation : SuccessFull"), std::wstring::npos)
        << narrow(textOf(log, ids::Text1));
    closeDialog(log, ids::cmdCompileOK);
    std::ostringstream said, complaints;
    ASSERT_EQ(
        runCompileCommand({"--32", folder_.narrowPath(L"two.kbp"), folder_.narrowPath(L"cli.res")},
                          said, complaints),
        0)
        << complaints.str();
    const std::string res = folder_.read(L"gui.res");
    EXPECT_EQ(res, folder_.read(L"cli.res"));
    // The string table holds the Cyrillic text as UTF-16.
    EXPECT_NE(res.find(utf8ToUtf16Le(narrow(russian))), std::string::npos);
}

// Tab visits every control once; Enter presses the focused button, else OK; Escape cancels.
TEST_F(Win32Views, KeyboardInTheLanguagesDialog) {
    Gui gui(platform_, folder_);
    gui.menu(ids::mnuLanguages);
    HWND dialog = gui.waitForWindow(L"  Languages");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gui.focus(), GetDlgItem(dialog, ids::lstLanguages));
    // Remove is off while the base is selected, and Tab passes it by.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, ids::cmdRemove)));
    std::vector<int> order = {ids::cboLanguage, ids::txtCode};
    for (int k = 0; k < kKindCount; ++k)
        order.push_back(ids::chkCopy0 + k);
    for (int id : {ids::cmdAdd, ids::cmdBase, IDOK, IDCANCEL})
        order.push_back(id);
    expectTabOrder(gui, dialog, order);

    // Enter on the focused Add adds and leaves the dialog open; Escape then drops the change.
    setText(dialog, ids::txtCode, L"0407");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::cmdAdd)),
                 TRUE);
    gui.key(VK_RETURN);
    ASSERT_TRUE(waitFor([&] { return entries(dialog, ids::lstLanguages).size() == 2; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ids::cmdRemove)));
    gui.key(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    EXPECT_EQ(gui.session().project.sectionCount(), 1);
    EXPECT_FALSE(gui.session().ProjectChanged);

    // A code that is no language: a box, and the dialog stays.
    gui.menu(ids::mnuLanguages);
    dialog = gui.waitForWindow(L"  Languages");
    ASSERT_TRUE(dialog);
    setText(dialog, ids::txtCode, L"04G7");
    PostMessageW(GetDlgItem(dialog, ids::cmdAdd), BM_CLICK, 0, 0);
    EXPECT_NE(answerBox(gui, L"ERROR").find(L"04G7"), std::wstring::npos);
    ASSERT_TRUE(IsWindow(dialog));
    // Enter with no button focused is OK.
    setText(dialog, ids::txtCode, L"0407");
    PostMessageW(GetDlgItem(dialog, ids::cmdAdd), BM_CLICK, 0, 0);
    gui.sync();
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, ids::txtCode)),
                 TRUE);
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    gui.sync();
    ASSERT_EQ(gui.session().project.sectionCount(), 2);
    EXPECT_EQ(gui.session().project.section(1).language, 0x0407);
    EXPECT_EQ(entries(gui.main(), ids::cboLanguage).size(), 2u);

    // Remove asks first: Cancel keeps the language, OK takes it out.
    gui.menu(ids::mnuLanguages);
    dialog = gui.waitForWindow(L"  Languages");
    ASSERT_TRUE(dialog);
    for (int answer : {IDCANCEL, IDOK}) {
        chooseLine(dialog, ids::lstLanguages, entries(dialog, ids::lstLanguages).back());
        PostMessageW(GetDlgItem(dialog, ids::cmdRemove), BM_CLICK, 0, 0);
        EXPECT_EQ(answerBox(gui, L"WARNING", answer).rfind(L"Remove German", 0), 0u);
        gui.sync();
        EXPECT_EQ(entries(dialog, ids::lstLanguages).size(), answer == IDOK ? 1u : 2u);
    }
    closeDialog(dialog, IDOK);
    gui.sync();
    EXPECT_EQ(gui.session().project.sectionCount(), 1);
}

TEST_F(Win32Views, GuardOnNewOpenAndExit) {
    folder_.write(L"other.kbp", test::projectBytes({{}, {}, {"5\tfrom file"}, {}}));
    Gui gui(platform_, folder_);
    addString(gui, L"1", L"unsaved");
    // New: Cancel in the guard drops the change.
    gui.menu(ids::mnuNewKBP);
    EXPECT_EQ(answerBox(gui, L"WARNING", IDCANCEL), L"File has changed\r\nSave-it ?");
    gui.sync();
    EXPECT_TRUE(gui.lines(2).empty());
    EXPECT_EQ(gui.caption(), wide(kNewCaption));

    // Open: OK in the guard saves first (Save As, the project being untitled), then opens.
    addString(gui, L"2", L"kept");
    platform_.answerFile(folder_.path(L"saved.kbp"));
    platform_.answerFile(folder_.path(L"other.kbp"));
    gui.menu(ids::mnuOpenKBP);
    answerBox(gui, L"WARNING", IDOK);
    gui.sync();
    EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"5\tfrom file"});
    EXPECT_EQ(gui.caption(), folder_.path(L"other.kbp"));
    const std::optional<Project> saved = loadProjectFile(folder_.narrowPath(L"saved.kbp"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->lines(ResourceKind::String), Project::Lines{"2\tkept"});

    // Exit asks too, and ends the window whatever the answer.
    addString(gui, L"3", L"dropped");
    gui.menu(ids::mnuExit);
    answerBox(gui, L"WARNING", IDCANCEL);
    EXPECT_TRUE(waitFor([&] { return gui.finished(); }));
    EXPECT_EQ(loadProjectFile(folder_.narrowPath(L"other.kbp"))->lines(ResourceKind::String),
              Project::Lines{"5\tfrom file"});
}

TEST_F(Win32Views, SaveReopenAndRecentFiles) {
    {
        Gui gui(platform_, folder_);
        addString(gui, L"1", L"one");
        addString(gui, L"2", L"two & more");
        platform_.answerFile(folder_.path(L"Demo.KBP"));
        gui.menu(ids::mnuSaveKBP);
        gui.sync();
        ASSERT_EQ(platform_.requests.size(), 1u);
        EXPECT_TRUE(platform_.requests[0].save);
        EXPECT_EQ(platform_.requests[0].filter.patterns.front(), "*.KBP");
        EXPECT_EQ(gui.caption(), folder_.path(L"Demo.KBP"));
        // The recent list names the saved project, lower-cased as Windows paths are; the menu
        // shows it from the next start on.
        std::string lower = folder_.narrowPath(L"Demo.KBP");
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
        EXPECT_EQ(folder_.read(L"kbplast.cfg").rfind(lower + "\r\n", 0), 0u);
    }
    // A new run offers the project in its File menu, and opens it from there.
    Gui again(platform_, folder_);
    std::wstring lower = folder_.path(L"demo.kbp");
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    EXPECT_EQ(again.menuText(ids::mnuFile1), L"&1 " + lower);
    again.menu(ids::mnuFile1);
    again.sync();
    EXPECT_EQ(again.lines(2).size(), 2u);
    EXPECT_EQ(again.caption(), lower);
}

TEST_F(Win32Views, NewKindsSurviveOpenAndSave) {
    Project project;
    project.append(ResourceKind::String, "1\tplain");
    project.append(ResourceKind::Data, "BLOB\tRCDATA\tC:\\data.bin");
    project.append(ResourceKind::Version, "FileVersion=1.2.3.4");
    std::string error;
    ASSERT_TRUE(saveProjectFile(folder_.narrowPath(L"ext.kbp"), project, error)) << error;
    Gui gui(platform_, folder_, folder_.path(L"ext.kbp"));
    EXPECT_EQ(gui.caption(), folder_.path(L"ext.kbp"));
    EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\tplain"});
    EXPECT_EQ(gui.lines(5), std::vector<std::wstring>{L"BLOB\tRCDATA\tC:\\data.bin"});
    addString(gui, L"2", L"added");
    gui.menu(ids::mnuSaveKBP);
    gui.sync();
    project.append(ResourceKind::String, "2\tadded");
    const std::optional<Project> saved = loadProjectFile(folder_.narrowPath(L"ext.kbp"));
    ASSERT_TRUE(saved);
    for (ResourceKind kind : kAllKinds)
        EXPECT_EQ(saved->lines(kind), project.lines(kind)) << kindName(kind);
}

TEST_F(Win32Views, ErrorBoxesOfTheMainWindow) {
    folder_.write(L"broken.kbp", "KELBO2");
    Gui gui(platform_, folder_, folder_.path(L"broken.kbp"));
    EXPECT_EQ(answerBox(gui, L"ERROR 6"), wide(errorMessage(kInvalidProjectFile)));
    gui.sync();
    EXPECT_EQ(gui.caption(), wide(kInvalidFileCaption));
    gui.menu(ids::mnuCompile32);
    EXPECT_EQ(answerBox(gui, L"ERROR 7"), wide(errorMessage(kNothingToCompile)));
    gui.click(ids::cmdModify);
    EXPECT_EQ(answerBox(gui, L"ERROR 1"), wide(errorMessage(kNoItemSelected)));
    // A project under the recent-files file's name is refused with the reason.
    addString(gui, L"1", L"x");
    platform_.answerFile(folder_.path(L"kbplast.cfg"));
    gui.menu(ids::mnuSaveAs);
    const std::wstring text = answerBox(gui, L"ERROR");
    EXPECT_EQ(text.rfind(L"The project was not saved.", 0), 0u) << narrow(text);
    gui.sync();
    EXPECT_EQ(gui.caption(), wide(kInvalidFileCaption));
}

TEST_F(Win32Views, CompileInBothLayoutsAsKelboCompileDoes) {
    folder_.write(L"Picture.bmp", test::sampleBitmap(16, 16));
    folder_.write(L"App.ico", sampleIconFile());
    const std::string bitmap = folder_.narrowPath(L"Picture.bmp");
    const std::string icon = folder_.narrowPath(L"App.ico");
    folder_.write(
        L"c.kbp",
        test::projectBytes({{"LOGO\t" + bitmap}, {"1\t" + icon}, {"1\tHello", "16\tWorld"}, {}}));
    Gui gui(platform_, folder_, folder_.path(L"c.kbp"));
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        const std::wstring out = L"gui" + std::to_wstring(bits) + L".res";
        platform_.answerFile(folder_.path(out));
        gui.menu(bits == 32 ? ids::mnuCompile32 : ids::mnuCompile16);
        HWND log = gui.waitForWindow(L"  Compilation");
        ASSERT_TRUE(log);
        gui.sync();
        EXPECT_NE(textOf(log, ids::Text1).find(L"Compilation : SuccessFull"), std::wstring::npos);
        EXPECT_EQ(platform_.requests.back().title,
                  bits == 32 ? "Save As ...( 32 bits)" : "Save As ...( 16 bits)");
        std::ostringstream said, complaints;
        const std::string reference = folder_.narrowPath(L"cli" + std::to_wstring(bits) + L".res");
        ASSERT_EQ(runCompileCommand(
                      {bits == 32 ? "--32" : "--16", folder_.narrowPath(L"c.kbp"), reference}, said,
                      complaints),
                  0)
            << complaints.str();
        EXPECT_EQ(folder_.read(out), folder_.read(L"cli" + std::to_wstring(bits) + L".res"));
        EXPECT_FALSE(folder_.read(out).empty());
        if (bits == 32) {
            // Only OK closes the log: Enter in the log and Escape leave it open...
            SendMessageW(log, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(log, ids::Text1)),
                         TRUE);
            ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(log, ids::Text1); }));
            gui.key(VK_RETURN);
            gui.key(VK_ESCAPE);
            gui.sync();
            EXPECT_TRUE(IsWindow(log));
            // ...and Enter on the focused OK closes it.
            gui.key(VK_TAB);
            ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(log, ids::cmdCompileOK); }));
            gui.key(VK_RETURN);
        } else {
            PostMessageW(GetDlgItem(log, ids::cmdCompileOK), BM_CLICK, 0, 0);
        }
        EXPECT_TRUE(waitFor([&] { return !IsWindow(log); }));
    }
}

TEST_F(Win32Views, PrintingTheListing) {
    Gui gui(platform_, folder_);
    // Cancel in the print dialog prints nothing.
    gui.menu(ids::mnuPrint);
    gui.sync();
    EXPECT_EQ(platform_.printDialogs, 1);
    EXPECT_TRUE(platform_.printed.empty());
    for (int i = 0; i < 30; ++i)
        addString(gui, std::to_wstring(i + 1), L"line");
    // Ten lines to a page, and a little spare.
    platform_.pageHeight = RecordingPrinter::kLineHeight * 10 + 5;
    gui.menu(ids::mnuPrint);
    gui.sync();
    std::vector<std::string> lines;
    for (const auto& page : platform_.printed) {
        int count = 0;
        for (const Drawn& piece : page) {
            if (piece.x == 0) {
                EXPECT_EQ(piece.baseline,
                          count * RecordingPrinter::kLineHeight + RecordingPrinter::kAscent);
                ++count;
                lines.push_back(piece.text);
            } else {
                // The text after a TAB starts on a stop eight average characters apart.
                EXPECT_EQ(piece.x % (8 * RecordingPrinter::kCharWidth), 0);
                lines.back() += "\t" + piece.text;
            }
        }
        EXPECT_LE(count, 10);
    }
    SYSTEMTIME today{};
    GetLocalTime(&today);
    Project project;
    for (int i = 0; i < 30; ++i)
        project.append(ResourceKind::String, std::to_string(i + 1) + "\tline");
    const std::vector<std::string> expected =
        listingLines(project, "", listingDate(today.wYear, today.wMonth, today.wDay));
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(platform_.printed.size(), (expected.size() + 9) / 10);
}

TEST_F(Win32Views, HelpSubHelpAndAbout) {
    Gui gui(platform_, folder_);
    gui.menu(ids::mnuHelp);
    HWND help = gui.waitForWindow(wide(kHelpIndexCaption));
    ASSERT_TRUE(help);
    const auto& topics = helpTopics();
    for (int i = 0; i < shell::HelpPresenter::kTopicCount; ++i)
        EXPECT_EQ(textOf(help, ids::HelpLabel1 + i), wide(topics[i].label));
    PostMessageW(help, WM_COMMAND, MAKEWPARAM(ids::HelpLabel1 + 2, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(help, ids::HelpLabel1 + 2)));
    HWND topic = gui.waitForWindow(wide(topics[2].caption));
    ASSERT_TRUE(topic);
    EXPECT_EQ(textOf(topic, ids::Text1), wide(topics[2].text));
    // Enter on INDEX, reached with Tab from the text, goes back to the index.
    EXPECT_EQ(gui.focus(), GetDlgItem(topic, ids::Text1));
    gui.key(VK_TAB);
    ASSERT_TRUE(waitFor([&] { return gui.focus() == GetDlgItem(topic, ids::Command1); }));
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(topic); }));
    closeDialog(help, ids::Command1);

    gui.menu(ids::mnuAbout);
    HWND about = gui.waitForWindow(L" ");
    ASSERT_TRUE(about);
    EXPECT_EQ(textOf(about, ids::AboutLabel2), L"Version " + wide(kVersion));
    gui.key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(about); }));
}

// Every control of the shared description whose place the Win32 window keeps, at the twips
// the description gives, converted with the window's DPI; parents' offsets added.
void expectLayout(HWND window, const shell::WindowSpec& spec,
                  const std::map<std::string_view, int>& ids) {
    SCOPED_TRACE(std::string(spec.name));
    const double dpi = GetDpiForWindow(window);
    const auto px = [&](int twips) { return static_cast<LONG>(std::lround(twips * dpi / 1440.0)); };
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(spec.clientWidth));
    EXPECT_EQ(client.bottom, px(spec.clientHeight));
    int checked = 0;
    for (const shell::ControlSpec& control : spec.controls) {
        const auto id = ids.find(control.name);
        if (id == ids.end())
            continue;
        SCOPED_TRACE(std::string(control.name));
        int left = control.twips.left;
        int top = control.twips.top;
        if (const shell::ControlSpec* parent = spec.find(control.parent)) {
            left += parent->twips.left;
            top += parent->twips.top;
        }
        HWND child = GetDlgItem(window, id->second);
        ASSERT_TRUE(child);
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, px(left));
        EXPECT_EQ(place.top, px(top));
        if (!control.autoSize && control.kind != shell::ControlKind::DriveList) {
            EXPECT_EQ(place.right - place.left, px(control.twips.width));
            EXPECT_EQ(place.bottom - place.top, px(control.twips.height));
        }
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(ids.size()));
}

TEST_F(Win32Views, EveryWindowPlacedAsTheSharedDescriptionSays) {
    folder_.write(L"a.bmp", test::sampleBitmap(4, 4));
    Gui gui(platform_, folder_);
    expectLayout(gui.main(), shell::mainWindowSpec(),
                 {{"cmdAdd", ids::cmdAdd},
                  {"cmdModify", ids::cmdModify},
                  {"cmdDelete", ids::cmdDelete},
                  {"List0", ids::List0},
                  {"List1", ids::List0 + 1},
                  {"List2", ids::List0 + 2},
                  {"List3", ids::List0 + 3},
                  {"List4", ids::List0 + 4},
                  {"List5", ids::List0 + 5},
                  {"TabStrip1", ids::TabStrip1},
                  {"lblLanguage", ids::lblLanguage},
                  {"cboLanguage", ids::cboLanguage}});

    gui.selectTab(2);
    gui.click(ids::cmdAdd);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::stringItemDialogSpec(),
                 {{"Text1", ids::Text1},
                  {"Text2", ids::Text2},
                  {"cmdOK", IDOK},
                  {"cmdCancel", IDCANCEL},
                  {"label1", ids::label1},
                  {"Label2", ids::Label2},
                  {"Label3", ids::Label3}});
    closeDialog(dialog, IDCANCEL);

    gui.selectTab(0);
    gui.click(ids::cmdAdd);
    dialog = gui.waitForWindow(L"  BITMAP");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::fileItemDialogSpec(),
                 {{"File1", ids::File1},
                  {"Drive1", ids::Drive1},
                  {"Dir1", ids::Dir1},
                  {"cmdOK", IDOK},
                  {"cmdCancel", IDCANCEL},
                  {"cmdPlay", ids::cmdPlay},
                  {"Text1", ids::Text1},
                  {"etiName", ids::etiName},
                  {"etiRep", ids::etiRep},
                  {"Label3", ids::Label3},
                  {"PicTest", ids::PicTest}});
    closeDialog(dialog, IDCANCEL);

    gui.selectTab(5);
    gui.click(ids::cmdAdd);
    dialog = gui.waitForWindow(L"  DATA");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::fileItemDialogSpec(),
                 {{"Label4", ids::Label4}, {"txtType", ids::txtType}, {"etiSize", ids::etiSize}});
    closeDialog(dialog, IDCANCEL);

    gui.menu(ids::mnuManifest);
    dialog = gui.waitForWindow(L"  MANIFEST");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::manifestDialogSpec(), ManifestDialog::controlIds());
    closeDialog(dialog, IDCANCEL);

    gui.menu(ids::mnuVersion);
    dialog = gui.waitForWindow(L"  VERSION");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::versionDialogSpec(), VersionDialog::controlIds());
    closeDialog(dialog, IDCANCEL);

    gui.menu(ids::mnuLanguages);
    dialog = gui.waitForWindow(L"  Languages");
    ASSERT_TRUE(dialog);
    expectLayout(dialog, shell::languagesDialogSpec(), LanguagesDialog::controlIds());
    closeDialog(dialog, IDCANCEL);

    gui.menu(ids::mnuHelp);
    HWND help = gui.waitForWindow(wide(kHelpIndexCaption));
    ASSERT_TRUE(help);
    expectLayout(help, shell::helpIndexSpec(),
                 {{"Command1", ids::Command1},
                  {"Label1", ids::HelpLabel1},
                  {"Label6", ids::HelpLabel1 + 5},
                  {"Label9", ids::HelpLabel1 + 8}});
    PostMessageW(help, WM_COMMAND, MAKEWPARAM(ids::HelpLabel1, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(help, ids::HelpLabel1)));
    HWND topic = gui.waitForWindow(wide(helpTopics()[0].caption));
    ASSERT_TRUE(topic);
    expectLayout(topic, shell::subHelpSpec(),
                 {{"Text1", ids::Text1}, {"Picture1", ids::Picture1}, {"Command1", ids::Command1}});
    closeDialog(topic, ids::Command1);
    closeDialog(help, ids::Command1);

    gui.menu(ids::mnuAbout);
    HWND about = gui.waitForWindow(L" ");
    ASSERT_TRUE(about);
    expectLayout(about, shell::aboutSpec(),
                 {{"Frame1", ids::Frame1},
                  {"Command1", IDOK},
                  {"Label1", ids::AboutLabel1},
                  {"Label2", ids::AboutLabel2}});
    closeDialog(about, IDOK);

    folder_.write(L"one.kbp", test::projectBytes({{}, {}, {"1\tx"}, {}}));
    // The answer is there before the menu command, which the window's thread may take at once.
    platform_.answerFile(folder_.path(L"one.kbp"));
    gui.menu(ids::mnuOpenKBP);
    gui.sync();
    platform_.answerFile(folder_.path(L"one.res"));
    gui.menu(ids::mnuCompile32);
    HWND log = gui.waitForWindow(L"  Compilation");
    ASSERT_TRUE(log);
    expectLayout(log, shell::compileLogSpec(),
                 {{"Text1", ids::Text1}, {"cmdOK", ids::cmdCompileOK}});
    closeDialog(log, ids::cmdCompileOK);
}

TEST_F(Win32Views, FourFullListsOpenQuickly) {
    std::vector<std::vector<std::string>> kinds(4);
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < kMaxLinesPerKind; ++i)
            kinds[k].push_back(std::to_string(i + 1) +
                               (k == 2 ? "\tsome text" : "\tC:\\pictures\\a.bmp"));
    folder_.write(L"big.kbp", test::projectBytes(kinds));
    const auto start = std::chrono::steady_clock::now();
    Gui gui(platform_, folder_, folder_.path(L"big.kbp"));
    gui.sync();
    const auto took = std::chrono::steady_clock::now() - start;
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(SendMessageW(gui.control(ids::List0 + k), LB_GETCOUNT, 0, 0), kMaxLinesPerKind);
    EXPECT_LT(took, 30s);
    std::printf("4 x 32767 lines opened in %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

TEST(Win32Resources, TheProgramsIconIsCompiledIn) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    DestroyIcon(icon);
}

TEST_F(Win32Views, ImportResOpensTheNewProject) {
    folder_.write(L"logo.bmp", test::sampleBitmap(8, 4));
    Project source;
    source.append(ResourceKind::Bitmap, "LOGO\t" + folder_.narrowPath(L"logo.bmp"));
    source.append(ResourceKind::String, "1\tHello");
    CompileLog log;
    ASSERT_TRUE(Compile32(source, folder_.narrowPath(L"in.res"), log)) << log.text();
    Gui gui(platform_, folder_);
    platform_.answerFile(folder_.path(L"in.res"));
    platform_.answerFile(folder_.path(L"in.KBP"));
    gui.menu(ids::mnuImportRES);
    gui.sync();
    ASSERT_EQ(platform_.requests.size(), 2u);
    EXPECT_EQ(platform_.requests[1].initialFile, "in.KBP");
    EXPECT_EQ(gui.caption(), folder_.path(L"in.KBP"));
    EXPECT_EQ(gui.lines(2), std::vector<std::wstring>{L"1\tHello"});
    ASSERT_EQ(gui.lines(0).size(), 1u);
    const std::optional<Project> written = loadProjectFile(folder_.narrowPath(L"in.KBP"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->lines(ResourceKind::String), source.lines(ResourceKind::String));
    EXPECT_TRUE(removeDirectoryTree(folder_.narrowPath(L"in_files")));
}

// Past 300 files the progress bar runs; the warnings come in one real box afterwards.
TEST_F(Win32Views, ALargeImportShowsProgressThenTheWarnings) {
    // Memory flags Kelbo does not write: a warning for every resource.
    folder_.write(L"big.res", test::sampleDataRes(320, 0x0409, 0));
    Gui gui(platform_, folder_);
    platform_.answerFile(folder_.path(L"big.res"));
    platform_.answerFile(folder_.path(L"big.KBP"));
    gui.menu(ids::mnuImportRES);
    const std::wstring text = answerBox(gui, L"WARNING");
    EXPECT_NE(text.find(L"\u2026 and 300 more"), std::wstring::npos) << narrow(text);
    gui.sync();
    EXPECT_EQ(gui.caption(), folder_.path(L"big.KBP"));
    EXPECT_TRUE(removeDirectoryTree(folder_.narrowPath(L"big_files")));

    // The bar itself: a captioned window that each call moves on, gone when done.
    Win32Platform platform;
    platform.progress(nullptr, "Importing big.res", 1, 320);
    platform.progress(nullptr, "Importing big.res", 160, 320);
    HWND bar = FindWindowW(PROGRESS_CLASSW, L"Importing big.res");
    ASSERT_TRUE(bar);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 160);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 320);
    platform.progressDone();
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(Win32Views, ExportRcWritesTheScript) {
    Gui gui(platform_, folder_);
    addString(gui, L"1", L"Caf\u00e9");
    platform_.answerFile(folder_.path(L"out.rc"));
    gui.menu(ids::mnuExportRC);
    gui.sync();
    Project expected;
    expected.append(ResourceKind::String, "1\tCaf\u00e9");
    EXPECT_EQ(folder_.read(L"out.rc"), makeRcScript(expected).text);
    EXPECT_TRUE(platform_.requests.back().save);
    EXPECT_TRUE(platform_.requests.back().confirmOverwrite);
}

TEST(Win32Resources, ManifestAndVersionAreCompiledIn) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC manifest = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_TRUE(manifest);
    const auto* xml = static_cast<const char*>(LockResource(LoadResource(self, manifest)));
    const std::string text(xml, SizeofResource(self, manifest));
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
    // The system takes the program for DPI aware, as the manifest asks.
    EXPECT_NE(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_UNAWARE);

    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904E4\\OriginalFilename", &value,
                               &length));
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"kelbo.exe");
}

// The patched program is read back by the loader itself, in the language the project gave.
TEST_F(Win32Views, CompileIntoProgramWritesWhatTheLoaderReads) {
    folder_.write(L"app.exe", test::buildProgram(test::PeLayout{}));
    Gui gui(platform_, folder_);
    addString(gui, L"1", L"\u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d");
    platform_.answerFile(folder_.path(L"app.exe"));
    gui.menu(ids::mnuCompileProgram);
    HWND log = gui.waitForWindow(L"  Compilation");
    ASSERT_TRUE(log);
    gui.sync();
    EXPECT_NE(textOf(log, ids::Text1).find(L"Compilation : SuccessFull"), std::wstring::npos);
    EXPECT_EQ(platform_.requests.back().filter.name, "Program (EXE, DLL, OCX)");
    PostMessageW(GetDlgItem(log, ids::cmdCompileOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(log); }));

    HMODULE program = LoadLibraryExW(folder_.path(L"app.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(program);
    wchar_t text[64] = {};
    EXPECT_EQ(LoadStringW(program, 1, text, 64), 9);
    EXPECT_EQ(std::wstring(text), L"\u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d");
    FreeLibrary(program);
}

} // namespace
} // namespace kelbo::win32
