// The real platform: Qt message boxes, file and print dialogs, the system beep, wave playback and
// the application-wide busy pointer.
#pragma once

#include "platform/Platform.h"

namespace kelbo {

class QtPlatform : public Platform {
public:
    void beep() override;
    BoxAnswer messageBox(QWidget* parent, const QString& text, const QString& title, BoxIcon icon,
                         BoxButtons buttons) override;
    std::optional<QString> fileDialog(QWidget* parent, const FileDialogSpec& spec) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;
    void playSound(const QString& path) override;
    void setBusy(bool busy) override;
};

} // namespace kelbo
