// The main window's own commands: tabs, the item buttons, New, the menus and the guard.
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/QtText.h"

namespace kelbo::test {
namespace {

class MainWindow : public ShellTest {
protected:
    Interface& startWithSample() {
        writeProject(path("sample.kbp"), sampleProject());
        return start(qpath("sample.kbp"));
    }
    QTabBar* tabs() { return window().findChild<QTabBar*>("TabStrip1"); }
};

TEST_F(MainWindow, MenusCarryEveryCommandUnderItsName) {
    start();
    const std::vector<std::pair<const char*, QString>> items = {
        {"mfi", "&File"},
        {"mnuNewKBP", "&New KBP"},
        {"mnuOpenKBP", "&Open KBP-File"},
        {"mnuSaveKBP", "&Save "},
        {"mnuSaveAs", "Save &As..."},
        {"mnuImportRES", "&Import RES-File..."},
        {"mnuExportRC", "E&xport RC-File..."},
        {"mnuPrint", "&Print"},
        {"mnuExit", "&Exit"},
        {"mpr", "&Project"},
        {"mnuManifest", "&Manifest\u2026"},
        {"mnuVersion", "&Version\u2026"},
        {"mnuLanguages", "&Languages\u2026"},
        {"mco", "&Compile"},
        {"mnuCompile16", "Compile in &16 bits-Mode"},
        {"mnuCompile32", "Compile in &32 bits-Mode"},
        {"mnuAide", "&Help"},
        {"mnuHelp", "&Help"},
        {"mnuAbout", "&About"},
    };
    for (const auto& [name, text] : items) {
        QAction* a = action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text(), text) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
        EXPECT_TRUE(a->shortcut().isEmpty()) << name;
    }
    for (const char* name : {"bf0", "bfr", "bf1", "bf2", "mnulastBar", "ba0"})
        EXPECT_TRUE(action(name)->isSeparator()) << name;

    // File menu order, separators and recent items included.
    auto* file = window().findChild<QMenu*>("mfi");
    ASSERT_NE(file, nullptr);
    QStringList order;
    for (QAction* a : file->actions())
        order << a->objectName();
    EXPECT_EQ(order, QStringList({"mnuNewKBP", "bf0", "mnuOpenKBP", "mnuSaveKBP", "mnuSaveAs",
                                  "bfr", "mnuImportRES", "mnuExportRC", "bf1", "mnuPrint", "bf2",
                                  "mnuExit", "mnulastBar", "mnuFile1", "mnufile2", "mnufile3",
                                  "mnufile4", "mnufile5"}));
    QStringList top;
    for (QAction* a : window().menuBar()->actions())
        top << a->objectName();
    EXPECT_EQ(top, QStringList({"mfi", "mpr", "mco", "mnuAide"}));
}

TEST_F(MainWindow, ControlsSitWhereTheirTwipsSay) {
    Interface& w = start();
    const double dpi = w.screen()->logicalDotsPerInchY();
    const auto px = [dpi](int twips) { return qRound(twips * dpi / 1440.0); };
    auto* add = w.findChild<QPushButton*>("cmdAdd");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->geometry(), QRect(px(5100), px(1260), px(855), px(375)));
    EXPECT_EQ(add->text(), "Add");
    EXPECT_EQ(w.findChild<QPushButton*>("cmdModify")->text(), "Modify");
    EXPECT_EQ(w.findChild<QPushButton*>("cmdDelete")->text(), "Delete");
    EXPECT_EQ(w.list(ResourceKind::Wave)->geometry(), QRect(px(240), px(1020), px(4695), px(4350)));
    // The language drop-down sits above the tabs, beside its label.
    EXPECT_EQ(w.findChild<QWidget*>("cboLanguage")->geometry(),
              QRect(px(1080), px(120), px(3855), px(315)));
    EXPECT_LT(w.findChild<QWidget*>("lblLanguage")->geometry().right(), px(1080));
    EXPECT_EQ(w.centralWidget()->size(), QSize(px(6255), px(5790)));
    // Fixed size: the window cannot be resized.
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_NE(w.findChild<QWidget*>("Line1"), nullptr);
    EXPECT_NE(w.findChild<QWidget*>("Line2"), nullptr);
    // Keyboard order starts with the three buttons, then the shown list.
    EXPECT_EQ(add->nextInFocusChain(), w.findChild<QPushButton*>("cmdModify"));
}

