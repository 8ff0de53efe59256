// The file item dialog on Win32, a view of the FileItemPresenter: the drive list, the directory
// list and the matching files of the folder, the preview of the chosen picture or cursor, and
// for DATA items the type and the file's size.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/ItemDialogs.h"
#include "win32/DialogWindow.h"

namespace kelbo::win32 {

class FileItemDialog : public DialogWindow, public shell::FileItemView {
public:
    explicit FileItemDialog(shell::FileItemPresenter& presenter) : presenter_(presenter) {}
    ~FileItemDialog() override;
    // Returns when the dialog is closed.
    void run(HWND owner);

    void setCaption(const std::string& caption) override;
    void setPattern(const std::string& pattern) override;
    bool showFolder(const std::string& folder) override;
    void setFileName(const std::string& name) override;
    void setIdentifier(const std::string& identifier) override;
    std::string identifier() const override;
    void previewChosenFile() override;
    void showPlayButton(bool play) override;
    void showDataFields(bool data) override;
    void setType(const std::string& type) override;
    std::string type() const override;
    void setFileSize(const std::string& text) override;
    void focusFileList() override;
    void close(shell::DialogResult result) override;

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
    // Moves to `folder`; false (and nothing changes) when it is no readable folder.
    bool setFolder(const std::wstring& folder);
    void openDirEntry();
    void driveChosen();
    void fileSelected();
    void clearPreview();
    // The first image of a cursor file and where its hot spot is.
    void loadCursor(const std::string& bytes);
    void showFields();
    std::string oneField(int id) const;

    shell::FileItemPresenter& presenter_;
    std::wstring pattern_;
    std::wstring folder_;
    // What each line of the directory list stands for.
    std::vector<std::wstring> dirEntries_;
    std::vector<std::wstring> drives_;
    // Last folder shown on each drive while the dialog is open.
    std::map<std::wstring, std::wstring> driveFolders_;
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    HCURSOR cursor_ = nullptr;
    int cursorWidth_ = 0;
    int cursorHeight_ = 0;
    POINT hotSpot_{};
    bool play_ = false;
    bool data_ = false;
};

} // namespace kelbo::win32
