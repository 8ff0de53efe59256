// The file item dialog on the CURSOR and DATA kinds, and the Project menu's manifest and version
// dialogs, driven by their control names over the real presenters.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <memory>

#include "SampleMedia.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmManifest.h"
#include "dialogs/frmVersion.h"
#include "platform/QtPlatform.h"
#include "tests/gui/ScriptedPlatform.h"
#include "tests/gui/dialogs/DialogTestSupport.h"

namespace kelbo::test {
namespace {

// A cursor file of one width x width image in `colour`, with its hot spot at (hotX, hotY).
QByteArray cursorFile(int width, std::uint32_t colour, std::uint16_t hotX, std::uint16_t hotY) {
    const sample::Image image(width, width, colour);
    const std::string bytes = sample::encodeCursor({{sample::iconImage32(image), hotX, hotY}});
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

class NewKindFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = QDir::toNativeSeparators(QDir::cleanPath(temp.path()));
        writeFile(root + "/ARROW.CUR", cursorFile(32, 0xFF0000FFu, 20, 9));
        writeFile(root + "/wide.cur", cursorFile(48, 0xFF00FF00u, 0, 0));
        writeFile(root + "/levels.dat", QByteArray(1500, 'x'));
        writeFile(root + "/APP.ICO", "not an icon");
        session.ItemDir = cp(root);
        session.ExeDir = cp(root);
    }
    frmLoad& open(ResourceKind kind, int selected = -1) {
        session.CurrentKind = kind;
        dialog = std::make_unique<frmLoad>(session, platform, selected);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    QWidget* widget(const char* name) { return control<QWidget>(dialog.get(), name); }
    QLabel* label(const char* name) { return control<QLabel>(dialog.get(), name); }
    QListWidget* files() { return control<QListWidget>(dialog.get(), "File1"); }
    QImage preview() { return label("PicTest")->pixmap().toImage(); }

    QTemporaryDir temp;
    QString root;
    Session session;
    ScriptedPlatform platform;
    std::unique_ptr<frmLoad> dialog;
};

TEST_F(NewKindFileDialog, CursorShowsItsFilesAndItsFirstImageWithTheHotSpot) {
    open(ResourceKind::Cursor);
    EXPECT_EQ(dialog->windowTitle(), "  CURSOR");
    EXPECT_EQ(label("etiName")->text(), "*.CUR");
    QStringList shown = rowTexts(files());
    shown.sort(Qt::CaseInsensitive);
    EXPECT_EQ(shown, (QStringList{"ARROW.CUR", "wide.cur"}));
    EXPECT_TRUE(widget("PicTest")->isVisible());
    for (const char* hidden : {"cmdPlay", "Label4", "txtType", "etiSize"})
        EXPECT_FALSE(widget(hidden)->isVisible()) << hidden;

    ASSERT_TRUE(clickRow(files(), "ARROW.CUR"));
    // The image sits 4 pixels in, so that a cross on its edge shows whole.
    const auto pixel = [this](int x, int y) { return preview().pixelColor(x + 4, y + 4); };
    ASSERT_EQ(preview().size(), QSize(40, 40));
    // The cross is red on the hot spot, white beside its arms, and the picture is blue elsewhere.
    EXPECT_EQ(pixel(20, 9), QColor(Qt::red));
    EXPECT_EQ(pixel(23, 9), QColor(Qt::red));
    EXPECT_EQ(pixel(20, 6), QColor(Qt::red));
    EXPECT_EQ(pixel(22, 10), QColor(Qt::white));
    EXPECT_EQ(pixel(5, 25), QColor(Qt::blue));
    EXPECT_EQ(pixel(20, 20), QColor(Qt::blue));
    EXPECT_EQ(pixel(-4, -4).alpha(), 0);

    // Another size, the hot spot in the corner: the cross shows whole over the margin.
    ASSERT_TRUE(clickRow(files(), "wide.cur"));
    ASSERT_EQ(preview().size(), QSize(56, 56));
    EXPECT_EQ(pixel(0, 0), QColor(Qt::red));
    EXPECT_EQ(pixel(-3, 0), QColor(Qt::red));
    EXPECT_EQ(pixel(0, -3), QColor(Qt::red));
    EXPECT_EQ(pixel(30, 30), QColor(Qt::green));
}

TEST_F(NewKindFileDialog, DamagedCursorShowsNoPicture) {
    writeFile(root + "/BROKEN.CUR", QByteArray("\0\0\2\0\1\0", 6));
    open(ResourceKind::Cursor);
    ASSERT_TRUE(clickRow(files(), "ARROW.CUR"));
    EXPECT_FALSE(preview().isNull());
    ASSERT_TRUE(clickRow(files(), "BROKEN.CUR"));
    EXPECT_TRUE(preview().isNull());
}

TEST_F(NewKindFileDialog, DataShowsTypeAndSizeInPlaceOfThePicture) {
    open(ResourceKind::Data);
    EXPECT_EQ(dialog->windowTitle(), "  DATA");
    EXPECT_EQ(label("etiName")->text(), "*.*");
    EXPECT_TRUE(rowTexts(files()).contains("levels.dat"));
    EXPECT_TRUE(rowTexts(files()).contains("APP.ICO"));
    for (const char* shown : {"Label4", "txtType", "etiSize"})
        EXPECT_TRUE(widget(shown)->isVisible()) << shown;
    for (const char* hidden : {"PicTest", "cmdPlay"})
        EXPECT_FALSE(widget(hidden)->isVisible()) << hidden;
    EXPECT_EQ(label("Label4")->text(), "Type");
    auto* type = control<QLineEdit>(dialog.get(), "txtType");
    EXPECT_EQ(type->text(), "CUSTOM");
    EXPECT_TRUE(label("etiSize")->text().isEmpty());

    ASSERT_TRUE(clickRow(files(), "levels.dat"));
    EXPECT_EQ(label("etiSize")->text(), "1,500 bytes");
    // Choosing a file never previews it.
    EXPECT_TRUE(preview().isNull());

    // Tab goes from the identifier to the type.
    control<QLineEdit>(dialog.get(), "Text1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), type);
}

TEST_F(NewKindFileDialog, DataTypeCheckedAsTheCompilerDoes) {
    open(ResourceKind::Data);
    ASSERT_TRUE(clickRow(files(), "levels.dat"));
    control<QLineEdit>(dialog.get(), "Text1")->setText("1");
    auto* type = control<QLineEdit>(dialog.get(), "txtType");
    // A number of a type the compiler writes itself, and one out of range, are refused.
    for (const char* bad : {"2", "99999"}) {
        type->setText(bad);
        click(dialog.get(), "cmdOK");
        EXPECT_TRUE(dialog->isVisible()) << bad;
        EXPECT_TRUE(session.project.empty()) << bad;
    }
    EXPECT_EQ(platform.boxes.size(), 2u);
    // The validator keeps a TAB out, so the line's split cannot move.
    type->setText("AB");
    type->insert("C\tD");
    EXPECT_EQ(type->text(), "AB");
}

// ---------------------------------------------------------------------------------------------

class ManifestDialog : public ::testing::Test {
protected:
    frmManifest& open() {
        presenter = std::make_unique<shell::ManifestPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmManifest>(*presenter);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    template <typename T> T* get(const char* name) { return control<T>(dialog.get(), name); }
    QString xml() { return get<QPlainTextEdit>("txtXml")->toPlainText(); }

    Session session;
    ScriptedPlatform platform;
    shell::Platform& shellPlatform = platform;
    std::unique_ptr<shell::ManifestPresenter> presenter;
    std::unique_ptr<frmManifest> dialog;
};

TEST_F(ManifestDialog, ControlsAreBuiltFromTheDescription) {
    open();
    EXPECT_EQ(dialog->objectName(), "frmManifest");
    EXPECT_EQ(get<QRadioButton>("optNone")->text(), "&None");
    EXPECT_EQ(get<QCheckBox>("chkControls")->text(), "Common controls &6");
    EXPECT_FALSE(get<QComboBox>("cboDpi")->isEditable());
    EXPECT_EQ(get<QComboBox>("cboDpi")->count(), static_cast<int>(shell::dpiChoices().size()));
    EXPECT_EQ(get<QComboBox>("cboLevel")->count(), static_cast<int>(shell::levelChoices().size()));
    EXPECT_TRUE(get<QPlainTextEdit>("txtXml")->isReadOnly());
    EXPECT_TRUE(get<QPushButton>("cmdOK")->isDefault());
    EXPECT_FALSE(get<QPushButton>("cmdCancel")->isDefault());
    // An empty project has no manifest: everything but the options is greyed.
    EXPECT_TRUE(get<QRadioButton>("optNone")->isChecked());
    for (const char* name : {"txtFile", "cmdBrowse", "chkControls", "cboDpi", "txtName", "chkDll"})
        EXPECT_FALSE(get<QWidget>(name)->isEnabled()) << name;
}

TEST_F(ManifestDialog, TheXmlFollowsEveryChange) {
    open();
    get<QRadioButton>("optGenerated")->click();
    EXPECT_TRUE(get<QWidget>("chkControls")->isEnabled());
    EXPECT_FALSE(get<QWidget>("txtFile")->isEnabled());
    const QString plain = xml();
    EXPECT_TRUE(plain.contains("assemblyIdentity")) << cp(plain);
    EXPECT_EQ(plain, QString::fromStdString(presenter->xml()).replace("\r\n", "\n"));

    get<QCheckBox>("chkControls")->click();
    EXPECT_TRUE(xml().contains("Common-Controls")) << cp(xml());
    auto* dpi = get<QComboBox>("cboDpi");
    dpi->setCurrentIndex(dpi->count() - 1);
    EXPECT_TRUE(xml().contains("PerMonitorV2", Qt::CaseInsensitive)) << cp(xml());
    // Typed text goes straight through; a non-ASCII letter is written as UTF-8.
    get<QLineEdit>("txtDescription")->insert(QStringLiteral("Caf\u00e9"));
    EXPECT_TRUE(xml().contains(QStringLiteral("Caf\u00e9"))) << cp(xml());
    EXPECT_EQ(xml(), QString::fromUtf8(presenter->xml()).replace("\r\n", "\n"));

    get<QRadioButton>("optFile")->click();
    EXPECT_TRUE(get<QWidget>("txtFile")->isEnabled());
    EXPECT_TRUE(get<QWidget>("chkDll")->isEnabled());
    EXPECT_FALSE(get<QWidget>("cboDpi")->isEnabled());
}

TEST_F(ManifestDialog, BrowseFillsTheFileAndShowsItAsItWillBeWritten) {
    QTemporaryDir temp;
    const QString file = QDir::toNativeSeparators(temp.filePath("app.manifest"));
    const QByteArray content =
        "<?xml version=\"1.0\"?>\n<assembly "
        "xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>\n";
    writeFile(file, content);
    open();
    EXPECT_FALSE(get<QWidget>("cmdBrowse")->isEnabled());
    get<QRadioButton>("optFile")->click();
    platform.fileAnswers = {file};
    click(dialog.get(), "cmdBrowse");
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_EQ(get<QLineEdit>("txtFile")->text(), file);
    EXPECT_EQ(xml(), QString::fromUtf8(content));

    // A path typed by hand is followed too; one that names no file shows nothing.
    get<QLineEdit>("txtFile")->insert("x");
    EXPECT_TRUE(xml().isEmpty());
    get<QLineEdit>("txtFile")->backspace();
    EXPECT_EQ(xml(), QString::fromUtf8(content));

    click(dialog.get(), "cmdOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(session.ProjectChanged);
    const Project::Lines& lines = session.project.lines(ResourceKind::Manifest);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file=" + cp(file)), lines.end());
}

// ---------------------------------------------------------------------------------------------

class VersionDialog : public ::testing::Test {
protected:
    frmVersion& open() {
        presenter = std::make_unique<shell::VersionPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmVersion>(*presenter);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }
    template <typename T> T* get(const QString& name) {
        return control<T>(dialog.get(), name.toLatin1().constData());
    }

    Session session;
    ScriptedPlatform platform;
    shell::Platform& shellPlatform = platform;
    std::unique_ptr<shell::VersionPresenter> presenter;
    std::unique_ptr<frmVersion> dialog;
};

TEST_F(VersionDialog, ShowsTheProjectsVersionInformation) {
    session.project.append(ResourceKind::Version, "FileVersion=1.2.3.4");
    session.project.append(ResourceKind::Version, "CompanyName=Kelbo \u20AC");
    open();
    EXPECT_EQ(dialog->objectName(), "frmVersion");
    const QStringList parts = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(get<QLineEdit>(QStringLiteral("txtFile%1").arg(i))->text(), parts[i]);
        EXPECT_EQ(get<QLineEdit>(QStringLiteral("txtFile%1").arg(i))->maxLength(), 5);
    }
    const std::vector<std::string>& keys = shell::versionStringKeys();
    ASSERT_EQ(keys.size(), 10u);
    const int company =
        static_cast<int>(std::find(keys.begin(), keys.end(), "CompanyName") - keys.begin());
    EXPECT_EQ(get<QLineEdit>(QStringLiteral("txtString%1").arg(company))->text(),
              QStringLiteral("Kelbo \u20ac"));
    EXPECT_EQ(get<QLabel>(QStringLiteral("lblString%1").arg(company))->text(), "CompanyName");
    for (const char* combo : {"cboFileType", "cboLanguage", "cboCodePage"}) {
        EXPECT_FALSE(get<QComboBox>(combo)->isEditable()) << combo;
        EXPECT_GE(get<QComboBox>(combo)->currentIndex(), 0) << combo;
    }
    EXPECT_TRUE(get<QPushButton>("cmdOK")->isDefault());
}

TEST_F(VersionDialog, OkStoresTheNumbersAsTyped) {
    session.project.append(ResourceKind::Version, "FileVersion=1.0.0.0");
    open();
    get<QLineEdit>("txtFile1")->setText("5");
    click(dialog.get(), "cmdOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(session.ProjectChanged);
    VersionProblem problem;
    const std::optional<VersionSettings> stored =
        parseVersionLines(session.project.lines(ResourceKind::Version), problem);
    ASSERT_TRUE(stored) << problem.text;
    EXPECT_EQ(stored->fileVersion, (VersionNumber{1, 5, 0, 0}));
}

TEST_F(VersionDialog, ANumberOutOfRangeIsRefusedWithABox) {
    open();
    get<QLineEdit>("txtProduct2")->setText("65536");
    click(dialog.get(), "cmdOK");
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].title.startsWith("ERROR")) << cp(platform.boxes[0].title);
    EXPECT_TRUE(session.project.lines(ResourceKind::Version).empty());
    EXPECT_FALSE(session.ProjectChanged);
}

} // namespace
} // namespace kelbo::test
