// The two compile commands: the .RES dialog, the log window and what it shows.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "app/QtText.h"
#include "rescompiler/frmCompile.h"

namespace kelbo::test {
namespace {

class CompileCommand : public ShellTest {
protected:
    Interface& startWithStrings() {
        Project project;
        project.append(ResourceKind::String, "1\tHello");
        project.append(ResourceKind::String, "2\tWorld");
        writeProject(path("strings.kbp"), project);
        return start(qpath("strings.kbp"));
    }
    QStringList logLines() {
        frmCompile* log = window().compileWindow();
        if (!log)
            return {};
        return log->findChild<QPlainTextEdit*>("Text1")->toPlainText().split('\n');
    }
};

TEST_F(CompileCommand, EmptyProjectHasNothingToCompile) {
    start();
    trigger("mnuCompile32");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].text, "Nothing to compile");
    EXPECT_EQ(platform_.boxes[0].title, "ERROR 7");
    EXPECT_TRUE(platform_.fileDialogs.empty());
    EXPECT_EQ(window().compileWindow(), nullptr);
}

TEST_F(CompileCommand, BothModesFillTheLogWindow) {
    Interface& w = startWithStrings();
    for (int bits : {16, 32}) {
        SCOPED_TRACE(bits);
        const QString res = qpath(bits == 16 ? "out16.res" : "out32.res");
        platform_.fileAnswers = {res};
        trigger(bits == 16 ? "mnuCompile16" : "mnuCompile32");
        const Platform::FileDialogSpec& spec = platform_.fileDialogs.back();
        EXPECT_EQ(spec.title, QStringLiteral("Save As ...( %1 bits)").arg(bits));
        EXPECT_TRUE(spec.save);
        EXPECT_TRUE(spec.confirmOverwrite);
        EXPECT_TRUE(spec.filter.startsWith("Res-File (RES) (*.RES"));
        EXPECT_EQ(spec.defaultSuffix, "res");
        // The first dialog starts in the project's folder, the next in the last .RES folder.
        EXPECT_EQ(spec.initialDir, dir_.path());
        EXPECT_EQ(w.session().CompileBits, bits);
        EXPECT_EQ(w.session().ResFileName, fromQt(res));

        ASSERT_NE(w.compileWindow(), nullptr);
        EXPECT_TRUE(w.compileWindow()->isVisible());
        EXPECT_FALSE(w.compileWindow()->isModal());
        EXPECT_EQ(w.compileWindow()->windowTitle(), "  Compilation");
        EXPECT_EQ(logLines(), QStringList({"Identificators = OK", "", "[STRING] = OK",
                                           QStringLiteral("Compilation %1 bits : ").arg(bits) + res,
                                           "Compilation : SuccessFull"}));
        EXPECT_TRUE(QFile(res).size() > 0);
        EXPECT_EQ(platform_.busyDepth, 0);
        EXPECT_EQ(platform_.beeps, 0);
    }
    EXPECT_EQ(platform_.busyCalls, 4);
    // Compiling touches neither the project nor its changed flag.
    EXPECT_FALSE(w.session().ProjectChanged);

    // Red bold text on light yellow, read only; OK is not the default button.
    auto* text = w.compileWindow()->findChild<QPlainTextEdit*>("Text1");
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(text->palette().color(QPalette::Base), QColor(255, 255, 192));
    EXPECT_TRUE(text->font().bold());
    auto* ok = w.compileWindow()->findChild<QPushButton*>("cmdOK");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_FALSE(ok->isDefault());

    // OK closes the log window and discards it.
    w.compileWindow()->findChild<QPushButton*>("cmdOK")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.compileWindow(), nullptr);
}

TEST_F(CompileCommand, IdentifierErrorBeepsAndGoesToTheLog) {
    Interface& w = startWithStrings();
    w.session().appendItem(ResourceKind::String, "1\tAgain");
    platform_.fileAnswers = {qpath("dup.res")};
    trigger("mnuCompile16");
    EXPECT_EQ(platform_.beeps, 1);
    EXPECT_EQ(platform_.busyDepth, 0);
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_EQ(logLines(),
              QStringList({"", "*** ERROR ***", "Same Identificators", "1\tHello", "1\tAgain"}));
    EXPECT_FALSE(QFile::exists(qpath("dup.res")));
}

TEST_F(CompileCommand, CancelledDialogStartsNothing) {
    Interface& w = startWithStrings();
    trigger("mnuCompile32");
    EXPECT_EQ(platform_.fileDialogs.size(), 1u);
    EXPECT_TRUE(w.session().ResFileName.empty());
    // The folder of the next dialog was settled all the same.
    EXPECT_EQ(toQt(w.session().ResDir), dir_.path());
    EXPECT_EQ(w.compileWindow(), nullptr);
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_EQ(platform_.busyCalls, 0);
}

TEST_F(CompileCommand, ResDirFollowsTheChosenFileAcrossProjects) {
    Interface& w = startWithStrings();
    ASSERT_TRUE(QDir(dir_.path()).mkdir("res"));
    platform_.fileAnswers = {qpath("res/a.res")};
    trigger("mnuCompile32");
    trigger("mnuNewKBP");
    w.session().appendItem(ResourceKind::String, "5\tFive");
    platform_.fileAnswers = {std::nullopt};
    trigger("mnuCompile32");
    EXPECT_EQ(platform_.fileDialogs.back().initialDir, qpath("res"));

    // Never opened or saved: the program's folder.
    start();
    window().session().appendItem(ResourceKind::String, "5\tFive");
    trigger("mnuCompile16");
    EXPECT_EQ(platform_.fileDialogs.back().initialDir, toQt(exeDir()));
}

} // namespace
} // namespace kelbo::test
