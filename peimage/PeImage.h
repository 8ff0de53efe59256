// Reading the headers of a PE32 or PE32+ program (EXE, DLL, OCX...): the DOS stub's pointer, the
// COFF and optional headers, the data directories and the section table, each size and offset
// checked against the file before it is trusted. Only the headers are read; sections and the
// bytes after them stay in the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelbo {

inline constexpr std::uint32_t kSectionHeaderSize = 40;
inline constexpr unsigned kDirectoryResource = 2;
inline constexpr unsigned kDirectoryCertificate = 4;

struct PeSection {
    std::string name; // up to 8 bytes, without the padding zeros
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t characteristics = 0;
    std::uint64_t headerOffset = 0; // of its 40-byte header in the file
};

struct PeDataDirectory {
    std::uint32_t address = 0; // an RVA; a file offset for the certificate table
    std::uint32_t size = 0;
};

struct PeImage {
    std::uint64_t fileSize = 0;
    std::uint32_t peOffset = 0;   // of the "PE\0\0" signature
    std::uint64_t coffOffset = 0; // of the COFF header
    std::uint64_t optionalOffset = 0;
    bool pe32Plus = false;
    std::uint16_t machine = 0;
    std::uint32_t symbolTableOffset = 0; // a file offset; 0 for none
    std::uint16_t optionalSize = 0;
    std::uint32_t sizeOfInitializedData = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    std::uint32_t checksum = 0;
    std::uint64_t directoryTableOffset = 0;   // of data directory 0
    std::vector<PeDataDirectory> directories; // at most 16
    std::uint64_t sectionTableOffset = 0;
    std::vector<PeSection> sections;
    // The end of the headers and of every section's data in the file: what follows is the
    // certificate table or a payload.
    std::uint64_t endOfSections = 0;

    PeDataDirectory directory(unsigned index) const {
        return index < directories.size() ? directories[index] : PeDataDirectory{};
    }
    std::uint64_t checksumOffset() const { return optionalOffset + 64; }
    std::uint64_t sizeOfInitializedDataOffset() const { return optionalOffset + 8; }
    std::uint64_t sizeOfImageOffset() const { return optionalOffset + 56; }
    std::uint64_t directoryOffset(unsigned index) const {
        return directoryTableOffset + 8u * index;
    }
    // The section whose file-backed bytes hold [rva, rva + size); null when none does.
    const PeSection* sectionHolding(std::uint32_t rva, std::uint32_t size) const;
    // The file offset of `rva` when [rva, rva + size) lies in one section's file bytes.
    std::optional<std::uint64_t> fileOffsetOf(std::uint32_t rva, std::uint32_t size) const;
    // The table of data directory 4; none when its size is 0.
    bool hasCertificateTable() const { return directory(kDirectoryCertificate).size != 0; }
};

// True when the file begins as a program does ("MZ"), so readers can tell it from a .RES file.
bool looksLikeProgram(InputFile& file);

// Reads and checks the headers. On damage: nothing, and `error` names the file (`fileName`)
// and the offset of the field at fault.
std::optional<PeImage> readPeImage(InputFile& file, const std::string& fileName,
                                   std::string& error);

// The checksum Windows computes for a program (the one the optional header holds): 16-bit
// words added with their carries folded back in, the checksum field itself counted as zero,
// then the file's length added. Fed in order, by pieces of any size.
class PeChecksum {
public:
    explicit PeChecksum(std::uint64_t checksumOffset) : skipAt_(checksumOffset) {}
    void add(const void* data, std::size_t count);
    std::uint32_t value() const;

private:
    std::uint64_t skipAt_;
    std::uint64_t position_ = 0;
    std::uint64_t sum_ = 0;
};

// The checksum of a whole program, read by pieces; nothing on a read error.
std::optional<std::uint32_t> computePeChecksum(InputFile& file, const PeImage& image);

} // namespace kelbo
