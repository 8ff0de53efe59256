// The 16-bit RES layout: each resource is a variable-length header followed directly by its
// data, with no alignment anywhere and no leading empty entry.
#include <string>

#include "rescompiler/ItemLine.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResOutput.h"
#include "rescompiler/SourceFiles.h"

namespace kelbo {
namespace {

constexpr std::uint8_t kTypeBitmap = 2;
constexpr std::uint8_t kTypeIcon = 3;
constexpr std::uint8_t kTypeString = 6;
constexpr std::uint8_t kTypeGroupIcon = 14;
constexpr std::uint16_t kFlagsPure = 0x0030;
constexpr std::uint16_t kFlagsIconImage = 0x1010;
constexpr std::uint16_t kFlagsDiscardable = 0x1030;
// The slot's length is one byte.
constexpr std::size_t kMaxString16 = 255;

void idField(ResOutput& out, const ResourceId& id) {
    if (id.isName) {
        out.bytes(id.name);
        out.u8(0);
    } else {
        out.u8(0xFF);
        out.u16(id.ordinal);
    }
}

void header(ResOutput& out, const ResourceId& type, const ResourceId& name, std::uint16_t flags,
            std::uint32_t size) {
    idField(out, type);
    idField(out, name);
    out.u16(flags);
    out.u32(size);
}

ResourceId ordinal(std::uint16_t value) {
    return {false, value, {}};
}

struct Writer16 {
    ResOutput& out;
    CompileLog& log;
    FileSystem& fs;
    std::uint16_t imageNumber = 0;

    bool writeBitmap(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs, GetItemSource(line), line, log);
        if (!in)
            return false;
        std::string problem;
        std::optional<BitmapHeader> bmp = readBitmapHeader(*in, false, problem);
        if (!bmp) {
            logFailure(log, line, problem);
            return false;
        }
        if (bmp->fileSize - kBitmapFileHeaderSize > 0xFFFFFFFFu) {
            logFailure(log, line, "Bitmap file larger than 4 GB");
            return false;
        }
        auto size = static_cast<std::uint32_t>(bmp->fileSize - kBitmapFileHeaderSize);
        header(out, ordinal(kTypeBitmap), resourceIdOf(line), kFlagsPure, size);
        if (!out.copyFrom(*in, kBitmapFileHeaderSize, size)) {
            logFailure(log, line, "Bitmap file cannot be read");
            return false;
        }
        return true;
    }

    bool writeIcon(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs, GetItemSource(line), line, log);
        if (!in)
            return false;
        std::string problem;
        std::optional<IconDirectory> dir = readIconDirectory(*in, problem);
        if (!dir) {
            logFailure(log, line, problem);
            return false;
        }
        std::string group;
        auto put16 = [&](std::uint16_t v) {
            group += static_cast<char>(v & 0xFF);
            group += static_cast<char>(v >> 8);
        };
        put16(dir->reserved);
        put16(dir->type);
        put16(static_cast<std::uint16_t>(dir->entries.size()));
        for (const IconEntry& entry : dir->entries) {
            ++imageNumber;
            header(out, ordinal(kTypeIcon), ordinal(imageNumber), kFlagsIconImage,
                   entry.bytesInRes);
            if (!out.copyFrom(*in, entry.imageOffset, entry.bytesInRes)) {
                logFailure(log, line, "Icon file cannot be read");
                return false;
            }
            appendGroupEntry(group, entry, imageNumber);
        }
        header(out, ordinal(kTypeGroupIcon), resourceIdOf(line), kFlagsDiscardable,
               static_cast<std::uint32_t>(group.size()));
        out.bytes(group);
        return true;
    }

    void writeStrings(const Project& project) {
        for (const StringBlock& block : stringBlocks(project)) {
            std::string data;
            std::size_t next = 0;
            for (int slot = 0; slot < 16; ++slot) {
                std::string_view text;
                if (next < block.slots.size() && block.slots[next].number % 16 == slot)
                    text = block.slots[next++].text;
                data += static_cast<char>(text.size());
                data += text;
            }
            header(out, ordinal(kTypeString), ordinal(block.blockNumber), kFlagsDiscardable,
                   static_cast<std::uint32_t>(data.size()));
            out.bytes(data);
        }
    }

    bool writeWave(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs, GetItemSource(line), line, log);
        if (!in)
            return false;
        if (in->size() > 0xFFFFFFFFu) {
            logFailure(log, line, "Wave file larger than 4 GB");
            return false;
        }
        auto size = static_cast<std::uint32_t>(in->size());
        header(out, ResourceId{true, 0, "WAVE"}, resourceIdOf(line), kFlagsPure, size);
        if (!out.copyFrom(*in, 0, size)) {
            logFailure(log, line, "Wave file cannot be read");
            return false;
        }
        return true;
    }
};

// A text the slot's length byte cannot describe is refused before anything is written.
bool stringsFit16(const Project& project, CompileLog& log) {
    for (const std::string& line : project.lines(ResourceKind::String)) {
        if (itemTailText(line).size() > kMaxString16) {
            logFailure(log, line, "String too long: at most 255 characters in 16 bits-Mode");
            return false;
        }
    }
    return true;
}

} // namespace

bool Compile16(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs) {
    if (!stringsFit16(project, log))
        return false;
    std::unique_ptr<ResOutput> out = openOutput(fs, resFileName, log);
    if (!out)
        return false;

    Writer16 w{*out, log, fs};
    return writeResFile(project, *out, w, 16, resFileName, log);
}

} // namespace kelbo
