#include "app/RecentFiles.h"

namespace kelbo {

std::string recentFilesLocation(const std::string& exeDir, bool exeDirWritable,
                                const std::string& xdgConfigHome, const std::string& home,
                                PathStyle style) {
    if (exeDirWritable || (xdgConfigHome.empty() && home.empty()))
        return joinPath(exeDir, kRecentFileName, style);
    std::string base = !xdgConfigHome.empty() ? xdgConfigHome : joinPath(home, ".config", style);
    return joinPath(joinPath(base, "kelbo", style), kRecentFileName, style);
}

std::string recentFilesLocation(const std::string& exeDir) {
    bool writable = isDirectoryWritable(exeDir);
    if (nativePathStyle() == PathStyle::Windows)
        return recentFilesLocation(exeDir, writable, environmentValue("APPDATA"), "");
    return recentFilesLocation(exeDir, writable, environmentValue("XDG_CONFIG_HOME"),
                               environmentValue("HOME"));
}

std::vector<std::string> readRecentFiles(const std::string& cfgPath, FileSystem& fs) {
    std::vector<std::string> paths;
    std::string bytes;
    std::string error;
    if (!readWholeFile(fs, cfgPath, bytes, error))
        return paths;
    std::size_t start = 0;
    while (start < bytes.size() && static_cast<int>(paths.size()) < kMaxRecentFiles) {
        std::size_t end = bytes.find('\n', start);
        std::string line = bytes.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Blank lines are never written; one added by hand names no file.
        if (!line.empty())
            paths.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return paths;
}

bool RememberFile(const std::string& cfgPath, const std::string& projectPath, std::string& error,
                  FileSystem& fs, PathStyle style) {
    std::vector<std::string> paths = readRecentFiles(cfgPath, fs);
    paths.insert(paths.begin(), recentFileForm(projectPath, style));
    if (static_cast<int>(paths.size()) > kMaxRecentFiles)
        paths.resize(kMaxRecentFiles);
    std::string text;
    for (const std::string& path : paths)
        text += path + "\r\n";
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
