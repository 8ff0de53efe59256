#include "project/Project.h"

namespace kelbo {

namespace {

constexpr std::array<KindInfo, kKindCount> kKinds = {{
    {ResourceKind::Bitmap, "BITMAP", "", LineForm::File},
    {ResourceKind::Icon, "ICON", "", LineForm::File},
    {ResourceKind::String, "STRING", "", LineForm::Text},
    {ResourceKind::Wave, "WAVE", "", LineForm::File},
    {ResourceKind::Cursor, "CURSOR", "CURS", LineForm::File},
    {ResourceKind::Data, "DATA", "DATA", LineForm::TypedFile},
    {ResourceKind::Manifest, "MANIFEST", "MANI", LineForm::KeyValue},
    {ResourceKind::Version, "VERSION", "VERS", LineForm::KeyValue},
}};

} // namespace

const KindInfo& kindInfo(ResourceKind kind) {
    return kKinds.at(static_cast<std::size_t>(kindIndex(kind)));
}

bool LanguageSection::usesExtensions() const {
    for (ResourceKind kind : kAllKinds) {
        if (!kindInfo(kind).tag.empty() && count(kind) > 0)
            return true;
    }
    return false;
}

int LanguageSection::totalCount() const {
    int total = 0;
    for (const Lines& list : lists_)
        total += static_cast<int>(list.size());
    return total;
}

void LanguageSection::append(ResourceKind kind, std::string line) {
    lists_[kindIndex(kind)].push_back(std::move(line));
}

bool LanguageSection::replace(ResourceKind kind, int index, std::string line) {
    Lines& list = lists_[kindIndex(kind)];
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    list[index] = std::move(line);
    return true;
}

bool LanguageSection::remove(ResourceKind kind, int index) {
    Lines& list = lists_[kindIndex(kind)];
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    list.erase(list.begin() + index);
    return true;
}

void LanguageSection::clearAll() {
    for (Lines& list : lists_)
        list.clear();
}

int Project::totalCount() const {
    int total = 0;
    for (const LanguageSection& section : sections_)
        total += section.totalCount();
    return total;
}

void Project::clearAll() {
    sections_.assign(1, LanguageSection());
}

bool Project::anyItems(ResourceKind kind) const {
    for (const LanguageSection& section : sections_) {
        if (section.count(kind) > 0)
            return true;
    }
    return false;
}

bool Project::setBaseLanguage(LanguageId language) {
    int at = findSection(language);
    if (at > 0)
        return false;
    base().language = language;
    return true;
}

int Project::findSection(LanguageId language) const {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].language == language)
            return static_cast<int>(i);
    }
    return -1;
}

int Project::addSection(LanguageId language) {
    if (findSection(language) >= 0)
        return -1;
    sections_.emplace_back(language);
    return static_cast<int>(sections_.size()) - 1;
}

bool Project::removeSection(int index) {
    if (index <= 0 || index >= sectionCount())
        return false;
    sections_.erase(sections_.begin() + index);
    return true;
}

std::string languageHex(LanguageId language) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[language & 0xF];
        language = static_cast<LanguageId>(language >> 4);
    }
    return text;
}

std::optional<LanguageId> parseLanguageHex(std::string_view text) {
    if (text.size() != 4)
        return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<LanguageId>(value);
}

LanguageSection& Session::current() {
    if (CurrentSection < 0 || CurrentSection >= project.sectionCount())
        return project.base();
    return project.section(CurrentSection);
}

const LanguageSection& Session::current() const {
    if (CurrentSection < 0 || CurrentSection >= project.sectionCount())
        return project.base();
    return project.section(CurrentSection);
}

void Session::appendItem(ResourceKind kind, std::string line) {
    current().append(kind, std::move(line));
    ProjectChanged = true;
}

void Session::replaceItem(ResourceKind kind, int index, std::string line) {
    if (current().replace(kind, index, std::move(line)))
        ProjectChanged = true;
}

void Session::setLines(ResourceKind kind, Project::Lines lines) {
    if (current().lines(kind) == lines)
        return;
    current().setLines(kind, std::move(lines));
    ProjectChanged = true;
}

void Session::removeItem(ResourceKind kind, int index) {
    if (current().remove(kind, index))
        ProjectChanged = true;
}

} // namespace kelbo
