// The item dialogs, the help windows and the about box through their presenters.
#include <gtest/gtest.h>

#include "ScriptedShell.h"
#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "messages/HelpTopics.h"
#include "shell/ItemValidation.h"
#include "shell/Layout.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo::test {
namespace {

class StringDialogTest : public ::testing::Test {
protected:
    StringItemPresenter& open(int selected = -1) {
        presenter = std::make_unique<StringItemPresenter>(session, platform, selected);
        presenter->attach(view);
        return *presenter;
    }
    Session session;
    ScriptedPlatform platform;
    ScriptedStringView view;
    std::unique_ptr<StringItemPresenter> presenter;
};

TEST_F(StringDialogTest, AddStoresTheTrimmedIdentifierAndTheTextAsTyped) {
    StringItemPresenter& dialog = open();
    EXPECT_EQ(view.caption, "  STRING");
    EXPECT_EQ(view.maxLength, StringItemPresenter::kMaxTypedLength);
    EXPECT_TRUE(view.textFocused);
    view.identifierBox = " 42 ";
    view.textBox = " Hello\tthere ";
    dialog.ok();
    EXPECT_EQ(view.result, DialogResult::Accepted);
    EXPECT_TRUE(dialog.accepted());
    EXPECT_EQ(session.project.lines(ResourceKind::String),
              std::vector<std::string>{"42\t Hello\tthere "});
    EXPECT_TRUE(session.ProjectChanged);
}

TEST_F(StringDialogTest, RefusedIdentifiersReportTheirCodeAndKeepTheDialogOpen) {
    const std::pair<const char*, int> cases[] = {
        {"", kNoIdentifier}, {"abc", kStringIdOnlyNumber}, {"32768", kIdentifierTooLarge}};
    StringItemPresenter& dialog = open();
    for (const auto& [identifier, code] : cases) {
        view.identifierBox = identifier;
        view.textBox = "text";
        dialog.ok();
        EXPECT_FALSE(view.result) << identifier;
        EXPECT_EQ(platform.boxes.back().title, errorTitle(code)) << identifier;
        EXPECT_EQ(platform.boxes.back().icon, BoxIcon::Stop);
        EXPECT_EQ(platform.boxes.back().owner, &view);
    }
    EXPECT_EQ(platform.beeps, 3);
    EXPECT_TRUE(session.project.empty());
    EXPECT_FALSE(session.ProjectChanged);

    // Any script is kept as typed.
    view.identifierBox = "1";
    view.textBox = "\u65E5\u672C \u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600";
    dialog.ok();
    EXPECT_EQ(view.result, DialogResult::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::String),
              (Project::Lines{"1\t\u65E5\u672C \u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600"}));
}

TEST_F(StringDialogTest, ModifyShowsThePartsAndReplacesTheLineInPlace) {
    session.project.append(ResourceKind::String, "1\tfirst");
    session.project.append(ResourceKind::String, "2\t" + std::string(300, 'x') + "\tmore");
    session.EditedLine = session.project.line(ResourceKind::String, 1);
    StringItemPresenter& dialog = open(1);
    EXPECT_EQ(view.identifierBox, "2");
    EXPECT_EQ(view.textBox, std::string(300, 'x') + "\tmore");
    // A longer line from a file is shown whole; only typing stops at 255.
    EXPECT_EQ(view.maxLength, 305);
    view.identifierBox = "3";
    dialog.ok();
    EXPECT_EQ(session.project.lines(ResourceKind::String),
              (std::vector<std::string>{"1\tfirst", "3\t" + std::string(300, 'x') + "\tmore"}));

    // A line without a TAB is all identifier.
    session.EditedLine = "77";
    ScriptedStringView other;
    StringItemPresenter again(session, platform, 0);
    again.attach(other);
    EXPECT_EQ(other.identifierBox, "77");
    EXPECT_EQ(other.textBox, "");
}

TEST_F(StringDialogTest, CancelChangesNothing) {
    StringItemPresenter& dialog = open();
    view.identifierBox = "1";
    view.textBox = "x";
    dialog.cancel();
    EXPECT_EQ(view.result, DialogResult::Cancelled);
    EXPECT_FALSE(dialog.accepted());
    EXPECT_TRUE(session.project.empty());
    EXPECT_TRUE(platform.events.empty());
}

const std::string kCyrillicDir = "/\u041F\u0440\u043E\u0435\u043A\u0442\u044B";

