// Import RES-File and Export RC-File through the real File menu.
#include <QProgressDialog>

#include "GuiTestSupport.h"
#include "app/QtText.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/RcExport.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

using ImportExport = ShellTest;

TEST_F(ImportExport, ImportOpensTheNewProject) {
    start();
    writeFile(path("logo.bmp"), sampleBitmap(3, 3));
    Project p;
    p.append(ResourceKind::Bitmap, "LOGO\t" + path("logo.bmp"));
    p.append(ResourceKind::String, "1\tHello");
    CompileLog log;
    ASSERT_TRUE(Compile32(p, path("a.res"), log)) << log.text();

    platform_.fileAnswers = {qpath("a.res"), qpath("a.KBP")};
    trigger("mnuImportRES");
    ASSERT_EQ(platform_.fileDialogs.size(), 2u);
    EXPECT_EQ(platform_.fileDialogs[0].filter,
              "Resource File or Program (RES, EXE, DLL, OCX) (*.RES *.EXE *.DLL *.OCX)");
    EXPECT_EQ(platform_.fileDialogs[1].initialFile, "a.KBP");
    EXPECT_TRUE(platform_.boxes.empty()) << platform_.boxes.front().text.toStdString();
    EXPECT_EQ(caption(), qpath("a.KBP"));
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\tHello"});
    ASSERT_EQ(rows(ResourceKind::Bitmap).size(), 1);
    EXPECT_TRUE(rows(ResourceKind::Bitmap)[0].startsWith("LOGO\t"));
    EXPECT_EQ(readProject(path("a.KBP")), window().session().project);
}

// Past 300 files the real progress dialog runs; it has gone before the warnings are shown.
TEST_F(ImportExport, ALargeImportShowsProgressThenTheWarnings) {
    start();
    // Memory flags Kelbo does not write: a warning for every resource.
    writeFile(path("big.res"), sampleDataRes(320, 0x0409, 0));
    platform_.fileAnswers = {qpath("big.res"), qpath("big.KBP")};
    trigger("mnuImportRES");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_EQ(platform_.boxes[0].title, "WARNING");
    EXPECT_TRUE(platform_.boxes[0].text.contains("and 300 more"))
        << platform_.boxes[0].text.toStdString();
    EXPECT_EQ(window().session().project.count(ResourceKind::Data), 320);
    EXPECT_EQ(caption(), qpath("big.KBP"));
    EXPECT_EQ(window().findChild<QProgressDialog*>("progress"), nullptr);

    // What the import drove: one dialog over the window, moved on by each call.
    QtPlatform& qt = platform_;
    qt.progress(&window(), "Importing big.res", 1, 320);
    qt.progress(&window(), "Importing big.res", 160, 320);
    auto* dialog = window().findChild<QProgressDialog*>("progress");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), "Importing big.res");
    EXPECT_EQ(dialog->maximum(), 320);
    EXPECT_EQ(dialog->value(), 160);
    qt.progressDone();
    EXPECT_EQ(window().findChild<QProgressDialog*>("progress"), nullptr);
}

TEST_F(ImportExport, ExportWritesTheScript) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::String, "1\tCaf\u00E9");
    platform_.fileAnswers = {qpath("out.rc")};
    trigger("mnuExportRC");
    ASSERT_EQ(platform_.fileDialogs.size(), 1u);
    EXPECT_TRUE(platform_.fileDialogs[0].save);
    EXPECT_TRUE(platform_.boxes.empty()) << platform_.boxes.front().text.toStdString();
    EXPECT_EQ(readFile(path("out.rc")), makeRcScript(w.session().project).text);
}

} // namespace
} // namespace kelbo::test
