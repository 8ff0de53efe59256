#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>

#include "dialogs/DirList.h"
#include "dialogs/DriveList.h"
#include "dialogs/frmLoad.h"
#include "shell/ItemValidation.h"
#include "tests/gui/ScriptedPlatform.h"
#include "tests/gui/dialogs/DialogTestSupport.h"

namespace kelbo::test {
namespace {

class FileItemDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = QDir::toNativeSeparators(QDir::cleanPath(temp.path()));
        QDir dir(root);
        for (const char* folder : {"exe", "pics", "pics/deeper", "other", "same"})
            ASSERT_TRUE(dir.mkpath(QLatin1String(folder)));
        exe = root + "/exe";
        pics = root + "/pics";
        writeImage(pics + "/PIC.BMP", {40, 30}, Qt::red, "BMP");
        writeImage(pics + "/photo.bmp", {200, 180}, Qt::green, "BMP");
        writeImage(pics + "/APP.ICO", {32, 32}, Qt::blue, "ICO");
        writeFile(pics + "/broken.bmp", "this is no picture");
        writeFile(pics + "/notes.txt", "text");
        writeFile(pics + "/SOUND.WAV", "RIFF");
        writeImage(root + "/same/PIC.BMP", {8, 8}, Qt::black, "BMP");
        session.ExeDir = cp(exe);
    }

    frmLoad& open(ResourceKind kind, int selected = -1) {
        session.CurrentKind = kind;
        dialog = std::make_unique<frmLoad>(session, platform, selected);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    QLabel* label(const char* name) { return control<QLabel>(dialog.get(), name); }
    QLineEdit* text1() { return control<QLineEdit>(dialog.get(), "Text1"); }
    QListWidget* files() { return control<QListWidget>(dialog.get(), "File1"); }
    DirList* dirs() { return control<DirList>(dialog.get(), "Dir1"); }
    DriveList* drives() { return control<DriveList>(dialog.get(), "Drive1"); }

    // Moves the directory list to `folder` the way a user does: down from the current folder.
    void openFolder(const QString& name) { ASSERT_TRUE(doubleClickRow(dirs(), name)) << cp(name); }

    struct Fields {
        QString identifier, name, folder, dirPath, drive;
        QStringList files;
        QList<QListWidgetItem*> selected;
        bool operator==(const Fields&) const = default;
    };
    Fields fields() {
        return {text1()->text(),         label("etiName")->text(), label("etiRep")->text(),
                dirs()->path(),          drives()->drive(),        rowTexts(files()),
                files()->selectedItems()};
    }

    QTemporaryDir temp;
    QString root, exe, pics;
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<frmLoad> dialog;
};

TEST_F(FileItemDialog, EachKindSetsCaptionPatternAndPreviewOrPlay) {
    struct Case {
        ResourceKind kind;
        QString caption, pattern;
        bool wave;
    };
    for (const Case& c : {Case{ResourceKind::Bitmap, "  BITMAP", "*.BMP", false},
                          Case{ResourceKind::Icon, "  ICON", "*.ICO", false},
                          Case{ResourceKind::Wave, "  WAVE", "*.WAV", true}}) {
        open(c.kind);
        EXPECT_EQ(dialog->windowTitle(), c.caption);
        EXPECT_EQ(label("etiName")->text(), c.pattern);
        EXPECT_EQ(control<QWidget>(dialog.get(), "cmdPlay")->isVisible(), c.wave);
        EXPECT_EQ(control<QWidget>(dialog.get(), "PicTest")->isVisible(), !c.wave);
        EXPECT_TRUE(control<QPushButton>(dialog.get(), "cmdOK")->isDefault());
        EXPECT_EQ(QApplication::focusWidget(), files());
    }
}

TEST_F(FileItemDialog, FirstOpeningShowsProgramFolderThenTheFolderOfTheLastOk) {
    open(ResourceKind::Bitmap);
    EXPECT_EQ(session.ItemDir, cp(exe));
    EXPECT_EQ(label("etiRep")->text(), exe);
    EXPECT_EQ(dirs()->path(), exe);
    EXPECT_EQ(drives()->drive(), drives()->driveOf(exe));
    EXPECT_TRUE(text1()->text().isEmpty());

    // Up to the common parent, into pics, then a refused OK: the folder is still remembered.
    openFolder(QDir(root).dirName());
    openFolder("pics");
    click(dialog.get(), "cmdOK");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(session.ItemDir, cp(pics));
    click(dialog.get(), "cmdCancel");
    EXPECT_FALSE(dialog->isVisible());

    open(ResourceKind::Wave);
    EXPECT_EQ(label("etiRep")->text(), pics);
    EXPECT_EQ(rowTexts(files()), QStringList{"SOUND.WAV"});
}

TEST_F(FileItemDialog, FileListMatchesThePatternWhateverTheCase) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    QStringList shown = rowTexts(files());
    shown.sort(Qt::CaseInsensitive);
    EXPECT_EQ(shown, (QStringList{"broken.bmp", "photo.bmp", "PIC.BMP"}));
    open(ResourceKind::Icon);
    EXPECT_EQ(rowTexts(files()), QStringList{"APP.ICO"});
}

