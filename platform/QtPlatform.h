// The behaviour layer's platform in Qt: message boxes, file and print dialogs, the system beep,
// wave playback, the busy pointer and the progress window. Texts cross from UTF-8 to Qt's UTF-16
// here, and the owner of a box is the Qt window behind its view. The modal parts are virtual in
// Qt's own terms, so that tests can script them while real windows run offscreen.
#pragma once

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <optional>

#include "shell/Platform.h"

class QWidget;
class QPrinter;

namespace kelbo {

class QtPlatform : public shell::Platform {
public:
    using BoxIcon = shell::BoxIcon;
    using BoxButtons = shell::BoxButtons;
    using BoxAnswer = shell::BoxAnswer;

    // A file dialog as Qt takes it.
    struct FileDialogSpec {
        bool save = false;
        QString title;       // empty: the system's own title
        QString initialDir;  // folder the dialog opens in
        QString initialFile; // file name or path shown at first
        QString filter;      // Qt filter text, e.g. "Resource Project (KBP) (*.KBP *.kbp)"
        QString defaultSuffix;
        bool confirmOverwrite = false;
    };

    void beep() override;
    BoxAnswer messageBox(shell::View* owner, const std::string& text, const std::string& title,
                         BoxIcon icon, BoxButtons buttons) override;
    std::optional<std::string> fileDialog(shell::View* owner,
                                          const shell::FileDialogSpec& spec) override;
    std::unique_ptr<shell::Printer> choosePrinter(shell::View* owner) override;
    void playSound(const std::string& path) override;
    void setBusy(bool busy) override;
    void progress(shell::View* owner, const std::string& title, std::size_t done,
                  std::size_t total) override;
    void progressDone() override;
    shell::CalendarDate today() override;

    // The Qt window a view is, or null.
    static QWidget* widgetOf(shell::View* view);

protected:
    // Modal box; returns when the user closed it.
    virtual BoxAnswer showBox(QWidget* parent, const QString& text, const QString& title,
                              BoxIcon icon, BoxButtons buttons);
    // The chosen full path (native separators), or nothing when the user cancelled.
    virtual std::optional<QString> chooseFile(QWidget* parent, const FileDialogSpec& spec);
    // Lets the user set up `printer`; false when cancelled.
    virtual bool printDialog(QWidget* parent, QPrinter& printer);
    // Plays a .WAV file to its end; the default sound (a beep) when it cannot be played.
    virtual void playWave(const QString& path);

private:
    // While long work runs; it goes with its owner should that close first.
    QPointer<QProgressDialog> progress_;
};

} // namespace kelbo
