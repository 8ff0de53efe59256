// The main window's behaviour, driven through its presenter with a scripted view and platform.
#include <gtest/gtest.h>

#include "ScriptedShell.h"
#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "project/Listing.h"
#include "projectfile/ProjectFile.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

const std::string kDir = "/Projects/Demo";
const std::string kCfg = "/Program/kbplast.cfg";

// Folders under /ReadOnly take no new files, as a write-protected disk would.
class Disk : public MemoryFileSystem {
public:
    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        if (path.rfind("/ReadOnly/", 0) == 0) {
            error = "Permission denied";
            return nullptr;
        }
        return MemoryFileSystem::createOutput(path, error);
    }
};

class MainPresenterTest : public ::testing::Test {
protected:
    MainPresenterTest() {
        fs.directories.insert(kDir);
        fs.directories.insert("/Program");
        presenter.attach(view);
    }

    void start(const std::string& commandLine = {}) { presenter.startUp(commandLine); }

    static Project sample() {
        Project p;
        p.append(ResourceKind::Bitmap, "100\t" + kDir + "/logo.bmp");
        p.append(ResourceKind::Icon, "1\t" + kDir + "/app.ico");
        p.append(ResourceKind::String, "1\tHello");
        p.append(ResourceKind::String, "2\tWorld");
        p.append(ResourceKind::Wave, "SND\t" + kDir + "/ding.wav");
        return p;
    }
    void store(const std::string& path, const Project& project) {
        std::string error;
        fs.files[path] = encodeProject(project, error).value();
    }
    std::optional<Project> stored(const std::string& path) {
        auto it = fs.files.find(path);
        return it == fs.files.end() ? std::nullopt : decodeProject(it->second);
    }
    const Session& session() { return presenter.session(); }
    // Adds one STRING item through the dialog, as a user would.
    void addString(const std::string& id, const std::string& text) {
        presenter.changeTab(kindIndex(ResourceKind::String));
        view.onStringDialog = [&](StringItemPresenter& p, ScriptedStringView& v) {
            v.identifierBox = id;
            v.textBox = text;
            p.ok();
        };
        presenter.addClicked();
        view.onStringDialog = nullptr;
    }

    Disk fs;
    ScriptedPlatform platform;
    ScriptedMainView view;
    MainPresenter presenter{platform, "/Program", kCfg, fs};
};

TEST_F(MainPresenterTest, StartWithoutArgumentsIsEmptyOnTheBitmapTab) {
    start();
    EXPECT_EQ(view.caption, kStartCaption);
    EXPECT_EQ(view.tab, ResourceKind::Bitmap);
    for (ResourceKind kind : kOriginalKinds)
        EXPECT_TRUE(view.lists.at(kind).empty());
    EXPECT_TRUE(view.recentItems.empty());
    EXPECT_FALSE(session().ProjectChanged);
    EXPECT_TRUE(platform.events.empty());
}

TEST_F(MainPresenterTest, StartLoadsTheCommandLineOrReportsCodeSix) {
    store(kDir + "/demo.kbp", sample());
    start(kDir + "/demo.kbp");
    EXPECT_EQ(view.caption, kDir + "/demo.kbp");
    EXPECT_EQ(view.lists.at(ResourceKind::String),
              (std::vector<std::string>{"1\tHello", "2\tWorld"}));
    EXPECT_FALSE(session().ProjectChanged);

    fs.files[kDir + "/bad.kbp"] = "not a project";
    start(kDir + "/bad.kbp");
    EXPECT_EQ(view.caption, kInvalidFileCaption);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, errorTitle(kInvalidProjectFile));
    EXPECT_EQ(platform.boxes[0].owner, &view);

    // A path in any script is a path like any other.
    const std::string chinese = kDir + "/\u6F14\u793A.kbp";
    store(chinese, sample());
    start(chinese);
    EXPECT_EQ(view.caption, chinese);
    EXPECT_EQ(session().ProjectPath, chinese);
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST(CommandLine, IsOnePathWithoutSurroundingQuotes) {
    EXPECT_EQ(commandLinePath({"kelbo"}), "");
    EXPECT_EQ(commandLinePath({"kelbo", "C:\\My", "Projects\\a.kbp"}), "C:\\My Projects\\a.kbp");
    EXPECT_EQ(commandLinePath({"kelbo", "\"C:\\My", "Projects\\a.kbp\""}),
              "C:\\My Projects\\a.kbp");
    // A lone quote is kept: only a pair around the whole is taken off.
    EXPECT_EQ(commandLinePath({"kelbo", "\"a.kbp"}), "\"a.kbp");
    EXPECT_EQ(commandLinePath({"kelbo", "\""}), "\"");
}

