// Keys in the item dialogs and the help topic, pressed where the focus is, as a user would:
// a focused push button takes Enter itself, OK takes it while no other button has the focus,
// Escape is Cancel, and Enter in the folder list opens the folder.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/DirList.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmString.h"
#include "help/frmsubhelp.h"
#include "shell/HelpPresenters.h"
#include "tests/gui/ScriptedPlatform.h"
#include "tests/gui/dialogs/DialogTestSupport.h"

namespace kelbo::test {
namespace {

// Shows `window` and makes it the active one, so that key presses follow the focus.
void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// One key on whatever has the focus.
void press(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
}

// Tabs on until the control named `name` has the focus.
void tabTo(QWidget* window, const char* name) {
    for (int i = 0; i < 12; ++i) {
        if (QApplication::focusWidget() && QApplication::focusWidget()->objectName() == name)
            return;
        press(Qt::Key_Tab);
    }
    FAIL() << "Tab never reached " << name << " in " << window->objectName().toStdString();
}

class StringDialogKeys : public ::testing::Test {
protected:
    frmString& open() {
        dialog = std::make_unique<frmString>(session, platform, -1);
        activate(dialog.get());
        QTest::keyClicks(QApplication::focusWidget(), "Some text");
        press(Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), "12");
        return *dialog;
    }
    QPushButton* button(const char* name) { return control<QPushButton>(dialog.get(), name); }

    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<frmString> dialog;
};

TEST_F(StringDialogKeys, EnterOnTheFocusedCancelCancels) {
    open();
    tabTo(dialog.get(), "cmdCancel");
    // The focused button is the default now, not OK.
    EXPECT_TRUE(button("cmdCancel")->isDefault());
    EXPECT_FALSE(button("cmdOK")->isDefault());
    press(Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(session.project.empty());
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(StringDialogKeys, EnterInATextBoxOrOnOkAddsTheItem) {
    open();
    // In the identifier box no button has the focus: OK is the default and takes Enter.
    EXPECT_TRUE(button("cmdOK")->isDefault());
    press(Qt::Key_Enter);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(session.project.lines(ResourceKind::String),
              std::vector<std::string>{"12\tSome text"});

    // OK with the focus, after Cancel had it: OK is the default again.
    session.project.clear(ResourceKind::String);
    open();
    tabTo(dialog.get(), "cmdCancel");
    press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), button("cmdOK"));
    EXPECT_TRUE(button("cmdOK")->isDefault());
    press(Qt::Key_Return);
    EXPECT_EQ(session.project.count(ResourceKind::String), 1);
}

TEST_F(StringDialogKeys, EscapeCancelsWhereverTheFocusIs) {
    for (const char* where : {"Text2", "cmdOK"}) {
        open();
        tabTo(dialog.get(), where);
        press(Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << where;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << where;
    }
    EXPECT_TRUE(session.project.empty());
}

class FileDialogKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = QDir::toNativeSeparators(QDir::cleanPath(temp.path()));
        ASSERT_TRUE(QDir(root).mkpath("Sounds/Bells"));
        writeFile(root + "/Sounds/DING.WAV", "RIFF");
        session.ExeDir = cp(root);
        session.ItemDir = cp(root + "/Sounds");
    }
    frmLoad& open(ResourceKind kind) {
        session.CurrentKind = kind;
        dialog = std::make_unique<frmLoad>(session, platform, -1);
        activate(dialog.get());
        return *dialog;
    }
    void chooseDing() {
        ASSERT_TRUE(clickRow(control<QListWidget>(dialog.get(), "File1"), "DING.WAV"));
        QTest::keyClicks(control<QLineEdit>(dialog.get(), "Text1"), "DING");
    }

    QTemporaryDir temp;
    QString root;
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<frmLoad> dialog;
};

TEST_F(FileDialogKeys, EnterOnTheFocusedPlayPlaysAndAddsNothing) {
    open(ResourceKind::Wave);
    chooseDing();
    tabTo(dialog.get(), "cmdPlay");
    press(Qt::Key_Return);
    EXPECT_EQ(platform.sounds, std::vector<QString>{root + "/Sounds/DING.WAV"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(session.project.empty());

    // Cancel with the focus cancels; the item is still not added.
    tabTo(dialog.get(), "cmdCancel");
    press(Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(session.project.empty());
}

TEST_F(FileDialogKeys, EnterElsewhereIsOkAndEscapeIsCancel) {
    open(ResourceKind::Wave);
    chooseDing();
    tabTo(dialog.get(), "Text1");
    press(Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(session.project.count(ResourceKind::Wave), 1);

    open(ResourceKind::Wave);
    chooseDing();
    press(Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(session.project.count(ResourceKind::Wave), 1);
}

TEST_F(FileDialogKeys, EnterInTheFolderListOpensTheFolderAndKeepsTheDialog) {
    open(ResourceKind::Bitmap);
    tabTo(dialog.get(), "Dir1");
    auto* dirs = control<DirList>(dialog.get(), "Dir1");
    const QList<QListWidgetItem*> bells = dirs->findItems("Bells", Qt::MatchExactly);
    ASSERT_FALSE(bells.isEmpty());
    dirs->setCurrentItem(bells.first());
    press(Qt::Key_Return);
    EXPECT_EQ(QDir::toNativeSeparators(dirs->path()), root + "/Sounds/Bells");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST(SubHelpKeys, EnterOnTheFocusedIndexGoesBackToTheIndex) {
    shell::SubHelpPresenter topic(2);
    frmsubhelp window(topic);
    activate(&window);
    tabTo(&window, "Command1");
    press(Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace kelbo::test
