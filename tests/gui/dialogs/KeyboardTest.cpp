// Keys in the item dialogs, the Project menu's dialogs and the help topic, pressed where the focus
// is, as a user would: a focused push button takes Enter itself, OK takes it while no other button
// has the focus, Escape is Cancel, and Enter in the folder list opens the folder.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/DirList.h"
#include "dialogs/frmLanguages.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmManifest.h"
#include "dialogs/frmString.h"
#include "dialogs/frmVersion.h"
#include "help/frmsubhelp.h"
#include "platform/QtPlatform.h"
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
    for (int i = 0; i < 40; ++i) {
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

// The names Tab visits from the focus on, until it comes back round.
QStringList tabCycle() {
    QStringList names;
    QWidget* first = QApplication::focusWidget();
    if (!first)
        return names;
    do {
        names << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != first && names.size() < 60);
    return names;
}

class ManifestDialogKeys : public ::testing::Test {
protected:
    frmManifest& open() {
        presenter = std::make_unique<shell::ManifestPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmManifest>(*presenter);
        activate(dialog.get());
        return *dialog;
    }
    // Generated, with common controls: a change OK would store.
    void chooseGenerated() {
        control<QRadioButton>(dialog.get(), "optGenerated")->click();
        control<QCheckBox>(dialog.get(), "chkControls")->click();
    }

    Session session;
    ScriptedPlatform platform;
    shell::Platform& shellPlatform = platform;
    std::unique_ptr<shell::ManifestPresenter> presenter;
    std::unique_ptr<frmManifest> dialog;
};

TEST_F(ManifestDialogKeys, TabVisitsTheEnabledControlsInOrder) {
    open();
    chooseGenerated();
    control<QWidget>(dialog.get(), "optGenerated")->setFocus(Qt::TabFocusReason);
    const QStringList cycle = tabCycle();
    // The options are one stop, at the chosen one; the file's controls are greyed.
    EXPECT_EQ(cycle, (QStringList{"optGenerated", "chkControls", "cboDpi", "cboLevel", "chkOs",
                                  "txtName", "txtVersion", "txtDescription", "chkDll", "txtXml",
                                  "cmdOK", "cmdCancel"}));
}

TEST_F(ManifestDialogKeys, EnterIsOkUnlessAnotherButtonHasTheFocus) {
    for (const char* where : {"chkControls", "cboDpi", "txtName", "txtXml"}) {
        session = Session();
        open();
        chooseGenerated();
        tabTo(dialog.get(), where);
        press(Qt::Key_Return);
        EXPECT_EQ(dialog->result(), QDialog::Accepted) << where;
        EXPECT_FALSE(dialog->isVisible()) << where;
        EXPECT_TRUE(session.ProjectChanged) << where;
    }

    session = Session();
    open();
    chooseGenerated();
    tabTo(dialog.get(), "cmdCancel");
    EXPECT_TRUE(control<QPushButton>(dialog.get(), "cmdCancel")->isDefault());
    press(Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(session.project.lines(ResourceKind::Manifest).empty());
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(ManifestDialogKeys, EscapeAndTheFrameCancel) {
    for (const char* where : {"txtDescription", "cmdOK", ""}) {
        open();
        chooseGenerated();
        if (*where) {
            tabTo(dialog.get(), where);
            press(Qt::Key_Escape);
        } else {
            dialog->close();
        }
        EXPECT_FALSE(dialog->isVisible()) << where;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << where;
    }
    EXPECT_TRUE(session.project.lines(ResourceKind::Manifest).empty());
    EXPECT_FALSE(session.ProjectChanged);
}

class VersionDialogKeys : public ::testing::Test {
protected:
    frmVersion& open() {
        presenter = std::make_unique<shell::VersionPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmVersion>(*presenter);
        activate(dialog.get());
        return *dialog;
    }

    Session session;
    ScriptedPlatform platform;
    shell::Platform& shellPlatform = platform;
    std::unique_ptr<shell::VersionPresenter> presenter;
    std::unique_ptr<frmVersion> dialog;
};

TEST_F(VersionDialogKeys, TabGoesThroughTheNumbersThenTheChoicesThenTheStrings) {
    open();
    control<QWidget>(dialog.get(), "txtFile0")->setFocus(Qt::TabFocusReason);
    QStringList expected = {"txtFile0",    "txtFile1",    "txtFile2",    "txtFile3",
                            "txtProduct0", "txtProduct1", "txtProduct2", "txtProduct3",
                            "chkStrings",  "cboFileType", "cboLanguage", "cboCodePage"};
    for (int i = 0; i < shell::kVersionStringCount; ++i)
        expected << QStringLiteral("txtString%1").arg(i);
    expected << "cmdOK"
             << "cmdCancel";
    EXPECT_EQ(tabCycle(), expected);
}

TEST_F(VersionDialogKeys, EnterStoresEscapeAndAFocusedCancelDoNot) {
    open();
    tabTo(dialog.get(), "txtFile0");
    QTest::keyClicks(QApplication::focusWidget(), "3");
    press(Qt::Key_Escape);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    open();
    tabTo(dialog.get(), "txtFile0");
    QTest::keyClicks(QApplication::focusWidget(), "3");
    tabTo(dialog.get(), "cmdCancel");
    press(Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(session.project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(session.ProjectChanged);

    open();
    tabTo(dialog.get(), "txtFile0");
    QTest::keyClicks(QApplication::focusWidget(), "3");
    tabTo(dialog.get(), "txtString9");
    press(Qt::Key_Enter);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(session.project.lines(ResourceKind::Version).empty());
    EXPECT_TRUE(session.ProjectChanged);
}

TEST(SubHelpKeys, EnterOnTheFocusedIndexGoesBackToTheIndex) {
    shell::SubHelpPresenter topic(2);
    frmsubhelp window(topic);
    activate(&window);
    tabTo(&window, "Command1");
    press(Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
}

class LanguagesDialogKeys : public ::testing::Test {
protected:
    frmLanguages& open() {
        dialog.reset();
        presenter = std::make_unique<shell::LanguagesPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmLanguages>(*presenter);
        activate(dialog.get());
        return *dialog;
    }
    QStringList cycleFrom(const char* name) {
        control<QWidget>(dialog.get(), name)->setFocus(Qt::TabFocusReason);
        return tabCycle();
    }

    Session session;
    ScriptedPlatform platform;
    shell::Platform& shellPlatform = platform;
    std::unique_ptr<shell::LanguagesPresenter> presenter;
    std::unique_ptr<frmLanguages> dialog;
};

TEST_F(LanguagesDialogKeys, TabGoesThroughTheListTheChoiceTheKindsThenTheButtons) {
    QStringList expected = {"lstLanguages", "cboLanguage", "txtCode"};
    for (int k = 0; k < kKindCount; ++k)
        expected << QStringLiteral("chkCopy%1").arg(k);
    expected << "cmdAdd"
             << "cmdBase"
             << "cmdOK"
             << "cmdCancel";
    open();
    // Only the base: Remove is greyed and skipped.
    EXPECT_EQ(cycleFrom("lstLanguages"), expected);
    session.project.addSection(0x0419);
    session.CurrentSection = 1;
    open();
    expected.insert(1, "cmdRemove");
    EXPECT_EQ(cycleFrom("lstLanguages"), expected);
}

TEST_F(LanguagesDialogKeys, EnterIsOkUnlessAnotherButtonHasTheFocusEscapeCancels) {
    open();
    tabTo(dialog.get(), "txtCode");
    QTest::keyClicks(QApplication::focusWidget(), "0419");
    tabTo(dialog.get(), "cmdAdd");
    press(Qt::Key_Return); // Add, focused, takes Enter
    EXPECT_TRUE(dialog->isVisible());
    tabTo(dialog.get(), "chkCopy2");
    press(Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(session.project.sectionCount(), 2);

    for (const char* where : {"lstLanguages", "cmdOK"}) {
        open();
        tabTo(dialog.get(), where);
        press(Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << where;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << where;
    }
    open();
    tabTo(dialog.get(), "cmdCancel");
    press(Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(session.project.sectionCount(), 2);
}

} // namespace
} // namespace kelbo::test