TEST_F(MainPresenterTest, TabsChooseTheKindAndIgnoreOthers) {
    start();
    presenter.tabChosen(2);
    EXPECT_EQ(view.tab, ResourceKind::String);
    EXPECT_EQ(session().CurrentKind, ResourceKind::String);
    presenter.tabChosen(5);
    EXPECT_EQ(view.tab, ResourceKind::Data);
    // The manifest and the version information have dialogs, not tabs.
    presenter.tabChosen(-1);
    presenter.tabChosen(6);
    EXPECT_EQ(session().CurrentKind, ResourceKind::Data);
}

TEST_F(MainPresenterTest, AddModifyDeleteGoThroughTheDialogOfTheKind) {
    start();
    addString("7", "Seven");
    EXPECT_EQ(view.modals, std::vector<std::string>{"frmString"});
    EXPECT_EQ(view.lists.at(ResourceKind::String), std::vector<std::string>{"7\tSeven"});
    EXPECT_TRUE(session().ProjectChanged);

    // Modify opens the dialog on the selected line and replaces it in place.
    view.selection[ResourceKind::String] = 0;
    std::string shown;
    view.onStringDialog = [&](StringItemPresenter& p, ScriptedStringView& v) {
        shown = v.identifierBox + "|" + v.textBox;
        v.textBox = "Sept";
        p.ok();
    };
    presenter.modifyClicked();
    EXPECT_EQ(shown, "7|Seven");
    EXPECT_EQ(view.lists.at(ResourceKind::String), std::vector<std::string>{"7\tSept"});
    EXPECT_EQ(view.selection.at(ResourceKind::String), 0);

    // The other kinds open the file item dialog.
    presenter.changeTab(kindIndex(ResourceKind::Wave));
    presenter.addClicked();
    EXPECT_EQ(view.modals.back(), "frmLoad");

    presenter.changeTab(kindIndex(ResourceKind::String));
    presenter.deleteClicked();
    EXPECT_TRUE(view.lists.at(ResourceKind::String).empty());
    EXPECT_EQ(platform.boxes.size(), 0u);
}

TEST_F(MainPresenterTest, ModifyWithoutSelectionReportsCodeOneAndDeleteIsSilent) {
    start();
    presenter.modifyClicked();
    EXPECT_EQ(platform.events, (std::vector<std::string>{"beep", "box"}));
    EXPECT_EQ(platform.boxes[0].text, errorMessage(kNoItemSelected));
    EXPECT_TRUE(view.modals.empty());
    presenter.deleteClicked();
    EXPECT_EQ(platform.events.size(), 2u);
    EXPECT_FALSE(session().ProjectChanged);
}

TEST_F(MainPresenterTest, GuardOffersToSaveBeforeNewOpenRecentAndExit) {
    start();
    addString("1", "One");
    // Cancel: New goes on anyway and nothing is written.
    platform.boxAnswers = {BoxAnswer::Cancel};
    presenter.newClicked();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "File has changed\r\nSave-it ?");
    EXPECT_EQ(platform.boxes[0].title, "WARNING");
    EXPECT_EQ(platform.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(view.caption, kNewCaption);
    EXPECT_TRUE(session().project.empty());
    EXPECT_FALSE(session().ProjectChanged);

    // OK on an untitled project asks for a name first, then saves there.
    addString("2", "Two");
    platform.answerFile(kDir + "/two.kbp");
    presenter.exitClicked();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(stored(kDir + "/two.kbp")->lines(ResourceKind::String),
              std::vector<std::string>{"2\tTwo"});
    // The frame after Exit runs no second guard.
    const std::size_t boxes = platform.boxes.size();
    presenter.exitClicked();
    EXPECT_EQ(platform.boxes.size(), boxes);
}

