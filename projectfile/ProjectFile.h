// The binary project file (.KBP): "KELBO200", then per original kind a 16-bit count and per line
// a 16-bit length and the line's bytes; the newer kinds follow in an extension block.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "project/Project.h"

namespace kelbo {

inline constexpr std::string_view kProjectSignature = "KELBO200";
// After the WAVE section, only when a kind of the extension block holds an item: this
// signature, then per such kind its 4-byte tag, its count and its lines, to the end of the file.
inline constexpr std::string_view kExtensionSignature = "KELBOEXT";

// The file's bytes; fails (reason in `error`) for a project the format cannot hold.
std::optional<std::string> encodeProject(const Project& project, std::string& error);
// All or nothing: a bad signature, a negative count or length, or a file that ends before its
// counts say gives nothing. Bytes after the last WAVE record are ignored unless they start the
// extension block; an unknown, repeated or misordered tag there, an empty section or a
// truncated record gives nothing too, since a later save would drop what was not understood.
std::optional<Project> decodeProject(std::string_view bytes);

// Writes the project file atomically; false with "PATH: reason" in `error`.
bool saveProjectFile(const std::string& path, const Project& project, std::string& error,
                     FileSystem& fs = nativeFileSystem());
std::optional<Project> loadProjectFile(const std::string& path,
                                       FileSystem& fs = nativeFileSystem());

} // namespace kelbo
