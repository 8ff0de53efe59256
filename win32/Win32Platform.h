// The services the Win32 windows ask of the system: boxes, file and printer dialogs, sound, the
// busy pointer. Each is virtual so tests can script the dialogs while real windows run.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace kelbo::win32 {

// A printer chosen by the user, between its print dialog and the end of the document.
class Printer {
public:
    virtual ~Printer() = default;
    // The device to measure and draw text on.
    virtual HDC dc() = 0;
    // Printable area in device pixels.
    virtual SIZE pageSize() = 0;
    virtual bool startDoc(const std::wstring& name) = 0;
    virtual bool startPage() = 0;
    virtual bool endPage() = 0;
    virtual bool endDoc() = 0;
    virtual void drawText(int x, int y, const std::wstring& text) = 0;
};

class Win32Platform {
public:
    enum class BoxIcon { Stop, Exclamation };
    enum class BoxButtons { Ok, OkCancel };
    enum class BoxAnswer { Ok, Cancel };

    struct FileDialogSpec {
        bool save = false;
        std::wstring title;         // empty: the system's own title
        std::wstring initialDir;    // folder the dialog opens in
        std::wstring initialFile;   // file name or path shown at first
        std::wstring filterName;    // "Resource Project (KBP)"
        std::wstring filterPattern; // "*.KBP"
        std::wstring defaultSuffix;
        bool confirmOverwrite = false;
    };

    virtual ~Win32Platform() = default;

    virtual void beep();
    // Modal MessageBoxW; returns when the user closed it.
    virtual BoxAnswer messageBox(HWND owner, const std::wstring& text, const std::wstring& title,
                                 BoxIcon icon, BoxButtons buttons);
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::wstring> fileDialog(HWND owner, const FileDialogSpec& spec);
    // PrintDlgW; null when cancelled.
    virtual std::unique_ptr<Printer> printDialog(HWND owner);
    // Plays a .WAV file to its end; the default beep when it cannot be played.
    virtual void playSound(const std::wstring& path);
    virtual void setBusy(bool busy);

private:
    HCURSOR formerCursor_ = nullptr;
};

} // namespace kelbo::win32