TEST_F(FileItemDialog, DirectoryListShowsTheRootDownThenSubfolders) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    const QStringList rows = rowTexts(dirs());
    const QStringList parts = QDir::fromNativeSeparators(pics).split('/', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), parts.size() + 2);
    EXPECT_EQ(rows.first(),
              QDir::toNativeSeparators(DirList::rootOf(QDir::fromNativeSeparators(pics))));
    EXPECT_EQ(rows.mid(1, parts.size()), parts);
    EXPECT_EQ(rows.last(), "deeper");
    EXPECT_EQ(dirs()->currentItem()->text(), "pics");

    // A single click only highlights; opening moves there and refills the file list.
    ASSERT_TRUE(clickRow(dirs(), "deeper"));
    EXPECT_EQ(dirs()->path(), pics);
    openFolder("deeper");
    EXPECT_EQ(dirs()->path(), pics + "/deeper");
    EXPECT_EQ(label("etiRep")->text(), pics + "/deeper");
    EXPECT_EQ(files()->count(), 0);

    // Enter opens the highlighted folder and does not press OK.
    dirs()->setFocus();
    dirs()->setCurrentRow(static_cast<int>(parts.size()) - 1);
    QTest::keyClick(dirs(), Qt::Key_Return);
    EXPECT_EQ(dirs()->path(), root);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST(DirListRoots, DriveShareAndPosixRoots) {
    EXPECT_EQ(DirList::rootOf("C:/WORK/PICS"), "C:/");
    EXPECT_EQ(DirList::rootOf("c:/"), "c:/");
    EXPECT_EQ(DirList::rootOf("//server/share/dir"), "//server/share/");
    EXPECT_EQ(DirList::rootOf("//server/share"), "//server/share/");
    EXPECT_EQ(DirList::rootOf("//server"), "//server/");
    EXPECT_EQ(DirList::rootOf("/home/user"), "/");
    EXPECT_EQ(DirList::rootOf("/:odd"), "/");
}

TEST_F(FileItemDialog, DriveListStartsWithTheRootAndFollowsTheFolder) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    ASSERT_GT(drives()->count(), 0);
    EXPECT_EQ(drives()->itemData(0).toString(), DriveList::availableRoots().first());
    EXPECT_EQ(drives()->drive(), drives()->driveOf(pics));
    const QString home = drives()->drive();

    // Another drive, stood in for by a folder of its own: choosing it shows its root.
    const QString other = root + "/other";
    drives()->selectDrive(other);
    drives()->setCurrentIndex(drives()->count() - 1);
    emit drives()->activated(drives()->count() - 1);
    EXPECT_EQ(dirs()->path(), other);
    EXPECT_EQ(label("etiRep")->text(), other);
    EXPECT_EQ(drives()->drive(), other);

    // Back on the first drive the list returns to the folder it showed there.
    const int homeRow = drives()->findData(home);
    drives()->setCurrentIndex(homeRow);
    emit drives()->activated(homeRow);
    EXPECT_EQ(dirs()->path(), pics);

    // A drive that cannot be read: quietly back to the drive of the folder on show.
    drives()->selectDrive(root + "/no-such-drive");
    drives()->setCurrentIndex(drives()->count() - 1);
    emit drives()->activated(drives()->count() - 1);
    EXPECT_EQ(drives()->drive(), home);
    EXPECT_EQ(dirs()->path(), pics);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(FileItemDialog, AddAppendsIdentifierAsTypedAndFullPath) {
    session.project.append(ResourceKind::Bitmap, "OLD\t/x/old.bmp");
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    ASSERT_TRUE(clickRow(files(), "PIC.BMP"));
    EXPECT_EQ(label("etiName")->text(), "PIC.BMP");
    QTest::keyClicks(text1(), "  12 ");
    click(dialog.get(), "cmdOK");

    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(session.ProjectChanged);
    ASSERT_EQ(session.project.count(ResourceKind::Bitmap), 2);
    EXPECT_EQ(session.project.line(ResourceKind::Bitmap, 0), "OLD\t/x/old.bmp");
    EXPECT_EQ(session.project.line(ResourceKind::Bitmap, 1), "  12 \t" + cp(pics) + "/PIC.BMP");
    EXPECT_EQ(session.ItemDir, cp(pics));
}

