// The Project menu's dialogs through their presenters.
#include <gtest/gtest.h>

#include "ScriptedShell.h"
#include "messages/ErrorCodes.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo::test {
namespace {

class ManifestDialogTest : public ::testing::Test {
protected:
    ManifestPresenter& open() {
        view = std::make_unique<ScriptedManifestView>();
        presenter = std::make_unique<ManifestPresenter>(session, platform, fs);
        presenter->attach(*view);
        return *presenter;
    }
    Session session;
    MemoryFileSystem fs;
    ScriptedPlatform platform;
    std::unique_ptr<ScriptedManifestView> view;
    std::unique_ptr<ManifestPresenter> presenter;
};

TEST_F(ManifestDialogTest, GeneratedSettingsShowTheXmlAndOkStoresTheirLines) {
    ManifestPresenter& dialog = open();
    EXPECT_EQ(view->caption, "  MANIFEST");
    EXPECT_EQ(view->sourceValue, ManifestSource::None);
    EXPECT_EQ(view->dpiItems, dpiChoices());
    EXPECT_EQ(view->name, kDefaultAssemblyName);
    EXPECT_FALSE(view->fileEnabled || view->generatorEnabled);
    EXPECT_EQ(view->xml, "");

    view->sourceValue = ManifestSource::Generated;
    dialog.sourceChosen();
    EXPECT_TRUE(view->generatorEnabled);
    EXPECT_FALSE(view->fileEnabled);
    view->controls = true;
    view->dpi = 4; // per monitor v2
    view->level = 1;
    view->name = "Acme.Tool";
    dialog.settingChanged();
    // What is shown is what the compiler writes.
    ManifestSettings expected;
    expected.name = "Acme.Tool";
    expected.commonControls = true;
    expected.dpi = DpiAwareness::PerMonitorV2;
    expected.level = ExecutionLevel::AsInvoker;
    EXPECT_EQ(view->xml, generateManifest(expected));
    EXPECT_EQ(view->xml.size() % 4, 0u);

    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::Manifest), manifestLines(expected));
    EXPECT_TRUE(session.ProjectChanged);
}

TEST_F(ManifestDialogTest, OkWithoutAChangeLeavesTheLinesAndCancelChangesNothing) {
    // Lines in another spelling of the same settings stay as the user wrote them.
    const Project::Lines stored{"Controls = 6", "DPI=PerMonitor"};
    session.project.setLines(ResourceKind::Manifest, stored);
    open();
    EXPECT_EQ(view->sourceValue, ManifestSource::Generated);
    EXPECT_TRUE(view->controls);
    EXPECT_EQ(view->dpi, 3);
    presenter->ok();
    EXPECT_EQ(session.project.lines(ResourceKind::Manifest), stored);
    EXPECT_FALSE(session.ProjectChanged);

    open();
    view->sourceValue = ManifestSource::None;
    presenter->cancel();
    EXPECT_EQ(view->result, DialogResult::Cancelled);
    EXPECT_EQ(session.project.lines(ResourceKind::Manifest), stored);
    EXPECT_FALSE(session.ProjectChanged);

    // None removes the manifest.
    open();
    view->sourceValue = ManifestSource::None;
    presenter->ok();
    EXPECT_TRUE(session.project.lines(ResourceKind::Manifest).empty());
    EXPECT_TRUE(session.ProjectChanged);
}

TEST_F(ManifestDialogTest, TheCompilersChecksRefuseBadSettingsAndBadFiles) {
    ManifestPresenter& dialog = open();
    view->sourceValue = ManifestSource::Generated;
    for (const char* version : {"1.0", "1.0.0.70000", ""}) {
        view->version = version;
        dialog.ok();
        EXPECT_FALSE(view->result) << version;
        EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadManifest));
        EXPECT_EQ(view->xml, "") << "no XML for settings that do not compile";
    }
    view->version = "2.0.0.1";
    view->name = "";
    dialog.ok();
    EXPECT_FALSE(view->result);

    view->sourceValue = ManifestSource::File;
    view->path = "";
    dialog.ok();
    EXPECT_NE(platform.boxes.back().text.find("No manifest file chosen"), std::string::npos);
    view->path = "/m/app.manifest";
    dialog.ok();
    EXPECT_NE(platform.boxes.back().text.find("Cannot read"), std::string::npos);
    fs.files["/m/app.manifest"] = "<assembly><unclosed></assembly>";
    dialog.ok();
    EXPECT_NE(platform.boxes.back().text.find("not well-formed XML"), std::string::npos);
    EXPECT_FALSE(view->result);
    EXPECT_TRUE(session.project.lines(ResourceKind::Manifest).empty());

    const std::string xml = "<?xml version=\"1.0\"?><assembly/>";
    fs.files["/m/app.manifest"] = xml;
    view->dllBox = true;
    dialog.settingChanged();
    EXPECT_EQ(view->xml, xml);
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::Manifest),
              (Project::Lines{"id=2", "file=/m/app.manifest"}));
}

