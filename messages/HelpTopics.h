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

inline constexpr int kHelpTopicCount = 11;
const std::array<HelpTopic, kHelpTopicCount>& helpTopics();

inline constexpr const char* kHelpIndexCaption = "KELBO  Version 2";

} // namespace kelbo
