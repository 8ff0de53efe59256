// Import RES-File and Export RC-File through the real File menu.
#include <QMenu>

#include "GuiTestSupport.h"
#include "app/QtText.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/RcExport.h"
#include "tests/support/Samples.h"

namespace kelbo::test {
namespace {

using ImportExport = ShellTest;

TEST_F(ImportExport, FileMenuHoldsBothItemsBetweenSaveAsAndPrint) {
    Interface& w = start();
    QStringList names;
    for (QAction* a : w.findChild<QMenu*>("mfi")->actions())
        names << a->objectName();
    const qsizetype saveAs = names.indexOf("mnuSaveAs");
    const qsizetype import = names.indexOf("mnuImportRES");
    const qsizetype exportRc = names.indexOf("mnuExportRC");
    ASSERT_GE(saveAs, 0);
    EXPECT_LT(saveAs, import);
    EXPECT_EQ(exportRc, import + 1);
    EXPECT_LT(exportRc, names.indexOf("mnuPrint"));
    EXPECT_EQ(action("mnuImportRES")->text(), "&Import RES-File...");
    EXPECT_EQ(action("mnuExportRC")->text(), "E&xport RC-File...");
}

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
    EXPECT_EQ(platform_.fileDialogs[0].filter, "Resource File (RES) (*.RES)");
    EXPECT_EQ(platform_.fileDialogs[1].initialFile, "a.KBP");
    EXPECT_TRUE(platform_.boxes.empty()) << platform_.boxes.front().text.toStdString();
    EXPECT_EQ(caption(), qpath("a.KBP"));
    EXPECT_EQ(rows(ResourceKind::String), QStringList{"1\tHello"});
    ASSERT_EQ(rows(ResourceKind::Bitmap).size(), 1);
    EXPECT_TRUE(rows(ResourceKind::Bitmap)[0].startsWith("LOGO\t"));
    EXPECT_EQ(readProject(path("a.KBP")), window().session().project);
}

TEST_F(ImportExport, ExportWritesTheScript) {
    Interface& w = start();
    w.session().appendItem(ResourceKind::String, "1\tCaf\xE9");
    platform_.fileAnswers = {qpath("out.rc")};
    trigger("mnuExportRC");
    ASSERT_EQ(platform_.fileDialogs.size(), 1u);
    EXPECT_TRUE(platform_.fileDialogs[0].save);
    EXPECT_TRUE(platform_.boxes.empty()) << platform_.boxes.front().text.toStdString();
    EXPECT_EQ(readFile(path("out.rc")), makeRcScript(w.session().project).text);
}

} // namespace
} // namespace kelbo::test
