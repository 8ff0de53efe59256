#include "platform/PathRules.h"

#include "platform/Cp1252.h"
#include "platform/Unicode.h"

namespace kelbo {

PathStyle nativePathStyle() {
#ifdef _WIN32
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

char separatorOf(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

bool isSeparator(char c, PathStyle style) {
    // Windows accepts both; a Qt dialog may hand back forward slashes.
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

namespace {
std::size_t lastSeparator(std::string_view path, PathStyle style) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style))
            return i - 1;
    }
    return std::string_view::npos;
}
} // namespace

bool hasSeparator(std::string_view path, PathStyle style) {
    return lastSeparator(path, style) != std::string_view::npos;
}

std::string directoryOf(std::string_view path, PathStyle style) {
    std::size_t pos = lastSeparator(path, style);
    if (pos == std::string_view::npos)
        return {};
    // "/x" keeps its root, as "C:\x" keeps its drive.
    if (pos == 0 && style == PathStyle::Posix)
        return "/";
    return std::string(path.substr(0, pos));
}

std::string fileNameOf(std::string_view path, PathStyle style) {
    std::size_t pos = lastSeparator(path, style);
    if (pos == std::string_view::npos)
        return std::string(path);
    return std::string(path.substr(pos + 1));
}

std::string joinPath(std::string_view dir, std::string_view name, PathStyle style) {
    std::string out(dir);
    if (out.empty() || !isSeparator(out.back(), style))
        out += separatorOf(style);
    out += name;
    return out;
}

std::string folderForBrowsing(std::string_view dir, PathStyle style) {
    std::string out(dir);
    if (style == PathStyle::Windows && !out.empty() && out.back() == ':')
        out += '\\';
    if (style == PathStyle::Posix && out.empty())
        out = "/";
    return out;
}

std::string resolveBareName(std::string_view path, std::string_view currentDir, PathStyle style) {
    if (path.empty() || hasSeparator(path, style))
        return std::string(path);
    // "C:NAME" names a file relative to a drive; leave it to the system.
    if (style == PathStyle::Windows && path.find(':') != std::string_view::npos)
        return std::string(path);
    return joinPath(currentDir, path, style);
}

namespace {
// The lower case of a capital: Windows-1252's own pairs, else the nearest small letter whose
// upper case it is (Latin, Greek, Cyrillic, Armenian lie 1, 32, 48 or 80 apart); a capital
// outside those keeps its case.
char32_t lowerCodePoint(char32_t cp) {
    if (std::optional<unsigned char> byte = unicodeToCp1252(cp))
        return cp1252ToUtf16(cp1252Lower(*byte));
    for (char32_t offset : {32, 80, 1, 48}) {
        if (cp + offset <= 0xFFFF && !unicodeToCp1252(cp + offset) &&
            upperCodePoint(cp + offset) == cp)
            return cp + offset;
    }
    return cp;
}
} // namespace

std::string recentFileForm(std::string_view path, PathStyle style) {
    if (style != PathStyle::Windows)
        return std::string(path);
    std::string out;
    out.reserve(path.size());
    std::size_t pos = 0;
    while (pos < path.size()) {
        const std::size_t at = pos;
        char32_t cp = 0;
        if (!decodeUtf8(path, pos, cp)) {
            out += path[at];
            pos = at + 1;
            continue;
        }
        appendUtf8(out, lowerCodePoint(cp));
    }
    return out;
}

FolderAndName splitItemPath(std::string_view path, std::string_view fallbackDir, PathStyle style) {
    std::size_t pos = lastSeparator(path, style);
    if (pos == std::string_view::npos)
        return {std::string(fallbackDir), std::string(path)};
    FolderAndName parts{std::string(path.substr(0, pos)), std::string(path.substr(pos + 1))};
    if (style == PathStyle::Windows && !parts.folder.empty() && parts.folder.back() == ':')
        parts.folder += '\\';
    if (style == PathStyle::Posix && parts.folder.empty())
        parts.folder = "/";
    return parts;
}

} // namespace kelbo
