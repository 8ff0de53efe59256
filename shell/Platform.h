// The services a window asks of the system, without any toolkit's types: boxes, file dialogs,
// the printer, sound and the busy pointer. Qt and Win32 each implement it; tests script it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/View.h"

namespace kelbo::shell {

enum class BoxIcon { Stop, Exclamation };
enum class BoxButtons { Ok, OkCancel };
enum class BoxAnswer { Ok, Cancel };

// One entry of a file dialog's type list: "Resource Project (KBP)" with "*.KBP" and "*.kbp".
// Qt shows it as "Resource Project (KBP) (*.KBP *.kbp)", Win32 as a pair of strings.
struct FileFilter {
    std::string name;
    std::vector<std::string> patterns;
};

struct FileDialogSpec {
    bool save = false;
    std::string title;       // empty: the system's own title
    std::string initialDir;  // folder the dialog opens in
    std::string initialFile; // file name or path shown at first
    FileFilter filter;
    std::string defaultSuffix; // without the dot: "KBP"
    bool confirmOverwrite = false;
};

// A day of the calendar in local time.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// A printer that was chosen and not yet started. Coordinates are the device's, y downwards from
// the top of the printable area; texts are single lines without TABs.
class Printer {
public:
    virtual ~Printer() = default;
    // Starts the document; false with the reason when the printer cannot be started.
    virtual bool begin(std::string& error) = 0;
    virtual int pageHeight() const = 0;
    // Of the printer's default font: distance between baselines, height above the baseline,
    // average character width, and the advance of one text.
    virtual int lineHeight() const = 0;
    virtual int ascent() const = 0;
    virtual int averageCharWidth() const = 0;
    virtual int textWidth(std::string_view text) const = 0;
    virtual void drawText(int x, int baseline, std::string_view text) = 0;
    virtual bool newPage() = 0;
    // Ends the document; false when the printout could not be finished.
    virtual bool end() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual void beep() = 0;
    // Modal box over `owner` (none: over no window); returns when the user closed it.
    virtual BoxAnswer messageBox(View* owner, const std::string& text, const std::string& title,
                                 BoxIcon icon, BoxButtons buttons) = 0;
    // The chosen file (native separators), or nothing when the user cancelled.
    virtual std::optional<std::string> fileDialog(View* owner, const FileDialogSpec& spec) = 0;
    // Lets the user choose a printer; null when cancelled.
    virtual std::unique_ptr<Printer> choosePrinter(View* owner) = 0;
    // Plays a .WAV file to its end; the default sound (a beep) when it cannot be played.
    virtual void playSound(const std::string& path) = 0;
    // The busy pointer for the whole application; calls nest.
    virtual void setBusy(bool busy) = 0;
    // A progress window over `owner` for long work, titled `title`: `done` of `total` steps.
    // The first call shows it, each further one moves it on; it stays until progressDone().
    virtual void progress(View* owner, const std::string& title, std::size_t done,
                          std::size_t total) = 0;
    virtual void progressDone() = 0;
    virtual CalendarDate today() = 0;
};

// The busy pointer for as long as it lives, whichever way the work ends.
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform) : platform_(platform) { platform_.setBusy(true); }
    ~BusyPointer() { platform_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Platform& platform_;
};

// The page layout of a printed listing: one line of text each, a new page whenever the next
// line would not fit, a TAB moving on to the next stop eight average characters apart. False
// with the reason when the printer could not be started, a page added or the printout ended.
bool printLines(Printer& printer, const std::vector<std::string>& lines, std::string& error);

// An input error by code: one beep, then a box with the stop icon, "ERROR <code>" as title.
void showError(Platform& platform, View* owner, int code);

} // namespace kelbo::shell