TEST_F(FileItemDialog, EnterInTheIdentifierPressesOk) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Icon);
    ASSERT_TRUE(clickRow(files(), "APP.ICO"));
    QTest::keyClicks(text1(), "MAIN");
    QTest::keyClick(text1(), Qt::Key_Return);
    ASSERT_EQ(session.project.count(ResourceKind::Icon), 1);
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 0), "MAIN\t" + cp(pics) + "/APP.ICO");
}

TEST_F(FileItemDialog, RefusedOkKeepsEveryFieldAndTheProject) {
    session.project.append(ResourceKind::Bitmap, "A\t/a.bmp");
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    const Project before = session.project;

    // No identifier (code 2), even with a file chosen.
    ASSERT_TRUE(clickRow(files(), "PIC.BMP"));
    Fields shown = fields();
    click(dialog.get(), "cmdOK");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "No Identificator");
    EXPECT_EQ(platform.boxes[0].title, "ERROR 2");
    EXPECT_EQ(platform.boxes[0].icon, Platform::BoxIcon::Stop);
    EXPECT_EQ(platform.events, (std::vector<QString>{"beep", "box"}));
    EXPECT_TRUE(fields() == shown);

    // Blanks count as an identifier; with no file chosen yet that is code 3.
    open(ResourceKind::Bitmap);
    QTest::keyClicks(text1(), "   ");
    shown = fields();
    click(dialog.get(), "cmdOK");
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text, "Bad FileName");
    EXPECT_EQ(platform.boxes[1].title, "ERROR 3");
    EXPECT_TRUE(fields() == shown);
    EXPECT_EQ(label("etiName")->text(), "*.BMP");

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(session.project, before);
    EXPECT_FALSE(session.ProjectChanged);
}

TEST_F(FileItemDialog, ChosenNameFollowsTheFolderAndMustNameAFile) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    ASSERT_TRUE(clickRow(files(), "PIC.BMP"));
    QTest::keyClicks(text1(), "7");

    // In "deeper" there is no PIC.BMP: refused, and nothing else moves.
    openFolder("deeper");
    EXPECT_EQ(label("etiName")->text(), "PIC.BMP");
    const Fields shown = fields();
    click(dialog.get(), "cmdOK");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].title, "ERROR 3");
    EXPECT_TRUE(fields() == shown);
    EXPECT_EQ(session.project.count(ResourceKind::Bitmap), 0);
    EXPECT_EQ(session.ItemDir, cp(pics + "/deeper"));

    // "same" holds a file of that name: the new folder and the earlier name make the line.
    openFolder(QDir(root).dirName());
    openFolder("same");
    click(dialog.get(), "cmdOK");
    ASSERT_EQ(session.project.count(ResourceKind::Bitmap), 1);
    EXPECT_EQ(session.project.line(ResourceKind::Bitmap, 0), "7\t" + cp(root) + "/same/PIC.BMP");
    EXPECT_EQ(session.ItemDir, cp(root) + "/same");
}

