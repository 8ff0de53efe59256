#include "messages/ErrorCodes.h"

namespace kelbo {

std::string errorMessage(int code) {
    switch (code) {
    case kNoItemSelected:
        return "No Item selected";
    case kNoIdentifier:
        return "No Identificator";
    case kBadFileName:
        return "Bad FileName";
    case kStringIdOnlyNumber:
        return "String Identificator: Only a number";
    case kIdentifierTooLarge:
        return "Identificator > " + std::to_string(kMaxIdentifier);
    case kInvalidProjectFile:
        return "Invalid KBP-file";
    case kNothingToCompile:
        return "Nothing to compile";
    case kBadDataType:
        return "Bad Type";
    case kBadManifest:
        return "Bad Manifest";
    case kBadVersion:
        return "Bad Version";
    default:
        return {};
    }
}

std::string errorTitle(int code) {
    return "ERROR " + std::to_string(code);
}

} // namespace kelbo