TEST_F(MainPresenterTest, SaveAsRemembersTheFileAndRecentFilesKeepFive) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    start();
    for (int i = 1; i <= 6; ++i) {
        addString(std::to_string(i), "x");
        platform.answerFile(kDir + "/p" + std::to_string(i) + ".kbp");
        EXPECT_TRUE(presenter.saveAsClicked());
    }
    EXPECT_EQ(view.caption, kDir + "/p6.kbp");
    EXPECT_FALSE(session().ProjectChanged);
    // Each dialog opens on the name chosen last, filtered to project files.
    ASSERT_EQ(platform.fileDialogs.size(), 6u);
    EXPECT_EQ(platform.fileDialogs[1].initialFile, kDir + "/p1.kbp");
    EXPECT_EQ(platform.fileDialogs[1].initialDir, kDir);
    EXPECT_EQ(platform.fileDialogs[1].filter.name, "Resource Project (KBP)");
    EXPECT_TRUE(platform.fileDialogs[1].save && platform.fileDialogs[1].confirmOverwrite);
    const std::vector<std::string> recent = readRecentFiles(kCfg, fs);
    EXPECT_EQ(recent,
              (std::vector<std::string>{kDir + "/p6.kbp", kDir + "/p5.kbp", kDir + "/p4.kbp",
                                        kDir + "/p3.kbp", kDir + "/p2.kbp"}));

    // The next start lists them; an item runs the guard, then loads its file.
    MainPresenter next(platform, "/Program", kCfg, fs);
    ScriptedMainView nextView;
    next.attach(nextView);
    next.startUp(std::string());
    ASSERT_EQ(nextView.recentItems.size(), 5u);
    EXPECT_EQ(nextView.recentItems[0], "&1 " + kDir + "/p6.kbp");
    next.recentFileClicked(5);
    EXPECT_EQ(nextView.caption, kDir + "/p2.kbp");
    EXPECT_EQ(nextView.lists.at(ResourceKind::String).size(), 2u);
    next.recentFileClicked(6); // no such item
    EXPECT_EQ(nextView.caption, kDir + "/p2.kbp");
}

TEST_F(MainPresenterTest, FailedOrCancelledSaveAsKeepsTheFormerFileAndCaption) {
    store(kDir + "/demo.kbp", sample());
    start(kDir + "/demo.kbp");
    addString("9", "Nine");
    EXPECT_FALSE(presenter.saveAsClicked()); // cancelled
    platform.answerFile("/ReadOnly/x.kbp");
    EXPECT_FALSE(presenter.saveAsClicked());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "ERROR");
    EXPECT_EQ(platform.boxes[0].text.rfind("The project was not saved.\r\n", 0), 0u);
    EXPECT_NE(platform.boxes[0].text.find("/ReadOnly/x.kbp"), std::string::npos);
    EXPECT_EQ(session().ProjectPath, kDir + "/demo.kbp");
    EXPECT_EQ(view.caption, kDir + "/demo.kbp");
    EXPECT_TRUE(session().ProjectChanged);

    // A name in any script is as good as another.
    platform.answerFile(kDir + "/\xE6\x97\xA5.kbp");
    EXPECT_TRUE(presenter.saveAsClicked());
    EXPECT_TRUE(stored(kDir + "/\xE6\x97\xA5.kbp"));
    EXPECT_EQ(view.caption, kDir + "/\xE6\x97\xA5.kbp");
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST_F(MainPresenterTest, OpenRunsTheGuardThenLoadsOrReportsAnInvalidFile) {
    store(kDir + "/demo.kbp", sample());
    fs.files[kDir + "/bad.kbp"] = "KELBO2";
    start();
    addString("1", "One");
    platform.boxAnswers = {BoxAnswer::Cancel};
    platform.answerFile(kDir + "/demo.kbp");
    presenter.openClicked();
    EXPECT_EQ(platform.events, (std::vector<std::string>{"box", "file"}));
    EXPECT_EQ(view.caption, kDir + "/demo.kbp");
    EXPECT_EQ(session().project, sample());
    EXPECT_FALSE(session().ProjectChanged);

    platform.answerFile(kDir + "/bad.kbp");
    presenter.openClicked();
    EXPECT_EQ(view.caption, kInvalidFileCaption);
    EXPECT_EQ(platform.boxes.back().text, errorMessage(kInvalidProjectFile));
    // The lists stay as they were.
    EXPECT_EQ(session().project, sample());
}

TEST_F(MainPresenterTest, EveryKindSurvivesOpenAndSave) {
    // The manifest and the version information have no list; the window must not drop them.
    Project all = sample();
    all.append(ResourceKind::Cursor, "5\t" + kDir + "/hand.cur");
    all.append(ResourceKind::Data, "BLOB\tRCDATA\t" + kDir + "/blob.bin");
    all.append(ResourceKind::Manifest, "dpiAware=true");
    all.append(ResourceKind::Version, "FileVersion=1.2.3.4");
    store(kDir + "/all.kbp", all);
    start(kDir + "/all.kbp");
    EXPECT_EQ(session().project, all);
    EXPECT_EQ(view.lists[ResourceKind::Cursor], all.lines(ResourceKind::Cursor));
    EXPECT_EQ(view.lists[ResourceKind::Data], all.lines(ResourceKind::Data));
    EXPECT_EQ(view.lists.count(ResourceKind::Manifest), 0u);
    EXPECT_EQ(view.lists.count(ResourceKind::Version), 0u);

    addString("3", "Three");
    presenter.saveClicked();
    all.append(ResourceKind::String, "3\tThree");
    EXPECT_EQ(stored(kDir + "/all.kbp"), all);
    EXPECT_FALSE(session().ProjectChanged);

    // Deleting on a tab removes nothing of the hidden kinds either.
    presenter.changeTab(kindIndex(ResourceKind::Bitmap));
    view.selection[ResourceKind::Bitmap] = 0;
    presenter.deleteClicked();
    EXPECT_EQ(session().project.count(ResourceKind::Version), 1);
    EXPECT_EQ(session().project.count(ResourceKind::Data), 1);
}

