// The binary project file (.KBP): "KELBO200", then per original kind a 16-bit count and per line
// a 16-bit length and the line's bytes; the newer kinds, the text encoding and further languages
// follow in an extension block.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

inline constexpr std::string_view kProjectSignature = "KELBO200";
// After the WAVE section, only when something beyond the base's original four lists in
// Windows-1252 and language 0000 is to be written: this signature, then tagged sections (a
// 4-byte tag, a count and its lines) to the end of the file, in this order:
//   TEXT (one line "UTF-8": every line of the file, the first four sections included, is UTF-8;
//   without it every line is Windows-1252), the base's CURS DATA MANI VERS, BASE (one line: the
//   base's language as four hex digits), then per further language LANG (one line, its
//   language) and its BITM ICON STRG WAVE CURS DATA MANI VERS.
inline constexpr std::string_view kExtensionSignature = "KELBOEXT";
inline constexpr std::string_view kUtf8TextLine = "UTF-8";

// The file's bytes; fails (reason in `error`) for a project the format cannot hold: too many
// lines or too long a line once encoded, or a line that is not UTF-8.
std::optional<std::string> encodeProject(const Project& project, std::string& error);
// All or nothing: a bad signature, a negative count or length, or a file that ends before its
// counts say gives nothing. Bytes after the last WAVE record are ignored unless they start the
// extension block; an unknown, repeated or misordered tag there, an empty kind section, a TEXT
// other than "UTF-8", a line under TEXT that is not UTF-8, a language that is not four hex
// digits or comes twice, or a truncated record gives nothing too, since a later save would drop
// what was not understood. Lines come back as UTF-8.
std::optional<Project> decodeProject(std::string_view bytes);

// Writes the project file atomically; false with "PATH: reason" in `error`.
bool saveProjectFile(const std::string& path, const Project& project, std::string& error,
                     FileSystem& fs = nativeFileSystem());
std::optional<Project> loadProjectFile(const std::string& path,
                                       FileSystem& fs = nativeFileSystem());

} // namespace kelbo
