// The resources both layouts write, item by item. A layout supplies what differs between them:
// the header around a resource, the padding after its data, the form of a string slot and
// which size a bitmap's data takes.
#pragma once

#include <cstdint>
#include <string>

#include "project/Project.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/ResOutput.h"
#include "rescompiler/SourceFiles.h"

namespace kelbo {

inline constexpr std::uint16_t kTypeBitmap = 2;
inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeString = 6;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kFlagsPure = 0x0030;
inline constexpr std::uint16_t kFlagsIconImage = 0x1010;
inline constexpr std::uint16_t kFlagsDiscardable = 0x1030;

inline const ResourceId kWaveType{true, 0, "WAVE"};

// Layout requirements:
//   static void header(ResOutput&, std::uint32_t dataSize, const ResourceId& type,
//                      const ResourceId& name, std::uint16_t memoryFlags);
//   static void pad(ResOutput&, std::uint32_t dataSize);
//   static void appendSlot(std::string& block, std::string_view text);
//   static std::uint64_t bitmapDataSize(const BitmapHeader&);
//   static constexpr bool kCheckDeclaredSize;
template <class Layout> class ResWriter {
public:
    ResWriter(ResOutput& out, CompileLog& log, FileSystem& fs) : out_(out), log_(log), fs_(fs) {}

    bool writeBitmap(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs_, GetItemSource(line), line, log_);
        if (!in)
            return false;
        std::string problem;
        std::optional<BitmapHeader> bmp =
            readBitmapHeader(*in, Layout::kCheckDeclaredSize, problem);
        if (!bmp)
            return fail(line, problem);
        std::uint64_t size = Layout::bitmapDataSize(*bmp);
        if (size > 0xFFFFFFFFu)
            return fail(line, "Bitmap file larger than 4 GB");
        return writeCopy(line, *in, kBitmapFileHeaderSize, static_cast<std::uint32_t>(size),
                         ordinalId(kTypeBitmap), resourceIdOf(line), kFlagsPure, "Bitmap");
    }

    // The first four images, numbered on from the previous icon, then the group naming them.
    bool writeIcon(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs_, GetItemSource(line), line, log_);
        if (!in)
            return false;
        std::string problem;
        std::optional<IconDirectory> dir = readIconDirectory(*in, problem);
        if (!dir)
            return fail(line, problem);
        std::string group;
        auto put16 = [&](std::uint16_t v) {
            group += static_cast<char>(v & 0xFF);
            group += static_cast<char>(v >> 8);
        };
        put16(dir->reserved);
        put16(dir->type);
        put16(static_cast<std::uint16_t>(dir->entries.size()));
        for (const IconEntry& entry : dir->entries) {
            ++imageNumber_;
            if (!writeCopy(line, *in, entry.imageOffset, entry.bytesInRes, ordinalId(kTypeIcon),
                           ordinalId(imageNumber_), kFlagsIconImage, "Icon"))
                return false;
            appendGroupEntry(group, entry, imageNumber_);
        }
        writeData(group, ordinalId(kTypeGroupIcon), resourceIdOf(line), kFlagsDiscardable);
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
                Layout::appendSlot(data, text);
            }
            writeData(data, ordinalId(kTypeString), ordinalId(block.blockNumber),
                      kFlagsDiscardable);
        }
    }

    bool writeWave(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs_, GetItemSource(line), line, log_);
        if (!in)
            return false;
        if (in->size() > 0xFFFFFFFFu)
            return fail(line, "Wave file larger than 4 GB");
        return writeCopy(line, *in, 0, static_cast<std::uint32_t>(in->size()), kWaveType,
                         resourceIdOf(line), kFlagsPure, "Wave");
    }

private:
    bool fail(const std::string& line, std::string_view problem) {
        logFailure(log_, line, problem);
        return false;
    }

    void writeData(const std::string& data, const ResourceId& type, const ResourceId& name,
                   std::uint16_t flags) {
        auto size = static_cast<std::uint32_t>(data.size());
        Layout::header(out_, size, type, name, flags);
        out_.bytes(data);
        Layout::pad(out_, size);
    }

    bool writeCopy(const std::string& line, InputFile& in, std::uint64_t offset, std::uint32_t size,
                   const ResourceId& type, const ResourceId& name, std::uint16_t flags,
                   std::string_view what) {
        Layout::header(out_, size, type, name, flags);
        if (!out_.copyFrom(in, offset, size))
            return fail(line, std::string(what) + " file cannot be read");
        Layout::pad(out_, size);
        return true;
    }

    ResOutput& out_;
    CompileLog& log_;
    FileSystem& fs_;
    std::uint16_t imageNumber_ = 0;
};

} // namespace kelbo
