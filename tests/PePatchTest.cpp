// Writing resources into a program: the merge rules on resources in hand, then whole programs
// built in memory patched through the file layer.
#include <gtest/gtest.h>

#include "peimage/PePatch.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/PeBuilder.h"

namespace kelbo {
namespace {

using test::buildProgram;
using test::le16;
using test::le32;
using test::MemoryFileSystem;
using test::MemoryInput;
using test::named;
using test::PeLayout;
using test::peResource;

const ResName kRcData = ResName::of(10);

std::string group(const std::vector<std::uint16_t>& ids) {
    std::string g;
    le16(g, 0);
    le16(g, 1);
    le16(g, static_cast<std::uint32_t>(ids.size()));
    for (std::uint16_t id : ids) {
        g += std::string("\x10\x10\0\0", 4);
        le16(g, 1);
        le16(g, 32);
        le32(g, 4);
        le16(g, id);
    }
    return g;
}

std::string strings(const std::vector<std::pair<int, std::u16string>>& slots) {
    std::vector<std::u16string> all(16);
    for (const auto& [slot, text] : slots)
        all[static_cast<std::size_t>(slot)] = text;
    std::string block;
    for (const std::u16string& s : all) {
        le16(block, static_cast<std::uint32_t>(s.size()));
        for (char16_t c : s)
            le16(block, c);
    }
    return block;
}

std::string describe(const std::vector<PeResource>& tree) {
    std::string out;
    for (const PeResource& r : tree)
        out += describeName(r.type) + "/" + describeName(r.name) + "/" + hexWord(r.language) + "=" +
               (r.type.isOrdinal(kRtGroupIcon) ? "group" : r.data) + " ";
    return out;
}

struct Merged {
    std::vector<PeResource> tree;
    std::vector<std::string> changes;
};
Merged merge(const std::vector<PeResource>& program, const std::vector<PeResource>& from) {
    Merged m;
    std::string error;
    EXPECT_TRUE(mergeResources(program, from, m.tree, m.changes, error)) << error;
    // Merging again with the same resources changes nothing.
    Merged again;
    EXPECT_TRUE(mergeResources(m.tree, from, again.tree, again.changes, error));
    EXPECT_EQ(describe(again.tree), describe(m.tree));
    return m;
}

TEST(PeMerge, LanguagesVersionAndManifest) {
    const ResName version = ResName::of(kRtVersion), manifest = ResName::of(kRtManifest);
    Merged m = merge({peResource(kRcData, named(u"ONE"), 0x409, "old one"),
                      peResource(kRcData, named(u"TWO"), 0x409, "old two"),
                      peResource(version, ResName::of(1), 0x409, "old version"),
                      peResource(version, ResName::of(2), 0x407, "second version"),
                      peResource(manifest, ResName::of(1), 0x409, "old en"),
                      peResource(manifest, ResName::of(1), 0x407, "old de")},
                     {// In one language only: it replaces the program's other language.
                      peResource(kRcData, named(u"ONE"), 0, "new one"),
                      // In two languages: each merges by its own language.
                      peResource(kRcData, named(u"TWO"), 0, "new two 0"),
                      peResource(kRcData, named(u"TWO"), 0x40C, "new two fr"),
                      peResource(version, ResName::of(1), 0, "new version"),
                      peResource(manifest, ResName::of(1), 0, "new manifest")});
    EXPECT_EQ(describe(m.tree),
              "10/ONE/0x0409=new one 10/TWO/0x0000=new two 0 10/TWO/0x0409=old two "
              "10/TWO/0x040C=new two fr 16/1/0x0409=new version 24/1/0x0407=new manifest "
              "24/1/0x0409=new manifest ");
    EXPECT_EQ(m.changes, (std::vector<std::string>{
                             "replaced 10 ONE 0x0409", "added 10 TWO 0x0000", "added 10 TWO 0x040C",
                             "replaced VERSION 1 0x0409", "removed VERSION 2 0x0407",
                             "replaced MANIFEST 1 0x0407", "replaced MANIFEST 1 0x0409"}));
}

TEST(PeMerge, IconGroupsRenumberTheirImagesAndDropOrphans) {
    const ResName groupType = ResName::of(kRtGroupIcon), icon = ResName::of(kRtIcon);
    Merged m =
        merge({peResource(groupType, ResName::of(1), 0x409, group({1, 2})),
               peResource(groupType, ResName::of(2), 0x409, group({2, 3})),
               peResource(icon, ResName::of(1), 0x409, "p1"),
               peResource(icon, ResName::of(2), 0x409, "p2"),
               peResource(icon, ResName::of(3), 0x409, "p3")},
              {peResource(groupType, ResName::of(1), 0, group({1, 2, 3})),
               peResource(icon, ResName::of(1), 0, "f1"), peResource(icon, ResName::of(2), 0, "f2"),
               peResource(icon, ResName::of(3), 0, "f3")});
    // Image 1 only the replaced group used; 2 and 3 group 2 still needs. FROM's images take
    // 1, 4 and 5, in the program's language, and the group names them.
    EXPECT_EQ(describe(m.tree), "3/1/0x0409=f1 3/2/0x0409=p2 3/3/0x0409=p3 3/4/0x0409=f2 "
                                "3/5/0x0409=f3 14/1/0x0409=group 14/2/0x0409=group ");
    EXPECT_EQ(m.tree[5].data, group({1, 4, 5}));
    EXPECT_EQ(m.changes,
              (std::vector<std::string>{"replaced ICON 1 0x0409", "added ICON 4 0x0409",
                                        "added ICON 5 0x0409", "replaced GROUP_ICON 1 0x0409"}));
    std::vector<PeResource> tree;
    std::vector<std::string> changes;
    std::string error;
    EXPECT_FALSE(mergeResources({}, {peResource(groupType, ResName::of(1), 0, group({9}))}, tree,
                                changes, error));
    EXPECT_EQ(error, "group 1 names image 9, which is missing");
}

TEST(PeMerge, StringTablesMergeStringByString) {
    const ResName type = ResName::of(kRtString);
    Merged m = merge({peResource(type, ResName::of(1), 0x409, strings({{0, u"zero"}, {1, u"one"}})),
                      peResource(type, ResName::of(2), 0x409, strings({{0, u"sixteen"}}))},
                     {peResource(type, ResName::of(1), 0, strings({{1, u"ONE"}, {2, u"TWO"}})),
                      peResource(type, ResName::of(3), 0, strings({{5, u"x"}}))});
    ASSERT_EQ(m.tree.size(), 3u);
    EXPECT_EQ(m.tree[0].language, 0x409);
    EXPECT_EQ(m.tree[0].data, strings({{0, u"zero"}, {1, u"ONE"}, {2, u"TWO"}}));
    EXPECT_EQ(m.tree[1].data, strings({{0, u"sixteen"}}));
    EXPECT_EQ(m.tree[2].language, 0);
    std::vector<PeResource> tree;
    std::vector<std::string> changes;
    std::string error;
    EXPECT_FALSE(
        mergeResources({}, {peResource(type, ResName::of(1), 0, "\x05")}, tree, changes, error));
}

// --- whole programs ---

std::string res32(const std::vector<PeResource>& resources) {
    std::string out = std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16);
    out.resize(32, '\0');
    for (const PeResource& r : resources) {
        std::string names;
        for (const ResName* n : {&r.type, &r.name}) {
            if (n->isName) {
                for (char16_t c : n->text)
                    le16(names, c);
                le16(names, 0);
            } else {
                le16(names, 0xFFFF);
                le16(names, n->ordinal);
            }
        }
        names.resize((names.size() + 3) / 4 * 4, '\0');
        le32(out, static_cast<std::uint32_t>(r.data.size()));
        le32(out, static_cast<std::uint32_t>(8 + names.size() + 16));
        out += names;
        le32(out, 0);
        le16(out, 0x30);
        le16(out, r.language);
        le32(out, 0);
        le32(out, 0);
        out += r.data;
        out.resize((out.size() + 3) / 4 * 4, '\0');
    }
    return out;
}

struct Program {
    std::string bytes;
    PeImage image;
    std::vector<PeResource> resources;
};
Program readBack(const std::string& bytes) {
    Program p{bytes, {}, {}};
    MemoryInput in(bytes);
    std::string error;
    std::optional<PeImage> img = readPeImage(in, "out.exe", error);
    EXPECT_TRUE(img) << error;
    if (!img)
        return p;
    p.image = *img;
    std::optional<PeResourceDirectory> tree = readPeResources(in, *img, "out.exe", error);
    EXPECT_TRUE(tree) << error;
    for (const ResEntry& e : tree ? tree->entries : std::vector<ResEntry>{})
        p.resources.push_back(
            peResource(e.type, e.name, e.language, bytes.substr(e.dataOffset, e.dataSize)));
    return p;
}

const std::vector<PeResource> kProgramResources = {
    peResource(kRcData, named(u"KEEP"), 0x409, "kept as it was"),
    peResource(kRcData, ResName::of(7), 0x409, "old seven")};

TEST(PePatch, WritesEveryLayoutAndIsIdempotent) {
    struct Case {
        const char* what;
        bool plus, withResources, last;
        std::size_t fromSize, codeSize;
        std::size_t sections; // after the patch
    };
    const std::vector<Case> cases = {
        {"last, growing", false, true, true, 5000, 0x180, 2},
        {"last, shrinking", true, true, true, 1, 0x180, 2},
        {"followed by .reloc", false, true, false, 100, 0x180, 4},
        {"no resources at all", true, false, true, 100, 0x180, 2},
        // The section before ends where the resources begin.
        {"code up to the resources", false, true, true, 100, 0x1000, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeLayout layout;
        layout.pe32Plus = c.plus;
        layout.withResources = c.withResources;
        layout.resourcesLast = c.last;
        layout.codeSize = c.codeSize;
        layout.checksum = 1;
        layout.overlay = std::string("PAYLOAD\0\x01\x02", 10) + std::string(700, 'p');
        layout.resources = kProgramResources;
        MemoryFileSystem fs;
        fs.files["p.exe"] = buildProgram(layout);
        const std::string from(c.fromSize, 'n');
        fs.files["f.res"] = res32({peResource(kRcData, ResName::of(7), 0, from),
                                   peResource(kRcData, named(u"NEW"), 0, "added")});
        PatchResult r = patchProgram("p.exe", "f.res", "out.exe", {}, fs);
        ASSERT_TRUE(r.ok) << r.error;
        Program out = readBack(fs.files["out.exe"]);
        EXPECT_EQ(out.image.sections.size(), c.sections);
        const std::string expected =
            c.withResources
                ? "10/KEEP/0x0409=kept as it was 10/NEW/0x0000=added 10/7/0x0409=" + from + " "
                : "10/NEW/0x0000=added 10/7/0x0000=" + from + " ";
        EXPECT_EQ(describe(out.resources), expected);
        // The new resource section is the last; the image and the payload follow it.
        const PeSection& rsrc = out.image.sections.back();
        EXPECT_EQ(rsrc.virtualAddress, out.image.directory(kDirectoryResource).address);
        EXPECT_EQ(rsrc.rawSize % test::kFileAlignment, 0u);
        EXPECT_EQ(out.image.sizeOfImage,
                  (rsrc.virtualAddress + rsrc.virtualSize + 0xFFF) / 0x1000 * 0x1000);
        EXPECT_EQ(out.bytes.substr(out.image.endOfSections), layout.overlay);
        MemoryInput in(out.bytes);
        EXPECT_EQ(computePeChecksum(in, out.image), out.image.checksum);
        // The code is where it was.
        EXPECT_EQ(out.bytes.substr(0x400, 0x200), fs.files["p.exe"].substr(0x400, 0x200));
        PatchResult again = patchProgram("out.exe", "f.res", "out.exe", {}, fs);
        ASSERT_TRUE(again.ok) << again.error;
        EXPECT_EQ(fs.files["out.exe"], out.bytes) << "a second patch changed the program";
        EXPECT_EQ(fs.temporaryCount(), 0u);
    }
}

TEST(PePatch, SignedProgramsAndRefusalsLeaveTheFileAlone) {
    PeLayout layout;
    layout.overlay = "payload";
    layout.certificate = std::string(24, 'C');
    MemoryFileSystem fs;
    const std::string signedProgram = buildProgram(layout);
    fs.files["p.exe"] = signedProgram;
    fs.files["f.res"] = res32({peResource(kRcData, ResName::of(1), 0, "x")});
    PatchResult refused = patchProgram("p.exe", "f.res", "p.exe", {}, fs);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.refusedSigned);
    EXPECT_EQ(refused.error.rfind("p.exe: the program is signed", 0), 0u) << refused.error;
    EXPECT_EQ(fs.files["p.exe"], signedProgram);

    PatchOptions unsign;
    unsign.unsign = true;
    PatchResult r = patchProgram("p.exe", "f.res", "p.exe", unsign, fs);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.changes.back(),
              "removed the signature (a certificate table of 24 bytes); sign the program again");
    Program out = readBack(fs.files["p.exe"]);
    EXPECT_FALSE(out.image.hasCertificateTable());
    EXPECT_EQ(out.bytes.substr(out.image.endOfSections), "payload");

