// Project-file bytes written record by record, in any order and with any counts, so format tests
// state a layout in one expression: ProjectBuilder().original({{}, {}, {"1\tHi"}, {}})
// .ext().lang("0419").section("STRG", {"1\tПривет"}).bytes().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelbo::test {

class ProjectBuilder {
public:
    // Starts with the signature, or with the bytes of a file built so far.
    explicit ProjectBuilder(std::string_view start = "KELBO200") : bytes_(start) {}

    // The base's BITMAP, ICON, STRING and WAVE sections, each a count and its lines.
    ProjectBuilder& original(const std::vector<std::vector<std::string>>& kinds = {
                                 {}, {}, {}, {}}) {
        for (const auto& lines : kinds)
            lineRecords(lines);
        return *this;
    }
    ProjectBuilder& ext() { return raw("KELBOEXT"); }
    // A tagged section: the tag, the number of lines, then the lines.
    ProjectBuilder& section(std::string_view tag, const std::vector<std::string>& lines) {
        raw(tag);
        lineRecords(lines);
        return *this;
    }
    // A tagged section whose count says otherwise than the lines that follow.
    ProjectBuilder& section(std::string_view tag, int count,
                            const std::vector<std::string>& lines) {
        raw(tag);
        put16(static_cast<std::uint16_t>(count));
        for (const std::string& line : lines)
            line16(line);
        return *this;
    }
    ProjectBuilder& text(std::string_view line = "UTF-8") {
        return section("TEXT", {std::string(line)});
    }
    ProjectBuilder& base(std::string_view hex) { return section("BASE", {std::string(hex)}); }
    ProjectBuilder& lang(std::string_view hex) { return section("LANG", {std::string(hex)}); }
    ProjectBuilder& raw(std::string_view bytes) {
        bytes_ += bytes;
        return *this;
    }

    const std::string& bytes() const { return bytes_; }
    operator std::string() const { return bytes_; }
    operator std::string_view() const { return bytes_; }

private:
    void put16(std::uint16_t value) {
        bytes_ += static_cast<char>(value & 0xFF);
        bytes_ += static_cast<char>(value >> 8);
    }
    void line16(const std::string& line) {
        put16(static_cast<std::uint16_t>(line.size()));
        bytes_ += line;
    }
    void lineRecords(const std::vector<std::string>& lines) {
        put16(static_cast<std::uint16_t>(lines.size()));
        for (const std::string& line : lines)
            line16(line);
    }

    std::string bytes_;
};

} // namespace kelbo::test
