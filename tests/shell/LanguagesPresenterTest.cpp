// The Languages dialog and the main window's language drop-down, through their presenters.
#include <gtest/gtest.h>

#include "ScriptedShell.h"
#include "project/Languages.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo::test {
namespace {

constexpr LanguageId kRussian = 0x0419;
constexpr LanguageId kChinese = 0x0804;

int choiceOf(const LanguagesPresenter& dialog, LanguageId language) {
    const std::vector<LanguageId>& ids = dialog.choices();
    return static_cast<int>(std::find(ids.begin(), ids.end(), language) - ids.begin());
}

class LanguagesDialogTest : public ::testing::Test {
protected:
    LanguagesDialogTest() {
        session.project.append(ResourceKind::Bitmap, "LOGO\t/art/logo.bmp");
        session.project.append(ResourceKind::String, "1\tHello");
        session.project.append(ResourceKind::Version, "CompanyName=Acme");
    }
    LanguagesPresenter& open() {
        view = std::make_unique<ScriptedLanguagesView>();
        presenter = std::make_unique<LanguagesPresenter>(session, platform);
        presenter->attach(*view);
        return *presenter;
    }
    std::vector<LanguageId> languages(const Project& project) {
        std::vector<LanguageId> ids;
        for (const LanguageSection& section : project.sections())
            ids.push_back(section.language);
        return ids;
    }
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<ScriptedLanguagesView> view;
    std::unique_ptr<LanguagesPresenter> presenter;
};

TEST_F(LanguagesDialogTest, ShowsTheLanguagesTheChoicesAndStringTickedForCopying) {
    session.project.addSection(kRussian);
    session.CurrentSection = 1;
    LanguagesPresenter& dialog = open();
    EXPECT_EQ(view->caption, "  Languages");
    EXPECT_EQ(view->languages,
              (std::vector<std::string>{"Neutral [0000] \u2013 base", "Russian (Russia) [0419]"}));
    EXPECT_EQ(view->selected, 1);
    EXPECT_TRUE(view->removeEnabled);
    ASSERT_EQ(view->choices.size(), commonLanguages().size());
    EXPECT_EQ(view->choices[choiceOf(dialog, kChinese)], "Chinese (Simplified, PRC) [0804]");
    EXPECT_EQ(view->copyCaption,
              "Copy the items of Russian (Russia) [0419] of these kinds into a new language:");
    for (ResourceKind kind : kAllKinds)
        EXPECT_EQ(view->copyKind(kind), kind == ResourceKind::String) << kindName(kind);
    view->selected = 0;
    dialog.selectionChanged();
    EXPECT_FALSE(view->removeEnabled);
}

TEST_F(LanguagesDialogTest, AddsByNameOrByCodeAndRefusesRepeatedOrMalformedCodes) {
    LanguagesPresenter& dialog = open();
    view->choiceIndex = choiceOf(dialog, kRussian);
    dialog.add();
    view->codeBox = " 0c1a ";
    dialog.add();
    EXPECT_EQ(languages(dialog.project()), (std::vector<LanguageId>{0, kRussian, 0x0C1A}));
    EXPECT_EQ(view->languages.back(), "Serbian (Cyrillic, Serbia) [0C1A]");
    EXPECT_EQ(view->selected, 2);
    EXPECT_EQ(view->codeBox, "");
    EXPECT_TRUE(platform.boxes.empty());

    const struct {
        const char* code;
        int choice;
        const char* box;
    } refused[] = {
        {"419", 0, "\"419\" is no language code.\r\nA code is four hex digits, such as 0419."},
        {"04190", 0, "\"04190\" is no language code.\r\nA code is four hex digits, such as 0419."},
        {"0x19", 0, "\"0x19\" is no language code.\r\nA code is four hex digits, such as 0419."},
        {"0419", 0, "The project has Russian (Russia) [0419] already."},
        {"0000", 0, "The project has Neutral [0000] already."},
        {"", -1, "Choose a language from the list, or type its code."},
    };
    for (const auto& r : refused) {
        view->codeBox = r.code;
        view->choiceIndex = r.choice;
        dialog.add();
        ASSERT_FALSE(platform.boxes.empty()) << r.code;
        EXPECT_EQ(platform.boxes.back().text, r.box);
        EXPECT_EQ(platform.boxes.back().icon, BoxIcon::Stop);
        EXPECT_EQ(platform.boxes.back().owner, view.get());
    }
    EXPECT_EQ(platform.beeps, 6);
    EXPECT_EQ(dialog.project().sectionCount(), 3);
    // Nothing reaches the project before OK.
    EXPECT_EQ(session.project.sectionCount(), 1);
}

TEST_F(LanguagesDialogTest, AddCopiesTheTickedKindsOfTheLanguageOnShow) {
    LanguagesPresenter& dialog = open();
    view->codeBox = "0419";
    dialog.add(); // STRING only, as ticked at first
    view->copy[ResourceKind::String] = false;
    view->copy[ResourceKind::Bitmap] = true;
    view->copy[ResourceKind::Version] = true;
    view->codeBox = "0804";
    dialog.add();
    view->copy.clear();
    view->codeBox = "0407";
    dialog.add();
    const Project& p = dialog.project();
    EXPECT_EQ(p.section(1).lines(ResourceKind::String), Project::Lines{"1\tHello"});
    EXPECT_EQ(p.section(1).totalCount(), 1);
    EXPECT_EQ(p.section(2).lines(ResourceKind::Bitmap), Project::Lines{"LOGO\t/art/logo.bmp"});
    EXPECT_EQ(p.section(2).lines(ResourceKind::Version), Project::Lines{"CompanyName=Acme"});
    EXPECT_EQ(p.section(2).totalCount(), 2);
    EXPECT_TRUE(p.section(3).empty());
    EXPECT_EQ(p.base(), session.project.base());
}

TEST_F(LanguagesDialogTest, RemoveAsksFirstAndKeepsTheBase) {
    session.project.addSection(kRussian);
    session.project.section(1).append(ResourceKind::String, "1\tПривет");
    session.project.addSection(kChinese);
    LanguagesPresenter& dialog = open();
    view->selected = 1;
    platform.boxAnswers = {BoxAnswer::Cancel, BoxAnswer::Ok};
    dialog.remove();
    EXPECT_EQ(dialog.project().sectionCount(), 3);
    EXPECT_EQ(platform.boxes.back().text, "Remove Russian (Russia) [0419] and its 1 item?");
    EXPECT_EQ(platform.boxes.back().buttons, BoxButtons::OkCancel);
    dialog.remove();
    EXPECT_EQ(languages(dialog.project()), (std::vector<LanguageId>{0, kChinese}));
    EXPECT_EQ(view->selected, 1);
    view->selected = 0;
    dialog.remove();
    EXPECT_EQ(platform.boxes.back().icon, BoxIcon::Stop);
    EXPECT_EQ(dialog.project().sectionCount(), 2);
}

TEST_F(LanguagesDialogTest, SetBaseChangesOnlyTheBaseLanguageAndRefusesOneInUse) {
    session.project.addSection(kRussian);
    LanguagesPresenter& dialog = open();
    view->choiceIndex = choiceOf(dialog, 0x0409);
    dialog.setBase();
    EXPECT_EQ(languages(dialog.project()), (std::vector<LanguageId>{0x0409, kRussian}));
    EXPECT_EQ(view->languages[0], "English (United States) [0409] \u2013 base");
    EXPECT_EQ(dialog.project().base().lines(ResourceKind::String), Project::Lines{"1\tHello"});
    view->codeBox = "0419";
    dialog.setBase();
    EXPECT_EQ(platform.boxes.back().text,
              "The project has Russian (Russia) [0419] already: remove that language first, or "
              "choose another for the base.");
    EXPECT_EQ(dialog.project().baseLanguage(), 0x0409);
}

TEST_F(LanguagesDialogTest, OkAppliesAndMarksChangedCancelAndAnUnchangedOkDoNot) {
    const Project before = session.project;
    LanguagesPresenter& cancelled = open();
    view->codeBox = "0419";
    cancelled.add();
    cancelled.cancel();
    EXPECT_EQ(view->result, DialogResult::Cancelled);
    EXPECT_EQ(session.project, before);

    open().ok();
    EXPECT_FALSE(session.ProjectChanged);

    LanguagesPresenter& dialog = open();
    view->codeBox = "0419";
    dialog.add();
    dialog.ok();
    EXPECT_EQ(view->result, DialogResult::Accepted);
    EXPECT_TRUE(dialog.accepted());
    EXPECT_EQ(languages(session.project), (std::vector<LanguageId>{0, kRussian}));
    EXPECT_TRUE(session.ProjectChanged);
}

TEST_F(LanguagesDialogTest, TheLanguageOnShowStaysOnShowUnlessRemoved) {
    session.project.addSection(kRussian);
    session.project.addSection(kChinese);
    session.CurrentSection = 2;
    LanguagesPresenter& first = open();
    view->selected = 1;
    first.remove();
    first.ok();
    EXPECT_EQ(session.CurrentSection, 1);
    EXPECT_EQ(session.current().language, kChinese);

    LanguagesPresenter& second = open();
    view->selected = 1;
    second.remove();
    second.ok();
    EXPECT_EQ(session.CurrentSection, 0);
}

// The main window: the drop-down, switching, and the dialog from the Project menu.
class LanguageSwitchTest : public ::testing::Test {
protected:
    LanguageSwitchTest() {
        fs.directories.insert("/Projects");
        presenter.attach(view);
        presenter.startUp({});
    }
    MemoryFileSystem fs;
    ScriptedPlatform platform;
    ScriptedMainView view;
    MainPresenter presenter{platform, "/Program", "/Program/kbplast.cfg", fs};
};

TEST_F(LanguageSwitchTest, TheDropDownChoosesWhichLanguageEveryListShowsAndEdits) {
    EXPECT_EQ(view.languages, std::vector<std::string>{"Neutral [0000] \u2013 base"});
    EXPECT_EQ(view.language, 0);
    Session& session = presenter.session();
    session.project.append(ResourceKind::String, "1\tHello");
    view.onLanguagesDialog = [](LanguagesPresenter& dialog, ScriptedLanguagesView& v) {
        v.codeBox = "0419";
        dialog.add();
        dialog.ok();
    };
    presenter.languagesClicked();
    EXPECT_EQ(view.modals.back(), "frmLanguages");
    EXPECT_EQ(view.languages.size(), 2u);
    EXPECT_EQ(view.languages[1], "Russian (Russia) [0419]");
    EXPECT_EQ(view.language, 0);

    presenter.languageChosen(1);
    EXPECT_EQ(view.lists.at(ResourceKind::String), Project::Lines{"1\tHello"}); // copied
    presenter.changeTab(kindIndex(ResourceKind::String));
    view.onStringDialog = [](StringItemPresenter& dialog, ScriptedStringView& v) {
        v.identifierBox = "2";
        v.textBox = "\u041C\u0438\u0440";
        dialog.ok();
    };
    presenter.addClicked();
    EXPECT_EQ(session.project.section(1).lines(ResourceKind::String),
              (Project::Lines{"1\tHello", "2\t\u041C\u0438\u0440"}));
    view.selection[ResourceKind::String] = 0;
    presenter.deleteClicked();
    EXPECT_EQ(view.lists.at(ResourceKind::String), Project::Lines{"2\t\u041C\u0438\u0440"});
    EXPECT_EQ(presenter.printList(kindIndex(ResourceKind::String)).size(), 2u);

    presenter.languageChosen(0);
    EXPECT_EQ(view.lists.at(ResourceKind::String), Project::Lines{"1\tHello"});
    presenter.languageChosen(7); // no such language
    EXPECT_EQ(session.CurrentSection, 0);
}

TEST_F(LanguageSwitchTest, NewProjectShowsTheBaseAgainAndTheGuardCoversARemoval) {
    Session& session = presenter.session();
    session.project.addSection(kRussian);
    presenter.languageChosen(1);
    EXPECT_EQ(session.CurrentSection, 1);
    view.onLanguagesDialog = [](LanguagesPresenter& dialog, ScriptedLanguagesView& v) {
        v.selected = 1;
        dialog.remove();
        dialog.ok();
    };
    presenter.languagesClicked();
    EXPECT_EQ(view.languages.size(), 1u);
    EXPECT_EQ(view.language, 0);
    EXPECT_TRUE(session.ProjectChanged);

    session.project.addSection(kChinese);
    presenter.languageChosen(1);
    platform.boxAnswers = {BoxAnswer::Cancel};
    presenter.newClicked();
    EXPECT_EQ(platform.boxes.back().title, "WARNING"); // the unsaved-changes guard
    EXPECT_EQ(session.CurrentSection, 0);
    EXPECT_EQ(view.languages, std::vector<std::string>{"Neutral [0000] \u2013 base"});
}

} // namespace
} // namespace kelbo::test
