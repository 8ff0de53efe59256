// Start-up: the load sequence, the command line and the recent-files menu it builds.
#include <QCoreApplication>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTabBar>

#include "GuiTestSupport.h"
#include "app/QtText.h"

namespace kelbo::test {
namespace {

using StartUp = ShellTest;

TEST_F(StartUp, WithoutArgumentsStartsEmptyOnTheBitmapTab) {
    Interface& w = start();
    EXPECT_EQ(caption(), "Kelbo Version 2.12");
    auto* tabs = w.findChild<QTabBar*>("TabStrip1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->currentIndex(), 0);
    ASSERT_EQ(tabs->count(), 6);
    const QStringList captions = {"BITMAP", "ICON", "STRING", "WAVE", "CURSOR", "DATA"};
    const QStringList tips = {"Bitmap resource", "Icon resource",   "String resource",
                              "Wave resource",   "Cursor resource", "Data resource"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tabs->tabText(i), captions[i]);
        EXPECT_EQ(tabs->tabToolTip(i), tips[i]);
    }
    EXPECT_EQ(w.session().CurrentKind, ResourceKind::Bitmap);
    for (ResourceKind kind : kOriginalKinds) {
        QListView* list = w.findChild<QListView*>(QStringLiteral("List%1").arg(kindIndex(kind)));
        ASSERT_EQ(list, w.list(kind));
        EXPECT_EQ(list->isVisibleTo(&w), kind == ResourceKind::Bitmap);
        EXPECT_TRUE(rows(kind).isEmpty());
    }
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_TRUE(w.session().ProjectPath.empty());
    // No kbplast.cfg yet: the recent part of the File menu stays hidden.
    EXPECT_FALSE(action("mnulastBar")->isVisible());
    for (const char* name : {"mnuFile1", "mnufile2", "mnufile3", "mnufile4", "mnufile5"})
        EXPECT_FALSE(action(name)->isVisible()) << name;
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_FALSE(w.windowIcon().isNull());
}

TEST_F(StartUp, ProjectOnTheCommandLineIsLoadedUnchanged) {
    writeProject(path("demo.kbp"), sampleProject());
    Interface& w = start(qpath("demo.kbp"));
    EXPECT_EQ(caption(), qpath("demo.kbp"));
    EXPECT_EQ(w.session().ProjectPath, path("demo.kbp"));
    EXPECT_EQ(toQt(w.session().ProjectDir), dir_.path());
    EXPECT_EQ(rows(ResourceKind::Icon),
              QStringList({"1\t/pics/app.ico", "2\t/pics/doc.ico", "3\t/pics/tool.ico"}));
    // Windows-1252 bytes of the file show as their characters (é, the euro sign).
    EXPECT_EQ(rows(ResourceKind::String),
              QStringList({"1\tHello", QString::fromUtf8("2\tCaf\xC3\xA9 \xE2\x82\xAC 5")}));
    EXPECT_FALSE(w.session().ProjectChanged);
    // Unchanged, so leaving asks nothing.
    w.close();
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(StartUp, FullProjectShowsEveryLineOfEveryKind) {
    Project project;
    for (ResourceKind kind : kOriginalKinds)
        for (int i = 0; i < kMaxLinesPerKind; ++i)
            project.append(kind, std::to_string(i) + "\t/res/" + std::to_string(kindIndex(kind)));
    writeProject(path("full.kbp"), project);
    Interface& w = start(qpath("full.kbp"));
    for (ResourceKind kind : kOriginalKinds) {
        QAbstractItemModel* model = w.list(kind)->model();
        ASSERT_EQ(model->rowCount(), kMaxLinesPerKind);
        EXPECT_EQ(model->index(kMaxLinesPerKind - 1, 0).data().toString(),
                  QStringLiteral("32766\t/res/%1").arg(kindIndex(kind)));
    }
    // The last row can be selected and deleted like any other, and the list stays scrolled
    // where it was.
    w.show();
    QListView* bitmaps = w.list(ResourceKind::Bitmap);
    bitmaps->scrollToBottom();
    QCoreApplication::processEvents();
    const int scrolled = bitmaps->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 1000);
    select(ResourceKind::Bitmap, kMaxLinesPerKind - 1);
    click("cmdDelete");
    QCoreApplication::processEvents();
    EXPECT_EQ(bitmaps->model()->rowCount(), kMaxLinesPerKind - 1);
    EXPECT_GT(bitmaps->verticalScrollBar()->value(), scrolled / 2);
}

// Records whether the main window was already on screen when a box came up.
class VisibilityPlatform : public ScriptedPlatform {
public:
    std::vector<bool> parentVisible;
    BoxAnswer messageBox(QWidget* parent, const QString& text, const QString& title, BoxIcon icon,
                         BoxButtons buttons) override {
        parentVisible.push_back(parent && parent->window()->isVisible());
        return ScriptedPlatform::messageBox(parent, text, title, icon, buttons);
    }
};

TEST_F(StartUp, InvalidFileIsReportedBeforeTheWindowAppears) {
    QFile bad(qpath("bad.kbp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("kelbo200\0\0\0\0\0\0\0\0", 16);
    bad.close();

    // A missing file in any script is missing like another.
    for (const char* name : {"bad.kbp", "missing.kbp", "\xE9\xA1\xB9.kbp"}) {
        SCOPED_TRACE(name);
        VisibilityPlatform platform;
        Interface w(platform, exeDir(), cfgPath());
        w.startUp(qpath(name));
        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].text, "Invalid KBP-file");
        EXPECT_EQ(platform.boxes[0].title, "ERROR 6");
        EXPECT_EQ(platform.boxes[0].icon, Platform::BoxIcon::Stop);
        EXPECT_EQ(platform.events, std::vector<QString>({"beep", "box"}));
        EXPECT_EQ(platform.parentVisible, std::vector<bool>({false}));
        EXPECT_EQ(w.windowTitle(), "Kelbo Version 2");
        EXPECT_TRUE(w.session().ProjectPath.empty());
        EXPECT_FALSE(w.session().ProjectChanged);
    }
    EXPECT_FALSE(QFile::exists(qpath("missing.kbp")));
}

TEST_F(StartUp, CommandLineIsOnePathWithoutSurroundingQuotes) {
    EXPECT_EQ(Interface::commandLinePath({"kelbo"}), "");
    EXPECT_EQ(Interface::commandLinePath({"kelbo", "/a/b.kbp"}), "/a/b.kbp");
    EXPECT_EQ(Interface::commandLinePath({"kelbo", "/my", "projects/b.kbp"}), "/my projects/b.kbp");
    EXPECT_EQ(Interface::commandLinePath({"kelbo", "\"/my projects/b.kbp\""}),
              "/my projects/b.kbp");
    EXPECT_EQ(Interface::commandLinePath({"kelbo", "\"/a/b.kbp"}), "\"/a/b.kbp");
    EXPECT_EQ(Interface::commandLinePath({"kelbo", "\""}), "\"");
}

TEST_F(StartUp, RecentFilesFromTheConfigurationAreListed) {
    QFile cfg(toQt(cfgPath()));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("/work/one.kbp\r\n/work/a&b.kbp\r\n");
    cfg.close();
    start();
    EXPECT_TRUE(action("mnulastBar")->isVisible());
    EXPECT_TRUE(action("mnuFile1")->isVisible());
    EXPECT_EQ(action("mnuFile1")->text(), "&1 /work/one.kbp");
    EXPECT_TRUE(action("mnufile2")->isVisible());
    // An "&" inside the path is shown as itself, not taken as an access key.
    EXPECT_EQ(action("mnufile2")->text(), "&2 /work/a&&b.kbp");
    EXPECT_FALSE(action("mnufile3")->isVisible());
}

TEST_F(StartUp, RecentItemRunsTheGuardThenLoadsItsFile) {
    writeProject(path("second.kbp"), sampleProject());
    QFile cfg(toQt(cfgPath()));
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write(("/nowhere/first.kbp\r\n" + path("second.kbp") + "\r\n").c_str());
    cfg.close();
    Interface& w = start();
    w.session().appendItem(ResourceKind::Bitmap, "X\t/x.bmp");
    platform_.boxAnswers = {Platform::BoxAnswer::Cancel};
    trigger("mnufile2");
    ASSERT_FALSE(platform_.boxes.empty());
    EXPECT_EQ(platform_.boxes[0].title, "WARNING");
    EXPECT_EQ(caption(), qpath("second.kbp"));
    EXPECT_EQ(rows(ResourceKind::Bitmap).size(), 2);
    EXPECT_FALSE(w.session().ProjectChanged);

    // A recent file that is gone is reported and leaves the item in place.
    trigger("mnuFile1");
    EXPECT_EQ(platform_.boxes.back().text, "Invalid KBP-file");
    EXPECT_EQ(caption(), "Kelbo Version 2");
    EXPECT_TRUE(action("mnuFile1")->isVisible());
    EXPECT_EQ(fileLines(cfgPath()).size(), 2u);
}

} // namespace
} // namespace kelbo::test
