#include "rescompiler/Manifest.h"

#include <algorithm>
#include <array>

#include "platform/Cp1252.h"
#include "platform/Unicode.h"
#include "rescompiler/ItemLine.h"
#include "rescompiler/XmlCheck.h"

namespace kelbo {

namespace {

enum class Key { Id, File, Name, Version, Description, Controls, Dpi, Level, Os };

struct KeyName {
    Key key;
    std::string_view name;
};
constexpr std::array<KeyName, 9> kKeys = {{{Key::Id, "id"},
                                           {Key::File, "file"},
                                           {Key::Name, "name"},
                                           {Key::Version, "version"},
                                           {Key::Description, "description"},
                                           {Key::Controls, "controls"},
                                           {Key::Dpi, "dpi"},
                                           {Key::Level, "level"},
                                           {Key::Os, "os"}}};

template <class Value> struct Word {
    Value value;
    std::string_view text; // as manifestLines writes it
};
constexpr std::array<Word<DpiAwareness>, 4> kDpiWords = {
    {{DpiAwareness::Unaware, "unaware"},
     {DpiAwareness::System, "system"},
     {DpiAwareness::PerMonitor, "permonitor"},
     {DpiAwareness::PerMonitorV2, "permonitorv2"}}};
constexpr std::array<Word<ExecutionLevel>, 3> kLevelWords = {
    {{ExecutionLevel::AsInvoker, "asInvoker"},
     {ExecutionLevel::HighestAvailable, "highestAvailable"},
     {ExecutionLevel::RequireAdministrator, "requireAdministrator"}}};

bool sameWord(std::string_view a, std::string_view b) {
    return cp1252ToLower(a) == cp1252ToLower(b);
}

template <class Value, std::size_t N>
std::optional<Value> findWord(const std::array<Word<Value>, N>& words, std::string_view text) {
    for (const Word<Value>& w : words)
        if (sameWord(w.text, text))
            return w.value;
    return std::nullopt;
}

template <class Value, std::size_t N>
std::string_view wordOf(const std::array<Word<Value>, N>& words, Value value) {
    for (const Word<Value>& w : words)
        if (w.value == value)
            return w.text;
    return {};
}

// "a, b or c" for a message listing the accepted values.
template <class Value, std::size_t N>
std::string wordList(const std::array<Word<Value>, N>& words) {
    std::string list;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0)
            list += i + 1 == N ? " or " : ", ";
        list += words[i].text;
    }
    return list;
}

// Four dot-separated numbers 0..65535, as an assembly version must be.
bool isAssemblyVersion(std::string_view text) {
    int parts = 0;
    for (;;) {
        std::size_t dot = text.find('.');
        std::string_view part = text.substr(0, dot);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string_view::npos ||
            digitsValue(part, 65535) < 0)
            return false;
        ++parts;
        if (dot == std::string_view::npos)
            return parts == 4;
        text.remove_prefix(dot + 1);
    }
}

struct Parsed {
    ManifestSettings settings;
    const std::string* fileLine = nullptr;
};

