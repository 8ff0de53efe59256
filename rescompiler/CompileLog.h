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
    void setText(std::string text) {
        text_ = std::move(text);
        succeeded_ = false;
    }
    void clear() { setText({}); }
    const std::string& text() const { return text_; }
    // The log split at each CR LF.
    std::vector<std::string> lines() const;
    // Logs "Compilation : SuccessFull": only a writer that finished its file calls this.
    void AddSuccessLine();
    // True when the last thing logged was the success line (an item line that merely reads
    // the same does not count).
    bool succeeded() const { return succeeded_; }
    // "Language : 0419", the line an error about an item names its language with; empty while
    // the project has one section, so its log reads as it always did.
    void setItemLanguage(std::string line) { itemLanguage_ = std::move(line); }
    const std::string& itemLanguage() const { return itemLanguage_; }

private:
    std::string text_;
    std::string itemLanguage_;
    bool succeeded_ = false;
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
inline constexpr std::string_view kZeroInIdentifier = "Identificator with a zero character";
inline constexpr std::string_view kNoDataType = "Custom resource without a type";
inline constexpr std::string_view kZeroInType = "Resource type with a zero character";
inline constexpr std::string_view kTypeRange =
    "Resource type must be a name or a whole number from 1 to 32767";
inline constexpr std::string_view kReservedType = "Resource type reserved for Kelbo's own kinds: ";
inline constexpr std::string_view kLanguage = "Language : ";
} // namespace logtext

// Joins message parts with CR LF.
std::string joinLines(std::initializer_list<std::string_view> parts);

} // namespace kelbo
