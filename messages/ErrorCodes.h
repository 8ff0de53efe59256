// The fixed messages of the input error codes (shell::showError).
#pragma once

#include <string>

namespace kelbo {

// Largest identifier number, in the dialogs, the compile checks and the message of code 5.
inline constexpr int kMaxIdentifier = 32767;

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