std::optional<Parsed> parse(const Project::Lines& lines, ManifestProblem& problem) {
    Parsed parsed;
    ManifestSettings& s = parsed.settings;
    std::array<bool, kKeys.size()> seen{};
    const std::string* generatorLine = nullptr;
    auto fail = [&](const std::string& line, std::string what) {
        problem = {line, std::move(what)};
        return std::nullopt;
    };
    for (const std::string& line : lines) {
        std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            return fail(line, "Not a key=value line");
        std::string_view keyText = trimSpaces(std::string_view(line).substr(0, equals));
        std::string_view value = trimSpaces(std::string_view(line).substr(equals + 1));
        if (keyText.empty())
            return fail(line, "Not a key=value line");
        auto known = std::find_if(kKeys.begin(), kKeys.end(),
                                  [&](const KeyName& k) { return sameWord(k.name, keyText); });
        if (known == kKeys.end())
            return fail(line, "Unknown manifest key \"" + std::string(keyText) + "\"");
        const Key key = known->key;
        const std::string keyName(known->name);
        bool& once = seen[static_cast<std::size_t>(known - kKeys.begin())];
        if (once)
            return fail(line, "The key " + keyName + " is given twice");
        once = true;
        if (value.empty())
            return fail(line, "No value for " + keyName);
        if (std::any_of(value.begin(), value.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            return fail(line, "Control character in the value of " + keyName);
        // The value goes into XML: it must be UTF-8 of characters XML allows (not U+FFFF).
        for (std::size_t at = 0; at < value.size();) {
            char32_t c = 0;
            if (!decodeUtf8(value, at, c))
                return fail(line, "The value of " + keyName + " is not UTF-8 text");
            if (!isXmlChar(c))
                return fail(line, "The value of " + keyName + " holds " + codePointName(c) +
                                      ", which XML does not allow");
        }

        if (key == Key::File)
            parsed.fileLine = &line;
        else if (key != Key::Id && !generatorLine)
            generatorLine = &line;
        if (parsed.fileLine && generatorLine)
            return fail(line, "file cannot be combined with the generator keys (name, version, "
                              "description, controls, dpi, level, os)");

        auto unknownValue = [&](const std::string& accepted) {
            return fail(line, "Unknown value \"" + std::string(value) + "\" for " + keyName + " (" +
                                  accepted + ")");
        };
        switch (key) {
        case Key::Id: {
            // The range Windows reserves for manifests; no leading zero, so one value has one
            // spelling.
            long long id = value.size() <= 2 && value[0] != '0' &&
                                   value.find_first_not_of("0123456789") == std::string_view::npos
                               ? digitsValue(value, kManifestIdLast)
                               : -1;
            if (id < 1)
                return unknownValue("1 for a program, 2 for a DLL, up to 16");
            s.id = static_cast<int>(id);
            break;
        }
        case Key::File:
            s.file = std::string(value);
            break;
        case Key::Name:
            s.name = std::string(value);
            break;
        case Key::Version:
            if (!isAssemblyVersion(value))
                return unknownValue("four numbers 0..65535 as in 1.0.0.0");
            s.version = std::string(value);
            break;
        case Key::Description:
            s.description = std::string(value);
            break;
        case Key::Controls:
            if (value != "6")
                return unknownValue("6");
            s.commonControls = true;
            break;
        case Key::Dpi:
            s.dpi = findWord(kDpiWords, value);
            if (!s.dpi)
                return unknownValue(wordList(kDpiWords));
            break;
        case Key::Level:
            s.level = findWord(kLevelWords, value);
            if (!s.level)
                return unknownValue(wordList(kLevelWords));
            break;
        case Key::Os:
            if (!sameWord(value, "all"))
                return unknownValue("all");
            s.supportedOs = true;
            break;
        }
    }
    return parsed;
}

// Text with the characters markup gives a meaning escaped; quotes too, so the same text serves
// in attributes.
std::string xmlText(std::string_view text) {
    std::string out;
    // Bytes that are no UTF-8 (never in a loaded project) become U+FFFD, so the XML stays
    // well-formed.
    for (char c : isValidUtf8(text) ? std::string(text) : utf16ToUtf8(utf8ToUtf16(text))) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// What Windows 10 (1607 and later) reads in dpiAwareness, and what older Windows reads in
// dpiAware; the newer element wins where both are understood.
struct DpiWords {
    std::string_view dpiAware;
    std::string_view dpiAwareness;
};
DpiWords dpiWords(DpiAwareness dpi) {
    switch (dpi) {
    case DpiAwareness::Unaware:
        return {"false", "unaware"};
    case DpiAwareness::System:
        return {"true", "system"};
    case DpiAwareness::PerMonitor:
        return {"true/pm", "PerMonitor"};
    case DpiAwareness::PerMonitorV2:
        break;
    }
    // Windows before 1703 does not know PerMonitorV2 and takes the next entry of the list.
    return {"true/pm", "PerMonitorV2, PerMonitor"};
}

} // namespace

std::optional<ManifestSettings> parseManifest(const Project::Lines& lines,
                                              ManifestProblem& problem) {
    std::optional<Parsed> parsed = parse(lines, problem);
    if (!parsed)
        return std::nullopt;
    return parsed->settings;
}

std::vector<std::string> manifestLines(const ManifestSettings& s) {
    std::vector<std::string> lines{"id=" + std::to_string(s.id)};
    if (s.file) {
        lines.push_back("file=" + *s.file);
        return lines;
    }
    if (s.name != kDefaultAssemblyName)
        lines.push_back("name=" + s.name);
    if (s.version != kDefaultAssemblyVersion)
        lines.push_back("version=" + s.version);
    if (!s.description.empty())
        lines.push_back("description=" + s.description);
    if (s.commonControls)
        lines.push_back("controls=6");
    if (s.dpi)
        lines.push_back("dpi=" + std::string(wordOf(kDpiWords, *s.dpi)));
    if (s.level)
        lines.push_back("level=" + std::string(wordOf(kLevelWords, *s.level)));
    if (s.supportedOs)
        lines.push_back("os=all");
    return lines;
}

std::string generateManifest(const ManifestSettings& s) {
    std::string x;
    auto line = [&x](std::string_view text) {
        x += text;
        x += "\r\n";
    };
    line(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)");
    line(R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">)");
    line(R"(  <assemblyIdentity type="win32" name=")" + xmlText(s.name) + R"(" version=")" +
         xmlText(s.version) + R"(" processorArchitecture="*"/>)");
    if (!s.description.empty())
        line("  <description>" + xmlText(s.description) + "</description>");
    if (s.commonControls) {
        line("  <dependency>");
        line("    <dependentAssembly>");
        line(R"(      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls")"
             R"( version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df")"
             R"( language="*"/>)");
        line("    </dependentAssembly>");
        line("  </dependency>");
    }
    if (s.level) {
        line(R"(  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">)");
        line("    <security>");
        line("      <requestedPrivileges>");
        line(R"(        <requestedExecutionLevel level=")" +
             std::string(wordOf(kLevelWords, *s.level)) + R"(" uiAccess="false"/>)");
        line("      </requestedPrivileges>");
        line("    </security>");
        line("  </trustInfo>");
    }
    if (s.dpi) {
        DpiWords words = dpiWords(*s.dpi);
        line(R"(  <application xmlns="urn:schemas-microsoft-com:asm.v3">)");
        line("    <windowsSettings>");
        line(R"(      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">)" +
             std::string(words.dpiAware) + "</dpiAware>");
        line(
            R"(      <dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">)" +
            std::string(words.dpiAwareness) + "</dpiAwareness>");
        line("    </windowsSettings>");
        line("  </application>");
    }
    if (s.supportedOs) {
        line(R"(  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">)");
        line("    <application>");
        line(R"(      <!-- Windows Vista -->)");
        line(R"(      <supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>)");
        line(R"(      <!-- Windows 7 -->)");
        line(R"(      <supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>)");
        line(R"(      <!-- Windows 8 -->)");
        line(R"(      <supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>)");
        line(R"(      <!-- Windows 8.1 -->)");
        line(R"(      <supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>)");
        line(R"(      <!-- Windows 10 and 11 -->)");
        line(R"(      <supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)");
        line("    </application>");
        line("  </compatibility>");
    }
    x += "</assembly>";
    x.append(PadToFour(static_cast<std::uint32_t>(x.size())), ' ');
    return x;
}

std::optional<ManifestResource> buildManifest(const Project::Lines& lines, FileSystem& fs,
                                              ManifestProblem& problem) {
    std::optional<Parsed> parsed = parse(lines, problem);
    if (!parsed)
        return std::nullopt;
    const ManifestSettings& s = parsed->settings;
    ManifestResource resource;
    resource.id = static_cast<std::uint16_t>(s.id);
    if (!s.file) {
        resource.data = generateManifest(s);
        return resource;
    }
    const std::string& line = *parsed->fileLine;
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(*s.file, error);
    if (!in) {
        problem = {line, "Cannot read " + *s.file + " : " + error};
        return std::nullopt;
    }
    if (in->size() > kMaxManifestFileSize) {
        problem = {line, "Manifest file larger than 16 MB"};
        return std::nullopt;
    }
    resource.data.resize(static_cast<std::size_t>(in->size()));
    if (!in->readAt(0, resource.data.data(), resource.data.size())) {
        problem = {line, "Manifest file cannot be read"};
        return std::nullopt;
    }
    XmlProblem xml;
    if (!checkXml(resource.data, xml)) {
        problem = {line, "Manifest file is not well-formed XML: " + describe(xml)};
        return std::nullopt;
    }
    return resource;
}

} // namespace kelbo
