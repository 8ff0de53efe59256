// Path rules of the project: one place for "the folder of a path" and "a folder and a name".
// Windows rules ("\", drive roots such as C:) can be chosen explicitly so they are tested anywhere.
#pragma once

#include <string>
#include <string_view>

namespace kelbo {

enum class PathStyle { Posix, Windows };

PathStyle nativePathStyle();
char separatorOf(PathStyle style);
bool isSeparator(char c, PathStyle style);
bool hasSeparator(std::string_view path, PathStyle style);

// Every character before the last separator: C:\WORK\A.KBP gives C:\WORK, C:\A.KBP gives C:.
// On POSIX a file in the root gives "/". A path without a separator gives "".
std::string directoryOf(std::string_view path, PathStyle style = nativePathStyle());
// Everything after the last separator (the whole path when there is none).
std::string fileNameOf(std::string_view path, PathStyle style = nativePathStyle());
// The folder, a separator unless the folder already ends with one, then the name.
std::string joinPath(std::string_view dir, std::string_view name,
                     PathStyle style = nativePathStyle());
// A folder as a dialog or a directory list should open it: C: becomes C:\.
std::string folderForBrowsing(std::string_view dir, PathStyle style = nativePathStyle());

// A path with no separator at all is a file in `currentDir`.
std::string resolveBareName(std::string_view path, std::string_view currentDir,
                            PathStyle style = nativePathStyle());

// How a saved path is written into the recent-files list: lower-cased where file names ignore
// case (Windows), kept as it is elsewhere. Paths are UTF-8.
std::string recentFileForm(std::string_view path, PathStyle style = nativePathStyle());

// Splits the path of an item line into the folder and file name that the file item dialog
// shows. A folder that is a drive (C:) becomes its root (C:\). Without any separator the
// folder is `fallbackDir` and the whole path is the file name.
struct FolderAndName {
    std::string folder;
    std::string name;
};
FolderAndName splitItemPath(std::string_view path, std::string_view fallbackDir,
                            PathStyle style = nativePathStyle());

} // namespace kelbo
