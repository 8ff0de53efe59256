// The presenters without any toolkit: a platform and views that record what they are told and
// answer from a script.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/MainPresenter.h"

namespace kelbo::test {

using namespace kelbo::shell;

// A printer of fixed metrics that keeps what was drawn, page by page.
class ScriptedPrinter : public Printer {
public:
    struct Text {
        int x;
        int baseline;
        std::string text;
    };
    int height = 100;
    bool startFails = false;
    std::vector<std::vector<Text>> pages;
    bool ended = false;

    bool begin(std::string&) override {
        if (startFails)
            return false;
        pages.emplace_back();
        return true;
    }
    int pageHeight() const override { return height; }
    int lineHeight() const override { return 10; }
    int ascent() const override { return 8; }
    int averageCharWidth() const override { return 2; }
    int textWidth(std::string_view text) const override {
        return 2 * static_cast<int>(text.size());
    }
    void drawText(int x, int baseline, std::string_view text) override {
        pages.back().push_back({x, baseline, std::string(text)});
    }
    bool newPage() override {
        pages.emplace_back();
        return true;
    }
    bool end() override {
        ended = true;
        return true;
    }
};

class ScriptedPlatform : public Platform {
    // What the presenter gets and drops after printing: the platform's own printer, borrowed.
    class Borrowed : public Printer {
    public:
        explicit Borrowed(Printer& to) : to_(to) {}
        bool begin(std::string& error) override { return to_.begin(error); }
        int pageHeight() const override { return to_.pageHeight(); }
        int lineHeight() const override { return to_.lineHeight(); }
        int ascent() const override { return to_.ascent(); }
        int averageCharWidth() const override { return to_.averageCharWidth(); }
        int textWidth(std::string_view text) const override { return to_.textWidth(text); }
        void drawText(int x, int baseline, std::string_view text) override {
            to_.drawText(x, baseline, text);
        }
        bool newPage() override { return to_.newPage(); }
        bool end() override { return to_.end(); }

    private:
        Printer& to_;
    };

public:
    struct Box {
        std::string text;
        std::string title;
        BoxIcon icon;
        BoxButtons buttons;
        View* owner;
    };

    // Answers, taken in order; an empty queue answers Ok / cancels the dialog.
    std::deque<BoxAnswer> boxAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    // The printer the print dialog chooses; none: the user cancels it. The platform keeps it,
    // so that tests can read it after the printout.
    std::unique_ptr<ScriptedPrinter> printer;

    std::vector<Box> boxes;
    std::vector<FileDialogSpec> fileDialogs;
    std::vector<std::string> sounds;
    int beeps = 0;
    int busyDepth = 0;
    int busyCalls = 0;
    // Events in the order they happened: "beep", "box", "file", "print", "sound", "progress",
    // "progress done".
    std::vector<std::string> events;

    void answerFile(std::string path) { fileAnswers.push_back(std::move(path)); }

    void beep() override {
        ++beeps;
        events.push_back("beep");
    }
    BoxAnswer messageBox(View* owner, const std::string& text, const std::string& title,
                         BoxIcon icon, BoxButtons buttons) override {
        boxes.push_back({text, title, icon, buttons, owner});
        events.push_back("box");
        if (boxAnswers.empty())
            return BoxAnswer::Ok;
        const BoxAnswer answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> fileDialog(View*, const FileDialogSpec& spec) override {
        fileDialogs.push_back(spec);
        events.push_back("file");
        if (fileAnswers.empty())
            return std::nullopt;
        std::optional<std::string> answer = std::move(fileAnswers.front());
        fileAnswers.pop_front();
        return answer;
    }
    std::unique_ptr<Printer> choosePrinter(View*) override {
        events.push_back("print");
        if (!printer)
            return nullptr;
        return std::make_unique<Borrowed>(*printer);
    }
    void playSound(const std::string& path) override {
        sounds.push_back(path);
        events.push_back("sound");
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        ++busyCalls;
    }
    CalendarDate today() override { return {2026, 3, 7}; }
    void progress(View*, const std::string& title, std::size_t done, std::size_t total) override {
        if (!progressOpen)
            events.push_back("progress");
        progressOpen = true;
        progressTitle = title;
        progressSteps.push_back({done, total});
    }
    void progressDone() override {
        progressOpen = false;
        events.push_back("progress done");
    }

    bool progressOpen = false;
    std::string progressTitle;
    std::vector<std::pair<std::size_t, std::size_t>> progressSteps;
};

// The item dialogs' views keep the boxes' contents as the user would see and type them.
class ScriptedStringView : public StringItemView {
public:
    std::string caption;
    std::string textBox;
    std::string identifierBox;
    int maxLength = 0;
    bool textFocused = false;
    std::optional<DialogResult> result;

