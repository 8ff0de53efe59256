// The MANIFEST kind: reading its lines, the manifest they generate (checked by libxml2 and by
// the core's own check) and the resource made from them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "rescompiler/Manifest.h"
#include "rescompiler/XmlCheck.h"
#include "tests/TestSupport.h"
#include "tests/support/MemoryFileSystem.h"

namespace kelbo {
namespace {

struct BadLines {
    Project::Lines lines;
    std::string line; // the one reported
    std::string problem;
};

TEST(Manifest, RefusesBadLinesNamingTheLine) {
    const BadLines cases[] = {
        {{"id=1", "dpi"}, "dpi", "Not a key=value line"},
        {{" =1"}, " =1", "Not a key=value line"},
        {{"colour=red"}, "colour=red", "Unknown manifest key \"colour\""},
        {{"dpi=high"},
         "dpi=high",
         "Unknown value \"high\" for dpi (unaware, system, permonitor "
         "or permonitorv2)"},
        {{"level=admin"}, "level=admin", "Unknown value \"admin\" for level"},
        {{"id=17"}, "id=17", "Unknown value \"17\" for id"},
        {{"id=0"}, "id=0", "Unknown value \"0\" for id"},
        {{"id=01"}, "id=01", "Unknown value \"01\" for id"},
        {{"controls=5"}, "controls=5", "Unknown value \"5\" for controls (6)"},
        {{"os=10"}, "os=10", "Unknown value \"10\" for os (all)"},
        {{"version=1.0.0"}, "version=1.0.0", "Unknown value \"1.0.0\" for version"},
        {{"version=1.0.0.65536"}, "version=1.0.0.65536", "for version"},
        {{"version=1..0.0"}, "version=1..0.0", "for version"},
        {{"version=1.0.0.0."}, "version=1.0.0.0.", "for version"},
        {{"version=1.0.0.x"}, "version=1.0.0.x", "for version"},
        {{"id=1", "ID=2"}, "ID=2", "The key id is given twice"},
        {{"dpi=system", "dpi=system"}, "dpi=system", "The key dpi is given twice"},
        {{"name= "}, "name= ", "No value for name"},
        {{"description=a\tb"}, "description=a\tb", "Control character in the value of description"},
        {{"name=A\xFF"}, "name=A\xFF", "The value of name is not UTF-8 text"},
        {{"description=A\uFFFF"},
         "description=A\uFFFF",
         "The value of description holds U+FFFF, which XML does not allow"},
        {{"file=app.manifest", "id=2", "name=X"}, "name=X", "file cannot be combined"},
        {{"os=all", "file=app.manifest"}, "file=app.manifest", "file cannot be combined"},
    };
    for (const BadLines& c : cases) {
        SCOPED_TRACE(c.lines.back());
        ManifestProblem problem;
        EXPECT_FALSE(parseManifest(c.lines, problem));
        EXPECT_EQ(problem.line, c.line);
        EXPECT_NE(problem.problem.find(c.problem), std::string::npos) << problem.problem;
        // The resource refuses the same lines with the same words, before reading any file.
        test::MemoryFileSystem fs;
        ManifestProblem built;
        EXPECT_FALSE(buildManifest(c.lines, fs, built));
        EXPECT_EQ(built.line, problem.line);
        EXPECT_EQ(built.problem, problem.problem);
    }
}

TEST(Manifest, ReadsKeysAndWordsInAnyCaseAndValuesAsTyped) {
    ManifestProblem problem;
    auto s = parseManifest({" ID = 2 ", "Name=Acme.Tool", "DPI=PerMonitorV2", "level=ASINVOKER",
                            "Os=All", "controls = 6", "Description= Caf\u00e9 tool ",
                            "version=1.2.65535.0"},
                           problem);
    ASSERT_TRUE(s) << problem.problem;
    EXPECT_EQ(s->id, 2);
    EXPECT_FALSE(s->file);
    EXPECT_EQ(s->name, "Acme.Tool");
    EXPECT_EQ(s->version, "1.2.65535.0");
    EXPECT_EQ(s->description, "Caf\u00e9 tool");
    EXPECT_TRUE(s->commonControls);
    EXPECT_EQ(s->dpi, DpiAwareness::PerMonitorV2);
    EXPECT_EQ(s->level, ExecutionLevel::AsInvoker);
    EXPECT_TRUE(s->supportedOs);

    auto defaults = parseManifest({}, problem);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(*defaults, ManifestSettings{});

    auto file = parseManifest({"file= My App.manifest ", "id=2"}, problem);
    ASSERT_TRUE(file) << problem.problem;
    EXPECT_EQ(file->file, "My App.manifest");
    EXPECT_EQ(file->id, 2);
}

TEST(Manifest, CanonicalLinesReadBackEqual) {
    ManifestSettings full;
    full.id = 2;
    full.name = "Acme.Tool";
    full.version = "2.0.1.7";
    full.description = "Caf\u00e9 & <co>";
    full.commonControls = true;
    full.dpi = DpiAwareness::PerMonitor;
    full.level = ExecutionLevel::RequireAdministrator;
    full.supportedOs = true;
    ManifestSettings file;
    file.file = "C:\\APP\\app.manifest";

    EXPECT_EQ(manifestLines(ManifestSettings{}), std::vector<std::string>{"id=1"});
    EXPECT_EQ(manifestLines(file),
              (std::vector<std::string>{"id=1", "file=C:\\APP\\app.manifest"}));
    EXPECT_EQ(manifestLines(full),
              (std::vector<std::string>{"id=2", "name=Acme.Tool", "version=2.0.1.7",
                                        "description=Caf\u00e9 & <co>", "controls=6",
                                        "dpi=permonitor", "level=requireAdministrator", "os=all"}));
    for (DpiAwareness dpi : {DpiAwareness::Unaware, DpiAwareness::System, DpiAwareness::PerMonitor,
                             DpiAwareness::PerMonitorV2}) {
        full.dpi = dpi;
        for (const ManifestSettings& s : {ManifestSettings{}, file, full}) {
            ManifestProblem problem;
            auto back = parseManifest(manifestLines(s), problem);
            ASSERT_TRUE(back) << problem.problem;
            EXPECT_EQ(*back, s);
        }
    }
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Manifest, GeneratedManifestsAreWellFormedAndPadded) {
    std::vector<ManifestSettings> all;
    all.emplace_back();
    for (int i = 0; i < 4; ++i) {
        ManifestSettings s;
        s.dpi = static_cast<DpiAwareness>(i);
        s.level = static_cast<ExecutionLevel>(i % 3);
        s.commonControls = i % 2 == 0;
        s.supportedOs = i % 2 == 1;
        // Names of each length modulo four, so every amount of padding shows.
        s.name = "App." + std::string(static_cast<std::size_t>(i), 'x');
        s.description = i == 3 ? "Quotes \" and & and <tags> € é Ж 中 😀" : "";
        all.push_back(s);
    }
    std::set<std::size_t> paddings;
    for (const ManifestSettings& s : all) {
        std::string xml = generateManifest(s);
        SCOPED_TRACE(xml);
        EXPECT_EQ(xml.size() % 4, 0u);
        std::size_t end = xml.rfind("</assembly>") + 11;
        EXPECT_EQ(xml.find_first_not_of(' ', end), std::string::npos);
        paddings.insert(xml.size() - end);
        XmlProblem problem;
        EXPECT_TRUE(checkXml(xml, problem)) << describe(problem);
        std::string messages;
        EXPECT_NE(test::xmllintAccepts(xml, messages), std::optional<bool>(false)) << messages;
        EXPECT_TRUE(contains(xml, "<assemblyIdentity type=\"win32\" name=\"" + s.name +
                                      "\" version=\"1.0.0.0\" processorArchitecture=\"*\"/>"));
        EXPECT_EQ(contains(xml, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                                "processorArchitecture=\"*\" "
                                "publicKeyToken=\"6595b64144ccf1df\" language=\"*\""),
                  s.commonControls);
        EXPECT_EQ(contains(xml, "<supportedOS Id="), s.supportedOs);
        EXPECT_EQ(contains(xml, "<dpiAware"), s.dpi.has_value());
        EXPECT_EQ(contains(xml, "<requestedExecutionLevel"), s.level.has_value());
        EXPECT_EQ(contains(xml, "<description>"), !s.description.empty());
    }
    EXPECT_EQ(paddings.size(), 4u) << "the names should need 0, 1, 2 and 3 spaces";

    // Any text is written as it is, with markup escaped.
    EXPECT_TRUE(contains(generateManifest(all[4]),
                         "<description>Quotes &quot; and &amp; and &lt;tags&gt; € é Ж 中 "
                         "😀</description>"));
    ManifestSettings odd;
    odd.name = "A&B\"C";
    EXPECT_TRUE(contains(generateManifest(odd), "name=\"A&amp;B&quot;C\""));
}

TEST(Manifest, BuildsTheResource) {
    test::MemoryFileSystem fs;
    // Odd-sized and with a BOM: copied byte for byte, never padded.
    const std::string own = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<assembly/>\r\n ";
    fs.files["app.manifest"] = own;
    fs.files["broken.manifest"] = "<assembly>\n<x></assembly>";

    ManifestProblem problem;
    auto fromFile = buildManifest({"id=2", "file=app.manifest"}, fs, problem);
    ASSERT_TRUE(fromFile) << problem.problem;
    EXPECT_EQ(fromFile->id, 2);
    EXPECT_EQ(fromFile->data, own);

    auto generated = buildManifest({"dpi=system", "controls=6"}, fs, problem);
    ASSERT_TRUE(generated) << problem.problem;
    EXPECT_EQ(generated->id, 1);
    ManifestSettings s;
    s.dpi = DpiAwareness::System;
    s.commonControls = true;
    EXPECT_EQ(generated->data, generateManifest(s));

    EXPECT_FALSE(buildManifest({"file=broken.manifest"}, fs, problem));
    EXPECT_EQ(problem.line, "file=broken.manifest");
    EXPECT_EQ(problem.problem, "Manifest file is not well-formed XML: line 2, column 4: the end "
                               "tag </assembly> does not match <x>");

    EXPECT_FALSE(buildManifest({"file=missing.manifest"}, fs, problem));
    EXPECT_EQ(problem.line, "file=missing.manifest");
    EXPECT_EQ(problem.problem, "Cannot read missing.manifest : No such file or directory");

    fs.files["empty.manifest"] = "";
    EXPECT_FALSE(buildManifest({"file=empty.manifest"}, fs, problem));
    EXPECT_NE(problem.problem.find("no root element"), std::string::npos) << problem.problem;
}

} // namespace
} // namespace kelbo
