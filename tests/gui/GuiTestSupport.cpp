#include "GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "app/QtText.h"
#include "projectfile/ProjectFile.h"

namespace kelbo::test {

ShellTest::ShellTest() {
    QDir(dir_.path()).mkpath("bin");
}

ShellTest::~ShellTest() = default;

Interface& ShellTest::start(const QString& commandLine) {
    window_.reset();
    window_ = std::make_unique<Interface>(platform_, exeDir(), cfgPath());
    window_->startUp(commandLine);
    return *window_;
}

QString ShellTest::qpath(const char* name) const {
    return dir_.filePath(name);
}

std::string ShellTest::path(const char* name) const {
    return fromQt(qpath(name));
}

std::string ShellTest::exeDir() const {
    return fromQt(dir_.filePath("bin"));
}

std::string ShellTest::cfgPath() const {
    return fromQt(dir_.filePath("bin/kbplast.cfg"));
}

Project ShellTest::sampleProject() {
    Project project;
    project.append(ResourceKind::Bitmap, "LOGO\t/pics/logo.bmp");
    project.append(ResourceKind::Bitmap, "101\t/pics/splash.bmp");
    project.append(ResourceKind::Icon, "1\t/pics/app.ico");
    project.append(ResourceKind::Icon, "2\t/pics/doc.ico");
    project.append(ResourceKind::Icon, "3\t/pics/tool.ico");
    project.append(ResourceKind::String, "1\tHello");
    project.append(ResourceKind::String, "2\tCaf\u00E9 \u20AC 5");
    project.append(ResourceKind::Wave, "DING\t/snd/ding.wav");
    return project;
}

void ShellTest::writeProject(const std::string& file, const Project& project) {
    std::string error;
    ASSERT_TRUE(saveProjectFile(file, project, error)) << error;
}

std::optional<Project> ShellTest::readProject(const std::string& file) {
    return loadProjectFile(file);
}

std::vector<std::string> ShellTest::fileLines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

QAction* ShellTest::action(const char* name) {
    QAction* found = window_->findChild<QAction*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void ShellTest::trigger(const char* name) {
    if (QAction* a = action(name))
        a->trigger();
}

void ShellTest::click(const char* buttonName) {
    auto* button = window_->findChild<QPushButton*>(buttonName);
    ASSERT_NE(button, nullptr) << buttonName;
    button->click();
}

QStringList ShellTest::rows(ResourceKind kind) {
    QStringList result;
    QAbstractItemModel* model = window_->list(kind)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        result << model->index(row, 0).data().toString();
    return result;
}

void ShellTest::select(ResourceKind kind, int row) {
    QListView* view = window_->list(kind);
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect);
}

QStringList ShellTest::modalsOpenedBy(const std::function<void()>& command) {
    QStringList opened;
    // Polls while the command runs: a modal dialog's exec() keeps the event loop turning.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened << modal->objectName();
            modal->close();
        }
    });
    poll.start();
    command();
    poll.stop();
    return opened;
}

} // namespace kelbo::test