    void setCaption(const std::string& c) override { caption = c; }
    void setText(const std::string& t) override { textBox = t; }
    void setIdentifier(const std::string& i) override { identifierBox = i; }
    void setTextMaxLength(int n) override { maxLength = n; }
    std::string text() const override { return textBox; }
    std::string identifier() const override { return identifierBox; }
    void focusText() override { textFocused = true; }
    void close(DialogResult r) override { result = r; }
};

// Folders are opened from a list of those that exist; what is on show is reported back the way
// a real folder list does.
class ScriptedFileView : public FileItemView {
public:
    explicit ScriptedFileView(std::vector<std::string> folders = {})
        : folders(std::move(folders)) {}

    FileItemPresenter* presenter = nullptr;
    std::vector<std::string> folders;
    std::string caption;
    std::string pattern;
    std::string shownFolder;
    std::vector<std::string> foldersAsked;
    std::string fileLabel;
    std::string identifierBox;
    bool play = false;
    bool dataFields = false;
    std::string typeBox;
    std::string sizeLabel;
    int previews = 0;
    bool listFocused = false;
    std::optional<DialogResult> result;

    void setCaption(const std::string& c) override { caption = c; }
    void setPattern(const std::string& p) override { pattern = p; }
    bool showFolder(const std::string& folder) override {
        foldersAsked.push_back(folder);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            return false;
        shownFolder = folder;
        if (presenter)
            presenter->folderShown(folder);
        return true;
    }
    void setFileName(const std::string& name) override { fileLabel = name; }
    void setIdentifier(const std::string& i) override { identifierBox = i; }
    std::string identifier() const override { return identifierBox; }
    void previewChosenFile() override { ++previews; }
    void showPlayButton(bool p) override { play = p; }
    void showDataFields(bool d) override { dataFields = d; }
    void setType(const std::string& t) override { typeBox = t; }
    std::string type() const override { return typeBox; }
    void setFileSize(const std::string& t) override { sizeLabel = t; }
    void focusFileList() override { listFocused = true; }
    void close(DialogResult r) override { result = r; }

    // The user picks a file of the list.
    void choose(const std::string& name) {
        fileLabel = name;
        presenter->fileChosen(name);
    }
};

// The controls of the manifest dialog as plain values.
class ScriptedManifestView : public ManifestView {
public:
    std::string caption;
    std::vector<std::string> dpiItems, levelItems;
    ManifestSource sourceValue = ManifestSource::None;
    std::string path, name, version, descriptionBox;
    bool controls = false, os = false, dllBox = false;
    int dpi = -1, level = -1;
    bool fileEnabled = false, generatorEnabled = false;
    std::string xml;
    std::optional<DialogResult> result;

