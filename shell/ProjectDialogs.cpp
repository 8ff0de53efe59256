#include "shell/ProjectDialogs.h"

#include <algorithm>

#include "messages/ErrorCodes.h"
#include "platform/PathRules.h"
#include "platform/Unicode.h"
#include "rescompiler/ItemLine.h"

namespace kelbo::shell {

namespace {

const FileFilter kManifestFilter{"Manifest (MANIFEST, XML)",
                                 {"*.manifest", "*.MANIFEST", "*.xml", "*.XML"}};

// The combo entries after "not stated", in the order of the enumerations.
constexpr DpiAwareness kDpiValues[] = {DpiAwareness::Unaware, DpiAwareness::System,
                                       DpiAwareness::PerMonitor, DpiAwareness::PerMonitorV2};
constexpr ExecutionLevel kLevelValues[] = {ExecutionLevel::AsInvoker,
                                           ExecutionLevel::HighestAvailable,
                                           ExecutionLevel::RequireAdministrator};
constexpr const char* kNotStated = "(not stated)";

template <typename T, std::size_t N>
int choiceOf(const std::optional<T>& value, const T (&values)[N]) {
    if (!value)
        return 0;
    const auto* found = std::find(std::begin(values), std::end(values), *value);
    return found == std::end(values) ? 0 : static_cast<int>(found - std::begin(values)) + 1;
}

template <typename T, std::size_t N> std::optional<T> valueOf(int choice, const T (&values)[N]) {
    if (choice < 1 || choice > static_cast<int>(N))
        return std::nullopt;
    return values[choice - 1];
}

std::string problemText(const std::string& line, const std::string& problem) {
    return line.empty() ? problem : line + "\r\n" + problem;
}

// What the stored manifest lines set; nothing when the kind is empty or its lines are bad.
std::optional<ManifestSettings> storedManifest(const Project::Lines& lines,
                                               ManifestProblem& problem) {
    if (lines.empty())
        return std::nullopt;
    return parseManifest(lines, problem);
}

const VersionString* findString(const VersionSettings& s, std::string_view key) {
    for (const VersionString& entry : s.strings)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

// The string of a version number spells it in full: "1.2.0.0", not "1.2".
bool spelledInFull(const VersionSettings& s, std::string_view key, const VersionNumber& number) {
    const VersionString* entry = findString(s, key);
    return !entry || entry->value == versionText(number);
}

} // namespace

void showProblem(Platform& platform, View* owner, int code, const std::string& problem) {
    platform.beep();
    platform.messageBox(owner, errorMessage(code) + "\r\n" + problem, errorTitle(code),
                        BoxIcon::Stop, BoxButtons::Ok);
}

// --- Manifest dialog -------------------------------------------------------------------------

std::vector<std::string> dpiChoices() {
    return {kNotStated, "unaware", "system", "per monitor", "per monitor v2"};
}

std::vector<std::string> levelChoices() {
    return {kNotStated, "asInvoker", "highestAvailable", "requireAdministrator"};
}

ManifestPresenter::ManifestPresenter(Session& session, Platform& platform, FileSystem& fs)
    : session_(session), platform_(platform), fs_(fs) {}

void ManifestPresenter::attach(ManifestView& view) {
    view_ = &view;
    view.setCaption("  MANIFEST");
    view.setChoices(dpiChoices(), levelChoices());
    const Project::Lines& lines = session_.current().lines(ResourceKind::Manifest);
    ManifestProblem problem;
    const std::optional<ManifestSettings> stored = storedManifest(lines, problem);
    if (!lines.empty() && !stored)
        showProblem(platform_, view_, kBadManifest, problemText(problem.line, problem.problem));
    const ManifestSettings settings = stored.value_or(ManifestSettings{});
    view.setSource(!stored         ? ManifestSource::None
                   : settings.file ? ManifestSource::File
                                   : ManifestSource::Generated);
    view.setFilePath(settings.file.value_or(std::string()));
    view.setCommonControls(settings.commonControls);
    view.setDpiChoice(choiceOf(settings.dpi, kDpiValues));
    view.setLevelChoice(choiceOf(settings.level, kLevelValues));
    view.setSupportedOs(settings.supportedOs);
    view.setAssemblyName(settings.name);
    view.setAssemblyVersion(settings.version);
    view.setDescription(settings.description);
    view.setDll(settings.id == kManifestIdLibrary);
    refresh();
}

std::optional<Project::Lines> ManifestPresenter::linesOfView(bool report) {
    const ManifestSource source = view_->source();
    if (source == ManifestSource::None)
        return Project::Lines{};
    ManifestSettings settings;
    settings.id = view_->dll() ? kManifestIdLibrary : kManifestIdProgram;
    if (source == ManifestSource::File) {
        const std::string path(trimSpaces(view_->filePath()));
        if (path.empty()) {
            if (report)
                showProblem(platform_, view_, kBadManifest, "No manifest file chosen");
            return std::nullopt;
        }
        settings.file = path;
    } else {
        settings.name = std::string(trimSpaces(view_->assemblyName()));
        settings.version = std::string(trimSpaces(view_->assemblyVersion()));
        settings.description = std::string(trimSpaces(view_->description()));
        settings.commonControls = view_->commonControls();
        settings.dpi = valueOf(view_->dpiChoice(), kDpiValues);
        settings.level = valueOf(view_->levelChoice(), kLevelValues);
        settings.supportedOs = view_->supportedOs();
    }
    Project::Lines lines = manifestLines(settings);
    // The compiler's own reading decides, file included: what OK accepts compiles.
    ManifestProblem problem;
    if (!buildManifest(lines, fs_, problem)) {
        if (report)
            showProblem(platform_, view_, kBadManifest, problemText(problem.line, problem.problem));
        return std::nullopt;
    }
    return lines;
}

void ManifestPresenter::refresh() {
    const ManifestSource source = view_->source();
    view_->enableControls(source == ManifestSource::File, source == ManifestSource::Generated);
    xml_.clear();
    if (const std::optional<Project::Lines> lines = linesOfView(false); lines && !lines->empty()) {
        ManifestProblem problem;
        if (std::optional<ManifestResource> resource = buildManifest(*lines, fs_, problem))
            xml_ = std::move(resource->data);
    }
    view_->showXml(xml_);
}

void ManifestPresenter::sourceChosen() {
    if (view_)
        refresh();
}

void ManifestPresenter::settingChanged() {
    if (view_)
        refresh();
}

void ManifestPresenter::browse() {
    if (!view_)
        return;
    FileDialogSpec spec;
    spec.title = "Manifest file";
    const std::string current = view_->filePath();
    const std::string folder = !current.empty()               ? directoryOf(current)
                               : !session_.ProjectDir.empty() ? session_.ProjectDir
                                                              : session_.ExeDir;
    spec.initialDir = folderForBrowsing(folder);
    spec.filter = kManifestFilter;
    const std::optional<std::string> chosen = platform_.fileDialog(view_, spec);
    if (!chosen)
        return;
    view_->setFilePath(*chosen);
    view_->setSource(ManifestSource::File);
    refresh();
}

void ManifestPresenter::ok() {
    if (!view_)
        return;
    const std::optional<Project::Lines> lines = linesOfView(true);
    if (!lines)
        return;
    // Lines that say the same in other words are left as they are.
    const Project::Lines& stored = session_.current().lines(ResourceKind::Manifest);
    ManifestProblem problem;
    const std::optional<ManifestSettings> before = storedManifest(stored, problem);
    const bool same = stored.empty() ? lines->empty() : before && manifestLines(*before) == *lines;
    if (!same)
        session_.setLines(ResourceKind::Manifest, *lines);
    accepted_ = true;
    view_->close(DialogResult::Accepted);
}

void ManifestPresenter::cancel() {
    if (view_)
        view_->close(DialogResult::Cancelled);
}

// --- Version dialog --------------------------------------------------------------------------

const std::vector<std::string>& versionStringKeys() {
    static const std::vector<std::string> keys = {
        "Comments",        "CompanyName",      "FileDescription", "InternalName", "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "PrivateBuild",    "ProductName",  "SpecialBuild"};
    return keys;
}

const std::vector<CodePageChoice>& commonCodePages() {
    static const std::vector<CodePageChoice> pages = {
        {1252, "Western European (Windows)"},
        {1200, "Unicode"},
        {0, "7-bit ASCII"},
        {1250, "Central European"},
        {1251, "Cyrillic"},
        {1253, "Greek"},
        {1254, "Turkish"},
        {1255, "Hebrew"},
        {1256, "Arabic"},
        {1257, "Baltic"},
        {1258, "Vietnamese"},
        {874, "Thai"},
        {932, "Japanese (Shift-JIS)"},
        {936, "Chinese Simplified (GBK)"},
        {949, "Korean"},
        {950, "Chinese Traditional (Big5)"},
    };
    return pages;
}

VersionPresenter::VersionPresenter(Session& session, Platform& platform)
    : session_(session), platform_(platform) {}

void VersionPresenter::attach(VersionView& view) {
    view_ = &view;
    view.setCaption("  VERSION");
    const Project::Lines& lines = session_.current().lines(ResourceKind::Version);
    VersionProblem problem;
    std::optional<VersionSettings> stored;
    if (!lines.empty()) {
        stored = parseVersionLines(lines, problem);
        if (!stored)
            showProblem(platform_, view_, kBadVersion, problemText(problem.line, problem.text));
    }
    original_ = stored.value_or(VersionSettings{});

    std::vector<std::string> languageNames;
    for (const LanguageChoice& choice : commonLanguages()) {
        languages_.push_back(choice.id);
        languageNames.push_back(choice.name + " (" + hex4(choice.id) + ")");
    }
    if (std::find(languages_.begin(), languages_.end(), original_.language) == languages_.end()) {
        languages_.push_back(original_.language);
        languageNames.push_back("Other (" + hex4(original_.language) + ")");
    }
    std::vector<std::string> pageNames;
    for (const CodePageChoice& choice : commonCodePages()) {
        codePages_.push_back(choice.codePage);
        pageNames.push_back(std::to_string(choice.codePage) + "  " + choice.name);
    }
    if (std::find(codePages_.begin(), codePages_.end(), original_.codePage) == codePages_.end()) {
        codePages_.push_back(original_.codePage);
        pageNames.push_back(std::to_string(original_.codePage) + "  Other");
    }
    view.setChoices({"Program", "DLL"}, languageNames, pageNames);

    // A version that has no line of its own shows empty fields, not zeros.
    const VersionNumber* numbers[] = {&original_.fileVersion, &original_.productVersion};
    const char* keys[] = {"FileVersion", "ProductVersion"};
    for (int field = 0; field < 2; ++field) {
        const bool shown = findString(original_, keys[field]) != nullptr;
        for (int part = 0; part < 4; ++part)
            view.setVersionPart(static_cast<VersionView::Field>(field), part,
                                shown ? std::to_string((*numbers[field])[part]) : std::string());
    }
    view.setStringsFromNumbers(
        spelledInFull(original_, "FileVersion", original_.fileVersion) &&
        spelledInFull(original_, "ProductVersion", original_.productVersion));
    view.setFileType(original_.dll ? 1 : 0);
    view.setLanguage(static_cast<int>(
        std::find(languages_.begin(), languages_.end(), original_.language) - languages_.begin()));
    view.setCodePage(static_cast<int>(
        std::find(codePages_.begin(), codePages_.end(), original_.codePage) - codePages_.begin()));
    for (int i = 0; i < kVersionStringCount; ++i) {
        const VersionString* entry = findString(original_, versionStringKeys()[i]);
        view.setString(i, entry ? entry->value : std::string());
    }
}

void VersionPresenter::ok() {
    if (!view_)
        return;
    // Each version as a line, checked by the compiler's own reading. What the dialog does not
    // show (fixed fields, a FileType number, numbers given apart) is kept as stored.
    VersionSettings settings = original_;
    settings.strings.clear();
    Project::Lines numberLines;
    const char* keys[] = {"FileVersion", "ProductVersion"};
    for (int field = 0; field < 2; ++field) {
        std::string parts[4];
        bool any = false;
        for (int part = 0; part < 4; ++part) {
            parts[part] = std::string(
                trimSpaces(view_->versionPart(static_cast<VersionView::Field>(field), part)));
            any = any || !parts[part].empty();
        }
        if (!any)
            continue;
        std::string text;
        for (int part = 0; part < 4; ++part)
            text += (part ? "." : "") + (parts[part].empty() ? std::string("0") : parts[part]);
        numberLines.push_back(std::string(keys[field]) + "=" + text);
    }
    VersionProblem problem;
    const std::optional<VersionSettings> numbers = parseVersionLines(numberLines, problem);
    if (!numbers) {
        showProblem(platform_, view_, kBadVersion, problemText(problem.line, problem.text));
        return;
    }
    settings.fileVersion = numbers->fileVersion;
    settings.productVersion = numbers->productVersion;
    settings.dll = view_->fileType() == 1;
    if (settings.dll != original_.dll)
        settings.otherFileType.reset();
    const int language = view_->language();
    const int codePage = view_->codePage();
    if (language >= 0 && language < static_cast<int>(languages_.size()))
        settings.language = languages_[language];
    if (codePage >= 0 && codePage < static_cast<int>(codePages_.size()))
        settings.codePage = codePages_[codePage];

    // The values now wanted, by key; the version strings follow the numbers.
    std::vector<VersionString> wanted;
    const bool fromNumbers = view_->stringsFromNumbers();
    for (const VersionString& entry : numbers->strings) {
        const VersionNumber& number =
            entry.key == "FileVersion" ? settings.fileVersion : settings.productVersion;
        const VersionString* before = findString(original_, entry.key);
        const VersionNumber& was =
            entry.key == "FileVersion" ? original_.fileVersion : original_.productVersion;
        // Unticked, a spelling of the same number ("1.2") is kept as it was typed.
        std::string value =
            !fromNumbers && before && was == number ? before->value : versionText(number);
        wanted.push_back({entry.key, std::move(value)});
    }
    for (int i = 0; i < kVersionStringCount; ++i) {
        const std::string value(trimSpaces(view_->string(i)));
        if (!value.empty())
            wanted.push_back({versionStringKeys()[i], value});
    }
    // The stored order first, then what is new: version strings first, as versionLines puts them.
    for (const VersionString& entry : original_.strings)
        for (const VersionString& w : wanted)
            if (w.key == entry.key)
                settings.strings.push_back(w);
    std::vector<VersionString> added;
    for (const VersionString& w : wanted)
        if (!findString(original_, w.key))
            added.push_back(w);
    std::stable_partition(added.begin(), added.end(), [](const VersionString& s) {
        return s.key == "FileVersion" || s.key == "ProductVersion";
    });
    settings.strings.insert(settings.strings.end(), added.begin(), added.end());

    const Project::Lines lines = versionLines(settings);
    // Text beyond Windows-1252 is for the 32-bit layout only; the 16-bit compile refuses it.
    const bool oneByteText = std::all_of(lines.begin(), lines.end(),
                                         [](const std::string& line) { return fitsCp1252(line); });
    for (int bits : {32, 16}) {
        if (bits == 16 && !oneByteText)
            continue;
        if (!buildVersionResource(lines, bits, problem)) {
            showProblem(platform_, view_, kBadVersion, problemText(problem.line, problem.text));
            return;
        }
    }
    const Project::Lines& stored = session_.current().lines(ResourceKind::Version);
    const bool same = stored.empty()
                          ? lines.empty()
                          : parseVersionLines(stored, problem) == std::optional(settings);
    if (!same)
        session_.setLines(ResourceKind::Version, lines);
    accepted_ = true;
    view_->close(DialogResult::Accepted);
}

void VersionPresenter::cancel() {
    if (view_)
        view_->close(DialogResult::Cancelled);
}

} // namespace kelbo::shell
