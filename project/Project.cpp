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

bool Project::usesExtensions() const {
    for (ResourceKind kind : kAllKinds) {
        if (!kindInfo(kind).tag.empty() && count(kind) > 0)
            return true;
    }
    return false;
}

int Project::totalCount() const {
    int total = 0;
    for (const Lines& list : lists_)
        total += static_cast<int>(list.size());
    return total;
}

void Project::append(ResourceKind kind, std::string line) {
    lists_[kindIndex(kind)].push_back(std::move(line));
}

bool Project::replace(ResourceKind kind, int index, std::string line) {
    Lines& list = lists_[kindIndex(kind)];
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    list[index] = std::move(line);
    return true;
}

bool Project::remove(ResourceKind kind, int index) {
    Lines& list = lists_[kindIndex(kind)];
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    list.erase(list.begin() + index);
    return true;
}

void Project::clearAll() {
    for (Lines& list : lists_)
        list.clear();
}

void Session::appendItem(ResourceKind kind, std::string line) {
    project.append(kind, std::move(line));
    ProjectChanged = true;
}

void Session::replaceItem(ResourceKind kind, int index, std::string line) {
    if (project.replace(kind, index, std::move(line)))
        ProjectChanged = true;
}

void Session::setLines(ResourceKind kind, Project::Lines lines) {
    if (project.lines(kind) == lines)
        return;
    project.setLines(kind, std::move(lines));
    ProjectChanged = true;
}

void Session::removeItem(ResourceKind kind, int index) {
    if (project.remove(kind, index))
        ProjectChanged = true;
}

} // namespace kelbo