    // No room for another section header: the first section's data follows the table.
    layout = {};
    layout.resourcesLast = false;
    std::string tight = buildProgram(layout);
    tight[test::kPeOffset + 24 + 224 + 3 * 40] = 'x';
    fs.files["t.exe"] = tight;
    PatchResult noRoom = patchProgram("t.exe", "f.res", "t.exe", {}, fs);
    EXPECT_FALSE(noRoom.ok);
    EXPECT_NE(noRoom.error.find("offset 432: no room for one more section header"),
              std::string::npos)
        << noRoom.error;
    // A 16-bit .RES, a damaged program.
    fs.files["f16.res"] = std::string("\xFF\x0A\0\xFF\x01\0\x30\0\x01\0\0\0x", 13);
    PatchResult bits16 = patchProgram("t.exe", "f16.res", "t.exe", {}, fs);
    EXPECT_EQ(bits16.error, "f16.res: a 16-bit .RES file; a program takes the 32-bit layout");
    fs.files["d.exe"] = tight.substr(0, 300);
    EXPECT_FALSE(patchProgram("d.exe", "f.res", "d.exe", {}, fs).ok);
    EXPECT_EQ(fs.files["t.exe"], tight);
    EXPECT_EQ(fs.temporaryCount(), 0u);
}

} // namespace
} // namespace kelbo
