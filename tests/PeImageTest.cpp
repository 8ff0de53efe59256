// The PE header reader, the checksum and the resource directory reader and writer, on programs
// built in memory: what they accept and the offset each damage is reported at.
#include <gtest/gtest.h>

#include <functional>

#include "peimage/PeImage.h"
#include "peimage/PeResources.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/PeBuilder.h"

namespace kelbo {
namespace {

using test::buildProgram;
using test::MemoryInput;
using test::named;
using test::PeLayout;
using test::peResource;
using test::put32At;

constexpr std::size_t kOpt = test::kPeOffset + 24;
constexpr std::size_t kTable32 = kOpt + 224;
constexpr std::uint32_t kRsrcRaw = 0x600; // after the headers and .text

std::vector<PeResource> sampleResources() {
    return {peResource(ResName::of(10), ResName::of(5), 0x409, "five"),
            peResource(ResName::of(10), named(u"b"), 0, "small b"),
            peResource(ResName::of(10), named(u"B"), 0, "big B"),
            peResource(named(u"WAVE"), named(u"AB"), 0, "ab"),
            peResource(ResName::of(10), ResName::of(2), 0x407, std::string(9, 'x')),
            peResource(ResName::of(10), ResName::of(2), 0x409, "two"),
            peResource(ResName::of(3), named(u"A"), 0, "a")};
}

std::optional<PeImage> read(const std::string& bytes, std::string& error) {
    MemoryInput in(bytes);
    return readPeImage(in, "p.exe", error);
}

TEST(PeImage, ReadsBothMagicsWithTheirSections) {
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        PeLayout layout;
        layout.pe32Plus = plus;
        layout.resourcesLast = false;
        layout.overlay = "payload";
        const std::string bytes = buildProgram(layout);
        std::string error;
        std::optional<PeImage> img = read(bytes, error);
        ASSERT_TRUE(img) << error;
        EXPECT_EQ(img->pe32Plus, plus);
        ASSERT_EQ(img->sections.size(), 3u);
        EXPECT_EQ(img->sections[1].name, ".rsrc");
        EXPECT_EQ(img->endOfSections, bytes.size() - 7);
        EXPECT_EQ(img->directory(kDirectoryResource).address, 0x2000u);
        EXPECT_EQ(img->fileOffsetOf(0x2004, 4), std::optional<std::uint64_t>(kRsrcRaw + 4));
        EXPECT_FALSE(img->fileOffsetOf(0x2000 + 0x1FE, 4)); // past the raw data
        EXPECT_FALSE(img->hasCertificateTable());
    }
}

TEST(PeImage, DamagedHeadersNameTheFileAndOffset) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::string expected; // after "p.exe: offset "
    };
    const std::vector<Case> cases = {
        {"too short", [](std::string& b) { b.resize(40); }, "0: DOS header runs past"},
        {"no MZ", [](std::string& b) { b[0] = 'X'; }, "0: no \"MZ\" signature"},
        {"PE offset past the end", [](std::string& b) { put32At(b, 0x3C, 0x7FFFFFF0); },
         "2147483632: PE header runs past the end"},
        {"no PE signature", [](std::string& b) { b[test::kPeOffset] = 'N'; },
         "64: no \"PE\" signature"},
        {"bad magic", [](std::string& b) { b[kOpt] = 7; }, "88: optional header magic 263"},
        {"too many sections", [](std::string& b) { b[test::kPeOffset + 6] = 100; },
         "70: 100 sections"},
        {"directories past the optional header", [](std::string& b) { put32At(b, kOpt + 92, 17); },
         "180: 17 data directories"},
        {"file alignment not a power of two", [](std::string& b) { put32At(b, kOpt + 36, 0x300); },
         "120: section alignment"},
        {"section table past the headers", [](std::string& b) { put32At(b, kOpt + 60, 0x100); },
         "148: size of headers 256"},
        {"raw data past the end", [](std::string& b) { put32At(b, kTable32 + 40 + 16, 0x10000); },
         "368: section 2 (.rsrc): raw data of 65536 bytes"},
        {"raw data inside the headers", [](std::string& b) { put32At(b, kTable32 + 20, 0x200); },
         "332: section 1 (.text): raw data at 512 lies inside the headers"},
        {"raw data overlapping", [](std::string& b) { put32At(b, kTable32 + 40 + 20, 0x400); },
         "372: section 2 (.rsrc): raw data overlaps section .text"},
        {"addresses overlapping", [](std::string& b) { put32At(b, kTable32 + 40 + 12, 0x1100); },
         "364: section 2 (.rsrc): addresses overlap section .text"},
        {"certificate table inside the sections",
         [](std::string& b) {
             put32At(b, kOpt + 96 + 32, 0x400);
             put32At(b, kOpt + 96 + 36, 8);
         },
         "216: certificate table of 8 bytes at 1024"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = buildProgram({});
        c.damage(bytes);
        std::string error;
        EXPECT_FALSE(read(bytes, error));
        EXPECT_EQ(error.rfind("p.exe: offset " + c.expected, 0), 0u) << error;
    }
}

