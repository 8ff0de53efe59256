// Import RES-File and Export RC-File of the main window, through its presenter, on real files in
// a scratch folder: the import writes a project and its files folder beside it.
#include <gtest/gtest.h>

#include "ScriptedShell.h"
#include "messages/Captions.h"
#include "projectfile/ProjectFile.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/RcExport.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

class ImportExportTest : public ::testing::Test {
protected:
    ImportExportTest() { presenter.attach(view); }

    // A project of a bitmap and two strings compiled to a.res; its path.
    std::string compiledRes() {
        writeFile(dir.path() / "logo.bmp", sampleBitmap(4, 2));
        Project p;
        p.append(ResourceKind::Bitmap, "100\t" + dir.file("logo.bmp"));
        p.append(ResourceKind::String, "1\tHello");
        p.append(ResourceKind::String, "2\tWorld");
        CompileLog log;
        EXPECT_TRUE(Compile32(p, dir.file("a.res"), log)) << log.text();
        return dir.file("a.res");
    }
    // The user's own unsaved project, which a cancelled or failed import must leave alone.
    void ownProject() {
        presenter.session().appendItem(ResourceKind::String, "7\tMine");
        presenter.session().ProjectChanged = true;
    }
    std::size_t boxesWith(const std::string& text) const {
        return std::count_if(
            platform.boxes.begin(), platform.boxes.end(),
            [&](const ScriptedPlatform::Box& b) { return b.text.find(text) != std::string::npos; });
    }

    ScratchDir dir;
    ScriptedPlatform platform;
    ScriptedMainView view;
    MainPresenter presenter{platform, dir.path().string(), dir.file("kbplast.cfg")};
};

TEST_F(ImportExportTest, ImportOpensTheProjectThatCompilesBackToTheSameBytes) {
    presenter.startUp(std::string());
    const std::string res = compiledRes();
    platform.answerFile(res);
    platform.answerFile(dir.file("back.KBP"));
    presenter.importResClicked();

    ASSERT_EQ(platform.fileDialogs.size(), 2u);
    EXPECT_FALSE(platform.fileDialogs[0].save);
    EXPECT_EQ(platform.fileDialogs[0].filter.name, "Resource File (RES)");
    const FileDialogSpec& save = platform.fileDialogs[1];
    EXPECT_TRUE(save.save);
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(save.initialFile, "a.KBP");
    EXPECT_EQ(save.initialDir, dir.path().string());
    EXPECT_TRUE(platform.boxes.empty()) << platform.boxes.front().text;
    EXPECT_FALSE(platform.progressOpen);
    EXPECT_TRUE(platform.progressSteps.empty()) << "three files need no progress window";
    EXPECT_EQ(platform.busyDepth, 0);

    EXPECT_EQ(view.caption, dir.file("back.KBP"));
    EXPECT_EQ(presenter.session().ProjectPath, dir.file("back.KBP"));
    EXPECT_FALSE(presenter.session().ProjectChanged);
    EXPECT_EQ(view.lists[ResourceKind::String], (std::vector<std::string>{"1\tHello", "2\tWorld"}));
    ASSERT_EQ(view.lists[ResourceKind::Bitmap].size(), 1u);
    EXPECT_EQ(loadProjectFile(dir.file("back.KBP")), presenter.session().project);
    CompileLog log;
    ASSERT_TRUE(Compile32(presenter.session().project, dir.file("again.res"), log)) << log.text();
    EXPECT_EQ(readFile(dir.file("again.res")), readFile(res));
}

TEST_F(ImportExportTest, GuardRunsFirstAndCancelAtEitherDialogChangesNothing) {
    presenter.startUp(std::string());
    const std::string res = compiledRes();
    ownProject();
    const auto before = dir.entries();
    // The guard's box is cancelled, then the .RES dialog.
    platform.boxAnswers = {BoxAnswer::Cancel};
    presenter.importResClicked();
    EXPECT_EQ(platform.events, (std::vector<std::string>{"box", "file"}));
    EXPECT_NE(platform.boxes[0].text.find("File has changed"), std::string::npos);

    // The .RES is chosen, the project's save dialog cancelled.
    platform.boxAnswers = {BoxAnswer::Cancel};
    platform.answerFile(res);
    presenter.importResClicked();
    EXPECT_EQ(platform.fileDialogs.size(), 3u);
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(presenter.session().project.lines(ResourceKind::String),
              std::vector<std::string>{"7\tMine"});
    EXPECT_TRUE(presenter.session().ProjectChanged);
    EXPECT_TRUE(presenter.session().ProjectPath.empty());
}

TEST_F(ImportExportTest, DamagedResGivesTheErrorAndChangesNothing) {
    presenter.startUp(std::string());
    const std::string bytes = readFile(compiledRes());
    writeFile(dir.path() / "cut.res", bytes.substr(0, bytes.size() - 3));
    ownProject();
    const std::string caption = view.caption;
    const auto before = dir.entries();
    platform.boxAnswers = {BoxAnswer::Cancel};
    platform.answerFile(dir.file("cut.res"));
    platform.answerFile(dir.file("cut.KBP"));
    presenter.importResClicked();

    ASSERT_EQ(platform.boxes.size(), 2u);
    const ScriptedPlatform::Box& box = platform.boxes[1];
    EXPECT_EQ(box.title, "ERROR");
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_NE(box.text.find("cut.res: offset"), std::string::npos) << box.text;
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(view.caption, caption);
    EXPECT_EQ(presenter.session().project.lines(ResourceKind::String),
              std::vector<std::string>{"7\tMine"});
    EXPECT_TRUE(presenter.session().ProjectChanged);
}

