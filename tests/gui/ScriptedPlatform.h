// The Qt platform for tests: every box, dialog and sound is recorded, and answered from a
// script; the conversions of texts and the progress window are the real ones.
#pragma once

#include <QPrinter>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/QtPlatform.h"

namespace kelbo::test {

class ScriptedPlatform : public QtPlatform {
public:
    struct Box {
        QString text;
        QString title;
        BoxIcon icon;
        BoxButtons buttons;
    };

    // Answers, taken in order; an empty queue answers Ok / cancels the dialog.
    std::deque<BoxAnswer> boxAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    // Called with the printer when the print dialog opens; returns whether the user pressed OK.
    std::function<bool(QPrinter&)> onPrintDialog;

    std::vector<Box> boxes;
    std::vector<FileDialogSpec> fileDialogs;
    std::vector<QString> sounds;
    int beeps = 0;
    int printDialogs = 0;
    int busyDepth = 0;
    int busyCalls = 0;
    // Events in the order they happened: "beep", "box", "file", "print", "sound".
    std::vector<QString> events;

    void beep() override {
        ++beeps;
        events.push_back("beep");
    }
    BoxAnswer showBox(QWidget*, const QString& text, const QString& title, BoxIcon icon,
                      BoxButtons buttons) override {
        boxes.push_back({text, title, icon, buttons});
        events.push_back("box");
        if (boxAnswers.empty())
            return BoxAnswer::Ok;
        BoxAnswer answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    std::optional<QString> chooseFile(QWidget*, const FileDialogSpec& spec) override {
        fileDialogs.push_back(spec);
        events.push_back("file");
        if (fileAnswers.empty())
            return std::nullopt;
        // Moved out piece by piece: copying the optional whole trips a false warning of GCC 12.
        bool chosen = fileAnswers.front().has_value();
        QString answer = chosen ? *fileAnswers.front() : QString();
        fileAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return answer;
    }
    bool printDialog(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        events.push_back("print");
        return onPrintDialog ? onPrintDialog(printer) : false;
    }
    void playWave(const QString& path) override {
        sounds.push_back(path);
        events.push_back("sound");
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        ++busyCalls;
    }
};

} // namespace kelbo::test
