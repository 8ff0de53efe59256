// Open, Save and Save As through the file dialog, and what a save leaves in kbplast.cfg.
#include <QDir>
#include <QFile>

#include "GuiTestSupport.h"
#include "app/QtText.h"

namespace kelbo::test {
namespace {

using ProjectCommands = ShellTest;

TEST_F(ProjectCommands, SaveOnAnUntitledProjectWritesItAndRemembersItTwice) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::String, "1\tHello");
    platform_.fileAnswers = {qpath("new.kbp")};
    trigger("mnuSaveKBP");

    ASSERT_EQ(platform_.fileDialogs.size(), 1u);
    const QtPlatform::FileDialogSpec& spec = platform_.fileDialogs[0];
    EXPECT_TRUE(spec.save);
    EXPECT_TRUE(spec.confirmOverwrite);
    EXPECT_TRUE(spec.title.isEmpty());
    EXPECT_TRUE(spec.filter.startsWith("Resource Project (KBP) (*.KBP"));
    EXPECT_EQ(spec.defaultSuffix, "KBP");
    // ProjectDir was empty: the dialog starts in the program's folder, which ProjectDir keeps.
    EXPECT_EQ(spec.initialDir, toQt(exeDir()));

    QFile saved(qpath("new.kbp"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("KELBO200\0\0\0\0\1\0\7\0001\tHello\0\0", 25));
    EXPECT_EQ(fileLines(cfgPath()), std::vector<std::string>({path("new.kbp"), path("new.kbp")}));
    EXPECT_EQ(caption(), qpath("new.kbp"));
    EXPECT_FALSE(w.session().ProjectChanged);

    // The next start lists it; saves during this run left the menu alone.
    EXPECT_FALSE(action("mnulastBar")->isVisible());
    start();
    EXPECT_EQ(action("mnuFile1")->text(), "&1 " + qpath("new.kbp"));
    EXPECT_EQ(action("mnufile2")->text(), "&2 " + qpath("new.kbp"));
    EXPECT_FALSE(action("mnufile3")->isVisible());
}

TEST_F(ProjectCommands, SaveAsRemembersTheDialogFileAndKeepsFiveRecentFiles) {
    Interface& w = start();
    const char* names[] = {"p1.kbp", "p2.kbp", "p3.kbp", "p4.kbp", "p5.kbp", "p6.kbp"};
    for (const char* name : names) {
        platform_.fileAnswers = {qpath(name)};
        trigger("mnuSaveAs");
        EXPECT_EQ(caption(), qpath(name));
    }
    EXPECT_EQ(platform_.fileDialogs[1].initialFile, qpath("p1.kbp"));
    EXPECT_EQ(platform_.fileDialogs[1].initialDir, dir_.path());
    EXPECT_EQ(fileLines(cfgPath()),
              std::vector<std::string>({path("p6.kbp"), path("p5.kbp"), path("p4.kbp"),
                                        path("p3.kbp"), path("p2.kbp")}));
    // Save on a titled project writes without asking and leaves the caption.
    w.session().appendItem(ResourceKind::Wave, "W\t/w.wav");
    trigger("mnuSaveKBP");
    EXPECT_EQ(platform_.fileDialogs.size(), 6u);
    EXPECT_EQ(readProject(path("p6.kbp"))->count(ResourceKind::Wave), 1);
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_EQ(caption(), qpath("p6.kbp"));
}

TEST_F(ProjectCommands, CancelledSaveAsChangesNothing) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::Bitmap, "A\t/a.bmp");
    trigger("mnuSaveKBP");
    EXPECT_EQ(platform_.fileDialogs.size(), 1u);
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_TRUE(w.session().ProjectPath.empty());
    EXPECT_EQ(caption(), "Kelbo Version 2.12");
    EXPECT_FALSE(QFile::exists(toQt(cfgPath())));
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(ProjectCommands, FailedSaveIsReportedAndKeepsTheChanges) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::Bitmap, "A\t/a.bmp");
    const QString target = qpath("no such folder/x.kbp");
    platform_.fileAnswers = {target};
    trigger("mnuSaveKBP");
    // One box, naming the file and why; no second attempt by Save.
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].icon, QtPlatform::BoxIcon::Stop);
    EXPECT_TRUE(platform_.boxes[0].text.contains(target)) << platform_.boxes[0].text.toStdString();
    EXPECT_GT(platform_.boxes[0].text.size(), target.size() + 10);
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_TRUE(w.session().ProjectPath.empty());
    EXPECT_EQ(caption(), "Kelbo Version 2.12");
    EXPECT_FALSE(QFile::exists(toQt(cfgPath())));

    // A titled project whose file cannot be replaced (a folder took its name): Save reports
    // it, and the caption stays.
    platform_.fileAnswers = {qpath("ro.kbp")};
    trigger("mnuSaveAs");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.kbp"));
    w.session().ProjectPath = path("taken.kbp");
    w.session().appendItem(ResourceKind::Icon, "I\t/i.ico");
    trigger("mnuSaveKBP");
    ASSERT_EQ(platform_.boxes.size(), 2u);
    EXPECT_TRUE(platform_.boxes[1].text.contains(qpath("taken.kbp")));
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_EQ(caption(), qpath("ro.kbp"));
}

