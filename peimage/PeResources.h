// A program's resource directory: three levels of tables (type, name, language) over data
// entries, read into the same entries the .RES reader gives, and written back as a resource
// section for a given address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "peimage/PeImage.h"
#include "resreader/ResFile.h"

namespace kelbo {

// The root table's fields a rewrite keeps.
struct PeResourceStamp {
    std::uint32_t characteristics = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
};

struct PeResourceDirectory {
    // In the directory's order. dataOffset is a file offset; headerOffset is the file offset of
    // the data entry. A program keeps no memory flags: each entry gets the ones the resource
    // compilers give its type, so listings and imports treat it as a .RES resource.
    std::vector<ResEntry> entries;
    PeResourceStamp stamp;
};

// The resource directory of data directory 2 (none: no entries). On damage (a loop, more than
// three levels, a count, name or data entry outside its section), nothing, and `error` names
// the file and the offset.
std::optional<PeResourceDirectory> readPeResources(InputFile& file, const PeImage& image,
                                                   const std::string& fileName, std::string& error);

// The resources of a .RES file or of a program (told apart by "MZ"): what listings and
// imports read. A program's come in the 32-bit layout.
std::optional<ResDirectory> readResourceEntries(InputFile& file, const std::string& fileName,
                                                std::string& error);

// One resource to write, its data in hand.
struct PeResource {
    ResName type;
    ResName name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::string data;
};

// The order of the PE format at each level: names before numbers, names by their UTF-16 code
// units (Windows looks them up by binary search), numbers ascending.
bool resourceNameLess(const ResName& a, const ResName& b);
void sortResources(std::vector<PeResource>& resources);

// The bytes of a resource section for `resources` (sorted, no two of one type, name and
// language) placed at `baseRva`: the tables, the data entries, the names, then each resource's
// data on an 8-byte boundary. Empty with `error` set when a table would need more than 65535
// entries.
std::string writeResourceSection(const std::vector<PeResource>& resources, std::uint32_t baseRva,
                                 const PeResourceStamp& stamp, std::string& error);

} // namespace kelbo
