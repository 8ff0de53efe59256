// Version information: the VERSION kind's `key=value` lines, what they set, and the resource
// data they give in the 32-bit (VS_VERSIONINFO) and the 16-bit (Windows 3.x VERSIONINFO) form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/Project.h"

namespace kelbo {

// a.b.c.d; parts not typed are 0.
using VersionNumber = std::array<std::uint16_t, 4>;

// One entry of the string table, its key spelt the canonical way ("CompanyName").
struct VersionString {
    std::string key;
    std::string value; // UTF-8
    bool operator==(const VersionString&) const = default;
};

struct VersionSettings {
    VersionNumber fileVersion{};
    VersionNumber productVersion{};
    // Set by FileVersionNumber / ProductVersionNumber: the number is given apart from the string,
    // and the FileVersion / ProductVersion string is then any text, kept as written.
    bool fileNumberGiven = false;
    bool productNumberGiven = false;
    bool dll = false;
    // FileType given as a number other than 1 (app) and 2 (dll).
    std::optional<std::uint32_t> otherFileType;
    std::uint32_t fileFlagsMask = 0x3F;
    std::uint32_t fileFlags = 0;
    // The form's own system (VOS_NT_WINDOWS32, VOS__WINDOWS16) unless given.
    std::optional<std::uint32_t> fileOS;
    std::uint32_t fileSubtype = 0;
    std::uint64_t fileDate = 0; // FileDateMS in the high half
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 1252;
    // In the order their lines came; FileVersion and ProductVersion among them, as typed.
    std::vector<VersionString> strings;
    bool operator==(const VersionSettings&) const = default;
};

// What is wrong, and the line it is wrong in (empty when no one line is to blame).
struct VersionProblem {
    std::string line;
    std::string text;
};

// Keys are matched without regard to case; spaces around a key and around a value are dropped.
// Every key may appear once. Fails on the first bad line.
std::optional<VersionSettings> parseVersionLines(const Project::Lines& lines,
                                                 VersionProblem& problem);

// Lines that parse back to the same settings: FileType, the fixed fields, Language and CodePage
// when they are not the defaults, then the strings in their order (a FileVersion or
// ProductVersion that has no string of its own first).
Project::Lines versionLines(const VersionSettings& settings);

// "1.2.0.0": every part, as the version strings spell a number in full.
std::string versionText(const VersionNumber& number);
// Four upper-case hex digits, as Language is written: "0409".
std::string hex4(std::uint16_t value);

// The StringFileInfo block's name: language and code page as eight hex digits ("040904E4").
std::string stringTableName(const VersionSettings& settings);

// The resource data, blocks aligned to four bytes from its start. The 32-bit form has UTF-16
// keys and values and a type word in each block; the 16-bit form has Windows-1252 text and no
// type word. A string's value length counts its characters (UTF-16 units in the 32-bit form)
// and the terminator.
std::string buildVersionInfo32(const VersionSettings& settings);
std::string buildVersionInfo16(const VersionSettings& settings);

// The RT_VERSION resource's data for `bits` 16 or 32 from the VERSION kind's lines, or nothing
// with `problem` set when a line is bad or the data would not fit its 16-bit length.
std::optional<std::string> buildVersionResource(const Project::Lines& lines, int bits,
                                                VersionProblem& problem);

} // namespace kelbo
