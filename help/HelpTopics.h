// The topics of the built-in help.
#pragma once

#include <array>
#include <string>

namespace kelbo {

struct HelpTopic {
    const char* label;   // on the index
    const char* caption; // of the sub-help window
    std::string text;    // lines joined by CR LF
};

const std::array<HelpTopic, 9>& helpTopics();

inline constexpr const char* kHelpIndexCaption = "KELBO  Version 2";

} // namespace kelbo
