// The Project menu's dialogs: the manifest (none, a file, or generated from a few settings) and
// the version information. Each edits the whole MANIFEST or VERSION kind of the language on show
// (Session::current()): OK
// checks what was entered with the compiler's own rules and stores it, Cancel leaves the project
// as it was. The project counts as changed only when what OK stores differs from what it held.
//
// Keys, as in every dialog: Enter presses the focused push button, and OK while no other button
// has the focus; Escape is Cancel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Languages.h"
#include "project/Project.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/VersionInfo.h"
#include "shell/ItemDialogs.h"
#include "shell/Platform.h"
#include "shell/View.h"

namespace kelbo::shell {

// ---------------------------------------------------------------------------------------------
// Manifest dialog (controls of manifestDialogSpec()).

enum class ManifestSource { None, File, Generated };

// The choices of the two combo boxes, in their order; the first is "not stated" (no element).
std::vector<std::string> dpiChoices();
std::vector<std::string> levelChoices();

class ManifestView : public View {
public:
    virtual void setCaption(const std::string& caption) = 0;
    // Fills cboDpi and cboLevel; called once, before any setting.
    virtual void setChoices(const std::vector<std::string>& dpi,
                            const std::vector<std::string>& levels) = 0;

    // The option buttons optNone, optFile and optGenerated. A click on one is reported with
    // ManifestPresenter::sourceChosen().
    virtual void setSource(ManifestSource source) = 0;
    virtual ManifestSource source() const = 0;
    virtual void setFilePath(const std::string& path) = 0;
    virtual std::string filePath() const = 0;
    virtual void setCommonControls(bool on) = 0;
    virtual bool commonControls() const = 0;
    // Index into dpiChoices() / levelChoices().
    virtual void setDpiChoice(int index) = 0;
    virtual int dpiChoice() const = 0;
    virtual void setLevelChoice(int index) = 0;
    virtual int levelChoice() const = 0;
    virtual void setSupportedOs(bool on) = 0;
    virtual bool supportedOs() const = 0;
    virtual void setAssemblyName(const std::string& name) = 0;
    virtual std::string assemblyName() const = 0;
    virtual void setAssemblyVersion(const std::string& version) = 0;
    virtual std::string assemblyVersion() const = 0;
    virtual void setDescription(const std::string& description) = 0;
    virtual std::string description() const = 0;
    virtual void setDll(bool on) = 0;
    virtual bool dll() const = 0;

    // txtFile and cmdBrowse are enabled with `file`, the generator's controls with `generated`.
    virtual void enableControls(bool file, bool generated) = 0;
    // The read-only txtXml: the manifest as it will be written, in UTF-8 (its own line ends).
    virtual void showXml(const std::string& utf8) = 0;
    virtual void close(DialogResult result) = 0;
};

class ManifestPresenter {
public:
    ManifestPresenter(Session& session, Platform& platform, FileSystem& fs = nativeFileSystem());

    // Fills the view from the project's MANIFEST lines; called once, before the dialog shows.
    void attach(ManifestView& view);
    // An option button was chosen.
    void sourceChosen();
    // Any other control changed: the XML on show follows.
    void settingChanged();
    // cmdBrowse: a file dialog for the manifest file.
    void browse();
    void ok();
    void cancel();

    bool accepted() const { return accepted_; }
    // The text txtXml shows for the view's present settings.
    const std::string& xml() const { return xml_; }

private:
    // The settings the view holds, or nothing (with the box already shown when `report`).
    std::optional<Project::Lines> linesOfView(bool report);
    void refresh();

    Session& session_;
    Platform& platform_;
    FileSystem& fs_;
    ManifestView* view_ = nullptr;
    std::string xml_;
    bool accepted_ = false;
};

// ---------------------------------------------------------------------------------------------
// Version dialog (controls of versionDialogSpec()).

// The ten string fields, in the order of txtString0 to txtString9.
inline constexpr int kVersionStringCount = 10;
const std::vector<std::string>& versionStringKeys();

// The language combo box offers the common languages.
using kelbo::commonLanguages;
using kelbo::LanguageChoice;
struct CodePageChoice {
    std::uint16_t codePage;
    std::string name;
};
const std::vector<CodePageChoice>& commonCodePages();

class VersionView : public View {
public:
    enum Field { FileVersion = 0, ProductVersion = 1 };

    virtual void setCaption(const std::string& caption) = 0;
    // Fills cboFileType, cboLanguage and cboCodePage; called before any setting.
    virtual void setChoices(const std::vector<std::string>& fileTypes,
                            const std::vector<std::string>& languages,
                            const std::vector<std::string>& codePages) = 0;
    // txtFile0..3 and txtProduct0..3; each takes at most five characters.
    virtual void setVersionPart(Field field, int part, const std::string& text) = 0;
    virtual std::string versionPart(Field field, int part) const = 0;
    virtual void setStringsFromNumbers(bool on) = 0;
    virtual bool stringsFromNumbers() const = 0;
    virtual void setFileType(int index) = 0;
    virtual int fileType() const = 0;
    virtual void setLanguage(int index) = 0;
    virtual int language() const = 0;
    virtual void setCodePage(int index) = 0;
    virtual int codePage() const = 0;
    // txtString0..9, in the order of versionStringKeys().
    virtual void setString(int index, const std::string& text) = 0;
    virtual std::string string(int index) const = 0;
    virtual void close(DialogResult result) = 0;
};

class VersionPresenter {
public:
    VersionPresenter(Session& session, Platform& platform);

    void attach(VersionView& view);
    void ok();
    void cancel();
    bool accepted() const { return accepted_; }

    // The combo boxes' entries: the common ones, then the project's own when it is none of them.
    const std::vector<std::uint16_t>& languages() const { return languages_; }
    const std::vector<std::uint16_t>& codePages() const { return codePages_; }

private:
    Session& session_;
    Platform& platform_;
    VersionView* view_ = nullptr;
    VersionSettings original_;
    std::vector<std::uint16_t> languages_;
    std::vector<std::uint16_t> codePages_;
    bool accepted_ = false;
};

// An input error found by the compiler's checks: one beep, then a box with the stop icon,
// "ERROR <code>" as title, the code's message and the problem below it.
void showProblem(Platform& platform, View* owner, int code, const std::string& problem);

} // namespace kelbo::shell
