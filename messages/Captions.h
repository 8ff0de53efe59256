// Captions and version of the program.
#pragma once

#include <string_view>

namespace kelbo {

inline constexpr std::string_view kVersion = "2.12";
inline constexpr std::string_view kStartCaption = "Kelbo Version 2.12";
inline constexpr std::string_view kNewCaption = "  Kelbo Version 2.12";
inline constexpr std::string_view kInvalidFileCaption = "Kelbo Version 2";

} // namespace kelbo
