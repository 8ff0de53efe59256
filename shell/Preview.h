// Which picture files the file item dialog previews. The decoders of both front ends stop at the
// end of a file and leave what they did not reach undefined, so only files that are whole are
// handed to them.
#pragma once

#include <cstdint>
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

} // namespace kelbo::shell