TEST_F(ManifestDialogTest, BrowseChoosesTheFileSource) {
    fs.files["/m/app.manifest"] = "<assembly/>";
    ManifestPresenter& dialog = open();
    platform.answerFile("/m/app.manifest");
    dialog.browse();
    EXPECT_EQ(view->sourceValue, ManifestSource::File);
    EXPECT_EQ(view->path, "/m/app.manifest");
    EXPECT_TRUE(view->fileEnabled);
    EXPECT_EQ(view->xml, "<assembly/>");
    // Cancelled: nothing changes.
    view->sourceValue = ManifestSource::None;
    dialog.browse();
    EXPECT_EQ(view->sourceValue, ManifestSource::None);
}

class VersionDialogTest : public ::testing::Test {
protected:
    VersionPresenter& open() {
        view = std::make_unique<ScriptedVersionView>();
        presenter = std::make_unique<VersionPresenter>(session, platform);
        presenter->attach(*view);
        return *presenter;
    }
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<ScriptedVersionView> view;
    std::unique_ptr<VersionPresenter> presenter;
};

TEST_F(VersionDialogTest, ShowsTheLinesAndOkWithoutAChangeKeepsThem) {
    const Project::Lines stored{"CompanyName=Acme", "fileversion = 1.2", "Language=0407",
                                "CodePage=1200"};
    session.project.setLines(ResourceKind::Version, stored);
    open();
    EXPECT_EQ(view->caption, "  VERSION");
    EXPECT_EQ(view->parts[0][0], "1");
    EXPECT_EQ(view->parts[0][1], "2");
    EXPECT_EQ(view->parts[0][3], "0");
    EXPECT_EQ(view->parts[1][0], "") << "no ProductVersion line";
    EXPECT_FALSE(view->fromNumbers) << "the string is spelt \"1.2\", not from the numbers";
    EXPECT_EQ(view->strings[1], "Acme");
    EXPECT_EQ(commonLanguages()[view->languageIndex].id, 0x0407);
    EXPECT_EQ(view->languages[view->languageIndex], "German (Germany) (0407)");
    EXPECT_EQ(commonCodePages()[view->codePageIndex].codePage, 1200);
    presenter->ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::Version), stored);
    EXPECT_FALSE(session.ProjectChanged);

    open();
    view->strings[1] = "Other";
    presenter->cancel();
    EXPECT_EQ(session.project.lines(ResourceKind::Version), stored);
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(VersionDialogTest, OkWritesNumbersStringsAndChoicesInTheStoredOrder) {
    session.project.setLines(ResourceKind::Version, {"ProductName=Tool", "FileVersion=1.2"});
    open();
    view->parts[0][2] = "3";
    view->parts[1][0] = "7";
    view->fromNumbers = true;
    view->strings[0] = " A comment ";
    view->strings[8] = ""; // ProductName dropped
    view->fileTypeIndex = 1;
    presenter->ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_TRUE(session.ProjectChanged);
    EXPECT_EQ(session.project.lines(ResourceKind::Version),
              (Project::Lines{"FileType=dll", "FileVersion=1.2.3.0", "ProductVersion=7.0.0.0",
                              "Comments=A comment"}));
    // What OK stores compiles.
    VersionProblem problem;
    EXPECT_TRUE(buildVersionResource(session.project.lines(ResourceKind::Version), 32, problem));
}