    void setCaption(const std::string& c) override { caption = c; }
    void setChoices(const std::vector<std::string>& d, const std::vector<std::string>& l) override {
        dpiItems = d;
        levelItems = l;
    }
    void setSource(ManifestSource s) override { sourceValue = s; }
    ManifestSource source() const override { return sourceValue; }
    void setFilePath(const std::string& p) override { path = p; }
    std::string filePath() const override { return path; }
    void setCommonControls(bool on) override { controls = on; }
    bool commonControls() const override { return controls; }
    void setDpiChoice(int i) override { dpi = i; }
    int dpiChoice() const override { return dpi; }
    void setLevelChoice(int i) override { level = i; }
    int levelChoice() const override { return level; }
    void setSupportedOs(bool on) override { os = on; }
    bool supportedOs() const override { return os; }
    void setAssemblyName(const std::string& n) override { name = n; }
    std::string assemblyName() const override { return name; }
    void setAssemblyVersion(const std::string& v) override { version = v; }
    std::string assemblyVersion() const override { return version; }
    void setDescription(const std::string& d) override { descriptionBox = d; }
    std::string description() const override { return descriptionBox; }
    void setDll(bool on) override { dllBox = on; }
    bool dll() const override { return dllBox; }
    void enableControls(bool file, bool generated) override {
        fileEnabled = file;
        generatorEnabled = generated;
    }
    void showXml(const std::string& utf8) override { xml = utf8; }
    void close(DialogResult r) override { result = r; }
};

class ScriptedVersionView : public VersionView {
public:
    std::string caption;
    std::vector<std::string> fileTypes, languages, codePages;
    std::string parts[2][4];
    bool fromNumbers = false;
    int fileTypeIndex = -1, languageIndex = -1, codePageIndex = -1;
    std::string strings[kVersionStringCount];
    std::optional<DialogResult> result;

    void setCaption(const std::string& c) override { caption = c; }
    void setChoices(const std::vector<std::string>& f, const std::vector<std::string>& l,
                    const std::vector<std::string>& c) override {
        fileTypes = f;
        languages = l;
        codePages = c;
    }
    void setVersionPart(Field f, int part, const std::string& t) override { parts[f][part] = t; }
    std::string versionPart(Field f, int part) const override { return parts[f][part]; }
    void setStringsFromNumbers(bool on) override { fromNumbers = on; }
    bool stringsFromNumbers() const override { return fromNumbers; }
    void setFileType(int i) override { fileTypeIndex = i; }
    int fileType() const override { return fileTypeIndex; }
    void setLanguage(int i) override { languageIndex = i; }
    int language() const override { return languageIndex; }
    void setCodePage(int i) override { codePageIndex = i; }
    int codePage() const override { return codePageIndex; }
    void setString(int i, const std::string& t) override { strings[i] = t; }
    std::string string(int i) const override { return strings[i]; }
    void close(DialogResult r) override { result = r; }
};

class ScriptedLanguagesView : public LanguagesView {
public:
    std::string caption;
    std::vector<std::string> languages;
    int selected = -1;
    std::vector<std::string> choices;
    int choiceIndex = -1;
    std::string codeBox;
    std::string copyCaption;
    std::map<ResourceKind, bool> copy;
    bool removeEnabled = false;
    std::optional<DialogResult> result;

    void setCaption(const std::string& c) override { caption = c; }
    void showLanguages(const std::vector<std::string>& captions, int select) override {
        languages = captions;
        selected = select;
    }
    int selectedLanguage() const override { return selected; }
    void setChoices(const std::vector<std::string>& c) override { choices = c; }
    void setChoice(int i) override { choiceIndex = i; }
    int choice() const override { return choiceIndex; }
    void setCode(const std::string& c) override { codeBox = c; }
    std::string code() const override { return codeBox; }
    void setCopyCaption(const std::string& c) override { copyCaption = c; }
    void setCopyKind(ResourceKind kind, bool on) override { copy[kind] = on; }
    bool copyKind(ResourceKind kind) const override {
        auto it = copy.find(kind);
        return it != copy.end() && it->second;
    }
    void enableRemove(bool on) override { removeEnabled = on; }
    void close(DialogResult r) override { result = r; }
};

class ScriptedMainView : public MainView {
public:
    std::string caption;
    std::vector<std::string> captions;
    std::optional<ResourceKind> tab;
    std::map<ResourceKind, std::vector<std::string>> lists;
    std::map<ResourceKind, int> selection;
    std::vector<std::string> recentItems;
    std::vector<std::string> languages;
    int language = -1;
    bool ended = false;
    int compileLogOpenings = 0;
    bool compileLogOpen = false;
    // Windows opened, in order: "frmString", "frmLoad", "frmHelp", "frmAbout".
    std::vector<std::string> modals;

