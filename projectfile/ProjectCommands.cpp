#include "projectfile/ProjectCommands.h"

#include "projectfile/ProjectFile.h"
#include "projectfile/RecentFiles.h"

namespace kelbo {

bool SaveRC(const Session& session, const std::string& path, const std::string& recentPath,
            std::string& error, FileSystem& fs, PathStyle style) {
    // The list is written right after the project: under its name the project would be
    // replaced by the list at once.
    if (sameFile(path, recentPath)) {
        error = path + ": This file keeps the list of recent projects";
        return false;
    }
    if (!saveProjectFile(path, session.project, error, fs))
        return false;
    std::string recentError;
    // The project is safe on disk; a recent-files list that cannot be written only loses the
    // menu entry.
    RememberFile(recentPath, path, recentError, fs, style);
    return true;
}

bool LoadRC(Session& session, const std::string& path, FileSystem& fs) {
    std::optional<Project> loaded = loadProjectFile(path, fs);
    if (!loaded) {
        session.ProjectPath.clear();
        return false;
    }
    session.project = std::move(*loaded);
    return true;
}

LoadOutcome DirectLoad(Session& session, const std::string& path, FileSystem& fs, PathStyle style) {
    if (path.empty())
        return LoadOutcome::NothingToLoad;
    std::string full = resolveBareName(path, currentDirectory(), style);
    session.ProjectPath = full;
    session.ProjectDir = directoryOf(full, style);
    bool ok = LoadRC(session, full, fs);
    session.ProjectChanged = false;
    return ok ? LoadOutcome::Loaded : LoadOutcome::Invalid;
}

void prepareProjectDialog(Session& session) {
    if (session.ProjectDir.empty())
        session.ProjectDir = session.ExeDir;
}

void takeProjectPath(Session& session, const std::string& path, PathStyle style) {
    session.ProjectPath = path;
    session.ProjectDir = directoryOf(path, style);
}

void newProject(Session& session) {
    session.ProjectPath.clear();
    session.project.clearAll();
    session.ProjectChanged = false;
}

} // namespace kelbo