TEST_F(MainPresenterTest, CompileAsksForTheFileAndFillsTheLogWindow) {
    start();
    presenter.compileClicked(32);
    EXPECT_EQ(platform.boxes.at(0).text, errorMessage(kNothingToCompile));
    EXPECT_EQ(view.compileLogOpenings, 0);

    addString("1", "One");
    presenter.compileClicked(16); // cancelled
    EXPECT_EQ(view.compileLogOpenings, 0);
    EXPECT_EQ(platform.fileDialogs.back().title, "Save As ...( 16 bits)");
    EXPECT_EQ(platform.fileDialogs.back().filter.patterns,
              (std::vector<std::string>{"*.RES", "*.res"}));

    platform.answerFile(kDir + "/out.res");
    presenter.compileClicked(32);
    EXPECT_EQ(view.compileLogOpenings, 1);
    EXPECT_NE(view.logWindow.text.find("Compilation : SuccessFull"), std::string::npos);
    EXPECT_TRUE(fs.files.count(kDir + "/out.res"));
    EXPECT_EQ(platform.busyDepth, 0);
    EXPECT_EQ(platform.busyCalls, 2);
    const int beeps = platform.beeps;

    // An identifier error beeps, is logged, and writes nothing.
    addString("1", "Again");
    platform.answerFile(kDir + "/dup.res");
    presenter.compileClicked(32);
    EXPECT_EQ(platform.beeps, beeps + 1);
    EXPECT_NE(view.logWindow.text.find("*** ERROR ***"), std::string::npos);
    EXPECT_FALSE(fs.files.count(kDir + "/dup.res"));
    // Exit closes the log window with the program.
    presenter.exitClicked();
    EXPECT_FALSE(view.compileLogOpen);
}

TEST_F(MainPresenterTest, PrintLaysTheListingOutOnPages) {
    store(kDir + "/demo.kbp", sample());
    start(kDir + "/demo.kbp");
    presenter.printClicked(); // cancelled: nothing more happens
    EXPECT_EQ(platform.events, std::vector<std::string>{"print"});

    platform.printer = std::make_unique<ScriptedPrinter>();
    platform.printer->height = 40; // four lines a page
    presenter.printClicked();
    ScriptedPrinter& printer = *platform.printer;
    EXPECT_TRUE(printer.ended);
    std::vector<std::string> printed;
    for (const auto& page : printer.pages) {
        EXPECT_LE(page.back().baseline, 40);
        for (const auto& text : page)
            if (text.x == 0)
                printed.push_back(text.text);
    }
    const std::vector<std::string> expected =
        listingLines(session().project, session().ProjectPath, "03-07-2026");
    ASSERT_EQ(printed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(printed[i], expected[i].substr(0, expected[i].find('\t'))) << i;
    EXPECT_GT(printer.pages.size(), 2u);
    // A TAB moves the rest on to the next stop, eight average characters (16 units) apart.
    bool sawTab = false;
    for (const auto& page : printer.pages)
        for (std::size_t i = 1; i < page.size(); ++i)
            if (page[i].x != 0) {
                sawTab = true;
                EXPECT_EQ(page[i].x % 16, 0);
                EXPECT_GT(page[i].x,
                          page[i - 1].x + 2 * static_cast<int>(page[i - 1].text.size()) - 1);
            }
    EXPECT_TRUE(sawTab);
    EXPECT_EQ(platform.boxes.size(), 0u);

    platform.printer = std::make_unique<ScriptedPrinter>();
    platform.printer->startFails = true;
    presenter.printClicked();
    EXPECT_EQ(platform.boxes.at(0).text,
              "The listing was not printed.\r\nThe printer could not be started.");
}

TEST_F(MainPresenterTest, HelpAndAboutAreOpenedByTheView) {
    start();
    presenter.helpClicked();
    presenter.aboutClicked();
    EXPECT_EQ(view.modals, (std::vector<std::string>{"frmHelp", "frmAbout"}));
}

} // namespace
} // namespace kelbo::test
