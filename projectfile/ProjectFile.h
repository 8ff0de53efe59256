// The binary project file (.KBP): "KELBO200", then per kind a 16-bit count and per line a
// 16-bit length and the line's bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/project/Project.h"
#include "platform/FileSystem.h"

namespace kelbo {

inline constexpr std::string_view kProjectSignature = "KELBO200";

// The file's bytes; fails (reason in `error`) for a project the format cannot hold.
std::optional<std::string> encodeProject(const Project& project, std::string& error);
// All or nothing: a bad signature, a negative count or length, or a file that ends before its
// counts say gives nothing. Bytes after the last WAVE record are ignored.
std::optional<Project> decodeProject(std::string_view bytes);

// Writes the project file atomically; false with "PATH: reason" in `error`.
bool saveProjectFile(const std::string& path, const Project& project, std::string& error,
                     FileSystem& fs = nativeFileSystem());
std::optional<Project> loadProjectFile(const std::string& path,
                                       FileSystem& fs = nativeFileSystem());

} // namespace kelbo
