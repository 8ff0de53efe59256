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
    kBadDataType = 8,
    kBadManifest = 9,
    kBadVersion = 10,
};

// "No Item selected" ... "Bad Version"; empty for an unknown code.
std::string errorMessage(int code);
// "ERROR " followed by the code.
std::string errorTitle(int code);

} // namespace kelbo
