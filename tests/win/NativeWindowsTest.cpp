// The core on Windows itself: the native path style, UTF-8 paths through the UTF-16 file API,
// atomic replacement with MoveFileExW, and the project and recent files with drive paths. Built
// only for the cross build and run under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Unicode.h"
#include "project/Project.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/ProjectFile.h"
#include "projectfile/RecentFiles.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResCompiler.h"

namespace kelbo {
namespace {

std::wstring wide(const std::string& utf8) {
    std::u16string u = utf8ToUtf16(utf8);
    return std::wstring(u.begin(), u.end());
}

std::string narrow(const std::wstring& w) {
    return utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

// The names in a folder, as Windows spells them.
std::vector<std::wstring> namesIn(const std::string& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((wide(dir) + L"\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring n = data.cFileName;
        if (n != L"." && n != L"..")
            names.push_back(n);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return names;
}

std::string readBack(const std::string& path) {
    std::string bytes, error;
    EXPECT_TRUE(readWholeFile(nativeFileSystem(), path, bytes, error)) << path << ": " << error;
    return bytes;
}

// A fresh folder under the user's temporary folder, removed with its files afterwards.
class WindowsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        std::wstring base = std::wstring(temp) + L"kelbo-win-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter_);
        ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
        dir_ = narrow(base);
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        for (const std::wstring& n : namesIn(dir_)) {
            std::wstring p = wide(dir_) + L"\\" + n;
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(p.c_str());
        }
        RemoveDirectoryW(wide(dir_).c_str());
    }
    std::string path(const std::string& name) const { return dir_ + "\\" + name; }

    std::string dir_;
    static inline int counter_ = 0;
};

TEST(WindowsPaths, NativeStyleIsWindows) {
    EXPECT_EQ(nativePathStyle(), PathStyle::Windows);
    EXPECT_EQ(separatorOf(nativePathStyle()), '\\');
}

TEST(WindowsPaths, DriveRootsKeepTheDrive) {
    // The native style is the default argument everywhere.
    EXPECT_EQ(directoryOf("C:\\PIC.KBP"), "C:");
    EXPECT_EQ(directoryOf("C:\\WORK\\DEMO.KBP"), "C:\\WORK");
    EXPECT_EQ(fileNameOf("C:\\WORK\\DEMO.KBP"), "DEMO.KBP");
    EXPECT_EQ(joinPath("C:", "A.BMP"), "C:\\A.BMP");
    EXPECT_EQ(joinPath("C:\\", "A.BMP"), "C:\\A.BMP");
    EXPECT_EQ(joinPath("C:\\WORK", "A.BMP"), "C:\\WORK\\A.BMP");
    EXPECT_EQ(folderForBrowsing("C:"), "C:\\");
    FolderAndName parts = splitItemPath("C:\\A.BMP", "D:\\ELSE");
    EXPECT_EQ(parts.folder, "C:\\");
    EXPECT_EQ(parts.name, "A.BMP");
    parts = splitItemPath("A.BMP", "D:\\ELSE");
    EXPECT_EQ(parts.folder, "D:\\ELSE");
    EXPECT_EQ(parts.name, "A.BMP");
}

TEST(WindowsPaths, BareNamesAndDriveRelativeNames) {
    EXPECT_EQ(resolveBareName("DEMO.KBP", "C:\\WORK"), "C:\\WORK\\DEMO.KBP");
    EXPECT_EQ(resolveBareName("DEMO.KBP", "C:\\"), "C:\\DEMO.KBP");
    // Relative to the current folder of drive D:, which only the system knows.
    EXPECT_EQ(resolveBareName("D:DEMO.KBP", "C:\\WORK"), "D:DEMO.KBP");
    EXPECT_EQ(resolveBareName("C:\\X\\DEMO.KBP", "C:\\WORK"), "C:\\X\\DEMO.KBP");
}

TEST(WindowsPaths, RecentFilesAreLowerCased) {
    EXPECT_EQ(recentFileForm("C:\\WORK\\DEMO.KBP"), "c:\\work\\demo.kbp");
    EXPECT_EQ(recentFileForm("C:\\ÉTÉ\\CAFÉ.KBP"), "c:\\été\\café.kbp");
    EXPECT_EQ(recentFileForm("C:\\ПРОЕКТЫ\\项目.KBP"), "c:\\проекты\\项目.kbp");
}

TEST(WindowsRuntime, ExecutableDirectoryIsTheModulesFolder) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    ASSERT_GT(n, 0u);
    std::string full = narrow(std::wstring(buffer, n));
    EXPECT_EQ(executableDirectory(), full.substr(0, full.rfind('\\')));
    EXPECT_NE(executableDirectory().find(":\\"), std::string::npos) << executableDirectory();
}

TEST(WindowsRuntime, CurrentDirectoryIsTheSystems) {
    wchar_t buffer[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
    EXPECT_EQ(currentDirectory(), narrow(std::wstring(buffer, n)));
}

TEST_F(WindowsFolder, UnicodeNamesAreCreatedReadAndRenamed) {
    const struct {
        const char* name;
        const wchar_t* onDisk;
        const char* otherCase; // file names ignore case, also beyond ASCII
        const char* renamed;
    } cases[] = {
        // é, € and Ÿ: one Latin-1 letter and two from Windows-1252's 0x80 to 0x9F range.
        {"café € Ÿ.kbp", L"caf\u00E9 \u20AC \u0178.kbp", "CAFÉ € ÿ.KBP", "été.kbp"},
        {"Проект.kbp", L"\u041F\u0440\u043E\u0435\u043A\u0442.kbp", "ПРОЕКТ.KBP", "Файл.res"},
        {"项目.kbp", L"\u9879\u76EE.kbp", "项目.KBP", "文件 😀.res"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        ASSERT_TRUE(writeWholeFile(nativeFileSystem(), path(c.name), "abc", error)) << error;
        EXPECT_EQ(namesIn(dir_), std::vector<std::wstring>{c.onDisk});
        EXPECT_TRUE(nativeFileSystem().fileExists(path(c.name)));
        EXPECT_TRUE(nativeFileSystem().fileExists(path(c.otherCase)));
        EXPECT_TRUE(sameFile(path(c.name), path(c.otherCase)));
        EXPECT_EQ(readBack(path(c.name)), "abc");
        ASSERT_TRUE(renamePath(path(c.name), path(c.renamed), error)) << error;
        EXPECT_FALSE(nativeFileSystem().fileExists(path(c.name)));
        EXPECT_EQ(namesIn(dir_), std::vector<std::wstring>{wide(c.renamed)});
        EXPECT_EQ(readBack(path(c.renamed)), "abc");
        DeleteFileW(wide(path(c.renamed)).c_str());
    }
    // A folder of such a name, made, found and its path read back from the system.
    const std::string folder = path("Папка 文件夹");
    ASSERT_TRUE(makeDirectories(joinPath(folder, "子")));
    EXPECT_TRUE(directoryExists(joinPath(folder, "子")));
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(wide(folder).c_str()));
    const std::string current = currentDirectory();
    SetCurrentDirectoryW(before);
    EXPECT_EQ(current, folder);
    EXPECT_TRUE(removeDirectoryTree(folder));
}

TEST_F(WindowsFolder, ReplacingLeavesOnlyTheNewContent) {
    std::string error;
    ASSERT_TRUE(writeWholeFile(nativeFileSystem(), path("a.res"), std::string(5000, 'x'), error));
    ASSERT_TRUE(writeWholeFile(nativeFileSystem(), path("a.res"), "short", error)) << error;
    EXPECT_EQ(readBack(path("a.res")), "short");
    // No temporary file is left behind.
    EXPECT_EQ(namesIn(dir_), std::vector<std::wstring>{L"a.res"});
}

TEST_F(WindowsFolder, UncommittedOutputLeavesNothing) {
    std::string error;
    {
        std::unique_ptr<OutputFile> out = nativeFileSystem().createOutput(path("b.res"), error);
        ASSERT_TRUE(out) << error;
        ASSERT_TRUE(out->write("partial", 7));
    }
    EXPECT_TRUE(namesIn(dir_).empty());
}

TEST_F(WindowsFolder, TargetOpenElsewhereIsReportedAndKept) {
    // Windows refuses to replace a file that another program holds open without delete sharing.
    std::string error;
    ASSERT_TRUE(writeWholeFile(nativeFileSystem(), path("held.kbp"), "old", error));
    HANDLE h = CreateFileW(wide(path("held.kbp")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeWholeFile(nativeFileSystem(), path("held.kbp"), "new", error));
    EXPECT_FALSE(error.empty());
    CloseHandle(h);
    EXPECT_EQ(readBack(path("held.kbp")), "old");
    EXPECT_EQ(namesIn(dir_), std::vector<std::wstring>{L"held.kbp"});
}

TEST_F(WindowsFolder, ReadOnlyTargetIsReplacedWholeOrKeptWhole) {
    // Windows refuses to rename over a read-only file; Wine allows it. Either way the target
    // holds one complete version and no temporary file stays behind.
    std::string error;
    ASSERT_TRUE(writeWholeFile(nativeFileSystem(), path("ro.kbp"), "old", error));
    ASSERT_TRUE(SetFileAttributesW(wide(path("ro.kbp")).c_str(), FILE_ATTRIBUTE_READONLY));
    const bool replaced = writeWholeFile(nativeFileSystem(), path("ro.kbp"), "new", error);
    EXPECT_EQ(readBack(path("ro.kbp")), replaced ? "new" : "old");
    if (!replaced) {
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(namesIn(dir_), std::vector<std::wstring>{L"ro.kbp"});
}

TEST_F(WindowsFolder, MissingFileGivesAReason) {
    std::string error;
    EXPECT_EQ(nativeFileSystem().openInput(path("none.bmp"), error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(nativeFileSystem().fileExists(path("none.bmp")));
    // A folder is not an input file.
    EXPECT_EQ(nativeFileSystem().openInput(dir_, error), nullptr);
    EXPECT_FALSE(nativeFileSystem().fileExists(dir_));
}

TEST_F(WindowsFolder, ProjectWithDrivePathsRoundTrips) {
    Project project;
    project.append(ResourceKind::Bitmap, "1\tC:\\PICS\\A.BMP");
    project.append(ResourceKind::Icon, "app\tD:\\ÉTÉ\\APP.ICO");
    project.append(ResourceKind::String, "7\tPrice €");
    const int russian = project.addSection(0x0419);
    project.section(russian).append(ResourceKind::Bitmap, "1\tC:\\КАРТИНКИ\\A.BMP");
    std::string error;
    ASSERT_TRUE(saveProjectFile(path("проект.kbp"), project, error)) << error;
    std::optional<Project> back = loadProjectFile(path("проект.kbp"));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, project);
}

TEST_F(WindowsFolder, DirectLoadSetsProjectDirFromTheWindowsPath) {
    Project project;
    project.append(ResourceKind::String, "1\tHello");
    std::string error;
    ASSERT_TRUE(saveProjectFile(path("DEMO.KBP"), project, error)) << error;
    Session session;
    EXPECT_EQ(DirectLoad(session, path("DEMO.KBP")), LoadOutcome::Loaded);
    EXPECT_EQ(session.ProjectPath, path("DEMO.KBP"));
    EXPECT_EQ(session.ProjectDir, dir_);
    EXPECT_EQ(session.project, project);
}

TEST_F(WindowsFolder, DirectLoadOfABareNameUsesTheCurrentFolder) {
    Project project;
    project.append(ResourceKind::String, "1\tHello");
    std::string error;
    ASSERT_TRUE(saveProjectFile(path("BARE.KBP"), project, error)) << error;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(wide(dir_).c_str()));
    Session session;
    LoadOutcome outcome = DirectLoad(session, "BARE.KBP");
    SetCurrentDirectoryW(before);
    EXPECT_EQ(outcome, LoadOutcome::Loaded);
    EXPECT_EQ(session.ProjectPath, path("BARE.KBP"));
    EXPECT_EQ(session.ProjectDir, dir_);
}

TEST_F(WindowsFolder, RememberFileWritesTheLowerCasedWindowsPath) {
    const std::string cfg = path(kRecentFileName);
    std::string error;
    ASSERT_TRUE(RememberFile(cfg, "C:\\WORK\\DEMO.KBP", error)) << error;
    ASSERT_TRUE(RememberFile(cfg, "D:\\CAFÉ.KBP", error)) << error;
    // Windows-1252 on disk while every path fits it.
    EXPECT_EQ(readBack(cfg), "d:\\caf\xE9.kbp\r\nc:\\work\\demo.kbp\r\n");
    EXPECT_EQ(readRecentFiles(cfg),
              (std::vector<std::string>{"d:\\café.kbp", "c:\\work\\demo.kbp"}));
}

TEST_F(WindowsFolder, CompileReadsSourcesByUnicodePaths) {
    // A .WAV whose name holds é and Cyrillic, written through the wide API, compiled through the
    // core.
    const std::wstring wav = wide(dir_) + L"\\no\u00EBl \u0437\u0432\u0443\u043A.wav";
    HANDLE h = CreateFileW(wav.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "RIFFdata", 8, &written, nullptr);
    CloseHandle(h);

    Project project;
    project.append(ResourceKind::Wave, "7\t" + path("noël звук.wav"));
    CompileLog log;
    ASSERT_EQ(runCompilation(project, 32, path("out.res"), log), CompileOutcome::Success)
        << log.text();
    const std::string res = readBack(path("out.res"));
    ASSERT_EQ(res.size(), 32u + 40u + 8u);
    EXPECT_EQ(res.substr(72), "RIFFdata");
    EXPECT_EQ(log.lines().back(), logtext::kSuccess);
}

// Windows makes an activation context of every manifest the generator writes, as it does of a
// program's own manifest when the program starts, and reads in it the settings meant.
class ActivationContext {
public:
    explicit ActivationContext(const std::string& path) {
        const std::wstring source = wide(path);
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.lpSource = source.c_str();
        handle_ = CreateActCtxW(&context);
    }
    ~ActivationContext() {
        if (valid())
            ReleaseActCtx(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool query(ULONG infoClass, void* info, SIZE_T size) const {
        SIZE_T written = 0;
        return QueryActCtxW(0, handle_, nullptr, infoClass, info, size, &written);
    }
    std::wstring setting(const wchar_t* ns, const wchar_t* name) const {
        wchar_t buffer[128] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, handle_, ns, name, buffer, 128, &written))
            return L"(none)";
        return buffer;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

TEST_F(WindowsFolder, GeneratedManifestsActivateWithTheirSettings) {
    auto write = [&](const std::string& name, const std::string& manifest) {
        std::string error;
        EXPECT_TRUE(writeWholeFile(nativeFileSystem(), path(name), manifest, error)) << error;
        return path(name);
    };
    const wchar_t* const k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    const wchar_t* const k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    const std::pair<const wchar_t*, const wchar_t*> dpiWords[] = {
        {L"false", L"unaware"},
        {L"true", L"system"},
        {L"true/pm", L"PerMonitor"},
        {L"true/pm", L"PerMonitorV2, PerMonitor"}};
    ManifestSettings full;
    full.name = "Acme.Tool";
    full.version = "2.10.65535.0";
    full.description = "Café & <co> €";
    full.commonControls = true;
    full.supportedOs = true;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        full.dpi = static_cast<DpiAwareness>(i);
        full.level = static_cast<ExecutionLevel>(i % 3);
        ActivationContext context(write("full.manifest", generateManifest(full)));
        ASSERT_TRUE(context.valid()) << GetLastError();

        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
        ASSERT_TRUE(
            context.query(RunlevelInformationInActivationContext, &runLevel, sizeof runLevel));
        EXPECT_EQ(runLevel.RunLevel,
                  static_cast<ACTCTX_REQUESTED_RUN_LEVEL>(ACTCTX_RUN_LEVEL_AS_INVOKER + i % 3));
        EXPECT_EQ(runLevel.UiAccess, 0u);

        // Only the count is read: newer Windows has a longer element than these headers.
        alignas(ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION) unsigned char buffer[1024] = {};
        ASSERT_TRUE(
            context.query(CompatibilityInformationInActivationContext, buffer, sizeof buffer))
            << GetLastError();
        const auto* compatibility =
            reinterpret_cast<const ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION*>(buffer);
        EXPECT_EQ(compatibility->ElementCount, 5u); // Vista, 7, 8, 8.1, 10/11

        EXPECT_EQ(context.setting(k2005, L"dpiAware"), dpiWords[i].first);
        EXPECT_EQ(context.setting(k2016, L"dpiAwareness"), dpiWords[i].second);
    }
    EXPECT_TRUE(ActivationContext(write("default.manifest", generateManifest({}))).valid())
        << GetLastError();
    // The same call refuses a manifest that is not one, so the checks above can fail.
    EXPECT_FALSE(ActivationContext(write("broken.manifest",
                                         "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\""
                                         " manifestVersion=\"1.0\"><assemblyIdentity"))
                     .valid());
}

} // namespace
} // namespace kelbo