// Fields the dialog does not show, as an imported program's version has them, survive an OK.
TEST_F(VersionDialogTest, OkKeepsWhatTheDialogDoesNotShow) {
    const Project::Lines stored{"FileFlags=0x3",        "FileOS=0x4",
                                "FileSubtype=0x7",      "FileDate=0x0000000100000002",
                                "FileType=0x3",         "FileVersionNumber=1.2.3.4",
                                "FileVersion=1.2 beta", "CompanyName=Acme"};
    session.project.setLines(ResourceKind::Version, stored);
    VersionProblem problem;
    const std::optional<VersionSettings> before = parseVersionLines(stored, problem);
    ASSERT_TRUE(before) << problem.text;
    open();
    view->strings[1] = "Other";
    presenter->ok();
    const std::optional<VersionSettings> after =
        parseVersionLines(session.project.lines(ResourceKind::Version), problem);
    ASSERT_TRUE(after) << problem.text;
    VersionSettings expected = *before;
    expected.strings.back().value = "Other";
    EXPECT_EQ(*after, expected);

    open();
    view->fileTypeIndex = 1; // a FileType chosen in the dialog replaces the number
    presenter->ok();
    EXPECT_EQ(
        parseVersionLines(session.project.lines(ResourceKind::Version), problem)->otherFileType,
        std::nullopt);
}

TEST_F(VersionDialogTest, BadNumbersAreRefusedWithTheCompilersMessage) {
    VersionPresenter& dialog = open();
    EXPECT_TRUE(view->fromNumbers);
    const std::pair<const char*, const char*> cases[] = {{"70000", "over 65535"},
                                                         {"1a", "is not a number"}};
    for (const auto& [part, message] : cases) {
        view->parts[1][3] = part;
        dialog.ok();
        EXPECT_FALSE(view->result) << part;
        EXPECT_EQ(platform.boxes.back().title, errorTitle(kBadVersion));
        EXPECT_NE(platform.boxes.back().text.find(message), std::string::npos)
            << platform.boxes.back().text;
    }
    EXPECT_TRUE(session.project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(session.ProjectChanged);
    // Nothing typed anywhere: still no version information.
    view->parts[1][3] = "";
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_TRUE(session.project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(VersionDialogTest, AnUncommonLanguageAndCodePageGetAnEntryOfTheirOwn) {
    session.project.setLines(ResourceKind::Version, {"Language=0462", "CodePage=437"});
    VersionPresenter& dialog = open();
    EXPECT_EQ(view->languages.back(), "Other (0462)");
    EXPECT_EQ(view->languageIndex, static_cast<int>(view->languages.size()) - 1);
    EXPECT_EQ(view->codePages.back(), "437  Other");
    dialog.ok();
    EXPECT_FALSE(session.ProjectChanged);
    view->languageIndex = 0;
    dialog.ok();
    EXPECT_EQ(session.project.lines(ResourceKind::Version), Project::Lines{"CodePage=437"});
}

TEST(ProjectMenu, OpensEachDialogOverTheSession) {
    ScriptedPlatform platform;
    ScriptedMainView view;
    MemoryFileSystem fs;
    MainPresenter presenter(platform, "/Program", "/Program/kbplast.cfg", fs);
    presenter.attach(view);
    presenter.startUp(std::string());
    // Each dialog edits the language on show; text beyond Windows-1252 is kept.
    presenter.session().project.addSection(0x0419);
    presenter.languageChosen(1);
    const std::string company =
        "\u041E\u041E\u041E \u00AB\u0420\u043E\u043C\u0430\u0448\u043A\u0430\u00BB";
    view.onVersionDialog = [&](VersionPresenter& dialog, ScriptedVersionView& v) {
        v.strings[1] = company;
        dialog.ok();
    };
    view.onManifestDialog = [](ManifestPresenter& dialog, ScriptedManifestView& v) {
        v.sourceValue = ManifestSource::Generated;
        v.descriptionBox = "\u5E94\u7528";
        dialog.ok();
    };
    presenter.versionClicked();
    presenter.manifestClicked();
    EXPECT_EQ(view.modals, (std::vector<std::string>{"frmVersion", "frmManifest"}));
    const Project& project = presenter.session().project;
    EXPECT_EQ(project.section(1).lines(ResourceKind::Version),
              Project::Lines{"CompanyName=" + company});
    const Project::Lines& manifest = project.section(1).lines(ResourceKind::Manifest);
    EXPECT_NE(std::find(manifest.begin(), manifest.end(), "description=\u5E94\u7528"),
              manifest.end());
    EXPECT_TRUE(project.base().empty());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(presenter.session().ProjectChanged);
}

} // namespace
} // namespace kelbo::test
