#include "projectfile/ProjectFile.h"

#include <algorithm>
#include <cstring>

namespace kelbo {
namespace {

void put16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

} // namespace

std::optional<std::string> encodeProject(const Project& project, std::string& error) {
    const bool extended = project.usesExtensions();
    std::size_t size = kProjectSignature.size() + 2 * kOriginalKindCount;
    if (extended)
        size += kExtensionSignature.size();
    for (ResourceKind kind : kAllKinds) {
        if (project.count(kind) > kMaxLinesPerKind) {
            error = "The " + std::string(kindName(kind)) + " list holds more than " +
                    std::to_string(kMaxLinesPerKind) + " items";
            return std::nullopt;
        }
        if (!kindInfo(kind).tag.empty() && project.count(kind) > 0)
            size += 6;
        for (const std::string& line : project.lines(kind)) {
            if (line.size() > static_cast<std::size_t>(kMaxLineLength)) {
                error = "A " + std::string(kindName(kind)) + " item is longer than " +
                        std::to_string(kMaxLineLength) + " characters";
                return std::nullopt;
            }
            size += 2 + line.size();
        }
    }
    std::string out;
    out.reserve(size);
    auto putLines = [&](ResourceKind kind) {
        put16(out, project.count(kind));
        for (const std::string& line : project.lines(kind)) {
            put16(out, static_cast<int>(line.size()));
            out += line;
        }
    };
    out += kProjectSignature;
    for (ResourceKind kind : kOriginalKinds)
        putLines(kind);
    // A project of the original kinds alone is written exactly as before.
    if (extended) {
        out += kExtensionSignature;
        for (ResourceKind kind : kAllKinds) {
            if (kindInfo(kind).tag.empty() || project.count(kind) == 0)
                continue;
            out += kindInfo(kind).tag;
            putLines(kind);
        }
    }
    return out;
}

namespace {

// Reads a project record by record from any source of bytes, so a file is never held whole and
// bytes after the last record are never read. `size` is the source's length, so
// nothing is allocated for a line the file does not hold.
template <class Read> std::optional<Project> parseProject(std::uint64_t size, Read&& read) {
    std::uint64_t consumed = 0;
    auto take = [&](void* out, std::size_t n) {
        if (size - consumed < n || !read(out, n))
            return false;
        consumed += n;
        return true;
    };
    char signature[8];
    if (!take(signature, sizeof signature) ||
        std::string_view(signature, sizeof signature) != kProjectSignature)
        return std::nullopt;
    // Counts and lengths are signed 16-bit; a negative one marks a damaged file.
    auto read16 = [&](int& value) {
        unsigned char b[2];
        if (!take(b, 2))
            return false;
        value = static_cast<std::int16_t>(b[0] | b[1] << 8);
        return value >= 0;
    };
    auto readLines = [&](Project& project, ResourceKind kind, int count) {
        for (int i = 0; i < count; ++i) {
            int length = 0;
            if (!read16(length) || size - consumed < static_cast<std::uint64_t>(length))
                return false;
            std::string line(static_cast<std::size_t>(length), '\0');
            if (length > 0 && !take(line.data(), line.size()))
                return false;
            project.append(kind, std::move(line));
        }
        return true;
    };
    Project project;
    for (ResourceKind kind : kOriginalKinds) {
        int count = 0;
        if (!read16(count) || !readLines(project, kind, count))
            return std::nullopt;
    }
    // Older files may carry other bytes after the WAVE section; those are still ignored. The
    // extension block, once announced, runs to the end of the file and must be whole.
    char ext[8];
    if (size - consumed < sizeof ext || !take(ext, sizeof ext) ||
        std::string_view(ext, sizeof ext) != kExtensionSignature)
        return project;
    std::size_t nextKind = 0;
    while (consumed < size) {
        char tag[4];
        if (!take(tag, sizeof tag))
            return std::nullopt;
        // Sections come in the table's order, each at most once.
        std::size_t k = nextKind;
        while (k < kAllKinds.size() && kindInfo(kAllKinds[k]).tag != std::string_view(tag, 4))
            ++k;
        if (k == kAllKinds.size() || kindInfo(kAllKinds[k]).tag.empty())
            return std::nullopt;
        int count = 0;
        if (!read16(count) || count == 0 || !readLines(project, kAllKinds[k], count))
            return std::nullopt;
        nextKind = k + 1;
    }
    return project;
}

} // namespace

std::optional<Project> decodeProject(std::string_view bytes) {
    std::size_t pos = 0;
    return parseProject(bytes.size(), [&](void* out, std::size_t n) {
        std::memcpy(out, bytes.data() + pos, n);
        pos += n;
        return true;
    });
}

bool saveProjectFile(const std::string& path, const Project& project, std::string& error,
                     FileSystem& fs) {
    std::optional<std::string> bytes = encodeProject(project, error);
    if (!bytes) {
        error = path + ": " + error;
        return false;
    }
    if (!writeWholeFile(fs, path, *bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::optional<Project> loadProjectFile(const std::string& path, FileSystem& fs) {
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(path, error);
    if (!in)
        return std::nullopt;
    const std::uint64_t size = in->size();
    std::uint64_t pos = 0;
    // Lines are short; a buffer gathers them into few reads of the file.
    std::string buffer;
    std::uint64_t bufferStart = 0;
    return parseProject(size, [&](void* out, std::size_t n) {
        auto* dest = static_cast<char*>(out);
        while (n > 0) {
            if (pos < bufferStart || pos >= bufferStart + buffer.size()) {
                std::size_t chunk = static_cast<std::size_t>(
                    std::min<std::uint64_t>(std::max<std::size_t>(n, 1 << 16), size - pos));
                buffer.resize(chunk);
                if (!in->readAt(pos, buffer.data(), chunk))
                    return false;
                bufferStart = pos;
            }
            std::size_t at = static_cast<std::size_t>(pos - bufferStart);
            std::size_t take = std::min(n, buffer.size() - at);
            std::memcpy(dest, buffer.data() + at, take);
            dest += take;
            pos += take;
            n -= take;
        }
        return true;
    });
}

} // namespace kelbo
