// The behaviour layer's platform on top of the Qt one: texts cross from Windows-1252 to UTF-16
// here, the owner of a box is the Qt window behind its view, and a chosen printer becomes a
// QtPrinter.
#pragma once

#include <QPointer>
#include <QProgressDialog>

#include "platform/Platform.h"
#include "shell/Platform.h"

namespace kelbo {

class QtShellPlatform : public shell::Platform {
public:
    explicit QtShellPlatform(kelbo::Platform& qt) : qt_(qt) {}

    void beep() override;
    shell::BoxAnswer messageBox(shell::View* owner, const std::string& text,
                                const std::string& title, shell::BoxIcon icon,
                                shell::BoxButtons buttons) override;
    std::optional<std::string> fileDialog(shell::View* owner,
                                          const shell::FileDialogSpec& spec) override;
    std::unique_ptr<shell::Printer> choosePrinter(shell::View* owner) override;
    void playSound(const std::string& path) override;
    void setBusy(bool busy) override;
    shell::CalendarDate today() override;
    void progress(shell::View* owner, const std::string& title, std::size_t done,
                  std::size_t total) override;
    void progressDone() override;

    // The Qt window a view is, or null.
    static QWidget* widgetOf(shell::View* view);

private:
    kelbo::Platform& qt_;
    // While long work runs; it goes with its owner should that close first.
    QPointer<QProgressDialog> progress_;
};

} // namespace kelbo
