// The program: one main window over one project, named on the command line or not.
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Interface.h"
#include "platform/FileSystem.h"
#include "platform/QtPlatform.h"
#include "projectfile/RecentFiles.h"

namespace {

// Qt aborts with a core dump when it cannot reach a display; say plainly what is missing instead.
bool displayReachable() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

class FirstPaintReporter : public QObject {
public:
    FirstPaintReporter(const QElapsedTimer& clock, QObject* parent)
        : QObject(parent), clock_(clock) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::fprintf(stderr, "kelbo: window usable after %lld ms\n",
                         static_cast<long long>(clock_.elapsed()));
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
    bool reported_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    if (!displayReachable()) {
        std::fprintf(stderr, "kelbo: no display to open the window on (DISPLAY and "
                             "WAYLAND_DISPLAY are not set).\n");
        return EXIT_FAILURE;
    }
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);

    kelbo::QtPlatform platform;
    const std::string exeDir = kelbo::executableDirectory();
    kelbo::Interface window(platform, exeDir, kelbo::recentFilesLocation(exeDir));
    QObject::connect(&window, &kelbo::Interface::exitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.startUp(kelbo::Interface::commandLinePath(QApplication::arguments()));
    window.show();

    // For bench/gui_open.sh: once the shown list has painted its rows, report the time since
    // start and leave.
    if (qEnvironmentVariableIntValue("KELBO_BENCH_QUIT_AFTER_SHOW") == 1) {
        auto* firstPaint = new FirstPaintReporter(clock, &app);
        window.list(window.session().CurrentKind)->viewport()->installEventFilter(firstPaint);
    }
    return app.exec();
}
