// The CURSOR and DATA tabs and the Project menu in the real main window: the dialogs are filled
// and closed as a user would, and a project of every kind compiles to the same bytes as the
// command-line compiler makes of it.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>
#include <functional>

#include "GuiTestSupport.h"
#include "SampleMedia.h"
#include "app/QtText.h"
#include "tests/support/Subprocess.h"

namespace kelbo::test {
namespace {

void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `fill` on the modal dialog the next command opens, once it shows.
void onDialog(std::function<void(QWidget*)> fill) {
    QTimer::singleShot(0, [fill] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        fill(dialog);
        // A dialog the script did not close would hold the test up.
        if (dialog->isVisible())
            dialog->close();
    });
}

template <typename T> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void chooseFile(QWidget* dialog, const QString& name) {
    auto* files = child<QListWidget>(dialog, "File1");
    const QList<QListWidgetItem*> rows = files->findItems(name, Qt::MatchExactly);
    ASSERT_FALSE(rows.isEmpty()) << name.toStdString();
    files->setCurrentItem(rows.first());
}

class NewKinds : public ShellTest {
protected:
    void SetUp() override {
        using namespace kelbo::sample;
        writeBytes(qpath("arrow.cur"), encodeCursor({{iconImage32(drawPointer(32)), 1, 1}}));
        writeBytes(qpath("levels.dat"), "level 1\r\nlevel 2\r\n");
        writeBytes(qpath("logo.bmp"), encodeBmp24(drawBanner(64, 16)));
        writeBytes(qpath("app.ico"), encodeIcon({iconImage32(drawBadge(32))}));
        writeBytes(qpath("ding.wav"), encodeWav16(8000, synthClick(8000)));
    }
    Interface& startInDir() {
        Interface& w = start();
        w.session().ItemDir = fromQt(dir_.path());
        return w;
    }
    QTabBar* tabs() { return window().findChild<QTabBar*>("TabStrip1"); }
    // The file dialog of the tab on show, through Add or Modify, filled and OKed.
    void fileItem(const char* button, const QString& file, const QString& identifier,
                  const QString& type = {}) {
        onDialog([=](QWidget* dialog) {
            chooseFile(dialog, file);
            child<QLineEdit>(dialog, "Text1")->setText(identifier);
            if (!type.isEmpty())
                child<QLineEdit>(dialog, "txtType")->setText(type);
            child<QPushButton>(dialog, "cmdOK")->click();
        });
        click(button);
    }
};

TEST_F(NewKinds, SixTabsTheirListsAndTheProjectMenu) {
    Interface& w = start();
    ASSERT_EQ(tabs()->count(), 6);
    // Every tab fits the strip, so none is hidden behind scroll buttons.
    EXPECT_LE(tabs()->tabRect(5).right(), tabs()->width());

    tabs()->setCurrentIndex(4);
    EXPECT_EQ(w.session().CurrentKind, ResourceKind::Cursor);
    EXPECT_EQ(w.list(ResourceKind::Cursor)->objectName(), "List4");
    EXPECT_TRUE(w.list(ResourceKind::Cursor)->isVisibleTo(&w));
    tabs()->setCurrentIndex(5);
    EXPECT_EQ(w.list(ResourceKind::Data)->objectName(), "List5");
    EXPECT_TRUE(w.list(ResourceKind::Data)->isVisibleTo(&w));
    EXPECT_FALSE(w.list(ResourceKind::Cursor)->isVisibleTo(&w));
    EXPECT_EQ(w.list(ResourceKind::Manifest), nullptr);

    EXPECT_EQ(modalsOpenedBy([&] { trigger("mnuManifest"); }), QStringList{"frmManifest"});
    EXPECT_EQ(modalsOpenedBy([&] { trigger("mnuVersion"); }), QStringList{"frmVersion"});
    EXPECT_FALSE(w.session().ProjectChanged);
}

TEST_F(NewKinds, CursorItemsAreAddedModifiedAndDeleted) {
    Interface& w = startInDir();
    tabs()->setCurrentIndex(4);
    fileItem("cmdAdd", "arrow.cur", "POINTER");
    fileItem("cmdAdd", "arrow.cur", "12");
    const QString arrow = toQt(path("arrow.cur"));
    EXPECT_EQ(rows(ResourceKind::Cursor), QStringList({"POINTER\t" + arrow, "12\t" + arrow}));
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_TRUE(platform_.boxes.empty());

    select(ResourceKind::Cursor, 0);
    fileItem("cmdModify", "arrow.cur", "HAND");
    EXPECT_EQ(rows(ResourceKind::Cursor), QStringList({"HAND\t" + arrow, "12\t" + arrow}));
    EXPECT_EQ(w.selectedIndex(ResourceKind::Cursor), 0);

    click("cmdDelete");
    EXPECT_EQ(rows(ResourceKind::Cursor), QStringList({"12\t" + arrow}));
    EXPECT_EQ(w.session().project.lines(ResourceKind::Cursor),
              Project::Lines({"12\t" + path("arrow.cur")}));
    // The other tabs are untouched.
    EXPECT_TRUE(rows(ResourceKind::Data).isEmpty());
    EXPECT_TRUE(rows(ResourceKind::Icon).isEmpty());
}

TEST_F(NewKinds, DataItemsCarryTheirTypeThroughAddModifyAndDelete) {
    Interface& w = startInDir();
    tabs()->setCurrentIndex(5);
    fileItem("cmdAdd", "levels.dat", "1");
    fileItem("cmdAdd", "levels.dat", "LEVELS", "TABLE");
    const QString levels = toQt(path("levels.dat"));
    EXPECT_EQ(rows(ResourceKind::Data),
              QStringList({"1\tCUSTOM\t" + levels, "LEVELS\tTABLE\t" + levels}));
    EXPECT_TRUE(platform_.boxes.empty());

    // Modify opens on the line's own type.
    select(ResourceKind::Data, 1);
    onDialog([](QWidget* dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "txtType")->text(), "TABLE");
        EXPECT_EQ(child<QLineEdit>(dialog, "Text1")->text(), "LEVELS");
        child<QLineEdit>(dialog, "txtType")->setText("300");
        child<QPushButton>(dialog, "cmdOK")->click();
    });
    click("cmdModify");
    EXPECT_EQ(rows(ResourceKind::Data),
              QStringList({"1\tCUSTOM\t" + levels, "LEVELS\t300\t" + levels}));

    // Cancel after a change leaves the line as it was.
    onDialog([](QWidget* dialog) {
        child<QLineEdit>(dialog, "txtType")->setText("OTHER");
        child<QPushButton>(dialog, "cmdCancel")->click();
    });
    click("cmdModify");
    EXPECT_EQ(rows(ResourceKind::Data).last(), "LEVELS\t300\t" + levels);

    click("cmdDelete");
    EXPECT_EQ(rows(ResourceKind::Data), QStringList({"1\tCUSTOM\t" + levels}));
    EXPECT_TRUE(w.session().ProjectChanged);
}

