#include "peimage/PeImage.h"
#include "platform/Bytes.h"

#include <algorithm>
#include <cstring>

namespace kelbo {
namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kMaxDirectories = 16;
// Windows loads no more; more is damage, not a program.
constexpr std::uint16_t kMaxSections = 96;
constexpr std::size_t kChunk = 1 << 20;

bool powerOfTwo(std::uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

class HeaderReader {
public:
    HeaderReader(InputFile& file, const std::string& fileName, std::string& error)
        : file_(file), fileName_(fileName), error_(error) {}

    bool fail(std::uint64_t offset, const std::string& problem) {
        error_ = fileName_ + ": offset " + std::to_string(offset) + ": " + problem;
        return false;
    }
    // Reads `count` bytes at `offset`, or fails naming `what`.
    bool read(std::uint64_t offset, unsigned char* buffer, std::size_t count, const char* what) {
        if (offset > file_.size() || count > file_.size() - offset)
            return fail(offset, std::string(what) + " runs past the end of the file");
        if (!file_.readAt(offset, buffer, count))
            return fail(offset, std::string("cannot read the ") + what);
        return true;
    }

private:
    InputFile& file_;
    const std::string& fileName_;
    std::string& error_;
};

} // namespace

const PeSection* PeImage::sectionHolding(std::uint32_t rva, std::uint32_t size) const {
    for (const PeSection& s : sections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress <= s.rawSize &&
            size <= s.rawSize - (rva - s.virtualAddress))
            return &s;
    }
    return nullptr;
}

std::optional<std::uint64_t> PeImage::fileOffsetOf(std::uint32_t rva, std::uint32_t size) const {
    const PeSection* s = sectionHolding(rva, size);
    if (!s)
        return std::nullopt;
    return std::uint64_t{s->rawOffset} + (rva - s->virtualAddress);
}

bool looksLikeProgram(InputFile& file) {
    char magic[2];
    return file.size() >= 2 && file.readAt(0, magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

std::optional<PeImage> readPeImage(InputFile& file, const std::string& fileName,
                                   std::string& error) {
    HeaderReader r(file, fileName, error);
    PeImage img;
    img.fileSize = file.size();
    unsigned char dos[64];
    if (!r.read(0, dos, sizeof dos, "DOS header"))
        return std::nullopt;
    if (dos[0] != 'M' || dos[1] != 'Z') {
        r.fail(0, "no \"MZ\" signature: not a program");
        return std::nullopt;
    }
    img.peOffset = le32(dos + 0x3C);
    unsigned char coff[24];
    if (!r.read(img.peOffset, coff, sizeof coff, "PE header"))
        return std::nullopt;
    if (std::memcmp(coff, "PE\0\0", 4) != 0) {
        r.fail(img.peOffset, "no \"PE\" signature: not a 32-bit or 64-bit Windows program");
        return std::nullopt;
    }
    img.coffOffset = img.peOffset + 4u;
    img.machine = le16(coff + 4);
    const std::uint16_t sectionCount = le16(coff + 6);
    img.symbolTableOffset = le32(coff + 12);
    img.optionalSize = le16(coff + 20);
    img.optionalOffset = img.coffOffset + 20;
    if (sectionCount > kMaxSections) {
        r.fail(img.coffOffset + 2, std::to_string(sectionCount) + " sections, more than " +
                                       std::to_string(kMaxSections) + " Windows loads");
        return std::nullopt;
    }

    if (img.optionalSize < 2) {
        r.fail(img.coffOffset + 16, "no optional header");
        return std::nullopt;
    }
    std::vector<unsigned char> opt(img.optionalSize);
    if (!r.read(img.optionalOffset, opt.data(), opt.size(), "optional header"))
        return std::nullopt;
    const std::uint16_t magic = le16(opt.data());
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) {
        r.fail(img.optionalOffset, "optional header magic " + std::to_string(magic) +
                                       " is neither PE32 (267) nor PE32+ (523)");
        return std::nullopt;
    }
    img.pe32Plus = magic == kMagicPe32Plus;
    const std::uint32_t directoriesAt = img.pe32Plus ? 112 : 96;
    if (opt.size() < directoriesAt) {
        r.fail(img.coffOffset + 16, "optional header of " + std::to_string(opt.size()) +
                                        " bytes is too short for its fields");
        return std::nullopt;
    }
    img.sizeOfInitializedData = le32(&opt[8]);
    img.sectionAlignment = le32(&opt[32]);
    img.fileAlignment = le32(&opt[36]);
    img.sizeOfImage = le32(&opt[56]);
    img.sizeOfHeaders = le32(&opt[60]);
    img.checksum = le32(&opt[64]);
    const std::uint32_t directoryCount = le32(&opt[directoriesAt - 4]);
    img.directoryTableOffset = img.optionalOffset + directoriesAt;
    if (directoryCount > (opt.size() - directoriesAt) / 8) {
        r.fail(img.optionalOffset + directoriesAt - 4,
               std::to_string(directoryCount) +
                   " data directories do not fit in the optional header");
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < std::min(directoryCount, kMaxDirectories); ++i)
        img.directories.push_back(
            {le32(&opt[directoriesAt + 8 * i]), le32(&opt[directoriesAt + 8 * i + 4])});
    if (!powerOfTwo(img.fileAlignment) || img.fileAlignment > 0x10000 ||
        !powerOfTwo(img.sectionAlignment) || img.sectionAlignment < img.fileAlignment) {
        r.fail(img.optionalOffset + 32,
               "section alignment " + std::to_string(img.sectionAlignment) +
                   " and file alignment " + std::to_string(img.fileAlignment) +
                   " are not powers of two with the file's the smaller, at most 65536");
        return std::nullopt;
    }

    img.sectionTableOffset = img.optionalOffset + img.optionalSize;
    std::vector<unsigned char> table(std::size_t{sectionCount} * kSectionHeaderSize);
    if (!r.read(img.sectionTableOffset, table.data(), table.size(), "section table"))
        return std::nullopt;
    const std::uint64_t tableEnd = img.sectionTableOffset + table.size();
    if (img.sizeOfHeaders < tableEnd || img.sizeOfHeaders > img.fileSize) {
        r.fail(img.optionalOffset + 60, "size of headers " + std::to_string(img.sizeOfHeaders) +
                                            " does not hold the section table (ending at " +
                                            std::to_string(tableEnd) + ") inside the file");
        return std::nullopt;
    }
    img.endOfSections = img.sizeOfHeaders;
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        const unsigned char* h = &table[std::size_t{i} * kSectionHeaderSize];
        PeSection s;
        s.headerOffset = img.sectionTableOffset + std::uint64_t{i} * kSectionHeaderSize;
        s.name.assign(reinterpret_cast<const char*>(h),
                      strnlen(reinterpret_cast<const char*>(h), 8));
        s.virtualSize = le32(h + 8);
        s.virtualAddress = le32(h + 12);
        s.rawSize = le32(h + 16);
        s.rawOffset = le32(h + 20);
        s.characteristics = le32(h + 36);
        const std::string which = "section " + std::to_string(i + 1) + " (" + s.name + ")";
        if (s.rawSize != 0 &&
            (s.rawOffset > img.fileSize || s.rawSize > img.fileSize - s.rawOffset)) {
            r.fail(s.headerOffset + 16, which + ": raw data of " + std::to_string(s.rawSize) +
                                            " bytes at " + std::to_string(s.rawOffset) +
                                            " runs past the end of the file");
            return std::nullopt;
        }
        if (s.rawSize != 0 && s.rawOffset < img.sizeOfHeaders) {
            r.fail(s.headerOffset + 20, which + ": raw data at " + std::to_string(s.rawOffset) +
                                            " lies inside the headers");
            return std::nullopt;
        }
        const std::uint64_t extent = std::max(s.virtualSize, s.rawSize);
        if (std::uint64_t{s.virtualAddress} + extent > 0xFFFFFFFFu) {
            r.fail(s.headerOffset + 12, which + ": addresses past 4 GB");
            return std::nullopt;
        }
        for (const PeSection& o : img.sections) {
            const std::uint64_t oExtent = std::max(o.virtualSize, o.rawSize);
            if (extent && oExtent && s.virtualAddress < o.virtualAddress + oExtent &&
                o.virtualAddress < s.virtualAddress + extent) {
                r.fail(s.headerOffset + 12, which + ": addresses overlap section " + o.name);
                return std::nullopt;
            }
            if (s.rawSize && o.rawSize && s.rawOffset < std::uint64_t{o.rawOffset} + o.rawSize &&
                o.rawOffset < std::uint64_t{s.rawOffset} + s.rawSize) {
                r.fail(s.headerOffset + 20, which + ": raw data overlaps section " + o.name);
                return std::nullopt;
            }
        }
        if (s.rawSize)
            img.endOfSections = std::max(img.endOfSections, std::uint64_t{s.rawOffset} + s.rawSize);
        img.sections.push_back(std::move(s));
    }

    const PeDataDirectory cert = img.directory(kDirectoryCertificate);
    if (cert.size != 0 && (cert.address < img.endOfSections || cert.address > img.fileSize ||
                           cert.size > img.fileSize - cert.address)) {
        r.fail(img.directoryOffset(kDirectoryCertificate),
               "certificate table of " + std::to_string(cert.size) + " bytes at " +
                   std::to_string(cert.address) + " lies outside the bytes after the sections");
        return std::nullopt;
    }
    return img;
}

