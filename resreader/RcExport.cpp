#include "resreader/RcExport.h"

#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/PathRules.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResOutput.h"

namespace kelbo {
namespace {

constexpr std::string_view kEol = "\r\n";

// Words a statement may begin with: a resource named so must be quoted.
bool isKeyword(const std::string& id) {
    static const char* const kWords[] = {"LANGUAGE",        "STRINGTABLE", "VERSION",
                                         "CHARACTERISTICS", "BEGIN",       "END"};
    for (const char* w : kWords)
        if (id == w)
            return true;
    return false;
}

// A string literal: quotes doubled, backslashes and control characters escaped (octal, so a
// following digit cannot join the escape).
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (ch == '"') {
            out += "\"\"";
        } else if (ch == '\\') {
            out += "\\\\";
        } else if (ch == '\t') {
            out += "\\t";
        } else if (ch == '\n') {
            out += "\\n";
        } else if (ch == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

class Writer {
public:
    RcScript script;

    void line(const std::string& text) {
        script.text += text;
        script.text += kEol;
    }

    // An identifier or DATA type as the script spells it.
    std::string id(const std::string& raw, const std::string& item) {
        ResourceId rid = resourceIdOfText(raw);
        if (!rid.isName)
            return std::to_string(rid.ordinal);
        const std::string& name = rid.name;
        bool bare = !name.empty() && !isKeyword(name) &&
                    ((name[0] >= 'A' && name[0] <= 'Z') || name[0] == '_');
        for (char c : name)
            bare = bare && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                            c == '.' || c == '-');
        if (bare)
            return name;
        script.warnings.push_back(item + ": the name " + name +
                                  " is quoted; rc.exe and windres read it, llvm-rc does not");
        return quoted(name);
    }

    // A path is taken as it is written: it cannot hold a quote.
    bool path(const std::string& source, const std::string& item, std::string& out) {
        if (source.find('"') != std::string::npos) {
            fail(item + ": a path with a \" cannot be written in a script");
            return false;
        }
        out = "\"" + source + "\"";
        return true;
    }

    void fail(const std::string& problem) {
        if (script.error.empty())
            script.error = problem;
    }

    void fileItems(const Project& project, ResourceKind kind, const char* keyword) {
        for (const std::string& l : project.lines(kind)) {
            std::string p;
            if (path(GetItemSource(l), l, p))
                line(id(GetItemId(l), l) + " " + keyword + " " + p);
        }
    }

    void strings(const Project& project) {
        if (project.count(ResourceKind::String) == 0)
            return;
        line("STRINGTABLE");
        line("{");
        for (const StringBlock& block : stringBlocks(project)) {
            // A slot's empty text still makes its block, as the writers do.
            for (const StringSlot& slot : block.slots)
                line("  " + std::to_string(slot.number) + ", " + quoted(slot.text));
        }
        line("}");
    }

    void data(const Project& project) {
        for (const std::string& l : project.lines(ResourceKind::Data)) {
            std::string p;
            if (path(GetDataSource(l), l, p))
                line(id(GetItemId(l), l) + " " + id(GetItemType(l), l) + " " + p);
        }
    }

    void manifest(const Project& project, const std::string& generatedPath) {
        if (project.count(ResourceKind::Manifest) == 0)
            return;
        ManifestProblem problem;
        std::optional<ManifestSettings> settings =
            parseManifest(project.lines(ResourceKind::Manifest), problem);
        if (!settings) {
            fail("MANIFEST: " + problem.line + (problem.line.empty() ? "" : ": ") +
                 problem.problem);
            return;
        }
        std::string p;
        if (!settings->file) {
            script.manifest = generateManifest(*settings);
            settings->file = generatedPath;
        }
        if (path(*settings->file, "MANIFEST", p))
            line(std::to_string(settings->id) + " 24 " + p);
    }

    void version(const Project& project);
};

std::string versionWords(const std::string& text, const std::string& key, Writer& w) {
    unsigned parts[4] = {0, 0, 0, 0};
    std::size_t part = 0, pos = 0;
    while (part < 4) {
        std::size_t dot = text.find('.', pos);
        std::string digits(
            trimSpaces(text.substr(pos, dot == std::string::npos ? dot : dot - pos)));
        long long v = digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos
                          ? -1
                          : digitsValue(digits, 0xFFFF);
        if (v < 0) {
            w.fail("VERSION: " + key + "=" + text + " is not a version of up to four numbers");
            break;
        }
        parts[part++] = static_cast<unsigned>(v);
        if (dot == std::string::npos)
            break;
        pos = dot + 1;
    }
    return std::to_string(parts[0]) + "," + std::to_string(parts[1]) + "," +
           std::to_string(parts[2]) + "," + std::to_string(parts[3]);
}

void Writer::version(const Project& project) {
    if (project.count(ResourceKind::Version) == 0)
        return;
    std::string fileVersion = "0,0,0,0", productVersion = "0,0,0,0", language = "0409";
    unsigned codePage = 1252;
    int fileType = 1;
    std::vector<std::pair<std::string, std::string>> strings;
    for (const std::string& l : project.lines(ResourceKind::Version)) {
        std::size_t eq = l.find('=');
        std::string key(trimSpaces(l.substr(0, eq)));
        std::string value(eq == std::string::npos ? "" : l.substr(eq + 1));
        if (key == "FileVersion" || key == "ProductVersion") {
            (key == "FileVersion" ? fileVersion : productVersion) = versionWords(value, key, *this);
            strings.emplace_back(key, value);
        } else if (key == "FileType") {
            fileType = value == "dll" ? 2 : 1;
        } else if (key == "Language") {
            language = cp1252ToUpper(value);
        } else if (key == "CodePage") {
            std::string digits(trimSpaces(value));
            long long v = digits.find_first_not_of("0123456789") == std::string::npos
                              ? digitsValue(digits, 0xFFFF)
                              : -1;
            if (v < 0)
                fail("VERSION: CodePage=" + value + " is not a number");
            codePage = static_cast<unsigned>(v < 0 ? 0 : v);
        } else {
            strings.emplace_back(key, value);
        }
    }
    char block[16];
    std::snprintf(block, sizeof block, "%s%04X", language.c_str(), codePage);
    line("1 VERSIONINFO");
    line("FILEVERSION " + fileVersion);
    line("PRODUCTVERSION " + productVersion);
    line("FILEFLAGSMASK 0x3F");
    line("FILEFLAGS 0");
    line("FILEOS 0x40004");
    line("FILETYPE " + std::to_string(fileType));
    line("FILESUBTYPE 0");
    line("{");
    line("  BLOCK \"StringFileInfo\"");
    line("  {");
    line("    BLOCK \"" + std::string(block) + "\"");
    line("    {");
    for (const auto& [key, value] : strings)
        line("      VALUE " + quoted(key) + ", " + quoted(value + '\0'));
    line("    }");
    line("  }");
    line("  BLOCK \"VarFileInfo\"");
    line("  {");
    line("    VALUE \"Translation\", 0x" + language + ", " + std::to_string(codePage));
    line("  }");
    line("}");
}

} // namespace

std::string manifestPathFor(const std::string& rcPath) {
    std::string name = fileNameOf(rcPath);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    const std::string dir = directoryOf(rcPath);
    return dir.empty() ? name + ".manifest" : joinPath(dir, name + ".manifest");
}

RcScript makeRcScript(const Project& project, const std::string& manifestPath) {
    Writer w;
    w.line("#pragma code_page(1252)");
    w.line("LANGUAGE 0, 0");
    // The order of the 32-bit layout.
    w.fileItems(project, ResourceKind::Bitmap, "BITMAP");
    w.fileItems(project, ResourceKind::Icon, "ICON");
    w.strings(project);
    w.fileItems(project, ResourceKind::Wave, "WAVE");
    w.fileItems(project, ResourceKind::Cursor, "CURSOR");
    w.data(project);
    w.manifest(project, manifestPath);
    w.version(project);
    w.script.ok = w.script.error.empty();
    return std::move(w.script);
}

RcScript exportRcScript(const Project& project, const std::string& rcPath, FileSystem& fs) {
    const std::string manifestPath = manifestPathFor(rcPath);
    RcScript script = makeRcScript(project, manifestPath);
    if (!script.ok)
        return script;
    std::string error;
    if (!script.manifest.empty() && !writeWholeFile(fs, manifestPath, script.manifest, error)) {
        script.ok = false;
        script.error = manifestPath + ": " + error;
        return script;
    }
    if (!writeWholeFile(fs, rcPath, script.text, error)) {
        script.ok = false;
        script.error = rcPath + ": " + error;
    }
    return script;
}

} // namespace kelbo
