// The 32-bit RES layout: a sequence of resources, each a header, its data and padding to four
// bytes, after an empty entry that marks the file as 32-bit.
#include <string>

#include "rescompiler/ItemLine.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/ResOutput.h"
#include "rescompiler/SourceFiles.h"

namespace kelbo {
namespace {

constexpr std::uint16_t kTypeBitmap = 2;
constexpr std::uint16_t kTypeIcon = 3;
constexpr std::uint16_t kTypeString = 6;
constexpr std::uint16_t kTypeGroupIcon = 14;
constexpr std::uint16_t kFlagsPure = 0x0030;
constexpr std::uint16_t kFlagsIconImage = 0x1010;
constexpr std::uint16_t kFlagsDiscardable = 0x1030;

// The Type or Name field: FFFF and an ordinal, or the widened name and its terminator.
std::string idField(const ResourceId& id) {
    std::string field;
    if (id.isName) {
        field = WidenText(id.name);
        field.append(2, '\0');
    } else {
        field = {'\xFF', '\xFF', static_cast<char>(id.ordinal & 0xFF),
                 static_cast<char>(id.ordinal >> 8)};
    }
    return field;
}

ResourceId ordinal(std::uint16_t value) {
    return {false, value, {}};
}

void writeHeader(ResOutput& out, std::uint32_t dataSize, const ResourceId& type,
                 const ResourceId& name, std::uint16_t memoryFlags) {
    std::string typeField = idField(type);
    std::string nameField = idField(name);
    auto beforePad = static_cast<std::uint32_t>(8 + typeField.size() + nameField.size());
    std::uint32_t pad = PadToFour(beforePad);
    out.u32(dataSize);
    out.u32(beforePad + pad + 16);
    out.bytes(typeField);
    out.bytes(nameField);
    out.zeros(pad);
    out.u32(0); // DataVersion
    out.u16(memoryFlags);
    out.u16(0); // LanguageId
    out.u32(0); // Version
    out.u32(0); // Characteristics
}

struct Writer32 {
    ResOutput& out;
    CompileLog& log;
    FileSystem& fs;
    std::uint16_t imageNumber = 0;

    bool WriteBitmap32(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs, GetItemSource(line), line, log);
        if (!in)
            return false;
        std::string problem;
        std::optional<BitmapHeader> header = readBitmapHeader(*in, true, problem);
        if (!header) {
            logFailure(log, line, problem);
            return false;
        }
        std::uint32_t dataSize = header->declaredSize - kBitmapFileHeaderSize;
        writeHeader(out, dataSize, ordinal(kTypeBitmap), resourceIdOf(line), kFlagsPure);
        if (!out.copyFrom(*in, kBitmapFileHeaderSize, dataSize)) {
            logFailure(log, line, "Bitmap file cannot be read");
            return false;
        }
        out.zeros(PadToFour(dataSize));
        return true;
    }

    bool writeBitmap(const std::string& line) { return WriteBitmap32(line); }
    bool writeIcon(const std::string& line) { return WriteIcon32(line); }

    bool WriteIcon32(const std::string& line) {
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
        group.reserve(6 + kGroupEntrySize * dir->entries.size());
        auto put16 = [&](std::uint16_t v) {
            group += static_cast<char>(v & 0xFF);
            group += static_cast<char>(v >> 8);
        };
        put16(dir->reserved);
        put16(dir->type);
        put16(static_cast<std::uint16_t>(dir->entries.size()));
        for (const IconEntry& entry : dir->entries) {
            ++imageNumber;
            writeHeader(out, entry.bytesInRes, ordinal(kTypeIcon), ordinal(imageNumber),
                        kFlagsIconImage);
            if (!out.copyFrom(*in, entry.imageOffset, entry.bytesInRes)) {
                logFailure(log, line, "Icon file cannot be read");
                return false;
            }
            // Keeps the next header on a four-byte boundary, as linkers require.
            out.zeros(PadToFour(entry.bytesInRes));
            appendGroupEntry(group, entry, imageNumber);
        }
        auto groupSize = static_cast<std::uint32_t>(group.size());
        writeHeader(out, groupSize, ordinal(kTypeGroupIcon), resourceIdOf(line), kFlagsDiscardable);
        out.bytes(group);
        out.zeros(PadToFour(groupSize));
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
                data += static_cast<char>(text.size() & 0xFF);
                data += static_cast<char>((text.size() >> 8) & 0xFF);
                data += WidenText(text);
            }
            auto dataSize = static_cast<std::uint32_t>(data.size());
            writeHeader(out, dataSize, ordinal(kTypeString), ordinal(block.blockNumber),
                        kFlagsDiscardable);
            out.bytes(data);
            out.zeros(PadToFour(dataSize));
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
        auto dataSize = static_cast<std::uint32_t>(in->size());
        writeHeader(out, dataSize, ResourceId{true, 0, "WAVE"}, resourceIdOf(line), kFlagsPure);
        if (!out.copyFrom(*in, 0, dataSize)) {
            logFailure(log, line, "Wave file cannot be read");
            return false;
        }
        out.zeros(PadToFour(dataSize));
        return true;
    }
};

} // namespace

bool Compile32(const Project& project, const std::string& resFileName, CompileLog& log,
               FileSystem& fs) {
    std::unique_ptr<ResOutput> out = openOutput(fs, resFileName, log);
    if (!out)
        return false;
    writeHeader(*out, 0, ordinal(0), ordinal(0), 0);

    Writer32 w{*out, log, fs};
    return writeResFile(project, *out, w, 32, resFileName, log);
}

} // namespace kelbo