TEST_F(MainWindow, TabsShowOneListAndKeepEachSelection) {
    Interface& w = startWithSample();
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(w.session().CurrentKind, ResourceKind::Icon);
    EXPECT_TRUE(w.list(ResourceKind::Icon)->isVisibleTo(&w));
    EXPECT_FALSE(w.list(ResourceKind::Bitmap)->isVisibleTo(&w));
    select(ResourceKind::Icon, 1);
    tabs()->setCurrentIndex(3);
    EXPECT_EQ(w.session().CurrentKind, ResourceKind::Wave);
    select(ResourceKind::Wave, 0);
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(w.selectedIndex(ResourceKind::Icon), 1);
    EXPECT_EQ(w.selectedIndex(ResourceKind::Wave), 0);
    EXPECT_EQ(w.selectedIndex(ResourceKind::Bitmap), -1);
    // ChangeTab shows the list but leaves the tab strip alone.
    w.ChangeTab(2);
    EXPECT_TRUE(w.list(ResourceKind::String)->isVisibleTo(&w));
    EXPECT_FALSE(w.list(ResourceKind::Icon)->isVisibleTo(&w));
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_FALSE(w.session().ProjectChanged);
}

TEST_F(MainWindow, DeleteRemovesTheSelectedLineSilently) {
    Interface& w = startWithSample();
    tabs()->setCurrentIndex(1);
    click("cmdDelete");
    EXPECT_EQ(rows(ResourceKind::Icon).size(), 3);
    EXPECT_FALSE(w.session().ProjectChanged);

    select(ResourceKind::Icon, 1);
    click("cmdDelete");
    EXPECT_EQ(rows(ResourceKind::Icon), QStringList({"1\t/pics/app.ico", "3\t/pics/tool.ico"}));
    EXPECT_EQ(w.session().project.count(ResourceKind::Icon), 2);
    EXPECT_TRUE(w.session().ProjectChanged);
    // Nothing is selected any more: a second press does nothing.
    click("cmdDelete");
    EXPECT_EQ(rows(ResourceKind::Icon).size(), 2);
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_EQ(platform_.beeps, 0);
}

TEST_F(MainWindow, ModifyWithoutSelectionReportsCodeOne) {
    startWithSample();
    const QStringList opened = modalsOpenedBy([&] { click("cmdModify"); });
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].text, "No Item selected");
    EXPECT_EQ(platform_.boxes[0].title, "ERROR 1");
    EXPECT_EQ(platform_.events, std::vector<QString>({"beep", "box"}));
}

