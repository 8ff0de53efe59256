// Enter on a focused push button of the main window and the compile log presses that button.
#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "rescompiler/frmCompile.h"

namespace kelbo::test {
namespace {

class MainWindowKeys : public ShellTest {
protected:
    Interface& startShown() {
        writeProject(path("sample.kbp"), sampleProject());
        Interface& w = start(qpath("sample.kbp"));
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }
    // Gives the button the keyboard focus, as Tab would, and presses Enter on it.
    void enterOn(QWidget* window, const char* name, Qt::Key key = Qt::Key_Return) {
        auto* button = window->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        // A modal dialog that was open took the activation with it.
        window->activateWindow();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        button->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), button) << name;
        QTest::keyClick(button, key);
    }
};

TEST_F(MainWindowKeys, EnterOnAddModifyAndDeletePressesThem) {
    Interface& w = startShown();
    window().findChild<QTabBar*>("TabStrip1")->setCurrentIndex(2);

    EXPECT_EQ(modalsOpenedBy([&] { enterOn(&w, "cmdAdd"); }), QStringList{"frmString"});

    select(ResourceKind::String, 1);
    EXPECT_EQ(modalsOpenedBy([&] { enterOn(&w, "cmdModify", Qt::Key_Enter); }),
              QStringList{"frmString"});
    EXPECT_EQ(w.session().EditedLine, "2\tCaf\u00E9 \u20AC 5");

    enterOn(&w, "cmdDelete");
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\tHello"});
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_TRUE(platform_.boxes.empty());
}

TEST_F(MainWindowKeys, EnterOnTheFocusedOkClosesTheCompileLog) {
    Interface& w = startShown();
    platform_.fileAnswers = {qpath("out.res")};
    trigger("mnuCompile32");
    QPointer<frmCompile> log = w.compileWindow();
    ASSERT_TRUE(log);
    enterOn(log.data(), "cmdOK");
    QApplication::processEvents();
    EXPECT_TRUE(!log || !log->isVisible());
}

} // namespace
} // namespace kelbo::test