class FileDialogTest : public ::testing::Test {
protected:
    FileDialogTest() {
        session.ExeDir = "/Program";
        fs.files["/Projects/Demo/logo.bmp"] = "BM";
        fs.files["/Projects/Art/logo.bmp"] = "BM";
    }
    FileItemPresenter& open(ResourceKind kind, int selected = -1) {
        session.CurrentKind = kind;
        view = std::make_unique<ScriptedFileView>(
            std::vector<std::string>{"/Program", "/Projects/Demo", "/Projects/Art", kCyrillicDir});
        presenter = std::make_unique<FileItemPresenter>(session, platform, selected, fs);
        view->presenter = presenter.get();
        presenter->attach(*view);
        return *presenter;
    }
    // A DATA item's dialog, with a file of one byte and one of 1,234 in the program's folder.
    FileItemPresenter& openData(int selected = -1) {
        fs.files["/Program/blob.bin"] = std::string(1234, 'x');
        fs.files["/Program/one.bin"] = "x";
        return open(ResourceKind::Data, selected);
    }
    Session session;
    MemoryFileSystem fs;
    ScriptedPlatform platform;
    std::unique_ptr<ScriptedFileView> view;
    std::unique_ptr<FileItemPresenter> presenter;
};

TEST_F(FileDialogTest, EachKindSetsCaptionPatternAndPreviewOrPlay) {
    const struct {
        ResourceKind kind;
        const char* caption;
        const char* pattern;
        bool play;
        bool data;
    } kinds[] = {{ResourceKind::Bitmap, "  BITMAP", "*.BMP", false, false},
                 {ResourceKind::Icon, "  ICON", "*.ICO", false, false},
                 {ResourceKind::Wave, "  WAVE", "*.WAV", true, false},
                 {ResourceKind::Cursor, "  CURSOR", "*.CUR", false, false},
                 {ResourceKind::Data, "  DATA", "*.*", false, true}};
    for (const auto& k : kinds) {
        open(k.kind);
        EXPECT_EQ(view->caption, k.caption);
        EXPECT_EQ(view->pattern, k.pattern);
        EXPECT_EQ(view->fileLabel, k.pattern);
        EXPECT_EQ(view->play, k.play);
        EXPECT_EQ(view->dataFields, k.data);
        EXPECT_EQ(view->typeBox, k.data ? "CUSTOM" : "");
        EXPECT_TRUE(view->listFocused);
        view->choose("a.x");
        // A DATA file is not a picture: its size is shown instead.
        EXPECT_EQ(view->previews, k.play || k.data ? 0 : 1);
    }
}

TEST_F(FileDialogTest, DataAddShowsTheSizeAndStoresIdentifierTypeAndFile) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    FileItemPresenter& dialog = openData();
    EXPECT_EQ(view->sizeLabel, "");
    view->choose("one.bin");
    EXPECT_EQ(view->sizeLabel, "1 byte");
    view->choose("blob.bin");
    EXPECT_EQ(view->sizeLabel, "1,234 bytes");
    view->identifierBox = "BLOB";
    view->typeBox = " rcdata ";
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    // The type is kept as typed, trimmed: the compiler upper-cases it as it does identifiers.
    EXPECT_EQ(session.project.lines(ResourceKind::Data),
              std::vector<std::string>{"BLOB\trcdata\t/Program/blob.bin"});
    EXPECT_TRUE(session.ProjectChanged);
}

TEST_F(FileDialogTest, AnyScriptIsKeptAndTheItemGoesToTheLanguageOnShow) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    const std::string name = "\u0437\u043D\u0430\u0447\u043E\u043A.bin";
    fs.files[kCyrillicDir + "/" + name] = "xy";
    session.project.addSection(0x0419);
    session.CurrentSection = 1;
    FileItemPresenter& dialog = openData();
    view->showFolder(kCyrillicDir);
    view->choose(name);
    EXPECT_EQ(view->sizeLabel, "2 bytes");
    view->identifierBox = "\u0418\u041A\u041E\u041D\u041A\u0410";
    view->typeBox = "\u6570\u636E";
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_EQ(session.project.section(1).lines(ResourceKind::Data),
              (Project::Lines{"\u0418\u041A\u041E\u041D\u041A\u0410\t\u6570\u636E\t" +
                              kCyrillicDir + "/" + name}));
    EXPECT_TRUE(session.project.base().empty());
    EXPECT_EQ(session.ItemDir, kCyrillicDir);
}

TEST_F(FileDialogTest, DataBadTypesAreRefusedWithTheirReasonAndTheDialogStaysOpen) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    FileItemPresenter& dialog = openData();
    view->choose("blob.bin");
    view->identifierBox = "1";
    for (const char* type : {"", "  ", "6", "24", "40000"}) {
        view->typeBox = type;
        dialog.ok();
        EXPECT_FALSE(view->result) << type;
        EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadDataType)) << type;
        EXPECT_EQ(platform.boxes.back().text.rfind(errorMessage(kBadDataType), 0), 0u) << type;
    }
    EXPECT_EQ(platform.beeps, 5);
    EXPECT_TRUE(session.project.empty());
    // A number the compiler leaves to the user is taken.
    view->typeBox = "300";
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
}

