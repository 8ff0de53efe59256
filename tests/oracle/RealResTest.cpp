// Real .RES files that other people wrote (the shared collection beside the source tree): each is
// imported, compiled back in its own layout, and compared with the original resource by resource.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ResReader.h"
#include "ScriptSupport.h"
#include "rescompiler/ResCompiler.h"
#include "resreader/Import.h"
#include "resreader/ResFile.h"
#include "tests/support/MemoryFileSystem.h"

namespace fs = std::filesystem;

namespace {

// Every resource through the core's reader, in the comparison's form (the empty entry first),
// without the oracle reader's strictness about padding, which real files do not all keep.
std::optional<std::vector<oracle::Resource>>
resources(const std::string& bytes, kelbo::ResLayout& layout, std::string& error) {
    kelbo::test::MemoryInput in(bytes);
    std::optional<kelbo::ResDirectory> dir = kelbo::readResDirectory(in, "file", error);
    if (!dir)
        return std::nullopt;
    layout = dir->layout;
    std::vector<oracle::Resource> out(1);
    auto id = [](const kelbo::ResName& n) {
        return n.isName ? oracle::ResId::ofName(n.text) : oracle::ResId::ofNumber(n.ordinal);
    };
    for (const kelbo::ResEntry& e : dir->entries) {
        oracle::Resource r;
        r.type = id(e.type);
        r.name = id(e.name);
        r.memoryFlags = e.memoryFlags;
        r.language = e.language;
        r.dataVersion = e.dataVersion;
        r.version = e.version;
        r.characteristics = e.characteristics;
        r.data = bytes.substr(e.dataOffset, e.dataSize);
        out.push_back(std::move(r));
    }
    return out;
}

// What a project cannot give back; docs/divergences.md gives each reason.
enum class Limit {
    Damaged,          // damaged in its own repository: refused with the offset
    GroupEntryFields, // a group's planes and bit count come from each image's own header
    ImageInNoGroup,   // an image no group names becomes a group of its own
    ImageLanguage,    // an image takes its group's language
    HighStringBlock,  // string identifiers stop at 32767 (block 2048)
    VersionLayout,    // version data laid out other than rc.exe and llvm-rc do
    DigitName,        // a name of digits would read as a number
};

// The limit a difference shows, if it is one of them.
std::optional<Limit> limitOf(const std::string& diff) {
    auto has = [&](const char* part) { return diff.find(part) != std::string::npos; };
    if (diff.rfind("refused: ", 0) == 0)
        return Limit::Damaged;
    if (has("group entry fields differ"))
        return Limit::GroupEntryFields;
    if (has("\"ICON_IMAGE_") || has("\"CURSOR_IMAGE_") || has(" in no group"))
        return Limit::ImageInNoGroup;
    if (has("image language differs"))
        return Limit::ImageLanguage;
    if (diff.rfind("6 ", 0) == 0 && has("only in theirs") && std::stoi(diff.substr(2)) > 2048)
        return Limit::HighStringBlock;
    if (diff.rfind("16 1 (", 0) == 0 && has("data differ"))
        return Limit::VersionLayout;
    const std::size_t quote = diff.find('"');
    if (quote != std::string::npos && (has("only in ours") || has("only in theirs"))) {
        std::string name = diff.substr(quote + 1, diff.find('"', quote + 1) - quote - 1);
        if (!name.empty() && name[0] == '_')
            name.erase(0, 1);
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos)
            return Limit::DigitName;
    }
    return std::nullopt;
}

