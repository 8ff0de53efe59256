// The resources both layouts write, item by item. A layout supplies what differs between them:
// the header around a resource, the padding after its data and the form of a string slot.
#pragma once

#include <cstdint>
#include <string>

#include "project/Project.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResOutput.h"
#include "rescompiler/SourceFiles.h"
#include "rescompiler/VersionInfo.h"

namespace kelbo {

inline constexpr std::uint16_t kTypeCursor = 1;
inline constexpr std::uint16_t kTypeBitmap = 2;
inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeString = 6;
inline constexpr std::uint16_t kTypeGroupCursor = 12;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kTypeVersion = 16;
inline constexpr std::uint16_t kTypeManifest = 24;
inline constexpr std::uint16_t kFlagsPure = 0x0030;
inline constexpr std::uint16_t kFlagsIconImage = 0x1010;
inline constexpr std::uint16_t kFlagsDiscardable = 0x1030;

inline const ResourceId kWaveType{true, 0, "WAVE"};

// Layout requirements:
//   static void header(ResOutput&, std::uint32_t dataSize, const ResourceId& type,
//                      const ResourceId& name, std::uint16_t memoryFlags, LanguageId language);
//   static void pad(ResOutput&, std::uint32_t dataSize);
//   static void appendSlot(std::string& block, std::string_view text);
template <class Layout> class ResWriter {
public:
    ResWriter(ResOutput& out, CompileLog& log, FileSystem& fs) : out_(out), log_(log), fs_(fs) {}

    // The file after its 14-byte header, in both layouts.
    bool writeBitmap(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs_, GetItemSource(line), line, log_);
        if (!in)
            return false;
        std::string problem;
        std::optional<BitmapFile> bmp = readBitmapFile(*in, problem);
        if (!bmp)
            return fail(line, problem);
        if (bmp->dataSize() > 0xFFFFFFFFu)
            return fail(line, "Bitmap file larger than 4 GB");
        return writeCopy(line, *in, kBitmapFileHeaderSize,
                         static_cast<std::uint32_t>(bmp->dataSize()), ordinalId(kTypeBitmap),
                         resourceIdOf(line), kFlagsPure, "Bitmap");
    }

    // Every image, numbered on from the previous image, then the group naming them.
    bool writeIcon(const std::string& line) { return writeImageGroup(line, IconFileType::Icon); }

    // Every image with its hot spot in front, then the group naming them. Icon and cursor
    // images share one sequence, as llvm-rc numbers them, so a script of the project compiles
    // to the same names.
    bool writeCursor(const std::string& line) {
        return writeImageGroup(line, IconFileType::Cursor);
    }

    // The file's bytes as they are, under the item's own type.
    bool writeData(const std::string& line) {
        std::unique_ptr<InputFile> in = openSource(fs_, GetDataSource(line), line, log_);
        if (!in)
            return false;
        if (in->size() > 0xFFFFFFFFu)
            return fail(line, "Data file larger than 4 GB");
        return writeCopy(line, *in, 0, static_cast<std::uint32_t>(in->size()),
                         resourceIdOfText(GetItemType(line)), resourceIdOf(line), kFlagsPure,
                         "Data");
    }

    // The manifest and version resources of every section are built before anything is
    // written, so a bad key stops the compilation at once rather than after every source was
    // copied.
    bool prepare(const Project& project, int bits) {
        manifests_.assign(static_cast<std::size_t>(project.sectionCount()), std::nullopt);
        versions_.assign(static_cast<std::size_t>(project.sectionCount()), std::nullopt);
        for (int i = 0; i < project.sectionCount(); ++i) {
            const LanguageSection& section = project.section(i);
            setSection(i, section.language);
            const auto at = static_cast<std::size_t>(i);
            if (section.count(ResourceKind::Manifest) > 0) {
                ManifestProblem problem;
                manifests_[at] = buildManifest(section.lines(ResourceKind::Manifest), fs_, problem);
                if (!manifests_[at])
                    return fail(problem.line, problem.problem);
            }
            if (section.count(ResourceKind::Version) > 0) {
                VersionProblem problem;
                versions_[at] =
                    buildVersionResource(section.lines(ResourceKind::Version), bits, problem);
                if (!versions_[at])
                    return fail(problem.line, problem.text);
            }
        }
        return true;
    }

    // The resources that follow are written in this section's language; error lines name it
    // when the project has more than one section.
    void setSection(int index, LanguageId language) {
        section_ = static_cast<std::size_t>(index);
        language_ = language;
        if (multilingual_)
            log_.setItemLanguage(std::string(logtext::kLanguage) + languageHex(language));
    }
    void setMultilingual(bool multilingual) { multilingual_ = multilingual; }