    // What the user does in each modal window; by default it is closed at once.
    std::function<void(StringItemPresenter&, ScriptedStringView&)> onStringDialog;
    std::function<void(FileItemPresenter&, ScriptedFileView&)> onFileDialog;
    std::function<void(HelpPresenter&)> onHelp;
    std::function<void(ManifestPresenter&, ScriptedManifestView&)> onManifestDialog;
    std::function<void(VersionPresenter&, ScriptedVersionView&)> onVersionDialog;
    std::function<void(LanguagesPresenter&, ScriptedLanguagesView&)> onLanguagesDialog;
    std::vector<std::string> fileDialogFolders;

    struct LogWindow : CompileLogView {
        std::string text;
        bool closed = false;
        void setLogText(const std::string& t) override { text = t; }
        void close() override { closed = true; }
    };
    LogWindow logWindow;
    std::unique_ptr<CompileLogPresenter> log;

    void setCaption(const std::string& c) override {
        caption = c;
        captions.push_back(c);
    }
    void showTab(ResourceKind kind) override { tab = kind; }
    void showList(ResourceKind kind, const std::vector<std::string>& lines, int select) override {
        lists[kind] = lines;
        selection[kind] = select;
    }
    void showLanguages(const std::vector<std::string>& captions, int current) override {
        languages = captions;
        language = current;
    }
    int selectedItem(ResourceKind kind) const override {
        auto it = selection.find(kind);
        return it == selection.end() ? -1 : it->second;
    }
    void showRecentFiles(const std::vector<std::string>& items) override { recentItems = items; }
    void runStringItemDialog(StringItemPresenter& presenter) override {
        runScripted("frmString", presenter, onStringDialog);
    }
    void runFileItemDialog(FileItemPresenter& presenter) override {
        modals.push_back("frmLoad");
        ScriptedFileView dialog(fileDialogFolders);
        dialog.presenter = &presenter;
        presenter.attach(dialog);
        if (onFileDialog)
            onFileDialog(presenter, dialog);
    }
    void runManifestDialog(ManifestPresenter& presenter) override {
        runScripted("frmManifest", presenter, onManifestDialog);
    }
    void runVersionDialog(VersionPresenter& presenter) override {
        runScripted("frmVersion", presenter, onVersionDialog);
    }
    void runLanguagesDialog(LanguagesPresenter& presenter) override {
        runScripted("frmLanguages", presenter, onLanguagesDialog);
    }
    void runHelp(HelpPresenter& presenter) override {
        modals.push_back("frmHelp");
        if (onHelp)
            onHelp(presenter);
    }
    void runAbout(AboutPresenter&) override { modals.push_back("frmAbout"); }
    CompileLogPresenter& openCompileLog() override {
        ++compileLogOpenings;
        if (!log) {
            log = std::make_unique<CompileLogPresenter>();
            log->attach(logWindow);
        }
        compileLogOpen = true;
        return *log;
    }
    void closeCompileLog() override { compileLogOpen = false; }
    void endProgram() override { ended = true; }

private:
    // A modal dialog on a scripted view: noted, filled by its presenter, then worked by the hook.
    template <typename ViewType, typename Presenter>
    void runScripted(const char* name, Presenter& presenter,
                     const std::function<void(Presenter&, ViewType&)>& hook) {
        modals.push_back(name);
        ViewType dialog;
        presenter.attach(dialog);
        if (hook)
            hook(presenter, dialog);
    }
};

} // namespace kelbo::test
