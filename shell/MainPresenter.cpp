#include "shell/MainPresenter.h"

#include <algorithm>

#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "peimage/PePatch.h"
#include "platform/PathRules.h"
#include "project/Listing.h"
#include "projectfile/ProjectCommands.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/Import.h"
#include "resreader/RcExport.h"

namespace kelbo::shell {

namespace {

const FileFilter kProjectFilter{"Resource Project (KBP)", {"*.KBP", "*.kbp"}};
const FileFilter kResFilter{"Res-File (RES)", {"*.RES", "*.res"}};
const FileFilter kImportFilter{"Resource File or Program (RES, EXE, DLL, OCX)",
                               {"*.RES", "*.EXE", "*.DLL", "*.OCX"}};
const FileFilter kProgramFilter{"Program (EXE, DLL, OCX)",
                                {"*.EXE", "*.exe", "*.DLL", "*.dll", "*.OCX", "*.ocx"}};
const FileFilter kScriptFilter{"Resource Script (RC)", {"*.RC"}};

// An import that writes more files than this shows its progress; a smaller one is over before
// a progress window could be read.
constexpr std::size_t kProgressThreshold = 300;
// A box lists this many warnings at most; the rest are counted.
constexpr std::size_t kWarningsShown = 20;

// "C:\RES\APP.RES" with "KBP" gives "C:\RES\APP.KBP"; a name without a suffix gets one.
std::string withSuffix(const std::string& path, std::string_view suffix) {
    const std::string name = fileNameOf(path);
    const std::size_t dot = name.rfind('.');
    const std::size_t cut =
        path.size() - name.size() + (dot == std::string::npos ? name.size() : dot);
    return path.substr(0, cut) + "." + std::string(suffix);
}

} // namespace

std::string commandLinePath(const std::vector<std::string>& arguments) {
    std::string text;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1)
            text += ' ';
        text += arguments[i];
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

MainPresenter::MainPresenter(Platform& platform, std::string exeDir, std::string recentFilesPath,
                             FileSystem& fs)
    : platform_(platform), fs_(fs), recentFilesPath_(std::move(recentFilesPath)) {
    session_.ExeDir = std::move(exeDir);
}

void MainPresenter::attach(MainView& view) {
    view_ = &view;
}

MainView& MainPresenter::view() {
    return *view_;
}

void MainPresenter::startUp(const std::string& commandLine) {
    changeTab(0);
    resetSection();
    showRecentFiles();
    session_.ProjectChanged = false;
    setCaption(std::string(kStartCaption));
    if (!commandLine.empty())
        directLoad(commandLine);
}

void MainPresenter::setCaption(std::string caption) {
    caption_ = std::move(caption);
    view().setCaption(caption_);
}

void MainPresenter::reloadList(ResourceKind kind, int keepSelection) {
    const LanguageSection& section = session_.current();
    const bool keep = keepSelection >= 0 && keepSelection < section.count(kind);
    view().showList(kind, section.lines(kind), keep ? keepSelection : -1);
}

void MainPresenter::reloadAllLists() {
    for (ResourceKind kind : tabKinds())
        reloadList(kind, -1);
}

void MainPresenter::showSection() {
    if (session_.CurrentSection < 0 || session_.CurrentSection >= session_.project.sectionCount())
        session_.CurrentSection = 0;
    view().showLanguages(languageCaptions(session_.project), session_.CurrentSection);
    reloadAllLists();
}

void MainPresenter::resetSection() {
    session_.CurrentSection = 0;
    showSection();
}

void MainPresenter::languageChosen(int index) {
    if (index < 0 || index >= session_.project.sectionCount() || index == session_.CurrentSection)
        return;
    session_.CurrentSection = index;
    reloadAllLists();
}

void MainPresenter::languagesClicked() {
    LanguagesPresenter dialog(session_, platform_);
    view().runLanguagesDialog(dialog);
    if (dialog.accepted())
        showSection();
}

void MainPresenter::changeTab(int n) {
    if (n < 0 || n >= static_cast<int>(tabKinds().size()))
        return;
    session_.CurrentKind = tabKinds()[n];
    view().showTab(session_.CurrentKind);
}

void MainPresenter::tabChosen(int index) {
    if (index >= 0)
        changeTab(index);
}

void MainPresenter::addClicked() {
    session_.EditedLine.clear();
    openItemDialog(view().selectedItem(session_.CurrentKind));
}

void MainPresenter::modifyClicked() {
    const int selected = view().selectedItem(session_.CurrentKind);
    if (selected < 0 || selected >= session_.current().count(session_.CurrentKind)) {
        showError(platform_, view_, kNoItemSelected);
        return;
    }
    session_.EditedLine = session_.current().line(session_.CurrentKind, selected);
    openItemDialog(selected);
}

void MainPresenter::openItemDialog(int selected) {
    const ResourceKind kind = session_.CurrentKind;
    if (kind == ResourceKind::String) {
        StringItemPresenter dialog(session_, platform_, selected);
        view().runStringItemDialog(dialog);
    } else {
        FileItemPresenter dialog(session_, platform_, selected, fs_);
        view().runFileItemDialog(dialog);
    }
    reloadList(kind, selected);
}

void MainPresenter::deleteClicked() {
    const ResourceKind kind = session_.CurrentKind;
    const int selected = view().selectedItem(kind);
    if (selected < 0)
        return;
    session_.removeItem(kind, selected);
    reloadList(kind, -1);
}

void MainPresenter::guardUnsavedChanges() {
    if (!session_.ProjectChanged)
        return;
    const BoxAnswer answer = platform_.messageBox(view_, "File has changed\r\nSave-it ?", "WARNING",
                                                  BoxIcon::Exclamation, BoxButtons::OkCancel);
    if (answer == BoxAnswer::Ok)
        saveClicked();
}

void MainPresenter::newClicked() {
    guardUnsavedChanges();
    newProject(session_);
    resetSection();
    setCaption(std::string(kNewCaption));
}

std::optional<std::string> MainPresenter::askFile(const FileDialogSpec& spec) {
    return platform_.fileDialog(view_, spec);
}

std::optional<std::string> MainPresenter::askProjectFile(bool save) {
    prepareProjectDialog(session_);
    FileDialogSpec spec;
    spec.save = save;
    spec.initialDir = folderForBrowsing(session_.ProjectDir);
    spec.initialFile = dialogFileName_;
    spec.filter = kProjectFilter;
    spec.defaultSuffix = "KBP";
    spec.confirmOverwrite = save;
    std::optional<std::string> path = askFile(spec);
    if (path)
        dialogFileName_ = *path;
    return path;
}

void MainPresenter::openClicked() {
    // Opening another project drops the current one, so unsaved work is offered for saving.
    guardUnsavedChanges();
    const std::optional<std::string> path = askProjectFile(false);
    if (!path)
        return;
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    loadProject(session_.ProjectPath);
    session_.ProjectChanged = false;
}

bool MainPresenter::saveAsClicked() {
    const std::optional<std::string> path = askProjectFile(true);
    if (!path)
        return false;
    // A file that could not be written does not become the project's file.
    const std::string formerPath = session_.ProjectPath;
    const std::string formerDir = session_.ProjectDir;
    const std::string formerCaption = caption_;
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    if (!saveProject(session_.ProjectPath)) {
        session_.ProjectPath = formerPath;
        session_.ProjectDir = formerDir;
        setCaption(formerCaption);
        return false;
    }
    session_.ProjectChanged = false;
    return true;
}

void MainPresenter::saveClicked() {
    if (session_.ProjectPath.empty())
        saveAsClicked();
    if (session_.ProjectPath.empty())
        return;
    if (saveProject(session_.ProjectPath))
        session_.ProjectChanged = false;
}

bool MainPresenter::saveProject(const std::string& path) {
    std::string error;
    if (SaveRC(session_, path, recentFilesPath_, error, fs_))
        return true;
    std::string text = "The project was not saved.";
    if (error.find(path) == std::string::npos)
        text += "\r\n" + path;
    text += "\r\n" + error;
    platform_.messageBox(view_, text, "ERROR", BoxIcon::Stop, BoxButtons::Ok);
    return false;
}

bool MainPresenter::loadProject(const std::string& path) {
    if (LoadRC(session_, path, fs_)) {
        resetSection();
        return true;
    }
    setCaption(std::string(kInvalidFileCaption));
    showError(platform_, view_, kInvalidProjectFile);
    return false;
}

void MainPresenter::directLoad(const std::string& path) {
    switch (DirectLoad(session_, path, fs_)) {
    case LoadOutcome::NothingToLoad:
        return;
    case LoadOutcome::Loaded:
        setCaption(session_.ProjectPath);
        resetSection();
        return;
    case LoadOutcome::Invalid:
        setCaption(std::string(kInvalidFileCaption));
        resetSection();
        showError(platform_, view_, kInvalidProjectFile);
        return;
    }
}

void MainPresenter::showRecentFiles() {
    const std::vector<std::string> paths = readRecentFiles(recentFilesPath_, fs_);
    const int count = std::min<int>(static_cast<int>(paths.size()), kMaxRecentFiles);
    std::vector<std::string> captions;
    for (int i = 0; i < count; ++i) {
        recentCaptions_[i] = recentItemCaption(i + 1, paths[i]);
        captions.push_back(recentCaptions_[i]);
    }
    if (!captions.empty())
        view().showRecentFiles(captions);
}

void MainPresenter::recentFileClicked(int number) {
    if (number < 1 || number > kMaxRecentFiles || recentCaptions_[number - 1].empty())
        return;
    guardUnsavedChanges();
    directLoad(pathFromRecentCaption(recentCaptions_[number - 1]));
}

std::vector<std::string> MainPresenter::printList(int nu) const {
    if (nu < 0 || nu >= static_cast<int>(tabKinds().size()))
        return {};
    return PrintList(session_.current(), tabKinds()[nu]);
}

void MainPresenter::printClicked() {
    // Cancel means no printout.
    const std::unique_ptr<Printer> printer = platform_.choosePrinter(view_);
    if (!printer)
        return;
    const CalendarDate today = platform_.today();
    const std::vector<std::string> lines = listingLines(
        session_.project, session_.ProjectPath, listingDate(today.year, today.month, today.day));
    std::string error;
    if (!printLines(*printer, lines, error))
        platform_.messageBox(view_, "The listing was not printed.\r\n" + error, "ERROR",
                             BoxIcon::Stop, BoxButtons::Ok);
}

void MainPresenter::exitClicked() {
    if (!closing_) {
        closing_ = true;
        guardUnsavedChanges();
    }
    // The end is immediate, whatever else is open.
    view().closeCompileLog();
    view().endProgram();
}

void MainPresenter::manifestClicked() {
    ManifestPresenter dialog(session_, platform_, fs_);
    view().runManifestDialog(dialog);
}

void MainPresenter::versionClicked() {
    VersionPresenter dialog(session_, platform_);
    view().runVersionDialog(dialog);
}

void MainPresenter::compileClicked(int bits) {
    if (CountItems(session_.project) == 0) {
        showError(platform_, view_, kNothingToCompile);
        return;
    }
    session_.CompileBits = static_cast<std::int16_t>(bits);
    askResFile();
    if (session_.ResFileName.empty())
        return;
    compile();
}

void MainPresenter::askResFile() {
    prepareResDialog(session_);
    FileDialogSpec spec;
    spec.save = true;
    spec.title = resDialogTitle(session_.CompileBits);
    spec.initialDir = folderForBrowsing(session_.ResDir);
    spec.filter = kResFilter;
    spec.defaultSuffix = "res";
    spec.confirmOverwrite = true;
    if (const std::optional<std::string> path = askFile(spec))
        takeResFile(session_, *path);
}

void MainPresenter::compile() {
    BusyPointer busy(platform_);
    CompileLogPresenter& window = view().openCompileLog();
    CompileLog& log = window.log();
    bool ok = CheckIdentifiers(session_.project, log) == 0;
    // The check's outcome is on screen while the writer runs.
    window.showLog();
    if (ok) {
        ok = session_.CompileBits == 16
                 ? Compile16(session_.project, session_.ResFileName, log, fs_)
                 : Compile32(session_.project, session_.ResFileName, log, fs_);
        window.showLog();
    }
    if (!ok)
        platform_.beep();
}

void MainPresenter::compileIntoProgramClicked() {
    if (CountItems(session_.project) == 0) {
        showError(platform_, view_, kNothingToCompile);
        return;
    }
    FileDialogSpec spec;
    spec.title = "Compile into Program";
    spec.initialDir = resourceFolder();
    spec.filter = kProgramFilter;
    spec.defaultSuffix = "EXE";
    if (const std::optional<std::string> path = askFile(spec))
        compileIntoProgram(*path);
}

void MainPresenter::compileIntoProgram(const std::string& programPath) {
    BusyPointer busy(platform_);
    CompileLogPresenter& window = view().openCompileLog();
    PatchOptions options;
    PatchResult result = kelbo::compileIntoProgram(session_.project, programPath, programPath,
                                                   options, window.log(), fs_);
    // A signature would no longer hold: it goes only when the user says so.
    if (result.refusedSigned) {
        window.showLog();
        const BoxAnswer answer = platform_.messageBox(
            view_,
            "The program is signed, and its signature would no longer hold.\r\nRemove the "
            "signature and write the resources? Sign the program again afterwards.\r\n" +
                programPath,
            "WARNING", BoxIcon::Exclamation, BoxButtons::OkCancel);
        if (answer != BoxAnswer::Ok)
            return;
        window.log().clear();
        options.unsign = true;
        result = kelbo::compileIntoProgram(session_.project, programPath, programPath, options,
                                           window.log(), fs_);
    }
    window.showLog();
    if (!result.ok)
        platform_.beep();
}

// Where a .RES or a program is looked for: the last .RES's folder, else the project's, else
// the program's own.
std::string MainPresenter::resourceFolder() const {
    const std::string& folder = !session_.ResDir.empty()       ? session_.ResDir
                                : !session_.ProjectDir.empty() ? session_.ProjectDir
                                                               : session_.ExeDir;
    return folderForBrowsing(folder);
}

std::optional<std::string> MainPresenter::askImportProject(const std::string& resPath) {
    FileDialogSpec spec;
    spec.save = true;
    spec.title = "Save the imported project as";
    spec.initialDir = folderForBrowsing(directoryOf(resPath));
    spec.initialFile = fileNameOf(withSuffix(resPath, "KBP"));
    spec.filter = kProjectFilter;
    spec.defaultSuffix = "KBP";
    spec.confirmOverwrite = true;
    return askFile(spec);
}

void MainPresenter::showWarnings(const std::vector<std::string>& warnings,
                                 const std::string& what) {
    if (warnings.empty())
        return;
    std::string text = what;
    const std::size_t shown = std::min(warnings.size(), kWarningsShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\r\n" + warnings[i];
    if (warnings.size() > shown)
        text += "\r\n\u2026 and " + std::to_string(warnings.size() - shown) + " more";
    platform_.messageBox(view_, text, "WARNING", BoxIcon::Exclamation, BoxButtons::Ok);
}

void MainPresenter::importResClicked() {
    // The imported project replaces the current one, so unsaved work is offered for saving.
    guardUnsavedChanges();
    FileDialogSpec spec;
    spec.title = "Import RES-File";
    spec.initialDir = resourceFolder();
    spec.filter = kImportFilter;
    spec.defaultSuffix = "RES";
    const std::optional<std::string> resPath = askFile(spec);
    if (!resPath)
        return;
    const std::optional<std::string> projectPath = askImportProject(*resPath);
    if (!projectPath)
        return;
    // The save dialog asked before an existing project is replaced; a files folder left
    // without its project is not the user's to lose unasked.
    const bool replace = fs_.fileExists(*projectPath);
    if (!replace && directoryExists(importFolderFor(*projectPath))) {
        platform_.messageBox(view_,
                             "Nothing was imported: the folder for the project's files exists "
                             "already.\r\n" +
                                 importFolderFor(*projectPath),
                             "ERROR", BoxIcon::Stop, BoxButtons::Ok);
        return;
    }
    ImportResult result;
    {
        BusyPointer busy(platform_);
        bool shown = false;
        const ImportProgress progress = [&](std::size_t done, std::size_t total) {
            if (total <= kProgressThreshold)
                return;
            shown = true;
            platform_.progress(view_, "Importing " + fileNameOf(*resPath), done, total);
        };
        result = importResFile(*resPath, *projectPath, replace, fs_, progress);
        if (shown)
            platform_.progressDone();
    }
    if (!result.ok) {
        platform_.messageBox(view_, "Nothing was imported.\r\n" + result.error, "ERROR",
                             BoxIcon::Stop, BoxButtons::Ok);
        return;
    }
    dialogFileName_ = *projectPath;
    takeProjectPath(session_, *projectPath);
    setCaption(session_.ProjectPath);
    if (loadProject(session_.ProjectPath))
        session_.ProjectChanged = false;
    showWarnings(result.warnings, "The project differs from the .RES file:");
}

void MainPresenter::exportRcClicked() {
    FileDialogSpec spec;
    spec.save = true;
    spec.title = "Export RC-File";
    spec.initialDir =
        folderForBrowsing(session_.ProjectDir.empty() ? session_.ExeDir : session_.ProjectDir);
    if (!session_.ProjectPath.empty())
        spec.initialFile = fileNameOf(withSuffix(session_.ProjectPath, "RC"));
    spec.filter = kScriptFilter;
    spec.defaultSuffix = "RC";
    spec.confirmOverwrite = true;
    const std::optional<std::string> path = askFile(spec);
    if (!path)
        return;
    const RcScript script = exportRcScript(session_.project, *path, fs_);
    if (!script.ok) {
        platform_.messageBox(view_, "The script was not written.\r\n" + script.error, "ERROR",
                             BoxIcon::Stop, BoxButtons::Ok);
        return;
    }
    showWarnings(script.warnings, "The script was written with these changes:");
}

void MainPresenter::helpClicked() {
    HelpPresenter help;
    view().runHelp(help);
}

void MainPresenter::aboutClicked() {
    AboutPresenter about;
    view().runAbout(about);
}

} // namespace kelbo::shell