void PeChecksum::add(const void* data, std::size_t count) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    // The checksum field counts as zero wherever the piece boundaries fall.
    auto skipped = [this](std::uint64_t pos) { return pos >= skipAt_ && pos < skipAt_ + 4; };
    while (i < count) {
        const std::uint64_t pos = position_ + i;
        if (pos % 2 == 0 && i + 1 < count && !skipped(pos) && !skipped(pos + 1)) {
            // Whole words up to the skipped field or the end of the piece.
            std::size_t end = count;
            if (skipAt_ >= pos && skipAt_ - pos < count - i)
                end = i + static_cast<std::size_t>(skipAt_ - pos);
            // Two words at a time: 65536 is 1 modulo 65535, so a 32-bit word adds what its
            // two halves add once the carries are folded.
            std::uint64_t s = 0;
            for (; i + 3 < end; i += 4)
                s += le32(p + i);
            for (; i + 1 < end; i += 2)
                s += le16(p + i);
            sum_ = (sum_ & 0xFFFFFFFFu) + (sum_ >> 32) + s;
            continue;
        }
        if (!skipped(pos))
            sum_ += pos % 2 == 0 ? std::uint64_t{p[i]} : std::uint64_t{p[i]} << 8;
        ++i;
    }
    position_ += count;
}

std::uint32_t PeChecksum::value() const {
    std::uint64_t s = sum_;
    while (s > 0xFFFF)
        s = (s & 0xFFFF) + (s >> 16);
    return static_cast<std::uint32_t>(s + position_);
}

std::optional<std::uint32_t> computePeChecksum(InputFile& file, const PeImage& image) {
    PeChecksum sum(image.checksumOffset());
    std::vector<char> buffer(kChunk);
    for (std::uint64_t done = 0; done < file.size();) {
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, file.size() - done));
        if (!file.readAt(done, buffer.data(), n))
            return std::nullopt;
        sum.add(buffer.data(), n);
        done += n;
    }
    return sum.value();
}

} // namespace kelbo
