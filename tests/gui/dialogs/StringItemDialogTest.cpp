#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "dialogs/frmString.h"
#include "shell/ItemValidation.h"
#include "tests/gui/ScriptedPlatform.h"
#include "tests/gui/dialogs/DialogTestSupport.h"

namespace kelbo::test {
namespace {

class StringItemDialog : public ::testing::Test {
protected:
    frmString& open(int selected = -1) {
        dialog = std::make_unique<frmString>(session, platform, selected);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    QLineEdit* text() { return control<QLineEdit>(dialog.get(), "Text1"); }
    QLineEdit* id() { return control<QLineEdit>(dialog.get(), "Text2"); }
    void type(const QString& identifier, const QString& string) {
        QTest::keyClicks(text(), string);
        QTest::keyClicks(id(), identifier);
    }
    const std::string& stringLine(int index) {
        return session.project.line(ResourceKind::String, index);
    }

    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<frmString> dialog;
};

TEST_F(StringItemDialog, OpensWithCaptionHintAndFocusOnTheText) {
    open();
    EXPECT_EQ(dialog->windowTitle(), "  STRING");
    auto* hint = control<QLabel>(dialog.get(), "Label3");
    EXPECT_EQ(hint->text(), "Only a number");
    EXPECT_EQ(hint->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(control<QLabel>(dialog.get(), "label1")->text(), "String");
    EXPECT_EQ(control<QLabel>(dialog.get(), "Label2")->text(), "Identificator");
    EXPECT_EQ(QApplication::focusWidget(), text());
    EXPECT_TRUE(text()->text().isEmpty());
    EXPECT_TRUE(id()->text().isEmpty());
}

TEST_F(StringItemDialog, AddStoresTheTrimmedIdentifierAndTheTextAsTyped) {
    // The string dialog works on STRING whatever tab is shown.
    session.CurrentKind = ResourceKind::Bitmap;
    session.project.append(ResourceKind::String, "1\tone");
    open();
    type(" 100 ", " Hello, world ");
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(session.ProjectChanged);
    ASSERT_EQ(session.project.count(ResourceKind::String), 2);
    EXPECT_EQ(stringLine(0), "1\tone");
    EXPECT_EQ(stringLine(1), "100\t Hello, world ");
    EXPECT_EQ(session.project.count(ResourceKind::Bitmap), 0);
}

TEST_F(StringItemDialog, AcceptedIdentifierFormsAreStoredAsTyped) {
    for (const char* identifier : {"32767", "-5", "0", "007"}) {
        open();
        type(identifier, "t");
        QTest::keyClick(id(), Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible()) << identifier;
    }
    EXPECT_TRUE(platform.boxes.empty());
    ASSERT_EQ(session.project.count(ResourceKind::String), 4);
    EXPECT_EQ(stringLine(0), "32767\tt");
    EXPECT_EQ(stringLine(1), "-5\tt");
    EXPECT_EQ(stringLine(2), "0\tt");
    EXPECT_EQ(stringLine(3), "007\tt");

    // An empty text is a string too.
    open();
    type("9", "");
    click(dialog.get(), "cmdOK");
    EXPECT_EQ(stringLine(4), "9\t");
}

TEST_F(StringItemDialog, RefusedIdentifiersKeepBothBoxesAndTheProject) {
    struct Case {
        const char* identifier;
        QString text, title;
    };
    const Case cases[] = {
        {"", "No Identificator", "ERROR 2"},
        {"abc", "String Identificator: Only a number", "ERROR 4"},
        {"   ", "String Identificator: Only a number", "ERROR 4"},
        {"99999999999", "String Identificator: Only a number", "ERROR 4"},
        {"32768", "Identificator > 32767", "ERROR 5"},
        {" 40000 ", "Identificator > 32767", "ERROR 5"},
    };
    session.project.append(ResourceKind::String, "1\tkept");
    const Project before = session.project;
    for (const Case& c : cases) {
        platform.boxes.clear();
        platform.events.clear();
        open();
        type(c.identifier, "some text");
        click(dialog.get(), "cmdOK");
        ASSERT_EQ(platform.boxes.size(), 1u) << c.identifier;
        EXPECT_EQ(platform.boxes[0].text, c.text) << c.identifier;
        EXPECT_EQ(platform.boxes[0].title, c.title) << c.identifier;
        EXPECT_EQ(platform.boxes[0].icon, Platform::BoxIcon::Stop);
        EXPECT_EQ(platform.events, (std::vector<QString>{"beep", "box"}));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(id()->text(), QString::fromLatin1(c.identifier));
        EXPECT_EQ(text()->text(), "some text");
    }
    EXPECT_EQ(session.project, before);
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(StringItemDialog, ModifyKeepsTabsInTheTextAndThePlaceOfTheLine) {
    session.project.append(ResourceKind::String, "1\tbefore");
    session.project.append(ResourceKind::String, "5\tleft\tright\t");
    session.project.append(ResourceKind::String, "9\tafter");
    session.EditedLine = session.project.line(ResourceKind::String, 1);
    open(1);
    EXPECT_EQ(id()->text(), "5");
    EXPECT_EQ(text()->text(), "left\tright\t");
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(session.ProjectChanged);
    ASSERT_EQ(session.project.count(ResourceKind::String), 3);
    EXPECT_EQ(stringLine(0), "1\tbefore");
    EXPECT_EQ(stringLine(1), "5\tleft\tright\t");
    EXPECT_EQ(stringLine(2), "9\tafter");

    session.EditedLine = stringLine(1);
    open(1);
    id()->setText(" 6 ");
    click(dialog.get(), "cmdOK");
    EXPECT_EQ(stringLine(1), "6\tleft\tright\t");
}

TEST_F(StringItemDialog, ModifyOfALineWithoutTabShowsItAllAsIdentifier) {
    session.project.append(ResourceKind::String, "12");
    session.EditedLine = "12";
    open(0);
    EXPECT_EQ(id()->text(), "12");
    EXPECT_TRUE(text()->text().isEmpty());
}

TEST_F(StringItemDialog, TypingStopsAt255CharactersButLongerLinesSurvive) {
    open();
    QTest::keyClicks(text(), QString(300, QLatin1Char('x')));
    EXPECT_EQ(text()->text().size(), 255);

    // A longer text from a project file is shown and written back whole.
    const std::string longText(400, 'y');
    session.project.append(ResourceKind::String, "3\t" + longText);
    session.EditedLine = stringLine(0);
    open(0);
    EXPECT_EQ(text()->text().size(), 400);
    click(dialog.get(), "cmdOK");
    EXPECT_EQ(stringLine(0), "3\t" + longText);
}

TEST_F(StringItemDialog, CancelChangesNothing) {
    session.project.append(ResourceKind::String, "1\tone");
    session.EditedLine = stringLine(0);
    const Project before = session.project;
    open(0);
    id()->setText("2");
    text()->setText("two");
    click(dialog.get(), "cmdCancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(session.project, before);
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(StringItemDialog, TextInAnyScriptIsKeptAsTyped) {
    open();
    type("1", "");
    const QString typed =
        QString::fromUtf8("caf\u00E9 \u65E5\u672C \u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600");
    text()->insert(typed);
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(platform.boxes.empty());
    ASSERT_EQ(session.project.count(ResourceKind::String), 1);
    EXPECT_EQ(stringLine(0), "1\t" + typed.toStdString());
}

} // namespace
} // namespace kelbo::test
