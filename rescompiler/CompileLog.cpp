#include "rescompiler/CompileLog.h"

namespace kelbo {

void CompileLog::AddLogLine(std::string_view line) {
    text_ += kCrLf;
    text_ += line;
    succeeded_ = false;
}

void CompileLog::AddSuccessLine() {
    AddLogLine(logtext::kSuccess);
    succeeded_ = true;
}

std::vector<std::string> CompileLog::lines() const {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        std::size_t pos = text_.find(kCrLf, start);
        if (pos == std::string::npos) {
            out.emplace_back(text_.substr(start));
            break;
        }
        out.emplace_back(text_.substr(start, pos - start));
        start = pos + kCrLf.size();
    }
    return out;
}

std::string joinLines(std::initializer_list<std::string_view> parts) {
    std::string out;
    bool first = true;
    for (std::string_view part : parts) {
        if (!first)
            out += kCrLf;
        out += part;
        first = false;
    }
    return out;
}

} // namespace kelbo