    void writeManifest() {
        if (const auto& manifest = manifests_.at(section_))
            writeBlock(manifest->data, ordinalId(kTypeManifest), ordinalId(manifest->id),
                       kFlagsPure);
    }

    void writeVersion() {
        if (const auto& version = versions_.at(section_))
            writeBlock(*version, ordinalId(kTypeVersion), ordinalId(1), kFlagsPure);
    }

    void writeStrings(const LanguageSection& section) {
        for (const StringBlock& block : stringBlocks(section)) {
            std::string data;
            std::size_t next = 0;
            for (int slot = 0; slot < 16; ++slot) {
                std::string_view text;
                if (next < block.slots.size() && block.slots[next].number % 16 == slot)
                    text = block.slots[next++].text;
                Layout::appendSlot(data, text);
            }
            writeBlock(data, ordinalId(kTypeString), ordinalId(block.blockNumber),
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

    void header(std::uint32_t dataSize, const ResourceId& type, const ResourceId& name,
                std::uint16_t memoryFlags) {
        Layout::header(out_, dataSize, type, name, memoryFlags, language_);
    }

    bool writeImageGroup(const std::string& line, IconFileType type) {
        std::uint16_t& number = imageNumber_;
        const bool cursor = type == IconFileType::Cursor;
        std::unique_ptr<InputFile> in = openSource(fs_, GetItemSource(line), line, log_);
        if (!in)
            return false;
        std::string problem;
        std::optional<IconDirectory> dir = readIconDirectory(*in, problem, type);
        if (!dir)
            return fail(line, problem);
        // The group: reserved 0, the file's type, the image count (a word), then the entries.
        std::string group;
        auto put16 = [&](std::uint16_t v) {
            group += static_cast<char>(v & 0xFF);
            group += static_cast<char>(v >> 8);
        };
        put16(0);
        put16(static_cast<std::uint16_t>(type));
        put16(static_cast<std::uint16_t>(dir->entries.size()));
        for (const IconEntry& entry : dir->entries) {
            // Image names are words; a wrapped number would name an earlier image twice.
            if (number == 0xFFFF)
                return fail(line, "More than 65535 icon and cursor images in the project");
            ++number;
            if (cursor) {
                if (entry.bytesInRes > 0xFFFFFFFFu - kHotSpotSize)
                    return fail(line, "Cursor image larger than 4 GB");
                const std::uint32_t size = entry.bytesInRes + kHotSpotSize;
                header(size, ordinalId(kTypeCursor), ordinalId(number), kFlagsIconImage);
                // The directory's planes and bit count fields hold the hot spot.
                out_.u16(entry.planes);
                out_.u16(entry.bitCount);
                if (!out_.copyFrom(*in, entry.imageOffset, entry.bytesInRes))
                    return fail(line, "Cursor file cannot be read");
                Layout::pad(out_, size);
                appendCursorGroupEntry(group, entry, number);
            } else {
                if (!writeCopy(line, *in, entry.imageOffset, entry.bytesInRes, ordinalId(kTypeIcon),
                               ordinalId(number), kFlagsIconImage, "Icon"))
                    return false;
                appendGroupEntry(group, entry, number);
            }
        }
        writeBlock(group, ordinalId(cursor ? kTypeGroupCursor : kTypeGroupIcon), resourceIdOf(line),
                   kFlagsDiscardable);
        return true;
    }

    void writeBlock(const std::string& data, const ResourceId& type, const ResourceId& name,
                    std::uint16_t flags) {
        auto size = static_cast<std::uint32_t>(data.size());
        header(size, type, name, flags);
        out_.bytes(data);
        Layout::pad(out_, size);
    }

    bool writeCopy(const std::string& line, InputFile& in, std::uint64_t offset, std::uint32_t size,
                   const ResourceId& type, const ResourceId& name, std::uint16_t flags,
                   std::string_view what) {
        header(size, type, name, flags);
        if (!out_.copyFrom(in, offset, size))
            return fail(line, std::string(what) + " file cannot be read");
        Layout::pad(out_, size);
        return true;
    }

    ResOutput& out_;
    CompileLog& log_;
    FileSystem& fs_;
    std::uint16_t imageNumber_ = 0;
    std::vector<std::optional<ManifestResource>> manifests_;
    std::vector<std::optional<std::string>> versions_;
    std::size_t section_ = 0;
    LanguageId language_ = 0;
    bool multilingual_ = false;
};

} // namespace kelbo