TEST_F(FileDialogTest, DataModifyShowsTheTypeAndReplacesTheLine) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    session.project.append(ResourceKind::Data, "A\tCUSTOM\t/Program/one.bin");
    session.project.append(ResourceKind::Data, "B\tTEXT\t/Program/blob.bin");
    session.EditedLine = session.project.line(ResourceKind::Data, 1);
    FileItemPresenter& dialog = openData(1);
    EXPECT_EQ(view->identifierBox, "B");
    EXPECT_EQ(view->typeBox, "TEXT");
    EXPECT_EQ(view->fileLabel, "blob.bin");
    EXPECT_EQ(view->sizeLabel, "1,234 bytes");
    view->typeBox = "HTML";
    dialog.ok();
    EXPECT_EQ(
        session.project.lines(ResourceKind::Data),
        (std::vector<std::string>{"A\tCUSTOM\t/Program/one.bin", "B\tHTML\t/Program/blob.bin"}));
}

TEST_F(FileDialogTest, OpensOnTheProgramFolderThenOnTheFolderOfTheLastOk) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    FileItemPresenter& first = open(ResourceKind::Bitmap);
    EXPECT_EQ(view->shownFolder, "/Program");
    view->showFolder("/Projects/Demo");
    view->choose("logo.bmp");
    view->identifierBox = "LOGO";
    first.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::Bitmap),
              std::vector<std::string>{"LOGO\t/Projects/Demo/logo.bmp"});
    EXPECT_EQ(session.ItemDir, "/Projects/Demo");

    open(ResourceKind::Icon);
    EXPECT_EQ(view->shownFolder, "/Projects/Demo");
    // A folder that is gone falls back to the program's folder.
    session.ItemDir = "/Gone";
    open(ResourceKind::Icon);
    EXPECT_EQ(view->foldersAsked.front(), "/Gone");
    EXPECT_EQ(view->shownFolder, "/Program");
}

TEST_F(FileDialogTest, RefusedOkKeepsTheProjectButRemembersTheFolder) {
    FileItemPresenter& dialog = open(ResourceKind::Bitmap);
    view->showFolder("/Projects/Demo");
    view->choose("logo.bmp");
    dialog.ok(); // no identifier
    EXPECT_EQ(platform.boxes.back().title, errorTitle(kNoIdentifier));
    view->identifierBox = "A";
    view->choose("*.BMP");
    dialog.ok(); // no file chosen
    EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadFileName));
    // A name chosen in one folder and taken to another must still name a file.
    view->choose("logo.bmp");
    view->showFolder("/Program");
    dialog.ok();
    EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadFileName));
    EXPECT_FALSE(view->result);
    EXPECT_TRUE(session.project.empty());
    EXPECT_EQ(session.ItemDir, "/Program");

    // A folder in any script is remembered like any other.
    presenter->folderShown("/\u03A9\u03BC\u03AD\u03B3\u03B1");
    dialog.ok();
    EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadFileName));
    EXPECT_EQ(session.ItemDir, "/\u03A9\u03BC\u03AD\u03B3\u03B1");
}

TEST_F(FileDialogTest, ModifyShowsTheLineAndReplacesItInPlace) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    session.project.append(ResourceKind::Bitmap, "ONE\t/Projects/Art/logo.bmp");
    session.project.append(ResourceKind::Bitmap, "TWO\t/Projects/Demo/logo.bmp");
    session.EditedLine = session.project.line(ResourceKind::Bitmap, 0);
    FileItemPresenter& dialog = open(ResourceKind::Bitmap, 0);
    EXPECT_EQ(view->identifierBox, "ONE");
    EXPECT_EQ(view->shownFolder, "/Projects/Art");
    EXPECT_EQ(view->fileLabel, "logo.bmp");
    EXPECT_EQ(dialog.fullPath(), "/Projects/Art/logo.bmp");
    view->identifierBox = "UNO";
    dialog.ok();
    EXPECT_EQ(
        session.project.lines(ResourceKind::Bitmap),
        (std::vector<std::string>{"UNO\t/Projects/Art/logo.bmp", "TWO\t/Projects/Demo/logo.bmp"}));
}