TEST_F(MainWindow, ModifyOpensTheDialogOfTheKindWithTheSelectedLine) {
    Interface& w = startWithSample();
    select(ResourceKind::Bitmap, 1);
    EXPECT_EQ(modalsOpenedBy([&] { click("cmdModify"); }), QStringList({"frmLoad"}));
    EXPECT_EQ(w.session().EditedLine, "101\t/pics/splash.bmp");
    // Cancelled: the project and the selection are as they were.
    EXPECT_EQ(w.selectedIndex(ResourceKind::Bitmap), 1);
    EXPECT_FALSE(w.session().ProjectChanged);

    tabs()->setCurrentIndex(2);
    select(ResourceKind::String, 0);
    EXPECT_EQ(modalsOpenedBy([&] { click("cmdModify"); }), QStringList({"frmString"}));
    EXPECT_EQ(w.session().EditedLine, "1\tHello");
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(MainWindow, AddOpensTheDialogOfTheKindWithNoEditedLine) {
    Interface& w = startWithSample();
    const std::vector<std::pair<int, QString>> expected = {{0, "frmLoad"},   {1, "frmLoad"},
                                                           {2, "frmString"}, {3, "frmLoad"},
                                                           {4, "frmLoad"},   {5, "frmLoad"}};
    for (const auto& [tab, dialog] : expected) {
        tabs()->setCurrentIndex(tab);
        w.session().EditedLine = "stale";
        EXPECT_EQ(modalsOpenedBy([&] { click("cmdAdd"); }), QStringList({dialog})) << tab;
        EXPECT_TRUE(w.session().EditedLine.empty());
    }
}

TEST_F(MainWindow, ListShowsWhatTheStringDialogAdds) {
    Interface& w = startWithSample();
    tabs()->setCurrentIndex(2);
    select(ResourceKind::String, 1);
    // Fill the dialog as the user would and press its OK.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("Text1")->setText("Goodbye");
        dialog->findChild<QLineEdit*>("Text2")->setText("77");
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
    click("cmdAdd");
    EXPECT_EQ(rows(ResourceKind::String).size(), 3);
    EXPECT_EQ(rows(ResourceKind::String).last(), "77\tGoodbye");
    EXPECT_TRUE(w.session().ProjectChanged);
    // The row that was selected stays selected.
    EXPECT_EQ(w.selectedIndex(ResourceKind::String), 1);
}

TEST_F(MainWindow, NewEmptiesTheProjectAndKeepsTheTab) {
    Interface& w = startWithSample();
    tabs()->setCurrentIndex(3);
    trigger("mnuNewKBP");
    EXPECT_EQ(caption(), "  Kelbo Version 2.12");
    for (ResourceKind kind : kOriginalKinds)
        EXPECT_TRUE(rows(kind).isEmpty());
    EXPECT_EQ(w.session().CurrentKind, ResourceKind::Wave);
    EXPECT_EQ(tabs()->currentIndex(), 3);
    EXPECT_TRUE(w.list(ResourceKind::Wave)->isVisibleTo(&w));
    EXPECT_TRUE(w.session().ProjectPath.empty());
    EXPECT_EQ(toQt(w.session().ProjectDir), dir_.path());
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(MainWindow, GuardOnNewAsksAndGoesOnWhateverTheAnswer) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::Bitmap, "A\t/a.bmp");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Cancel};
    trigger("mnuNewKBP");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].text, "File has changed\r\nSave-it ?");
    EXPECT_EQ(platform_.boxes[0].title, "WARNING");
    EXPECT_EQ(platform_.boxes[0].icon, QtPlatform::BoxIcon::Exclamation);
    EXPECT_EQ(platform_.boxes[0].buttons, QtPlatform::BoxButtons::OkCancel);
    EXPECT_TRUE(platform_.fileDialogs.empty());
    EXPECT_EQ(w.session().project.totalCount(), 0);

    // OK on an untitled project asks for a name; cancelling that still empties the project.
    w.session().appendItem(ResourceKind::Bitmap, "A\t/a.bmp");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Ok};
    trigger("mnuNewKBP");
    EXPECT_EQ(platform_.boxes.size(), 2u);
    ASSERT_EQ(platform_.fileDialogs.size(), 1u);
    EXPECT_TRUE(platform_.fileDialogs[0].save);
    EXPECT_EQ(w.session().project.totalCount(), 0);
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_EQ(caption(), "  Kelbo Version 2.12");
}

TEST_F(MainWindow, ExitAndTheFrameRunTheGuardOnce) {
    Interface& w = start();
    int exits = 0;
    QObject::connect(&w, &Interface::exitRequested, [&] { ++exits; });
    w.session().appendItem(ResourceKind::String, "1\tHello");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Ok};
    platform_.fileAnswers = {qpath("kept.kbp")};
    trigger("mnuExit");
    EXPECT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(exits, 1);
    const std::optional<Project> kept = readProject(path("kept.kbp"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->lines(ResourceKind::String), Project::Lines({"1\tHello"}));

    // Closing from the frame, answered with Cancel: no save, and the program still ends.
    Interface& again = start();
    QObject::connect(&again, &Interface::exitRequested, [&] { ++exits; });
    again.session().appendItem(ResourceKind::String, "2\tLost");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Cancel};
    const std::size_t dialogs = platform_.fileDialogs.size();
    again.close();
    EXPECT_EQ(platform_.boxes.size(), 2u);
    EXPECT_EQ(platform_.fileDialogs.size(), dialogs);
    EXPECT_EQ(exits, 2);
}

TEST_F(MainWindow, HelpAndAboutAreModal) {
    start();
    EXPECT_EQ(modalsOpenedBy([&] { trigger("mnuHelp"); }), QStringList({"frmHelp"}));
    EXPECT_EQ(modalsOpenedBy([&] { trigger("mnuAbout"); }), QStringList({"frmAbout"}));
}

} // namespace
} // namespace kelbo::test
