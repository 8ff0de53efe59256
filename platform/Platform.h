// Platform services of the Qt program, behind one small interface so that tests can script every
// box, dialog, sound and printer while real windows run offscreen. The behaviour layer reaches
// them through QtShellPlatform, which turns its Windows-1252 texts into Qt's.
#pragma once

#include <QString>
#include <optional>

#include "shell/Platform.h"

class QWidget;
class QPrinter;

namespace kelbo {

class Platform {
public:
    // The same values as the behaviour layer's.
    using BoxIcon = shell::BoxIcon;
    using BoxButtons = shell::BoxButtons;
    using BoxAnswer = shell::BoxAnswer;

    struct FileDialogSpec {
        bool save = false;
        QString title;       // empty: the system's own title
        QString initialDir;  // folder the dialog opens in
        QString initialFile; // file name or path shown at first
        QString filter;      // Qt filter text, e.g. "Resource Project (KBP) (*.KBP)"
        QString defaultSuffix;
        bool confirmOverwrite = false;
    };

    virtual ~Platform() = default;

    virtual void beep() = 0;
    // Modal box; returns when the user closed it.
    virtual BoxAnswer messageBox(QWidget* parent, const QString& text, const QString& title,
                                 BoxIcon icon, BoxButtons buttons) = 0;
    // The chosen full path (native separators), or nothing when the user cancelled.
    virtual std::optional<QString> fileDialog(QWidget* parent, const FileDialogSpec& spec) = 0;
    // Lets the user choose a printer; false when cancelled.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    // Plays a .WAV file to its end; the default sound (a beep) when it cannot be played.
    virtual void playSound(const QString& path) = 0;
    // The busy pointer for the whole application.
    virtual void setBusy(bool busy) = 0;
};

} // namespace kelbo