// The sum is one over the whole file, however it is fed, and ignores the field it fills.
TEST(PeImage, ChecksumMatchesTheStoredOneWhateverThePieces) {
    PeLayout layout;
    layout.checksum = 1;
    layout.overlay = "odd"; // an odd length ends on half a word
    const std::string bytes = buildProgram(layout);
    std::string error;
    std::optional<PeImage> img = read(bytes, error);
    ASSERT_TRUE(img) << error;
    ASSERT_NE(img->checksum, 0u);
    MemoryInput in(bytes);
    EXPECT_EQ(computePeChecksum(in, *img), img->checksum);
    for (std::size_t step : {1u, 3u, 7u, 64u, 4097u}) {
        PeChecksum sum(img->checksumOffset());
        for (std::size_t at = 0; at < bytes.size(); at += step)
            sum.add(bytes.data() + at, std::min(step, bytes.size() - at));
        EXPECT_EQ(sum.value(), img->checksum) << "pieces of " << step;
    }
}

TEST(PeResources, WritesThePeOrderAndReadsItBack) {
    PeLayout layout;
    layout.resources = sampleResources();
    for (PeResource& r : layout.resources)
        r.codePage = r.language == 0x407 ? 1252 : 0;
    const std::string bytes = buildProgram(layout);
    MemoryInput in(bytes);
    std::string error;
    std::optional<PeImage> img = readPeImage(in, "p.exe", error);
    ASSERT_TRUE(img) << error;
    std::optional<PeResourceDirectory> tree = readPeResources(in, *img, "p.exe", error);
    ASSERT_TRUE(tree) << error;
    // Named types first; names before numbers, names by code unit ("B" < "b"), numbers and
    // languages ascending.
    std::vector<std::string> order;
    for (const ResEntry& e : tree->entries) {
        order.push_back(describeName(e.type) + "/" + describeName(e.name) + "/" +
                        std::to_string(e.language) + "/" + std::to_string(e.codePage) + "=" +
                        bytes.substr(e.dataOffset, e.dataSize));
        EXPECT_EQ((e.dataOffset - kRsrcRaw) % 8, 0u);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"WAVE/AB/0/0=ab", "3/A/0/0=a", "10/B/0/0=big B",
                                               "10/b/0/0=small b", "10/2/1031/1252=xxxxxxxxx",
                                               "10/2/1033/0=two", "10/5/1033/0=five"}));
    EXPECT_EQ(tree->entries[1].memoryFlags, 0x1010);
    EXPECT_EQ(tree->entries[2].memoryFlags, 0x0030);
    // Listings and imports take the program as they take a .RES file.
    std::optional<ResDirectory> dir = readResourceEntries(in, "p.exe", error);
    ASSERT_TRUE(dir) << error;
    EXPECT_EQ(dir->entries.size(), 7u);
}

// One resource of type 10, name 1: root at 0, name table at 24, language table at 48, the data
// entry at 72, the data at 88.
TEST(PeResources, DamagedDirectoriesNameTheOffset) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::string expected;
    };
    const std::uint32_t r = kRsrcRaw;
    const std::vector<Case> cases = {
        {"a loop", [&](std::string& b) { put32At(b, r + 24 + 16 + 4, 0x80000000u); },
         "1536: language table reached a second time"},
        {"four levels", [&](std::string& b) { put32At(b, r + 48 + 16 + 4, 0x80000000u | 24); },
         "1600: a table below the language level"},
        {"data entry where a table belongs", [&](std::string& b) { put32At(b, r + 16 + 4, 72); },
         "1552: a data entry where a name table belongs"},
        {"count past the section", [&](std::string& b) { b[r + 24 + 14] = 0x7F; },
         "1576: name table runs past the end of the resource section"},
        {"name past the section",
         [&](std::string& b) { put32At(b, r + 24 + 16, 0x80000000u | 0x1FF); },
         "2047: resource name runs past the end"},
        {"data outside every section", [&](std::string& b) { put32At(b, r + 72, 0x9000); },
         "1608: resource 10 1: data of 4 bytes at address 36864 lies outside every section"},
        {"directory outside every section",
         [&](std::string& b) { put32At(b, kOpt + 96 + 16, 0x8000); },
         "200: resource directory at address 32768"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeLayout layout;
        layout.resources = {peResource(ResName::of(10), ResName::of(1), 0, "data")};
        std::string bytes = buildProgram(layout);
        c.damage(bytes);
        std::string error;
        MemoryInput in(bytes);
        std::optional<ResDirectory> dir = readResourceEntries(in, "p.exe", error);
        EXPECT_FALSE(dir);
        EXPECT_EQ(error.rfind("p.exe: offset " + c.expected, 0), 0u) << error;
    }
}

} // namespace
} // namespace kelbo