TEST_F(FileDialogTest, PlayPassesTheFullPathAndCancelChangesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "written with POSIX folder names; the Win32 view tests cover Windows paths";
#endif
    FileItemPresenter& dialog = open(ResourceKind::Wave);
    view->showFolder("/Projects/Demo");
    dialog.play();
    view->choose("ding.wav");
    dialog.play();
    EXPECT_EQ(platform.sounds,
              (std::vector<std::string>{"/Projects/Demo/*.WAV", "/Projects/Demo/ding.wav"}));
    dialog.cancel();
    EXPECT_EQ(view->result, DialogResult::Cancelled);
    EXPECT_TRUE(session.project.empty());
}

TEST(HelpPresenters, IndexTopicsAndAboutFillTheirViews) {
    struct Topic : SubHelpView {
        std::string caption, text;
        bool closed = false;
        void setCaption(const std::string& c) override { caption = c; }
        void setText(const std::string& t) override { text = t; }
        void close() override { closed = true; }
    };
    struct Index : HelpView {
        std::string caption;
        std::vector<std::string> labels = std::vector<std::string>(HelpPresenter::kTopicCount);
        std::vector<Topic> opened;
        bool closed = false;
        void setCaption(const std::string& c) override { caption = c; }
        void setTopicLabel(int i, const std::string& l) override { labels.at(i) = l; }
        void runSubHelp(SubHelpPresenter& p) override {
            opened.emplace_back();
            p.attach(opened.back());
            p.backToIndex();
        }
        void close() override { closed = true; }
    } index;
    HelpPresenter help;
    help.attach(index);
    EXPECT_EQ(index.caption, kHelpIndexCaption);
    for (int i = 0; i < HelpPresenter::kTopicCount; ++i)
        EXPECT_EQ(index.labels[i], helpTopics()[i].label);
    help.openTopic(HelpPresenter::kTopicCount);
    help.openTopic(-1);
    EXPECT_TRUE(index.opened.empty());
    help.openTopic(3);
    ASSERT_EQ(index.opened.size(), 1u);
    EXPECT_EQ(index.opened[0].caption, helpTopics()[3].caption);
    EXPECT_EQ(index.opened[0].text, helpTopics()[3].text);
    EXPECT_TRUE(index.opened[0].closed);
    help.exit();
    EXPECT_TRUE(index.closed);

    struct About : AboutView {
        std::string caption, name, version;
        void setCaption(const std::string& c) override { caption = c; }
        void setProgramName(const std::string& n) override { name = n; }
        void setVersion(const std::string& v) override { version = v; }
        void close() override {}
    } about;
    AboutPresenter aboutPresenter;
    aboutPresenter.attach(about);
    EXPECT_EQ(about.caption, " ");
    EXPECT_EQ(about.version, "Version " + std::string(kVersion));
}

TEST(Layout, EveryWindowHasOneDefaultAndAtMostOneCancelButtonAndUniqueNames) {
    const WindowSpec* windows[] = {
        &mainWindowSpec(), &fileItemDialogSpec(), &stringItemDialogSpec(),
        &helpIndexSpec(),  &subHelpSpec(),        &aboutSpec(),
        &compileLogSpec(), &manifestDialogSpec(), &versionDialogSpec()};
    for (const WindowSpec* window : windows) {
        int defaults = 0;
        int cancels = 0;
        for (const ControlSpec& control : window->controls) {
            defaults += control.role == ButtonRole::Default;
            cancels += control.role == ButtonRole::Cancel;
            EXPECT_EQ(window->find(control.name), &control) << window->name << control.name;
            if (!control.parent.empty()) {
                EXPECT_NE(window->find(control.parent), nullptr) << control.name;
            }
            // The rules under the menu run on past the client area, as wide as the old frame.
            if (control.kind != ControlKind::Rule) {
                EXPECT_LE(control.twips.left + control.twips.width, window->clientWidth)
                    << window->name << " " << control.name;
            }
            if (control.parent.empty()) {
                EXPECT_LE(control.twips.top + control.twips.height, window->clientHeight)
                    << window->name << " " << control.name;
            }
        }
        EXPECT_LE(defaults, 1) << window->name;
        EXPECT_LE(cancels, 1) << window->name;
    }
    EXPECT_EQ(stringItemDialogSpec().find("cmdCancel")->role, ButtonRole::Cancel);
    EXPECT_EQ(fileItemDialogSpec().find("cmdPlay")->role, ButtonRole::None);
    EXPECT_EQ(mainWindowSpec().find("nothing"), nullptr);
    // The Project menu sits between File and Compile.
    std::vector<std::string_view> menus;
    for (const MenuSpec& menu : mainMenus())
        menus.push_back(menu.caption);
    EXPECT_EQ(menus, (std::vector<std::string_view>{"&File", "&Project", "&Compile", "&Help"}));
}

} // namespace
} // namespace kelbo::test
