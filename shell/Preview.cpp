#include "shell/Preview.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "rescompiler/SourceFiles.h"

namespace kelbo::shell {

namespace {

unsigned byteAt(std::string_view b, std::uint64_t at) {
    return static_cast<unsigned char>(b[static_cast<std::size_t>(at)]);
}

std::uint32_t le32At(std::string_view b, std::uint64_t at) {
    return byteAt(b, at) | byteAt(b, at + 1) << 8 | byteAt(b, at + 2) << 16 |
           static_cast<std::uint32_t>(byteAt(b, at + 3)) << 24;
}

std::uint16_t le16At(std::string_view b, std::uint64_t at) {
    return static_cast<std::uint16_t>(byteAt(b, at) | byteAt(b, at + 1) << 8);
}

// The run-length decoder leaves pixels it does not write undefined, so only a stream whose runs
// fill every row, and that ends with its end mark, is shown.
bool runsFillEveryRow(std::string_view file, std::uint64_t pos, std::int64_t width,
                      std::int64_t height, bool fourBits) {
    const std::uint64_t size = file.size();
    std::int64_t x = 0;
    std::int64_t y = 0;
    while (pos + 2 <= size) {
        const unsigned count = byteAt(file, pos);
        const unsigned code = byteAt(file, pos + 1);
        pos += 2;
        if (count > 0) {
            x += count;
            if (x > width)
                return false;
            continue;
        }
        switch (code) {
        case 0: // end of line
            if (x != width || ++y > height)
                return false;
            x = 0;
            break;
        case 1: // end of bitmap
            return (x == width && y == height - 1) || (x == 0 && y == height);
        case 2: // a jump skips pixels
            return false;
        default: { // literal pixels, padded to a 16-bit boundary
            x += code;
            if (x > width)
                return false;
            const std::uint64_t bytes = fourBits ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~std::uint64_t{1};
            break;
        }
        }
    }
    return false;
}

// Every row the bitmap declares lies in the file.
bool bitmapRowsPresent(std::string_view file) {
    const std::uint64_t size = file.size();
    if (size < 14 + 12)
        return false;
    const std::uint32_t offBits = le32At(file, 10);
    const std::uint32_t infoSize = le32At(file, 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    unsigned bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t colours = 0;
    if (infoSize == 12) {
        width = le16At(file, 18);
        height = le16At(file, 20);
        bits = le16At(file, 24);
    } else {
        if (size < 14 + 40)
            return false;
        width = static_cast<std::int32_t>(le32At(file, 18));
        height = static_cast<std::int32_t>(le32At(file, 22));
        bits = le16At(file, 28);
        compression = le32At(file, 30);
        colours = le32At(file, 46);
    }
    if (width <= 0 || height == 0 || bits == 0 || bits > 32)
        return false;
    height = height < 0 ? -height : height;
    // The decoder reads the palette or the colour masks after the header, then skips to offBits
    // when that lies further on.
    std::uint64_t start = std::uint64_t{14} + infoSize;
    if (bits <= 8)
        start += std::uint64_t{colours ? colours : 1u << bits} * (infoSize == 12 ? 3 : 4);
    else if ((compression == 3 || compression == 6) && infoSize < 108)
        start += compression == 6 ? 16 : 12;
    start = std::max<std::uint64_t>(start, offBits);
    if (start > size)
        return false;
    if (compression == 1 || compression == 2)
        return runsFillEveryRow(file, start, width, height, compression == 2);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    return stride * static_cast<std::uint64_t>(height) <= size - start;
}

// A picture file already in memory, for the icon directory check.
class BytesInput : public InputFile {
public:
    explicit BytesInput(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > size() || count > size() - offset)
            return false;
        if (count > 0)
            std::memcpy(buffer, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string_view bytes_;
};

} // namespace

bool worthPreviewing(std::string_view bytes, ResourceKind kind) {
    if (bytes.empty() || bytes.size() > kMaxPreviewBytes)
        return false;
    // The compiler refuses an icon file whose directory is damaged; its preview stays empty.
    if (kind == ResourceKind::Icon || kind == ResourceKind::Cursor) {
        BytesInput in(bytes);
        std::string problem;
        if (!readIconDirectory(in, problem,
                               kind == ResourceKind::Cursor ? IconFileType::Cursor
                                                            : IconFileType::Icon))
            return false;
    }
    if (bytes.substr(0, 2) == "BM" && !bitmapRowsPresent(bytes))
        return false;
    return true;
}

std::optional<CursorImage> firstCursorImage(std::string_view bytes) {
    BytesInput in(bytes);
    std::string problem;
    const std::optional<IconDirectory> directory =
        readIconDirectory(in, problem, IconFileType::Cursor);
    if (!directory || directory->entries.empty())
        return std::nullopt;
    const IconEntry& entry = directory->entries.front();
    return CursorImage{entry.width == 0 ? 256 : entry.width, entry.height == 0 ? 256 : entry.height,
                       entry.planes, entry.bitCount};
}

} // namespace kelbo::shell