TEST_F(FileItemDialog, ModifyShowsTheLineAndReplacesItInPlace) {
    session.project.append(ResourceKind::Icon, "FIRST\t/f.ico");
    session.project.append(ResourceKind::Icon, " ID \t" + cp(pics) + "/APP.ICO");
    session.project.append(ResourceKind::Icon, "LAST\t/l.ico");
    session.EditedLine = session.project.line(ResourceKind::Icon, 1);
    session.ItemDir = cp(exe);
    open(ResourceKind::Icon, 1);

    EXPECT_EQ(session.ItemDir, cp(pics));
    EXPECT_EQ(text1()->text(), " ID ");
    EXPECT_EQ(label("etiName")->text(), "APP.ICO");
    EXPECT_EQ(label("etiRep")->text(), pics);
    EXPECT_EQ(drives()->drive(), drives()->driveOf(pics));
    EXPECT_TRUE(files()->selectedItems().isEmpty());
    EXPECT_TRUE(control<QLabel>(dialog.get(), "PicTest")->pixmap().isNull());

    // Untouched, OK writes the same line back and still marks the project changed.
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(session.ProjectChanged);
    ASSERT_EQ(session.project.count(ResourceKind::Icon), 3);
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 0), "FIRST\t/f.ico");
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 1), " ID \t" + cp(pics) + "/APP.ICO");
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 2), "LAST\t/l.ico");

    // A changed identifier replaces the same line.
    session.EditedLine = session.project.line(ResourceKind::Icon, 1);
    open(ResourceKind::Icon, 1);
    text1()->selectAll();
    QTest::keyClicks(text1(), "NEW");
    click(dialog.get(), "cmdOK");
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 1), "NEW\t" + cp(pics) + "/APP.ICO");
    EXPECT_EQ(session.project.line(ResourceKind::Icon, 2), "LAST\t/l.ico");
}

