// The file item dialog: picks the .BMP, .ICO or .WAV file of one item and its identifier, with
// a drive list, a directory list and the matching files of the folder.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "project/Project.h"
#include "win32/DialogWindow.h"
#include "win32/Win32Platform.h"

namespace kelbo::win32 {

class FileItemDialog : public DialogWindow {
public:
    // Works on session.CurrentKind (BITMAP, ICON or WAVE): adds a line when session.EditedLine
    // is empty, otherwise replaces the line at `selectedIndex`.
    FileItemDialog(Session& session, Win32Platform& platform, int selectedIndex);
    ~FileItemDialog() override;
    // True when OK stored the line.
    bool run(HWND owner);

    // The root of a folder: "C:\" or "\\server\share\".
    static std::wstring rootOf(const std::wstring& folder);

private:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void onDestroy() override;
    static LRESULT CALLBACK dirListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclass, DWORD_PTR data);

    void fillDrives();
    void openOn(const std::wstring& folder);
    // Moves to `folder`; false (and nothing changes) when it is no readable folder.
    bool setFolder(const std::wstring& folder);
    void openDirEntry();
    void driveChosen();
    void fileSelected();
    void loadPreview(const std::wstring& path);
    void clearPreview();
    void accept();
    std::wstring fullPath() const;

    Session& session_;
    Win32Platform& platform_;
    int selectedIndex_;
    ResourceKind kind_;
    std::wstring pattern_;
    std::wstring folder_;
    // What each line of the directory list stands for.
    std::vector<std::wstring> dirEntries_;
    std::vector<std::wstring> drives_;
    // Last folder shown on each drive while the dialog is open.
    std::map<std::wstring, std::wstring> driveFolders_;
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
};

} // namespace kelbo::win32
