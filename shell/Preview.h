// Which picture files the file item dialog previews. The decoders of both front ends stop at the
// end of a file and leave what they did not reach undefined, so only files that are whole are
// handed to them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "project/Project.h"

namespace kelbo::shell {

// Larger files get no preview: no picture that size fits the box anyway.
inline constexpr std::uint64_t kMaxPreviewBytes = std::uint64_t{64} << 20;

// True when the bytes of a file chosen for `kind` may be decoded for the preview: not empty, not
// above kMaxPreviewBytes; for an icon, a directory the compiler accepts; for a bitmap ("BM"),
// every declared row present (run-length streams must fill every row and end with their end
// mark). Other contents are left to the decoder, which refuses what it does not know.
bool worthPreviewing(std::string_view bytes, ResourceKind kind);

// The first image of a .CUR file as its directory gives it: size in pixels (0 in the directory
// means 256) and the hot spot, from the image's top-left corner.
struct CursorImage {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
};
std::optional<CursorImage> firstCursorImage(std::string_view bytes);

} // namespace kelbo::shell
