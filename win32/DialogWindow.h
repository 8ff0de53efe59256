// The base of every Kelbo window on Win32: a dialog made from a template built in memory, so
// the dialog manager gives Tab, Enter on the focused button, the default button and Escape
// their usual meaning. The controls are placed in twips, converted with the window's DPI.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Layout.h"
#include "shell/View.h"

namespace kelbo::win32 {

inline constexpr double kTwipsPerInch = 1440.0;

// Dark blue 0x00C00000 and red 0x000000FF, as COLORREF (0x00BBGGRR).
inline constexpr COLORREF kDarkBlue = RGB(0, 0, 0xC0);
inline constexpr COLORREF kRed = RGB(0xFF, 0, 0);

// OK (clicked, or Enter while no other button has the focus) and Cancel (the button, Escape and
// the frame) of a dialog, passed to its presenter; true when `id` was one of them.
template <typename Presenter> bool passOkCancel(Presenter& presenter, int id, int code) {
    if (id == IDOK) {
        if (code == BN_CLICKED)
            presenter.ok();
        return true;
    }
    if (id == IDCANCEL) {
        presenter.cancel();
        return true;
    }
    return false;
}

class DialogWindow {
public:
    DialogWindow() = default;
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    // Runs the window modally; the result of EndDialog.
    INT_PTR runModal(HWND owner, const std::wstring& caption, DWORD style);
    // Creates the window without waiting; the caller's message loop passes its messages
    // through IsDialogMessageW.
    HWND createModeless(HWND owner, const std::wstring& caption, DWORD style);

    // WM_INITDIALOG: build the controls. Return true to let the dialog focus its first control.
    virtual bool onInit() = 0;
    // WM_COMMAND; true when handled.
    virtual bool onCommand(int id, int code, HWND control) = 0;
    // Any other message; true (with the dialog's result in `result`) when handled.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // WM_DESTROY has arrived: the window handle is about to go.
    virtual void onDestroy() {}

    int px(int twips) const;
    // The size of the client area, in twips.
    void setClientTwips(int width, int height);
    void centreOnScreen();
    void moveToTwips(int left, int top);

    HWND addControl(const wchar_t* className, const std::wstring& text, DWORD style, int id,
                    int left, int top, int width, int height, DWORD exStyle = 0);
    // A label sized to its text, as an auto-sizing label is.
    HWND addLabel(const std::wstring& text, int id, int left, int top, HFONT font = nullptr);
    // The controls of `spec` that `ids` names, in the layout's order (the keyboard order),
    // at its twips. The first option button starts a group and the first control after the
    // last one starts the next, so the arrow keys move among the options.
    void addControls(const shell::WindowSpec& spec, const std::map<std::string_view, int>& ids);
    HWND addControl(const shell::ControlSpec& spec, int id, DWORD extraStyle = 0);
    // The dialog font, or a bold / underlined variant of it, owned by the window.
    HFONT font(bool bold = false, bool underline = false);

    void setTextColour(int id, COLORREF colour);
    void setBackColour(int id, COLORREF colour);
    void setWindowColour(COLORREF colour);

    std::wstring text(int id) const;
    void setText(int id, const std::wstring& value);
    // A one-line text box's text; line breaks are dropped, as one line of the project cannot
    // hold them.
    std::string lineText(int id) const;
    bool checked(int id) const;
    void setChecked(int id, bool on);
    void setChoices(int id, const std::vector<std::string>& entries);
    // The chosen entry of a drop-down list, -1 when none.
    int choice(int id) const;
    void setChoice(int id, int index);

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<DWORD> buildTemplate(const std::wstring& caption, DWORD style) const;
    HBRUSH brushFor(COLORREF colour);
    INT_PTR colourMessage(HDC dc, HWND control);

    HWND hwnd_ = nullptr;
    std::map<int, HFONT> fonts_;
    std::map<int, COLORREF> textColours_;
    std::map<int, COLORREF> backColours_;
    std::map<COLORREF, HBRUSH> brushes_;
    bool hasWindowColour_ = false;
    COLORREF windowColour_ = 0;
};

} // namespace kelbo::win32
