// Poses the Win32 windows for the pictures in docs/: for each it prints
// "SHOT name left top right bottom" (the window on the Wine desktop) and waits until the
// script that took the picture creates the file C:\Projects\shot.done. Run by
// scripts/win32-screenshots.sh; the project lives in C:\Projects\Demo, so nothing of the
// machine that made the pictures shows in them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "SampleMedia.h"
#include "help/HelpTopics.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/Manifest.h"
#include "tests/win/Win32Driver.h"

namespace kelbo::win32 {
namespace {

using namespace driver;
using namespace std::chrono_literals;

const std::wstring kProjects = L"C:\\Projects";
const std::wstring kDemo = L"C:\\Projects\\Demo";
const std::wstring kDone = L"C:\\Projects\\shot.done";

void shoot(const char* name, HWND window) {
    // Let the window finish painting before the picture.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(400);
    RECT frame{};
    GetWindowRect(window, &frame);
    std::printf("SHOT %s %ld %ld %ld %ld\n", name, frame.left, frame.top, frame.right,
                frame.bottom);
    std::fflush(stdout);
    EXPECT_TRUE(
        waitFor([] { return GetFileAttributesW(kDone.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60s))
        << name;
    DeleteFileW(kDone.c_str());
}

void writeSample(const std::wstring& name, const std::string& bytes) {
    std::string error;
    ASSERT_TRUE(writeWholeFile(nativeFileSystem(), narrow(kDemo + L"\\" + name), bytes, error))
        << error;
}

TEST(Screenshots, EveryWindow) {
    CreateDirectoryW(kProjects.c_str(), nullptr);
    CreateDirectoryW(kDemo.c_str(), nullptr);
    DeleteFileW(kDone.c_str());
    writeSample(L"logo.bmp", sample::encodeBmp24(sample::drawBanner(96, 40)));
    writeSample(L"colours.bmp", sample::encodeBmp24(sample::drawColourWheel(64)));
    writeSample(L"kelbo.ico", sample::encodeIcon({sample::iconImage32(sample::drawBadge(32))}));
    writeSample(L"chime.wav", sample::encodeWav16(11025, sample::synthChime(11025)));
    writeSample(L"pointer.cur",
                sample::encodeCursor({{sample::iconImage32(sample::drawPointer(32)), 1, 1}}));
    writeSample(L"table.bin", std::string(4096 + 512, '\x5A'));
    const std::string demo = narrow(kDemo);
    Project project;
    project.append(ResourceKind::Bitmap, "LOGO\t" + demo + "\\logo.bmp");
    project.append(ResourceKind::Bitmap, "101\t" + demo + "\\colours.bmp");
    project.append(ResourceKind::Icon, "1\t" + demo + "\\kelbo.ico");
    project.append(ResourceKind::String, "1\tWelcome to the Kelbo demo");
    project.append(ResourceKind::String, "2\tResources compiled by Kelbo");
    project.append(ResourceKind::Wave, "CHIME\t" + demo + "\\chime.wav");
    project.append(ResourceKind::Cursor, "POINTER\t" + demo + "\\pointer.cur");
    project.append(ResourceKind::Data, "TABLE\tCUSTOM\t" + demo + "\\table.bin");
    ManifestSettings manifest;
    manifest.name = "Kelbo.Demo";
    manifest.commonControls = true;
    manifest.dpi = DpiAwareness::PerMonitorV2;
    manifest.level = ExecutionLevel::AsInvoker;
    for (std::string& line : manifestLines(manifest))
        project.append(ResourceKind::Manifest, std::move(line));
    project.append(ResourceKind::Version, "FileVersion=1.0.0.0");
    project.append(ResourceKind::Version, "CompanyName=Kelbo demo");
    project.append(ResourceKind::Version, "ProductName=Demo");
    // Localized: English as the base, with Russian and Greek strings of the same identifiers
    // (Wine's own fonts have no Chinese; the Qt pictures show it).
    project.setBaseLanguage(0x0409);
    const int russian = project.addSection(0x0419);
    project.section(russian).append(ResourceKind::String, "1\tДобро пожа"
                                                          "ловать в де"
                                                          "мо Kelbo");
    project.section(russian).append(ResourceKind::String, "2\tРесурсы, со"
                                                          "бранные Kelbo");
    const int greek = project.addSection(0x0408);
    project.section(greek).append(ResourceKind::String, "1\tΚαλώς ήρθατε στο Kelbo");
    project.section(greek).append(ResourceKind::String, "2\tΠόροι που έφτιαξε το Kelbo");
    std::string error;
    ASSERT_TRUE(saveProjectFile(demo + "\\demo.kbp", project, error)) << error;

    ScriptedPlatform platform;
    // The program's folder is the project's, so the item dialogs open there.
    Gui gui(platform, kDemo, kDemo + L"\\demo.kbp");
    ASSERT_TRUE(gui.main());
    gui.sync();
    shoot("main-window", gui.main());

    gui.selectTab(2);
    gui.select(2, 0);
    gui.click(ids::cmdModify);
    HWND dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    shoot("dialog-string", dialog);
    closeDialog(dialog, IDCANCEL);

    // The Russian strings, chosen in the drop-down; then the Greek ones in their dialog.
    chooseEntry(gui.main(), ids::cboLanguage, 1);
    gui.sync();
    gui.select(2, 0);
    shoot("main-window-russian", gui.main());
    chooseEntry(gui.main(), ids::cboLanguage, 2);
    gui.sync();
    gui.select(2, 0);
    gui.click(ids::cmdModify);
    dialog = gui.waitForWindow(L"  STRING");
    ASSERT_TRUE(dialog);
    shoot("dialog-string-greek", dialog);
    closeDialog(dialog, IDCANCEL);
    gui.menu(ids::mnuLanguages);
    dialog = gui.waitForWindow(L"  Languages");
    ASSERT_TRUE(dialog);
    shoot("dialog-languages", dialog);
    closeDialog(dialog, IDCANCEL);
    chooseEntry(gui.main(), ids::cboLanguage, 0);
    gui.sync();

    struct FileShot {
        int tab;
        const wchar_t* caption;
        const wchar_t* file;
        const char* name;
    };
    const FileShot files[] = {{0, L"  BITMAP", L"logo.bmp", "dialog-load"},
                              {1, L"  ICON", L"kelbo.ico", "dialog-load-icon"},
                              {3, L"  WAVE", L"chime.wav", "dialog-load-wave"},
                              {4, L"  CURSOR", L"pointer.cur", "dialog-load-cursor"},
                              {5, L"  DATA", L"table.bin", "dialog-load-data"}};
    for (const FileShot& f : files) {
        gui.selectTab(f.tab);
        gui.select(f.tab, 0);
        gui.click(ids::cmdModify);
        dialog = gui.waitForWindow(f.caption);
        ASSERT_TRUE(dialog);
        chooseLine(dialog, ids::File1, f.file);
        shoot(f.name, dialog);
        closeDialog(dialog, IDCANCEL);
    }
    gui.selectTab(5);
    gui.select(5, 0);
    shoot("main-window-data", gui.main());
    gui.selectTab(0);

    gui.menu(ids::mnuManifest);
    dialog = gui.waitForWindow(L"  MANIFEST");
    ASSERT_TRUE(dialog);
    shoot("dialog-manifest", dialog);
    closeDialog(dialog, IDCANCEL);
    gui.menu(ids::mnuVersion);
    dialog = gui.waitForWindow(L"  VERSION");
    ASSERT_TRUE(dialog);
    shoot("dialog-version", dialog);
    closeDialog(dialog, IDCANCEL);

    gui.menu(ids::mnuHelp);
    HWND help = gui.waitForWindow(wide(kHelpIndexCaption));
    ASSERT_TRUE(help);
    shoot("dialog-help", help);
    PostMessageW(help, WM_COMMAND, MAKEWPARAM(ids::HelpLabel1, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(help, ids::HelpLabel1)));
    HWND topic = gui.waitForWindow(wide(helpTopics()[0].caption));
    ASSERT_TRUE(topic);
    shoot("dialog-help-topic", topic);
    closeDialog(topic, ids::Command1);
    closeDialog(help, ids::Command1);

    gui.menu(ids::mnuAbout);
    HWND about = gui.waitForWindow(L" ");
    ASSERT_TRUE(about);
    shoot("dialog-about", about);
    closeDialog(about, IDOK);

    platform.answerFile(kDemo + L"\\demo.res");
    gui.menu(ids::mnuCompile32);
    HWND log = gui.waitForWindow(L"  Compilation");
    ASSERT_TRUE(log);
    gui.sync();
    shoot("compile-log", log);
    closeDialog(log, ids::cmdCompileOK);
}

} // namespace
} // namespace kelbo::win32
