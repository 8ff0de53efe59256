#include "shell/ItemValidation.h"

#include <cmath>
#include <limits>

#include "messages/ErrorCodes.h"
#include "platform/Cp1252.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {

ItemCheck checkFileItem(const std::string& identifier, const std::string& folder,
                        const std::string& fileName,
                        const std::function<bool(const std::string&)>& fileExists,
                        PathStyle style) {
    if (identifier.empty())
        return {kNoIdentifier, {}};
    if (fileName.find('*') != std::string::npos || fileName.empty())
        return {kBadFileName, {}};
    std::string path = joinPath(folder, fileName, style);
    // A name chosen in one folder and combined with another must still name a file.
    if (fileExists && !fileExists(path))
        return {kBadFileName, {}};
    return {0, identifier + kTab + path};
}

std::optional<std::int32_t> convertIdentifier(std::string_view text) {
    std::string_view t = trimSpaces(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    std::size_t point = t.find('.');
    std::string_view whole = t.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : t.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    for (std::string_view part : {whole, fraction}) {
        for (char c : part) {
            if (c < '0' || c > '9')
                return std::nullopt;
        }
    }
    constexpr long long kLimit = 1LL << 32;
    long long value = digitsValue(whole, kLimit);
    if (value < 0)
        return std::nullopt;
    // Round half to even on the fraction's digits, without floating point.
    if (!fraction.empty()) {
        bool up = false;
        if (fraction[0] > '5') {
            up = true;
        } else if (fraction[0] == '5') {
            bool rest = fraction.substr(1).find_first_not_of('0') != std::string_view::npos;
            up = rest || (value % 2 == 1);
        }
        if (up)
            ++value;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

ItemCheck checkStringItem(const std::string& identifier, const std::string& text) {
    if (identifier.empty())
        return {kNoIdentifier, {}};
    std::optional<std::int32_t> value = convertIdentifier(identifier);
    if (!value)
        return {kStringIdOnlyNumber, {}};
    if (*value > kMaxIdentifier)
        return {kIdentifierTooLarge, {}};
    return {0, std::string(trimSpaces(identifier)) + kTab + text};
}

EditedParts splitEditedLine(std::string_view line) {
    return {std::string(itemIdText(line)), std::string(itemTailText(line))};
}

} // namespace kelbo