TEST_F(ProjectCommands, OpenRunsTheGuardThenLoadsTheChosenFile) {
    writeProject(path("other.kbp"), sampleProject());
    Interface& w = start();
    w.session().appendItem(ResourceKind::Bitmap, "A\t/a.bmp");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Cancel};
    platform_.fileAnswers = {qpath("other.kbp")};
    trigger("mnuOpenKBP");
    EXPECT_EQ(platform_.events, std::vector<QString>({"box", "file"}));
    EXPECT_EQ(platform_.boxes[0].title, "WARNING");
    const QtPlatform::FileDialogSpec& spec = platform_.fileDialogs[0];
    EXPECT_FALSE(spec.save);
    EXPECT_EQ(spec.defaultSuffix, "KBP");
    EXPECT_EQ(spec.initialDir, toQt(exeDir()));
    EXPECT_EQ(caption(), qpath("other.kbp"));
    EXPECT_EQ(rows(ResourceKind::Bitmap),
              QStringList({"LOGO\t/pics/logo.bmp", "101\t/pics/splash.bmp"}));
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_EQ(toQt(w.session().ProjectDir), dir_.path());

    // Guard answered OK: the work is saved before the other file is opened.
    w.session().ProjectPath.clear();
    w.session().appendItem(ResourceKind::Wave, "W\t/w.wav");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Ok};
    platform_.fileAnswers = {qpath("saved-first.kbp"), qpath("other.kbp")};
    trigger("mnuOpenKBP");
    EXPECT_EQ(readProject(path("saved-first.kbp"))->count(ResourceKind::Wave), 2);
    EXPECT_EQ(caption(), qpath("other.kbp"));
}

TEST_F(ProjectCommands, OpenCancelledOrInvalid) {
    Interface& w = start();
    trigger("mnuOpenKBP");
    EXPECT_EQ(caption(), "Kelbo Version 2.12");
    EXPECT_TRUE(platform_.boxes.empty());
    // ProjectDir took the program's folder when the dialog opened.
    EXPECT_EQ(w.session().ProjectDir, exeDir());

    QFile bad(qpath("bad.kbp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("KELBO201");
    bad.close();
    w.session().appendItem(ResourceKind::Icon, "I\t/i.ico");
    platform_.boxAnswers = {QtPlatform::BoxAnswer::Cancel};
    platform_.fileAnswers = {qpath("bad.kbp")};
    trigger("mnuOpenKBP");
    ASSERT_EQ(platform_.boxes.size(), 2u);
    EXPECT_EQ(platform_.boxes[1].text, "Invalid KBP-file");
    EXPECT_EQ(caption(), "Kelbo Version 2");
    // The lists stay as they were; the project is untitled and counts as unchanged.
    EXPECT_EQ(rows(ResourceKind::Icon), QStringList({"I\t/i.ico"}));
    EXPECT_TRUE(w.session().ProjectPath.empty());
    EXPECT_FALSE(w.session().ProjectChanged);
}

TEST_F(ProjectCommands, KindsWithoutATabSurviveOpenEditAndSave) {
    // The later kinds have no tab yet; the window must neither show them nor drop them.
    Project all = sampleProject();
    all.append(ResourceKind::Cursor, "5\t/pics/hand.cur");
    all.append(ResourceKind::Data, "BLOB\tRCDATA\t/data/blob.bin");
    all.append(ResourceKind::Manifest, "dpiAware=true");
    all.append(ResourceKind::Version, "FileVersion=1.2.3.4");
    writeProject(path("all.kbp"), all);
    Interface& w = start();
    platform_.fileAnswers = {qpath("all.kbp")};
    trigger("mnuOpenKBP");
    EXPECT_EQ(w.session().project, all);

    // Delete on a tab, then Save, through the window's own commands.
    w.ChangeTab(kindIndex(ResourceKind::Icon));
    select(ResourceKind::Icon, 0);
    click("cmdDelete");
    trigger("mnuSaveKBP");
    EXPECT_TRUE(platform_.boxes.empty());
    all.remove(ResourceKind::Icon, 0);
    EXPECT_EQ(readProject(path("all.kbp")), all);

    // Save As under another name and New keep nothing of it in the window; reopening does.
    platform_.fileAnswers = {qpath("copy.kbp")};
    trigger("mnuSaveAs");
    EXPECT_EQ(readProject(path("copy.kbp")), all);
    trigger("mnuNewKBP");
    EXPECT_TRUE(w.session().project.empty());
    w.DirectLoad(path("copy.kbp"));
    EXPECT_EQ(w.session().project, all);
}

} // namespace
} // namespace kelbo::test
