// Shows one window with sample content for a while, so that it can be photographed for the
// documentation (scripts/screenshots.sh):
//   kelbo_dialog_shots load|icon|wave|cursor|data|string|manifest|version|help|topic|about
//                      [seconds [folder]]
//   kelbo_dialog_shots main seconds folder project.kbp [tab]
// The sample files go to `folder`; without one, to a temporary folder (whose name then shows).
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "SampleMedia.h"
#include "app/Interface.h"
#include "app/QtText.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmManifest.h"
#include "dialogs/frmString.h"
#include "dialogs/frmVersion.h"
#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "platform/Platform.h"
#include "platform/QtShellPlatform.h"

using namespace kelbo;

namespace {

QImage samplePicture(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(200, 230, 255));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(255, 200, 0));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(size * 2 / 3, size / 3), size / 6, size / 6);
    painter.setBrush(QColor(30, 140, 60));
    painter.drawRect(0, size * 3 / 4, size, size / 4);
    return image;
}

void selectFile(QWidget* dialog, const QString& name) {
    auto* files = dialog->findChild<QListWidget*>("File1");
    const auto rows = files->findItems(name, Qt::MatchExactly);
    if (!rows.isEmpty())
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(rows.first()).center());
}

// Nothing in a photograph answers a box or plays a sound.
class SilentPlatform : public Platform {
public:
    void beep() override {}
    BoxAnswer messageBox(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) override {
        return BoxAnswer::Ok;
    }
    std::optional<QString> fileDialog(QWidget*, const FileDialogSpec&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    void playSound(const QString&) override {}
    void setBusy(bool) override {}
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("load");
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 4;
    QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });

    QTemporaryDir temp;
    const QString base = argc > 3 ? QString::fromLocal8Bit(argv[3]) : temp.path();
    SilentPlatform platform;
    if (which == "main" && argc > 4) {
        // A tab of the project (STRING unless told) with its second line, or its only one,
        // selected.
        Interface window(platform, fromQt(base), fromQt(base + "/kbplast.cfg"));
        window.startUp(QString::fromLocal8Bit(argv[4]));
        const int tab = argc > 5 ? QString::fromLocal8Bit(argv[5]).toInt() : 2;
        window.findChild<QTabBar*>("TabStrip1")->setCurrentIndex(tab);
        QListView* list = window.list(window.session().CurrentKind);
        list->setCurrentIndex(list->model()->index(list->model()->rowCount() > 1 ? 1 : 0, 0));
        window.show();
        return app.exec();
    }
    const QString folder = base + "/Resources";
    QDir().mkpath(folder + "/Icons");
    QDir().mkpath(folder + "/Sounds");
    samplePicture(96).save(folder + "/LANDSCAPE.BMP", "BMP");
    samplePicture(48).save(folder + "/logo.bmp", "BMP");
    samplePicture(32).save(folder + "/Toolbar.BMP", "BMP");
    samplePicture(32).save(folder + "/APP.ICO", "ICO");
    samplePicture(32).save(folder + "/Document.ico", "ICO");
    QFile(folder + "/CHIME.WAV").open(QIODevice::WriteOnly);
    QFile(folder + "/click.wav").open(QIODevice::WriteOnly);
    const auto write = [](const QString& path, const std::string& bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    };
    write(folder + "/POINTER.CUR",
          sample::encodeCursor({{sample::iconImage32(sample::drawPointer(32)), 1, 1}}));
    write(folder + "/hand.cur",
          sample::encodeCursor({{sample::iconImage32(sample::drawPointer(32)), 1, 1}}));
    write(folder + "/levels.dat", std::string(4321, 'x'));
    write(folder + "/readme.txt", "Sample resources\r\n");

    Session session;
    session.ItemDir = fromQt(folder);
    QIcon appIcon(QStringLiteral(":/kelbo/kelbo.png"));
    if (appIcon.isNull())
        appIcon = QIcon(QPixmap::fromImage(samplePicture(32)));

    std::unique_ptr<QDialog> dialog;
    // The Project menu's dialogs work through the behaviour layer's platform.
    QtShellPlatform shellPlatform(platform);
    std::unique_ptr<shell::ManifestPresenter> manifest;
    std::unique_ptr<shell::VersionPresenter> version;
    if (which == "load" || which == "icon" || which == "wave" || which == "cursor" ||
        which == "data") {
        session.CurrentKind = which == "icon"     ? ResourceKind::Icon
                              : which == "wave"   ? ResourceKind::Wave
                              : which == "cursor" ? ResourceKind::Cursor
                              : which == "data"   ? ResourceKind::Data
                                                  : ResourceKind::Bitmap;
        dialog = std::make_unique<frmLoad>(session, platform, -1);
        dialog->show();
        selectFile(dialog.get(), which == "icon"     ? "APP.ICO"
                                 : which == "wave"   ? "CHIME.WAV"
                                 : which == "cursor" ? "POINTER.CUR"
                                 : which == "data"   ? "levels.dat"
                                                     : "LANDSCAPE.BMP");
        dialog->findChild<QLineEdit*>("Text1")->setText(which == "wave"     ? "CHIME"
                                                        : which == "cursor" ? "POINTER"
                                                                            : "101");
        if (which == "data")
            dialog->findChild<QLineEdit*>("txtType")->setText("LEVELS");
    } else if (which == "manifest") {
        for (const char* line : {"controls=6", "dpi=permonitorv2", "level=asInvoker", "os=all",
                                 "name=Kelbo.Demo", "description=Kelbo example project"})
            session.project.append(ResourceKind::Manifest, line);
        manifest = std::make_unique<shell::ManifestPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmManifest>(*manifest);
        dialog->show();
    } else if (which == "version") {
        for (const char* line :
             {"FileVersion=2.12.0.0", "ProductVersion=2.12.0.0", "CompanyName=Kelbo",
              "FileDescription=Kelbo example project", "ProductName=Kelbo demo",
              "LegalCopyright=\xA9 2026 The Kelbo developers"})
            session.project.append(ResourceKind::Version, line);
        version = std::make_unique<shell::VersionPresenter>(session, shellPlatform);
        dialog = std::make_unique<frmVersion>(*version);
        dialog->show();
    } else if (which == "string") {
        session.EditedLine = "100\tWelcome to the resource compiler";
        dialog = std::make_unique<frmString>(session, platform, 0);
        dialog->show();
    } else if (which == "help" || which == "topic") {
        auto* index = new frmHelp(platform);
        dialog.reset(index);
        dialog->show();
        if (which == "topic")
            QTimer::singleShot(100, index, [index] { index->openTopic(1); });
    } else {
        dialog = std::make_unique<frmAbout>(appIcon);
        dialog->show();
    }
    return app.exec();
}
