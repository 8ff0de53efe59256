#include "projectfile/ProjectFile.h"

namespace kelbo {
namespace {

void put16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

} // namespace

std::optional<std::string> encodeProject(const Project& project, std::string& error) {
    std::size_t size = kProjectSignature.size() + 2 * kKindCount;
    for (ResourceKind kind : kAllKinds) {
        if (project.count(kind) > kMaxLinesPerKind) {
            error = "The " + std::string(kindName(kind)) + " list holds more than " +
                    std::to_string(kMaxLinesPerKind) + " items";
            return std::nullopt;
        }
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
    out += kProjectSignature;
    for (ResourceKind kind : kAllKinds) {
        put16(out, project.count(kind));
        for (const std::string& line : project.lines(kind)) {
            put16(out, static_cast<int>(line.size()));
            out += line;
        }
    }
    return out;
}

std::optional<Project> decodeProject(std::string_view bytes) {
    if (bytes.substr(0, kProjectSignature.size()) != kProjectSignature)
        return std::nullopt;
    std::size_t pos = kProjectSignature.size();
    // Counts and lengths are signed 16-bit; a negative one marks a damaged file.
    auto read16 = [&](int& value) {
        if (bytes.size() - pos < 2)
            return false;
        value = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[pos]) |
                                          static_cast<unsigned char>(bytes[pos + 1]) << 8);
        pos += 2;
        return value >= 0;
    };
    Project project;
    for (ResourceKind kind : kAllKinds) {
        int count = 0;
        if (!read16(count))
            return std::nullopt;
        for (int i = 0; i < count; ++i) {
            int length = 0;
            if (!read16(length) || bytes.size() - pos < static_cast<std::size_t>(length))
                return std::nullopt;
            project.append(kind, std::string(bytes.substr(pos, length)));
            pos += length;
        }
    }
    return project;
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
    // The largest file the format can describe: 4 kinds of 32767 lines of 32767 bytes.
    constexpr std::uint64_t kLargest =
        8 + kKindCount * (2 + std::uint64_t{kMaxLinesPerKind} * (2 + kMaxLineLength));
    std::uint64_t size = in->size();
    if (size > kLargest)
        size = kLargest; // anything beyond is trailing bytes, which are ignored
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in->readAt(0, bytes.data(), bytes.size()))
        return std::nullopt;
    return decodeProject(bytes);
}

} // namespace kelbo
