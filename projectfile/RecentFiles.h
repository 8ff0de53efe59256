// The recent-files file kbplast.cfg: up to five project paths, newest first, CR LF after each.
// Windows-1252 when every path fits that code page, otherwise UTF-8 after a byte-order mark.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace kelbo {

inline constexpr int kMaxRecentFiles = 5;
inline constexpr const char* kRecentFileName = "kbplast.cfg";
inline constexpr std::string_view kRecentFilesBom = "\xEF\xBB\xBF";

// Where kbplast.cfg lives: beside the executable, or, when that folder cannot be written or the
// program is installed, in the user's configuration folder ($XDG_CONFIG_HOME/kelbo, else
// ~/.config/kelbo; %APPDATA%\kelbo on Windows).
std::string recentFilesLocation(const std::string& exeDir);
// An installed program has its desktop entry in PREFIX/share/applications beside PREFIX/bin.
inline constexpr const char* kInstalledMarker = "kelbo.desktop";
bool isInstalledProgram(const std::string& exeDir, FileSystem& fs = nativeFileSystem());
// The rule itself, with the facts given, for tests.
std::string recentFilesLocation(const std::string& exeDir, bool exeDirWritable,
                                const std::string& xdgConfigHome, const std::string& home,
                                PathStyle style = nativePathStyle());

// The file's lines as UTF-8, at most five; a missing or empty file gives none.
std::vector<std::string> readRecentFiles(const std::string& cfgPath,
                                         FileSystem& fs = nativeFileSystem());
// Puts `projectPath` (lower-cased on Windows) on the first line and keeps the former first four.
bool RememberFile(const std::string& cfgPath, const std::string& projectPath, std::string& error,
                  FileSystem& fs = nativeFileSystem(), PathStyle style = nativePathStyle());

// "&1 " followed by the path, for item 1 to 5.
std::string recentItemCaption(int number, const std::string& path);
// The caption without its first three characters.
std::string pathFromRecentCaption(const std::string& caption);

} // namespace kelbo
