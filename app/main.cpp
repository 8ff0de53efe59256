// The program: one main window over one project, named on the command line or not.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Interface.h"
#include "app/RecentFiles.h"
#include "platform/FileSystem.h"
#include "platform/QtPlatform.h"

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

    // For bench/gui_open.sh: report how long the window took to be usable, then leave.
    if (qEnvironmentVariableIntValue("KELBO_BENCH_QUIT_AFTER_SHOW") == 1) {
        QTimer::singleShot(0, &app, [&] {
            std::fprintf(stderr, "kelbo: window usable after %lld ms\n",
                         static_cast<long long>(clock.elapsed()));
            app.quit();
        });
    }
    return app.exec();
}
