// What SaveRC, LoadRC, DirectLoad, Open, Save As and Save do to the shared values; the main
// window shows the captions and boxes these return.
#pragma once

#include <string>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "project/Project.h"

namespace kelbo {

// Writes the project to `path`, then records the path in the recent-files file `recentPath`.
// False with the reason when the project file could not be written (the recent-files file is
// then not touched). A recent-files file that cannot be written does not fail the save.
bool SaveRC(const Session& session, const std::string& path, const std::string& recentPath,
            std::string& error, FileSystem& fs = nativeFileSystem(),
            PathStyle style = nativePathStyle());

// Replaces the lists with the file's. False for an invalid file: ProjectPath is then emptied and
// the lists are left as they were; the caller sets the caption "Kelbo Version 2" and shows
// code 6.
bool LoadRC(Session& session, const std::string& path, FileSystem& fs = nativeFileSystem());

enum class LoadOutcome { NothingToLoad, Loaded, Invalid };
// Loads a project by path (command line, recent files). A path without a separator is taken in
// the current folder. Caption afterwards: the path, or "Kelbo Version 2" when Invalid.
LoadOutcome DirectLoad(Session& session, const std::string& path,
                       FileSystem& fs = nativeFileSystem(), PathStyle style = nativePathStyle());

// Before a project file dialog: ProjectDir defaults to the program's folder.
void prepareProjectDialog(Session& session);
// After Open or Save As chose `path`: ProjectPath and ProjectDir follow it.
void takeProjectPath(Session& session, const std::string& path,
                     PathStyle style = nativePathStyle());

// New: untitled and empty; the tab and ProjectDir stay.
void newProject(Session& session);

} // namespace kelbo
