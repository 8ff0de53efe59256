// The fixed messages of the input error codes (shell::showError).
#pragma once

#include <string>

namespace kelbo {

enum ErrorCode : int {
    kNoItemSelected = 1,
    kNoIdentifier = 2,
    kBadFileName = 3,
    kStringIdOnlyNumber = 4,
    kIdentifierTooLarge = 5,
    kInvalidProjectFile = 6,
    kNothingToCompile = 7,
};

// "No Item selected" ... "Nothing to compile"; empty for an unknown code.
std::string errorMessage(int code);
// "ERROR " followed by the code.
std::string errorTitle(int code);

} // namespace kelbo
