#include "resreader/RcExport.h"

#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/PathRules.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/Manifest.h"
#include "rescompiler/ResOutput.h"
#include "rescompiler/VersionInfo.h"

namespace kelbo {
namespace {

constexpr std::string_view kEol = "\r\n";
constexpr unsigned kFileOs32 = 0x40004; // VOS_NT_WINDOWS32

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

std::string hexNumber(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", value);
    return buf;
}

// The STRING items of one section sorted into blocks, as the writers sort them.
std::vector<StringBlock> sectionBlocks(const LanguageSection& section) {
    Project one;
    one.setLines(ResourceKind::String, section.lines(ResourceKind::String));
    return stringBlocks(one);
}

class Writer {
public:
    RcScript script;

    void line(const std::string& text) {
        script.text += text;
        script.text += kEol;
    }

    // The LANGUAGE statement that the next resources take; `force` repeats it, so that no string
    // comes right before a quoted name (windres joins adjacent strings into one).
    void language(LanguageId lang, bool force = false) {
        if (current_ == lang && !force)
            return;
        current_ = lang;
        line("LANGUAGE " + hexNumber(lang & 0x3FFu) + ", " + hexNumber(lang >> 10u));
    }

    // An identifier or DATA type as the script spells it; `quotedName` says whether it had to be
    // quoted.
    std::string id(const std::string& raw, const std::string& item, bool isType, bool& quotedName) {
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
        if (isType)
            script.warnings.push_back(item + ": the type " + name +
                                      " is quoted; llvm-rc refuses a quoted type and windres joins "
                                      "it to the file name after it");
        else
            script.warnings.push_back(item + ": the name " + name +
                                      " is quoted; windres reads it, llvm-rc refuses it");
        quotedName = quotedName || !isType;
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

    void resource(LanguageId lang, const std::string& name, bool quotedName,
                  const std::string& rest) {
        language(lang, quotedName);
        line(name + " " + rest);
    }

    void fileItems(const LanguageSection& s, ResourceKind kind, const char* keyword) {
        for (const std::string& l : s.lines(kind)) {
            std::string p;
            bool quotedName = false;
            std::string name = id(GetItemId(l), l, false, quotedName);
            if (path(GetItemSource(l), l, p))
                resource(s.language, name, quotedName, std::string(keyword) + " " + p);
        }
    }

    void strings(const LanguageSection& s) {
        language(s.language);
        line("STRINGTABLE");
        line("{");
        for (const StringBlock& block : sectionBlocks(s)) {
            // A slot's empty text still makes its block, as the writers do.
            for (const StringSlot& slot : block.slots)
                line("  " + std::to_string(slot.number) + ", " + quoted(slot.text));
        }
        line("}");
    }

    void data(const LanguageSection& s) {
        for (const std::string& l : s.lines(ResourceKind::Data)) {
            std::string p;
            bool quotedName = false;
            std::string name = id(GetItemId(l), l, false, quotedName);
            std::string type = id(GetItemType(l), l, true, quotedName);
            if (path(GetDataSource(l), l, p))
                resource(s.language, name, quotedName, type + " " + p);
        }
    }

    void manifest(const LanguageSection& s, const std::string& generatedPath) {
        ManifestProblem problem;
        std::optional<ManifestSettings> settings =
            parseManifest(s.lines(ResourceKind::Manifest), problem);
        if (!settings) {
            fail("MANIFEST: " + problem.line + (problem.line.empty() ? "" : ": ") +
                 problem.problem);
            return;
        }
        std::string p;
        if (!settings->file) {
            script.manifests.push_back({generatedPath, generateManifest(*settings)});
            settings->file = generatedPath;
        }
        if (path(*settings->file, "MANIFEST", p)) {
            language(s.language);
            line(std::to_string(settings->id) + " 24 " + p);
        }
    }

    void version(const LanguageSection& s);

private:
    std::optional<LanguageId> current_;
};

void Writer::version(const LanguageSection& s) {
    VersionProblem problem;
    std::optional<VersionSettings> v = parseVersionLines(s.lines(ResourceKind::Version), problem);
    if (!v) {
        fail("VERSION: " + problem.line + (problem.line.empty() ? "" : ": ") + problem.text);
        return;
    }
    auto words = [](const VersionNumber& n) {
        return std::to_string(n[0]) + "," + std::to_string(n[1]) + "," + std::to_string(n[2]) +
               "," + std::to_string(n[3]);
    };
    if (v->fileDate != 0)
        script.warnings.push_back("VERSION: a script cannot give FileDate; it is left out");
    language(s.language);
    line("1 VERSIONINFO");
    line("FILEVERSION " + words(v->fileVersion));
    line("PRODUCTVERSION " + words(v->productVersion));
    line("FILEFLAGSMASK " + hexNumber(v->fileFlagsMask));
    line("FILEFLAGS " + hexNumber(v->fileFlags));
    line("FILEOS " + hexNumber(v->fileOS.value_or(kFileOs32)));
    line("FILETYPE " + hexNumber(v->otherFileType.value_or(v->dll ? 2 : 1)));
    line("FILESUBTYPE " + hexNumber(v->fileSubtype));
    line("{");
    if (!v->strings.empty()) {
        line("  BLOCK \"StringFileInfo\"");
        line("  {");
        line("    BLOCK \"" + stringTableName(*v) + "\"");
        line("    {");
        for (const VersionString& str : v->strings)
            line("      VALUE " + quoted(str.key) + ", " + quoted(str.value + '\0'));
        line("    }");
        line("  }");
    }
    line("  BLOCK \"VarFileInfo\"");
    line("  {");
    line("    VALUE \"Translation\", 0x" + hex4(v->language) + ", " + std::to_string(v->codePage));
    line("  }");
    line("}");
}

// A generated manifest of a further language goes beside the base's, its language in its name.
std::string sectionManifestPath(const std::string& manifestPath, LanguageId lang, bool base) {
    if (base)
        return manifestPath;
    const std::size_t dot = manifestPath.rfind('.');
    const std::size_t slash = manifestPath.find_last_of("/\\");
    const std::size_t cut =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)
            ? dot
            : manifestPath.size();
    return manifestPath.substr(0, cut) + "_" + languageHex(lang) + manifestPath.substr(cut);
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
    // The order of the 32-bit layout: kind by kind, the base first within each, so that icon and
    // cursor images get the same numbers.
    for (ResourceKind kind : kAllKinds) {
        for (int i = 0; i < project.sectionCount(); ++i) {
            const LanguageSection& s = project.section(i);
            if (s.count(kind) == 0)
                continue;
            switch (kind) {
            case ResourceKind::Bitmap:
                w.fileItems(s, kind, "BITMAP");
                break;
            case ResourceKind::Icon:
                w.fileItems(s, kind, "ICON");
                break;
            case ResourceKind::String:
                w.strings(s);
                break;
            case ResourceKind::Wave:
                w.fileItems(s, kind, "WAVE");
                break;
            case ResourceKind::Cursor:
                w.fileItems(s, kind, "CURSOR");
                break;
            case ResourceKind::Data:
                w.data(s);
                break;
            case ResourceKind::Manifest:
                w.manifest(s, sectionManifestPath(manifestPath, s.language, i == 0));
                break;
            case ResourceKind::Version:
                w.version(s);
                break;
            }
        }
    }
    // A script of Windows-1252 text alone stays in that code page, as before; any other text
    // makes it UTF-8.
    RcScript script = std::move(w.script);
    std::optional<std::string> narrow = utf8ToCp1252(script.text);
    if (narrow) {
        script.text = "#pragma code_page(1252)" + std::string(kEol) + *narrow;
    } else {
        script.text = "#pragma code_page(65001)" + std::string(kEol) + script.text;
        script.utf8 = true;
    }
    script.ok = script.error.empty();
    return script;
}

RcScript exportRcScript(const Project& project, const std::string& rcPath, FileSystem& fs) {
    const std::string manifestPath = manifestPathFor(rcPath);
    RcScript script = makeRcScript(project, manifestPath);
    if (!script.ok)
        return script;
    std::string error;
    for (const auto& [path, text] : script.manifests) {
        if (!writeWholeFile(fs, path, text, error)) {
            script.ok = false;
            script.error = path + ": " + error;
            return script;
        }
    }
    if (!writeWholeFile(fs, rcPath, script.text, error)) {
        script.ok = false;
        script.error = rcPath + ": " + error;
    }
    return script;
}

} // namespace kelbo
