// Test base for the shell: a real main window over a scripted platform, in a temporary folder
// that plays the program's folder (and holds its kbplast.cfg).
#pragma once

#include <QAction>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ScriptedPlatform.h"
#include "app/Interface.h"
#include "project/Project.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace kelbo::test {

class ShellTest : public ::testing::Test {
protected:
    ShellTest();
    ~ShellTest() override;

    // A new main window after its load sequence with `commandLine`; the former one is dropped.
    Interface& start(const QString& commandLine = {});
    Interface& window() { return *window_; }

    // A path inside the temporary folder, in the project's code page and as Qt text.
    std::string path(const char* name) const;
    QString qpath(const char* name) const;
    std::string exeDir() const;
    std::string cfgPath() const;

    static Project sampleProject();
    void writeProject(const std::string& file, const Project& project);
    std::optional<Project> readProject(const std::string& file);
    // Lines of a text file ended by CR LF.
    static std::vector<std::string> fileLines(const std::string& file);

    QAction* action(const char* name);
    void trigger(const char* name);
    void click(const char* buttonName);
    QStringList rows(ResourceKind kind);
    void select(ResourceKind kind, int row);
    QString caption() { return window_->windowTitle(); }
    // Runs `command`; any modal dialog it opens is recorded by object name and cancelled.
    QStringList modalsOpenedBy(const std::function<void()>& command);

    QTemporaryDir dir_;
    ScriptedPlatform platform_;
    std::unique_ptr<Interface> window_;
};

} // namespace kelbo::test