class ProjectMenu : public NewKinds {
protected:
    // Opens `menuItem`'s dialog, lets `change` work on it and presses `button`.
    void runDialog(const char* menuItem, const std::function<void(QWidget*)>& change,
                   const char* button) {
        onDialog([=](QWidget* dialog) {
            if (change)
                change(dialog);
            child<QPushButton>(dialog, button)->click();
            EXPECT_FALSE(dialog->isVisible()) << menuItem << " " << button;
        });
        trigger(menuItem);
    }
};

TEST_F(ProjectMenu, ManifestCancelKeepsAndOkStoresOnlyAChange) {
    Interface& w = start();
    const auto generated = [](QWidget* dialog) {
        child<QRadioButton>(dialog, "optGenerated")->click();
        child<QCheckBox>(dialog, "chkControls")->click();
    };
    runDialog("mnuManifest", generated, "cmdCancel");
    EXPECT_TRUE(w.session().project.lines(ResourceKind::Manifest).empty());
    EXPECT_FALSE(w.session().ProjectChanged);

    runDialog("mnuManifest", {}, "cmdOK");
    EXPECT_TRUE(w.session().project.lines(ResourceKind::Manifest).empty());
    EXPECT_FALSE(w.session().ProjectChanged);

    runDialog("mnuManifest", generated, "cmdOK");
    const Project::Lines stored = w.session().project.lines(ResourceKind::Manifest);
    EXPECT_FALSE(stored.empty());
    EXPECT_TRUE(w.session().ProjectChanged);

    // Saved, then opened again and OKed as it is: still unchanged.
    platform_.fileAnswers = {qpath("m.kbp")};
    trigger("mnuSaveAs");
    ASSERT_FALSE(w.session().ProjectChanged);
    runDialog("mnuManifest", {}, "cmdOK");
    EXPECT_EQ(w.session().project.lines(ResourceKind::Manifest), stored);
    EXPECT_FALSE(w.session().ProjectChanged);
    runDialog(
        "mnuManifest", [](QWidget* d) { child<QRadioButton>(d, "optNone")->click(); }, "cmdCancel");
    EXPECT_EQ(w.session().project.lines(ResourceKind::Manifest), stored);
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(ProjectMenu, VersionCancelKeepsAndOkStoresOnlyAChange) {
    Interface& w = start();
    const auto typed = [](QWidget* dialog) {
        child<QLineEdit>(dialog, "txtFile0")->setText("2");
        child<QLineEdit>(dialog, "txtString1")->setText("Kelbo");
    };
    runDialog("mnuVersion", typed, "cmdCancel");
    EXPECT_TRUE(w.session().project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(w.session().ProjectChanged);

    runDialog("mnuVersion", {}, "cmdOK");
    EXPECT_TRUE(w.session().project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(w.session().ProjectChanged);

    runDialog("mnuVersion", typed, "cmdOK");
    const Project::Lines stored = w.session().project.lines(ResourceKind::Version);
    EXPECT_FALSE(stored.empty());
    EXPECT_TRUE(w.session().ProjectChanged);

    platform_.fileAnswers = {qpath("v.kbp")};
    trigger("mnuSaveAs");
    ASSERT_FALSE(w.session().ProjectChanged);
    runDialog("mnuVersion", {}, "cmdOK");
    EXPECT_EQ(w.session().project.lines(ResourceKind::Version), stored);
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(ProjectMenu, EveryKindSavedReopenedAndCompiledMatchesTheCommandLine) {
    Interface& w = startInDir();
    // The file kinds through their dialogs, the strings as lines, the rest through the menu.
    const std::pair<int, std::pair<const char*, const char*>> files[] = {
        {0, {"logo.bmp", "LOGO"}},   {1, {"app.ico", "1"}},    {3, {"ding.wav", "DING"}},
        {4, {"arrow.cur", "ARROW"}}, {5, {"levels.dat", "7"}},
    };
    for (const auto& [tab, item] : files) {
        tabs()->setCurrentIndex(tab);
        fileItem("cmdAdd", item.first, item.second);
    }
    w.session().appendItem(ResourceKind::String, "1\tHello");
    runDialog(
        "mnuManifest",
        [](QWidget* d) {
            child<QRadioButton>(d, "optGenerated")->click();
            child<QCheckBox>(d, "chkControls")->click();
            child<QLineEdit>(d, "txtName")->setText("Kelbo.Test");
        },
        "cmdOK");
    runDialog(
        "mnuVersion",
        [](QWidget* d) {
            child<QLineEdit>(d, "txtFile0")->setText("3");
            child<QLineEdit>(d, "txtString2")->setText("Test program");
        },
        "cmdOK");
    ASSERT_TRUE(platform_.boxes.empty());
    for (ResourceKind kind : kAllKinds)
        EXPECT_FALSE(w.session().project.lines(kind).empty()) << kindName(kind);

    platform_.fileAnswers = {qpath("all.kbp")};
    trigger("mnuSaveAs");
    ASSERT_FALSE(w.session().ProjectChanged);
    const Project saved = w.session().project;

    Interface& again = start(qpath("all.kbp"));
    for (ResourceKind kind : kAllKinds)
        EXPECT_EQ(again.session().project.lines(kind), saved.lines(kind)) << kindName(kind);
    platform_.fileAnswers = {qpath("window.res")};
    trigger("mnuCompile32");
    ASSERT_TRUE(platform_.boxes.empty());
    const QByteArray fromWindow = readBytes(qpath("window.res"));
    ASSERT_FALSE(fromWindow.isEmpty());

    const ProcessResult cli =
        runProcess({KELBO_COMPILE_EXE, "--32", path("all.kbp"), path("cli.res")});
    ASSERT_TRUE(cli.exited && cli.status == 0) << cli.out << cli.err;
    EXPECT_EQ(fromWindow, readBytes(qpath("cli.res")));
}

} // namespace
} // namespace kelbo::test
