// Shared pieces of the two writers: a little-endian byte sink over the output file, the source
// reading with its error lines, and the STRING table both layouts sort into blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "project/Project.h"
#include "rescompiler/CompileLog.h"

namespace kelbo {

class ResOutput {
public:
    explicit ResOutput(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

    void bytes(std::string_view data) { append(data.data(), data.size()); }
    void zeros(std::size_t count) {
        static constexpr char kZeros[4] = {};
        while (count > 0) {
            std::size_t n = count < sizeof kZeros ? count : sizeof kZeros;
            append(kZeros, n);
            count -= n;
        }
    }
    void u8(std::uint8_t v) { append(&v, 1); }
    void u16(std::uint16_t v) {
        const unsigned char b[2] = {static_cast<unsigned char>(v & 0xFF),
                                    static_cast<unsigned char>(v >> 8)};
        append(b, 2);
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    // Copies `count` bytes at `offset` of `source` through the buffer, so no source is held
    // whole.
    bool copyFrom(InputFile& source, std::uint64_t offset, std::uint64_t count);

    bool ok() const { return ok_; }
    std::string error() const { return error_; }
    // Writes what is buffered and puts the file in place.
    bool commit();

private:
    void append(const void* data, std::size_t count);
    void flush();
    // Small at first; large only once a source's data is copied, so the size stays justified
    // by the input.
    void reserve(std::size_t capacity);

    static constexpr std::size_t kSmallCapacity = 1 << 14;
    static constexpr std::size_t kLargeCapacity = 1 << 20;
    std::unique_ptr<OutputFile> file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    bool ok_ = true;
    std::string error_;
};

// Appends "*** ERROR ***", the item's language when the log names one (CompileLog::
// setItemLanguage), the item line (when there is one) and the problem.
void logFailure(CompileLog& log, std::string_view itemLine, std::string_view problem);

// Opens a source named by an item, logging the failure.
std::unique_ptr<InputFile> openSource(FileSystem& fs, const std::string& path,
                                      std::string_view itemLine, CompileLog& log);

// Opens the temporary output beside `resFileName`, logging the failure.
std::unique_ptr<ResOutput> openOutput(FileSystem& fs, const std::string& resFileName,
                                      CompileLog& log);
// Commits, logging a failure.
bool commitOutput(ResOutput& out, const std::string& resFileName, CompileLog& log);

// One kind: nothing when no section holds it, else `writeAll(section)` for each section that
// does (the base first, then the others in the project's order), with the writer in that
// section's language, and then "[KIND] = OK". False when a source failed (logged by `writeAll`)
// or the output failed (logged at commit).
template <class Writer, class WriteAll>
bool writeKind(const Project& project, ResourceKind kind, ResOutput& out, CompileLog& log,
               Writer& w, WriteAll&& writeAll) {
    if (!project.anyItems(kind))
        return true;
    for (int i = 0; i < project.sectionCount(); ++i) {
        const LanguageSection& section = project.section(i);
        if (section.count(kind) == 0)
            continue;
        w.setSection(i, section.language);
        if (!writeAll(section) || !out.ok())
            return false;
    }
    log.AddLogLine("[" + std::string(kindName(kind)) + "] = OK");
    return true;
}

// Writes each line of the kind in turn, stopping at the first failure of a source or of the
// output.
template <class WriteOne> auto eachLine(ResourceKind kind, ResOutput& out, WriteOne writeOne) {
    return [kind, &out, writeOne](const LanguageSection& section) {
        for (const std::string& line : section.lines(kind)) {
            if (!writeOne(line) || !out.ok())
                return false;
        }
        return true;
    };
}

// Writes the kinds in the fixed order, then puts the file in place and logs the two closing
// lines. `Writer` has prepare (builds what is made from the project as a whole), setSection,
// writeBitmap, writeIcon, writeWave, writeCursor, writeData (per line), writeStrings,
// writeManifest and writeVersion (per section).
template <class Writer>
bool writeResFile(const Project& project, ResOutput& out, Writer& w, int bits,
                  const std::string& resFileName, CompileLog& log) {
    auto kind = [&](ResourceKind k, auto writeAll) {
        return writeKind(project, k, out, log, w, writeAll);
    };
    auto perLine = [&](ResourceKind k, auto writeOne) {
        return kind(k, eachLine(k, out, writeOne));
    };
    auto whole = [&](ResourceKind k, auto write) {
        return kind(k, [&](const LanguageSection& section) {
            write(section);
            return true;
        });
    };
    if (!w.prepare(project, bits))
        return false;
    bool written =
        perLine(ResourceKind::Bitmap, [&](auto& l) { return w.writeBitmap(l); }) &&
        perLine(ResourceKind::Icon, [&](auto& l) { return w.writeIcon(l); }) &&
        whole(ResourceKind::String, [&](const LanguageSection& s) { w.writeStrings(s); }) &&
        perLine(ResourceKind::Wave, [&](auto& l) { return w.writeWave(l); }) &&
        perLine(ResourceKind::Cursor, [&](auto& l) { return w.writeCursor(l); }) &&
        perLine(ResourceKind::Data, [&](auto& l) { return w.writeData(l); }) &&
        whole(ResourceKind::Manifest, [&](const LanguageSection&) { w.writeManifest(); }) &&
        whole(ResourceKind::Version, [&](const LanguageSection&) { w.writeVersion(); });
    if (!written && out.ok())
        return false; // a source failed; its lines are in the log
    if (!commitOutput(out, resFileName, log))
        return false;
    log.AddLogLine("Compilation " + std::to_string(bits) + " bits : " + resFileName);
    log.AddSuccessLine();
    return true;
}

// STRING items by block: sorted by number; one entry per slot in use (a later twin wins).
struct StringSlot {
    int number;
    std::string_view text;
};
struct StringBlock {
    std::uint16_t blockNumber;
    std::vector<StringSlot> slots; // ascending, one per number
};
std::vector<StringBlock> stringBlocks(const LanguageSection& section);
inline std::vector<StringBlock> stringBlocks(const Project& project) {
    return stringBlocks(project.base());
}

} // namespace kelbo
