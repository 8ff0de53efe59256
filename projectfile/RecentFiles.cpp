#include "projectfile/RecentFiles.h"

#include <algorithm>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"

namespace kelbo {

std::string recentFilesLocation(const std::string& exeDir, bool exeDirWritable,
                                const std::string& xdgConfigHome, const std::string& home,
                                PathStyle style) {
    if (exeDirWritable || (xdgConfigHome.empty() && home.empty()))
        return joinPath(exeDir, kRecentFileName, style);
    std::string base = !xdgConfigHome.empty() ? xdgConfigHome : joinPath(home, ".config", style);
    return joinPath(joinPath(base, "kelbo", style), kRecentFileName, style);
}

bool isInstalledProgram(const std::string& exeDir, FileSystem& fs) {
    std::string prefix = directoryOf(exeDir);
    if (prefix.empty() || prefix == exeDir)
        return false;
    return fs.fileExists(
        joinPath(joinPath(joinPath(prefix, "share"), "applications"), kInstalledMarker));
}

std::string recentFilesLocation(const std::string& exeDir) {
    // An installed program's folder may be writable to root, yet is no place for a user's list.
    bool writable = !isInstalledProgram(exeDir) && isDirectoryWritable(exeDir);
    if (nativePathStyle() == PathStyle::Windows)
        return recentFilesLocation(exeDir, writable, environmentValue("APPDATA"), "");
    return recentFilesLocation(exeDir, writable, environmentValue("XDG_CONFIG_HOME"),
                               environmentValue("HOME"));
}

std::vector<std::string> readRecentFiles(const std::string& cfgPath, FileSystem& fs) {
    std::vector<std::string> paths;
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(cfgPath, error);
    if (!in)
        return paths;
    // Read only as far as the five lines the list holds; a line longer than any path means the
    // file was not written by this program, and nothing after it is taken.
    constexpr std::size_t kChunk = 1 << 16;
    constexpr std::size_t kLongestPath = 32767;
    std::string line;
    std::string chunk;
    std::uint64_t pos = 0;
    const std::uint64_t size = in->size();
    bool utf8 = false;
    auto takeLine = [&] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Blank lines are never written; one added by hand names no file, nor does one that
        // is not UTF-8 in a UTF-8 list.
        if (line.empty() || (utf8 && !isValidUtf8(line))) {
            line.clear();
            return;
        }
        paths.push_back(utf8 ? std::move(line) : cp1252ToUtf8(line));
        line.clear();
    };
    while (pos < size && static_cast<int>(paths.size()) < kMaxRecentFiles) {
        chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - pos)));
        if (!in->readAt(pos, chunk.data(), chunk.size()))
            return paths;
        std::string_view rest = chunk;
        if (pos == 0 && rest.starts_with(kRecentFilesBom)) {
            utf8 = true;
            rest.remove_prefix(kRecentFilesBom.size());
        }
        pos += chunk.size();
        for (char c : rest) {
            if (c == '\n') {
                takeLine();
                if (static_cast<int>(paths.size()) == kMaxRecentFiles)
                    return paths;
            } else if (line.size() > kLongestPath) {
                return paths;
            } else {
                line += c;
            }
        }
    }
    if (static_cast<int>(paths.size()) < kMaxRecentFiles)
        takeLine();
    return paths;
}

bool RememberFile(const std::string& cfgPath, const std::string& projectPath, std::string& error,
                  FileSystem& fs, PathStyle style) {
    std::vector<std::string> paths = readRecentFiles(cfgPath, fs);
    paths.insert(paths.begin(), recentFileForm(projectPath, style));
    if (static_cast<int>(paths.size()) > kMaxRecentFiles)
        paths.resize(kMaxRecentFiles);
    // Windows-1252 as before while every path fits, so an older program still reads the list.
    const bool utf8 = !std::all_of(paths.begin(), paths.end(),
                                   [](const std::string& path) { return fitsCp1252(path); });
    std::string text = utf8 ? std::string(kRecentFilesBom) : std::string();
    for (const std::string& path : paths)
        text += (utf8 ? path : utf8ToCp1252(path).value_or(path)) + "\r\n";
    std::string dir = directoryOf(cfgPath, style);
    // The configuration folder may not exist yet on a first run.
    if (!dir.empty() && dir != cfgPath)
        makeDirectories(dir);
    if (!writeWholeFile(fs, cfgPath, text, error)) {
        error = cfgPath + ": " + error;
        return false;
    }
    return true;
}

std::string recentItemCaption(int number, const std::string& path) {
    std::string caption = "&";
    caption.append(std::to_string(number)).append(" ").append(path);
    return caption;
}

std::string pathFromRecentCaption(const std::string& caption) {
    return caption.size() > 3 ? caption.substr(3) : std::string();
}

} // namespace kelbo
