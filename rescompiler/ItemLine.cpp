#include "rescompiler/ItemLine.h"

#include "platform/Unicode.h"

namespace kelbo {

std::string_view itemIdText(std::string_view line) {
    std::size_t tab = line.find(kTab);
    return tab == std::string_view::npos ? line : line.substr(0, tab);
}

std::string_view itemTailText(std::string_view line) {
    std::size_t tab = line.find(kTab);
    return tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
}

std::string_view trimSpaces(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    std::size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

std::string GetItemId(std::string_view line) {
    return std::string(trimSpaces(upperCaseName(itemIdText(line))));
}

std::string GetItemSource(std::string_view line) {
    return std::string(trimSpaces(itemTailText(line)));
}

std::string GetItemType(std::string_view line) {
    std::string_view tail = itemTailText(line);
    return GetItemId(tail);
}

std::string GetDataSource(std::string_view line) {
    return GetItemSource(itemTailText(line));
}

std::string GetItemSource(std::string_view line, bool typed) {
    return typed ? GetDataSource(line) : GetItemSource(line);
}

ResourceId resourceIdOfText(std::string id) {
    if (TestNumber(id) == 0)
        return {false, static_cast<std::uint16_t>(digitsValue(id)), {}};
    return {true, 0, std::move(id)};
}

ResourceId resourceIdOf(const std::string& line) {
    return resourceIdOfText(GetItemId(line));
}

std::int16_t TestNumber(std::string& text) {
    text = std::string(trimSpaces(text));
    for (char c : text) {
        if (c < '0' || c > '9')
            return kNotANumber;
    }
    return 0;
}

long long digitsValue(std::string_view digits, long long limit) {
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > limit)
            return -1;
    }
    return value;
}

std::string WidenText(std::string_view text) {
    return utf8ToUtf16Le(text);
}

} // namespace kelbo
