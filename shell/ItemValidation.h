// The OK checks of the item dialogs: what is typed in, what comes out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PathRules.h"

namespace kelbo {

// An accepted item line, or the error code that refuses it.
struct ItemCheck {
    int errorCode = 0;
    std::string line;
    bool ok() const { return errorCode == 0; }
};

// File item dialog: the identifier as typed, the folder label and the file-name label.
// Code 2 for an empty identifier, code 3 when no file is chosen (the name still holds "*") or
// the full path names no existing file.
ItemCheck checkFileItem(const std::string& identifier, const std::string& folder,
                        const std::string& fileName,
                        const std::function<bool(const std::string&)>& fileExists,
                        PathStyle style = nativePathStyle());

// The ordinary numeric conversion of the string dialog: trimmed, optional sign, digits, an
// optional fractional part rounded half to even; nothing outside the 32-bit range.
std::optional<std::int32_t> convertIdentifier(std::string_view text);

// String item dialog: code 2 for an empty identifier, 4 when it does not convert, 5 above 32767.
// The line holds the trimmed identifier, a TAB and the text as typed.
ItemCheck checkStringItem(const std::string& identifier, const std::string& text);

// Splits the line an item dialog modifies: the text before the first TAB and everything after
// it. A line without a TAB is all identifier.
struct EditedParts {
    std::string identifier;
    std::string rest;
};
EditedParts splitEditedLine(std::string_view line);

} // namespace kelbo
