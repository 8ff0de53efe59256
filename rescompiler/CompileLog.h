// The compile log: one text whose lines are separated by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelbo {

inline constexpr std::string_view kCrLf = "\r\n";

class CompileLog {
public:
    // Appends CR LF and then the line, so a log that starts empty starts with an empty line.
    void AddLogLine(std::string_view line);
    void setText(std::string text) { text_ = std::move(text); }
    void clear() { text_.clear(); }
    const std::string& text() const { return text_; }
    // The log split at each CR LF.
    std::vector<std::string> lines() const;
    // True when the last line is "Compilation : SuccessFull".
    bool succeeded() const;

private:
    std::string text_;
};

// Lines of the log, as the writers and checks word them.
namespace logtext {
inline constexpr std::string_view kError = "*** ERROR ***";
inline constexpr std::string_view kIdentifiersOk = "Identificators = OK";
inline constexpr std::string_view kSuccess = "Compilation : SuccessFull";
inline constexpr std::string_view kTooLarge = "Identificator too large";
inline constexpr std::string_view kMustBePositive = "Identificator must be a positive Integer <";
inline constexpr std::string_view kSame = "Same Identificators";
inline constexpr std::string_view kOnlyANumber = "String Identificator: Only a number";
} // namespace logtext

// Joins message parts with CR LF.
std::string joinLines(std::initializer_list<std::string_view> parts);

} // namespace kelbo