// The save dialog asked before the project is replaced; a lone files folder is kept.
TEST_F(ImportExportTest, ReplacesAConfirmedProjectButNotALoneFilesFolder) {
    presenter.startUp(std::string());
    const std::string res = compiledRes();
    writeFile(dir.path() / "old.KBP", "not a project");
    platform.answerFile(res);
    platform.answerFile(dir.file("old.KBP"));
    presenter.importResClicked();
    EXPECT_TRUE(platform.boxes.empty()) << platform.boxes.front().text;
    EXPECT_EQ(loadProjectFile(dir.file("old.KBP")), presenter.session().project);

    std::filesystem::create_directory(dir.path() / "lone_files");
    platform.answerFile(res);
    platform.answerFile(dir.file("lone.KBP"));
    presenter.importResClicked();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "ERROR");
    EXPECT_NE(platform.boxes[0].text.find("lone_files"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "lone.KBP"));
    EXPECT_EQ(presenter.session().ProjectPath, dir.file("old.KBP"));
}

TEST_F(ImportExportTest, ManyFilesShowProgressAndWarningsAreListedTwentyAtMost) {
    presenter.startUp(std::string());
    for (int count : {300, 301}) {
        SCOPED_TRACE(count);
        const std::string name = "de" + std::to_string(count);
        // German resources: each is a file and a warning when imported.
        writeFile(dir.path() / (name + ".res"), sampleDataRes(count, 0x0407));
        platform.boxes.clear();
        platform.events.clear();
        platform.progressSteps.clear();
        platform.answerFile(dir.file(name + ".res"));
        platform.answerFile(dir.file(name + ".KBP"));
        presenter.importResClicked();
        ASSERT_EQ(presenter.session().ProjectPath, dir.file(name + ".KBP"));
        EXPECT_EQ(presenter.session().project.count(ResourceKind::Data), count);

        ASSERT_EQ(platform.boxes.size(), 1u);
        const ScriptedPlatform::Box& box = platform.boxes[0];
        EXPECT_EQ(box.title, "WARNING");
        EXPECT_EQ(box.icon, BoxIcon::Exclamation);
        EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 21) << box.text;
        EXPECT_NE(box.text.find("\u2026 and " + std::to_string(count - 20) + " more"),
                  std::string::npos)
            << box.text;
        if (count == 300) {
            EXPECT_TRUE(platform.progressSteps.empty());
            continue;
        }
        ASSERT_EQ(platform.progressSteps.size(), 301u);
        EXPECT_EQ(platform.progressSteps.front(), std::make_pair(std::size_t{1}, std::size_t{301}));
        EXPECT_EQ(platform.progressSteps.back(),
                  std::make_pair(std::size_t{301}, std::size_t{301}));
        EXPECT_FALSE(platform.progressOpen);
        // The progress window has gone before the warnings are shown.
        EXPECT_EQ(platform.events,
                  (std::vector<std::string>{"file", "file", "progress", "progress done", "box"}));
    }
}

TEST_F(ImportExportTest, ExportWritesTheScriptAndReportsWarningsAndErrors) {
    writeFile(dir.path() / "demo.KBP", "");
    presenter.session().ProjectPath = dir.file("demo.KBP");
    presenter.session().ProjectDir = dir.path().string();
    presenter.session().appendItem(ResourceKind::Bitmap, "My Pic\t" + dir.file("a.bmp"));
    presenter.session().appendItem(ResourceKind::String, "3\tHello");

    // Cancel writes nothing.
    const auto before = dir.entries();
    presenter.exportRcClicked();
    EXPECT_EQ(dir.entries(), before);
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_TRUE(platform.fileDialogs[0].save);
    EXPECT_TRUE(platform.fileDialogs[0].confirmOverwrite);
    EXPECT_EQ(platform.fileDialogs[0].initialFile, "demo.RC");
    EXPECT_EQ(platform.fileDialogs[0].initialDir, dir.path().string());

    platform.answerFile(dir.file("demo.rc"));
    presenter.exportRcClicked();
    EXPECT_EQ(readFile(dir.file("demo.rc")), makeRcScript(presenter.session().project).text);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "WARNING");
    EXPECT_NE(platform.boxes[0].text.find("MY PIC is quoted"), std::string::npos);

    // A path the script cannot spell: the error, and the former script stays.
    const std::string written = readFile(dir.file("demo.rc"));
    presenter.session().appendItem(ResourceKind::Wave, "1\t/x/a\"b.wav");
    platform.answerFile(dir.file("demo.rc"));
    presenter.exportRcClicked();
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].title, "ERROR");
    EXPECT_EQ(platform.boxes[1].icon, BoxIcon::Stop);
    EXPECT_EQ(boxesWith("The script was not written."), 1u);
    EXPECT_EQ(readFile(dir.file("demo.rc")), written);
}

} // namespace
} // namespace kelbo::test
