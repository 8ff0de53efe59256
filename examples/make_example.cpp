// Writes the example project into a folder: its pictures, sounds and demo.kbp, whose items name
// the files by their full paths (so the project only works where it was made).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "SampleMedia.h"
#include "project/Project.h"
#include "projectfile/ProjectFile.h"

namespace fs = std::filesystem;
using namespace kelbo;

namespace {

struct FileItem {
    ResourceKind kind;
    const char* id;
    const char* file;
    const char* type = nullptr; // DATA items only
};

// The identifiers show each form: a name, a number, a name with a space.
const FileItem kFileItems[] = {
    {ResourceKind::Bitmap, "LOGO", "logo.bmp"},
    {ResourceKind::Bitmap, "101", "colours.bmp"},
    {ResourceKind::Icon, "APP ICON", "kelbo.ico"},
    {ResourceKind::Icon, "2", "small.ico"},
    {ResourceKind::Wave, "1", "chime.wav"},
    {ResourceKind::Wave, "CLICK", "click.wav"},
    {ResourceKind::Cursor, "POINTER", "pointer.cur"},
    {ResourceKind::Data, "1", "levels.dat", "LEVELS"},
};

// What a program might keep as custom data: a small table of text and numbers.
std::string levelTable() {
    std::string out = "KELBO LEVELS\r\n";
    for (int level = 1; level <= 8; ++level)
        out += "level " + std::to_string(level) + " speed " + std::to_string(level * 25) + "\r\n";
    return out;
}

struct StringItem {
    const char* id;
    const char* text;
};

// Ids 16 and 100 lie in blocks 2 and 7.
const StringItem kStrings[] = {
    {"1", "Welcome to the Kelbo demo"},
    {"2", "Resources compiled by Kelbo"},
    {"3", "Press OK to hear the chime"},
    {"16", "This string lives in the second block"},
    {"100", "Version 2.12"},
};

// The same strings in Russian, a second language section: Windows picks it for a Russian user.
const StringItem kRussian[] = {
    {"1", "Добро пожаловать в пример Kelbo"},
    {"2", "Ресурсы собраны Kelbo"},
    {"3", "Нажмите OK, чтобы услышать звон"},
    {"16", "Эта строка живёт во втором блоке"},
    {"100", "Версия 2.12"},
};

// A path as UTF-8 text, on every platform.
std::string utf8Of(const fs::path& path) {
    std::u8string u8 = path.u8string();
    return {reinterpret_cast<const char*>(u8.data()), u8.size()};
}

bool writeSources(const fs::path& dir) {
    using namespace kelbo::sample;
    const int rate = 22050;
    struct Out {
        const char* name;
        std::string bytes;
    } files[] = {
        {"logo.bmp", encodeBmp24(drawBanner(256, 64))},
        {"colours.bmp", encodeBmp24(drawColourWheel(96))},
        {"kelbo.ico", encodeIcon({iconImage32(drawBadge(16)), iconImage32(drawBadge(32)),
                                  iconImage32(drawBadge(48))})},
        {"small.ico", encodeIcon({iconImage32(drawBadge(16))})},
        {"pointer.cur", encodeCursor({{iconImage32(drawPointer(32)), 1, 1},
                                      {iconImage32(drawPointer(16)), 1, 1}})},
        {"levels.dat", levelTable()},
        {"chime.wav", encodeWav16(rate, synthChime(rate))},
        {"click.wav", encodeWav16(rate, synthClick(rate))},
    };
    for (const Out& f : files) {
        if (!writeBinaryFile(dir / f.name, f.bytes)) {
            std::fprintf(stderr, "make_example: cannot write %s\n", utf8Of(dir / f.name).c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example OUTPUT_DIR\n");
        return 2;
    }
    std::error_code ec;
    fs::path dir = fs::absolute(argv[1], ec);
    if (!ec)
        fs::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "make_example: %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    if (!writeSources(dir))
        return 1;

    Project project;
    for (const FileItem& item : kFileItems) {
        const std::string path = utf8Of((dir / item.file).lexically_normal().make_preferred());
        const std::string type = item.type ? std::string(item.type) + '\t' : std::string();
        project.append(item.kind, std::string(item.id) + '\t' + type + path);
    }
    for (const StringItem& item : kStrings)
        project.append(ResourceKind::String, std::string(item.id) + '\t' + item.text);
    // A generated manifest and version information, as most programs carry today.
    for (const char* line : {"controls=6", "dpi=permonitorv2", "level=asInvoker", "os=all",
                             "name=Kelbo.Demo", "description=Kelbo example project"})
        project.append(ResourceKind::Manifest, line);
    for (const char* line : {"FileVersion=1.0.0.0", "ProductVersion=1.0", "CompanyName=Kelbo",
                             "FileDescription=Kelbo example project", "ProductName=Kelbo demo",
                             "LegalCopyright=© 2026 The Kelbo developers"})
        project.append(ResourceKind::Version, line);
    LanguageSection& russian = project.section(project.addSection(0x0419));
    for (const StringItem& item : kRussian)
        russian.append(ResourceKind::String, std::string(item.id) + '\t' + item.text);
    for (const char* line : {"FileVersion=1.0.0.0", "ProductVersion=1.0", "Language=0419",
                             "CompanyName=Kelbo", "FileDescription=Пример проекта Kelbo",
                             "ProductName=Пример Kelbo"})
        russian.append(ResourceKind::Version, line);

    std::string error;
    if (!saveProjectFile(utf8Of(dir / "demo.kbp"), project, error)) {
        std::fprintf(stderr, "make_example: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