struct Known {
    const char* file;
    std::set<Limit> limits;
};
const Known kKnown[] = {
    {"AxioUK__AXCUSTOMTITLEBAR__Resource.res", {Limit::ImageInNoGroup}},
    {"EverwinGX__Pstock_SP7__Saisie_Grille.res", {Limit::VersionLayout}},
    {"Planet-Source-Code__a-fontana-ascii-art-stereogram-do-you-remember-magic-eye-fusion-watch-"
     "the-screenshot-updat__1-38555__Progetto1.res",
     {Limit::GroupEntryFields}},
    {"Planet-Source-Code__james-kahl-load-an-image-list-from-resource__1-57737__Project1.res",
     {Limit::GroupEntryFields}},
    {"QTYResources__ProgrammingWindows3th_______12mfc00_Debug_MFC00.res",
     {Limit::VersionLayout, Limit::HighStringBlock}},
    {"ShulinLiu__DissectingMFC_SourceCode__MFC_Windows________3___31273MFC_Windows________3_______"
     "___09______MFCexp9_5_Debug_MFCexp9_5.res",
     {Limit::VersionLayout, Limit::HighStringBlock}},
    {"ShulinLiu__DissectingMFC_SourceCode__Src_1-____MFC____DISSECT_TRACEWIN_WinDebug_TRACEWIN.res",
     {Limit::VersionLayout, Limit::HighStringBlock}},
    {"ShulinLiu__DissectingMFC_SourceCode__Src_2-mfc_source_code_COMTEST.16_Release_ComTest.res",
     {Limit::VersionLayout, Limit::HighStringBlock}},
    {"badcodes__vb6___Include__HardcodeVB_TRes2.res",
     {Limit::GroupEntryFields, Limit::ImageLanguage}},
    {"china-richway2__Azmrk____1.res", {Limit::GroupEntryFields}},
    {"javiercrowsoft__cairo-vb6__CSControl_CSExplorerBar_Codigo_vbalExplorerBar.res",
     {Limit::GroupEntryFields}},
    {"javiercrowsoft__cairo-vb6__CSService_Service_Service.res",
     {Limit::DigitName, Limit::ImageInNoGroup}},
    {"kinwang6632__vb6__App_CSMIS_EMC-Nick_MSS_Project_CM2CT_LibCM2CT.res", {Limit::VersionLayout}},
    {"thetrik__VbTrickThreading__Demos_MarshalUserInterface_MarshalUserInterface.res",
     {Limit::Damaged}},
    {"thetrik__VbVst__VbDebugVst_resources_VbDebugVst.res", {Limit::GroupEntryFields}},
    {"tinelix__irc-client-win32s__WinDebug_RESOURCE.res", {Limit::VersionLayout}},
    {"xxdoc__libs__QR_Code_quricol_Delphi_Sample_QRGenerator.res", {Limit::GroupEntryFields}},
    {"xxdoc__libs__VBCorLib_2.3_Examples_IO_Examples_ResourceBrowser_ResourceBrowser.res",
     {Limit::GroupEntryFields}},
    {"xxdoc__libs___untested_archive_VBIDEUtils-master_VBIDEUtils-master_VBIDEUtils.res",
     {Limit::Damaged}},
    {"xxdoc__libs___untested_archive_vhGrid_Control_images.res", {Limit::GroupEntryFields}},
    {"xxdoc__libs___untested_archive_vhGrid_images.res", {Limit::GroupEntryFields}},
};

const std::set<Limit>* knownLimits(const std::string& file) {
    for (const Known& k : kKnown)
        if (file == k.file)
            return &k.limits;
    return nullptr;
}

TEST(RealRes, EveryFileComesBackWhole) {
    const fs::path folder = KELBO_REALRES_DIR;
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no collection of real .RES files beside the source tree (" << folder
                     << ")";
    std::string pattern = (fs::temp_directory_path() / "kelbo-realres-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path scratch = pattern;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".res")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 0u);

    int whole = 0, n = 0;
    for (const fs::path& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const std::string bytes = oracle::readAll(path);
        std::vector<std::string> diffs;
        kelbo::ResLayout layout = kelbo::ResLayout::Bits32;
        std::string error;
        auto original = resources(bytes, layout, error);
        const fs::path kbp = scratch / ("p" + std::to_string(n++) + ".kbp");
        kelbo::ImportResult r = kelbo::importResFile(path.string(), kbp.string(), false);
        if (!original || !r.ok) {
            diffs.push_back("refused: " + (r.ok ? error : r.error));
        } else {
            const int bits = layout == kelbo::ResLayout::Bits16 ? 16 : 32;
            const fs::path out = scratch / ("p" + std::to_string(n - 1) + ".res");
            kelbo::CompileLog log;
            if (kelbo::runCompilation(r.project, bits, out.string(), log) !=
                kelbo::CompileOutcome::Success) {
                diffs.push_back("does not compile: " + log.text());
            } else {
                kelbo::ResLayout backLayout = layout;
                auto back = resources(oracle::readAll(out), backLayout, error);
                if (!back)
                    diffs.push_back("compiled file unreadable: " + error);
                else
                    for (std::string& d : oracle::compareResources(
                             *back, *original,
                             {.memoryFlags = false, .caseless = true, .skipEmptyEntries = true}))
                        diffs.push_back(std::move(d));
            }
        }
        // Every difference must be one of the file's known limits, and a file with limits must
        // still show one (else its entry is stale).
        const std::set<Limit>* known = knownLimits(name);
        std::string unexplained;
        for (const std::string& d : diffs) {
            std::optional<Limit> limit = limitOf(d);
            if (!known || !limit || !known->count(*limit))
                unexplained += "\n  " + d;
        }
        EXPECT_TRUE(unexplained.empty()) << "differences no limit explains:" << unexplained;
        if (diffs.empty()) {
            ++whole;
            EXPECT_EQ(known, nullptr) << "comes back whole now; drop its entry";
        }
    }
    std::printf("%d of %zu real files come back whole\n", whole, files.size());
    // KELBO_ORACLE_KEEP keeps the imported projects and compiled files for a look at them.
    if (std::getenv("KELBO_ORACLE_KEEP")) {
        std::printf("files kept in %s\n", scratch.c_str());
    } else {
        std::error_code ec;
        fs::remove_all(scratch, ec);
    }
}

} // namespace