TEST_F(FileItemDialog, CancelChangesNothingButModifyKeepsItsFolder) {
    session.project.append(ResourceKind::Wave, "W\t" + cp(pics) + "/SOUND.WAV");
    session.EditedLine = session.project.line(ResourceKind::Wave, 0);
    session.ItemDir = cp(exe);
    const Project before = session.project;
    open(ResourceKind::Wave, 0);
    QTest::keyClicks(text1(), "X");
    click(dialog.get(), "cmdCancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(session.project, before);
    EXPECT_FALSE(session.ProjectChanged);
    EXPECT_EQ(session.ItemDir, cp(pics));

    session.EditedLine.clear();
    open(ResourceKind::Wave);
    EXPECT_EQ(label("etiRep")->text(), pics);
}

TEST_F(FileItemDialog, ModifyOfUnusualPathsStillOpens) {
    // A file in the root: the folder is the root itself.
    session.EditedLine = "R\t/PIC.BMP";
    open(ResourceKind::Bitmap, 0);
    EXPECT_EQ(label("etiRep")->text(), "/");
    EXPECT_EQ(label("etiName")->text(), "PIC.BMP");
    EXPECT_EQ(session.ItemDir, "/");

    // A folder that is gone: the dialog shows the program's folder.
    session.EditedLine = "G\t" + cp(root) + "/gone/PIC.BMP";
    open(ResourceKind::Bitmap, 0);
    EXPECT_EQ(label("etiRep")->text(), exe);
    EXPECT_EQ(label("etiName")->text(), "PIC.BMP");
    EXPECT_EQ(session.ItemDir, cp(root) + "/gone");

    // No separator at all: the remembered folder and the whole path as the name.
    session.ItemDir = cp(pics);
    session.EditedLine = "N\tPIC.BMP";
    open(ResourceKind::Bitmap, 0);
    EXPECT_EQ(label("etiRep")->text(), pics);
    EXPECT_EQ(label("etiName")->text(), "PIC.BMP");

    // No TAB: the whole line is the identifier and no file is chosen.
    session.EditedLine = "JUSTANID";
    open(ResourceKind::Bitmap, 0);
    EXPECT_EQ(text1()->text(), "JUSTANID");
    EXPECT_EQ(label("etiName")->text(), "*.BMP");
}

TEST_F(FileItemDialog, PreviewDrawsBitmapsAndIconsUnscaledFromTheCorner) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    auto* preview = control<QLabel>(dialog.get(), "PicTest");
    const QSize boxSize = preview->size();

    ASSERT_TRUE(clickRow(files(), "PIC.BMP"));
    ASSERT_FALSE(preview->pixmap().isNull());
    EXPECT_EQ(preview->pixmap().size(), QSize(40, 30));
    const QImage drawn = preview->grab().toImage();
    const int inset = preview->frameWidth();
    EXPECT_EQ(QColor(drawn.pixel(inset, inset)), QColor(Qt::red));
    EXPECT_EQ(QColor(drawn.pixel(inset + 39, inset + 29)), QColor(Qt::red));
    EXPECT_NE(QColor(drawn.pixel(inset + 45, inset + 35)), QColor(Qt::red));

    // Larger than the box: clipped, not scaled, and the box keeps its size.
    ASSERT_TRUE(clickRow(files(), "photo.bmp"));
    EXPECT_EQ(preview->pixmap().size(), QSize(200, 180));
    EXPECT_EQ(preview->size(), boxSize);
    const QImage clipped = preview->grab().toImage();
    EXPECT_EQ(QColor(clipped.pixel(boxSize.width() / 2, boxSize.height() / 2)), QColor(Qt::green));

    // Not a picture: an empty preview and no message.
    ASSERT_TRUE(clickRow(files(), "broken.bmp"));
    EXPECT_TRUE(preview->pixmap().isNull());
    EXPECT_EQ(label("etiName")->text(), "broken.bmp");
    EXPECT_TRUE(platform.boxes.empty());

    open(ResourceKind::Icon);
    preview = control<QLabel>(dialog.get(), "PicTest");
    ASSERT_TRUE(clickRow(files(), "APP.ICO"));
    ASSERT_FALSE(preview->pixmap().isNull());
    EXPECT_EQ(preview->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(preview->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(FileItemDialog, KeyboardSelectionAlsoChoosesTheFile) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    files()->setFocus();
    EXPECT_EQ(label("etiName")->text(), "*.BMP");
    QTest::keyClick(files(), Qt::Key_Down);
    ASSERT_EQ(files()->selectedItems().size(), 1);
    EXPECT_EQ(label("etiName")->text(), files()->selectedItems().first()->text());
}

TEST_F(FileItemDialog, PlayPassesTheFullPathEvenWithoutAFile) {
    session.ItemDir = cp(pics);
    open(ResourceKind::Wave);
    click(dialog.get(), "cmdPlay");
    ASSERT_TRUE(clickRow(files(), "SOUND.WAV"));
    click(dialog.get(), "cmdPlay");
    EXPECT_EQ(platform.sounds, (std::vector<QString>{pics + "/*.WAV", pics + "/SOUND.WAV"}));
    EXPECT_TRUE(control<QLabel>(dialog.get(), "PicTest")->pixmap().isNull());
}

TEST_F(FileItemDialog, IdentifiersAndFoldersInAnyScriptAreKept) {
    const QString odd = pics + QString::fromUtf8("/\u03A9\u5716");
    ASSERT_TRUE(QDir().mkpath(odd));
    writeImage(odd + "/PIC.BMP", {4, 4}, Qt::red, "BMP");
    session.ItemDir = cp(pics);
    open(ResourceKind::Bitmap);
    openFolder(QString::fromUtf8("\u03A9\u5716"));
    ASSERT_TRUE(clickRow(files(), "PIC.BMP"));
    EXPECT_FALSE(control<QLabel>(dialog.get(), "PicTest")->pixmap().isNull());
    text1()->insert(QString::fromUtf8("ID\u4E2D"));
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(session.ItemDir, cp(odd));
    ASSERT_EQ(session.project.count(ResourceKind::Bitmap), 1);
    EXPECT_EQ(session.project.line(ResourceKind::Bitmap, 0), "ID\u4E2D\t" + cp(odd) + "/PIC.BMP");
}

TEST_F(FileItemDialog, IdentifierRefusesAPastedTab) {
    open(ResourceKind::Bitmap);
    QTest::keyClicks(text1(), "AB");
    text1()->insert("C\tD");
    EXPECT_EQ(text1()->text(), "AB");
}

} // namespace
} // namespace kelbo::test
