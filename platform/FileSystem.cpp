#include "platform/FileSystem.h"

#include <limits>

namespace kelbo {

bool readWholeFile(FileSystem& fs, const std::string& path, std::string& bytes,
                   std::string& error) {
    std::unique_ptr<InputFile> in = fs.openInput(path, error);
    if (!in)
        return false;
    std::uint64_t size = in->size();
    if (size > std::numeric_limits<std::size_t>::max() / 2) {
        error = "File too large";
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in->readAt(0, bytes.data(), bytes.size())) {
        error = "Read error";
        return false;
    }
    return true;
}

bool writeWholeFile(FileSystem& fs, const std::string& path, const std::string& bytes,
                    std::string& error) {
    std::unique_ptr<OutputFile> out = fs.createOutput(path, error);
    if (!out)
        return false;
    if (!out->write(bytes.data(), bytes.size()) || !out->commit()) {
        error = out->error();
        return false;
    }
    return true;
}

} // namespace kelbo
