// The two item dialogs: the string item dialog (text and numeric identifier of a STRING item)
// and the file item dialog (the .BMP, .ICO, .WAV, .CUR or any file of an item, its identifier,
// and for DATA its type).
//
// Keys, as a Windows user expects them: Enter presses the focused push button, and OK while no
// other button has the focus; Escape is Cancel; Enter in the folder list opens the folder.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "project/Project.h"
#include "shell/Platform.h"
#include "shell/View.h"

namespace kelbo::shell {

// The dialog's end; both close the dialog.
enum class DialogResult { Accepted, Cancelled };

// ---------------------------------------------------------------------------------------------
// String item dialog (controls of stringItemDialogSpec(): Text1 the text, Text2 the identifier).

class StringItemView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setIdentifier(const std::string& identifier) = 0;
    // Most characters (UTF-16 units) the user may type into the text box.
    virtual void setTextMaxLength(int characters) = 0;
    virtual std::string text() const = 0;
    virtual std::string identifier() const = 0;
    virtual void focusText() = 0;
    virtual void close(DialogResult result) = 0;
};

class StringItemPresenter {
public:
    // Adds a STRING line to the section on show when session.EditedLine is empty, otherwise
    // replaces the STRING line at `selectedIndex`.
    StringItemPresenter(Session& session, Platform& platform, int selectedIndex);

    static constexpr int kMaxTypedLength = 255;

    // Fills the view; called once, before the dialog shows.
    void attach(StringItemView& view);
    // OK (the button, or Enter while no other button has the focus): checks and, when the item
    // is good, stores it and closes; otherwise reports the fault and stays open.
    void ok();
    // Cancel, Escape or the frame: closes without a change.
    void cancel();
    bool accepted() const { return accepted_; }

private:
    Session& session_;
    Platform& platform_;
    int selectedIndex_;
    StringItemView* view_ = nullptr;
    bool accepted_ = false;
};

// ---------------------------------------------------------------------------------------------
// File item dialog (controls of fileItemDialogSpec()). The view owns the browsing controls: the
// drive list, the folder list and the file list, which it fills from the folder on show with the
// files matching the pattern. The presenter decides where the dialog opens, what is chosen and
// what OK stores.

class FileItemView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // The file pattern of the kind ("*.BMP"), for the file list.
    virtual void setPattern(const std::string& pattern) = 0;
    // Shows `folder` in the folder, drive and file lists and in the folder label etiRep; false
    // when it cannot be opened (nothing changes then). The folder on show is reported with
    // folderShown() after every call that succeeds, even when it stays the same, and after every
    // change the user makes.
    virtual bool showFolder(const std::string& folder) = 0;
    // The file-name label etiName: the pattern until a file is chosen. A file the user selects
    // in the list shows there by the view's own doing, and is reported with fileChosen().
    virtual void setFileName(const std::string& name) = 0;
    virtual void setIdentifier(const std::string& identifier) = 0;
    virtual std::string identifier() const = 0;
    // The picture of the file the two labels name, in PicTest; an empty box when the file is
    // no picture the kind can hold.
    virtual void previewChosenFile() = 0;
    // Play for WAVE items, the picture box for the others.
    virtual void showPlayButton(bool play) = 0;
    // DATA items: the type field (Label4, txtType) and the size label etiSize in place of the
    // picture box.
    virtual void showDataFields(bool data) = 0;
    virtual void setType(const std::string& type) = 0;
    virtual std::string type() const = 0;
    // etiSize: the chosen file's size, or empty.
    virtual void setFileSize(const std::string& text) = 0;
    virtual void focusFileList() = 0;
    virtual void close(DialogResult result) = 0;
};

class FileItemPresenter {
public:
    // Works on session.CurrentKind (any kind of file items): adds a line when session.EditedLine
    // is empty, otherwise replaces the line at `selectedIndex`. `fs` answers whether the chosen
    // file exists.
    FileItemPresenter(Session& session, Platform& platform, int selectedIndex,
                      FileSystem& fs = nativeFileSystem());

    void attach(FileItemView& view);

    // Reports from the view: the folder now on show, a file of the list selected or clicked.
    void folderShown(const std::string& folder);
    void fileChosen(const std::string& name);
    void play();
    void ok();
    void cancel();

    bool accepted() const { return accepted_; }
    ResourceKind kind() const { return kind_; }
    // The folder and file name the labels show.
    const std::string& folder() const { return folder_; }
    const std::string& fileName() const { return fileName_; }
    // The pattern of the kind: "*.BMP", "*.ICO", "*.WAV", "*.CUR" or "*.*".
    const std::string& pattern() const { return pattern_; }
    // The chosen file's full path, from the two labels.
    std::string fullPath() const;

private:
    void openOn(const std::string& folder);
    void showSize();

    Session& session_;
    Platform& platform_;
    FileSystem& fs_;
    int selectedIndex_;
    ResourceKind kind_;
    std::string pattern_;
    FileItemView* view_ = nullptr;
    // The type a DATA item gets when none is typed.
    static constexpr const char* kDefaultDataType = "CUSTOM";
    std::string folder_;
    std::string fileName_;
    bool accepted_ = false;
};

} // namespace kelbo::shell
