#include "rescompiler/ResOutput.h"

#include <algorithm>

#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {

void ResOutput::flush() {
    if (ok_ && !buffer_.empty() && !file_->write(buffer_.data(), buffer_.size())) {
        ok_ = false;
        error_ = file_->error();
    }
    buffer_.clear();
}

bool ResOutput::copyFrom(InputFile& source, std::uint64_t offset, std::uint64_t count) {
    constexpr std::size_t kChunk = 1 << 20;
    while (count > 0 && ok_) {
        if (buffer_.size() >= kChunk)
            flush();
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, kChunk));
        std::size_t at = buffer_.size();
        buffer_.resize(at + n);
        if (!source.readAt(offset, buffer_.data() + at, n)) {
            buffer_.resize(at);
            return false;
        }
        offset += n;
        count -= n;
        flushIfFull();
    }
    return true;
}

bool ResOutput::commit() {
    flush();
    if (!ok_)
        return false;
    if (!file_->commit()) {
        ok_ = false;
        error_ = file_->error();
        return false;
    }
    return true;
}

void logFailure(CompileLog& log, std::string_view itemLine, std::string_view problem) {
    if (itemLine.empty())
        log.AddLogLine(joinLines({logtext::kError, problem}));
    else
        log.AddLogLine(joinLines({logtext::kError, itemLine, problem}));
}

std::unique_ptr<InputFile> openSource(FileSystem& fs, const std::string& path,
                                      std::string_view itemLine, CompileLog& log) {
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(path, error);
    if (!in)
        logFailure(log, itemLine, "Cannot read " + path + " : " + error);
    return in;
}

std::unique_ptr<ResOutput> openOutput(FileSystem& fs, const std::string& resFileName,
                                      CompileLog& log) {
    std::string error;
    std::unique_ptr<OutputFile> file = fs.createOutput(resFileName, error);
    if (!file) {
        logFailure(log, "", "Cannot write " + resFileName + " : " + error);
        return nullptr;
    }
    return std::make_unique<ResOutput>(std::move(file));
}

bool commitOutput(ResOutput& out, const std::string& resFileName, CompileLog& log) {
    if (out.commit())
        return true;
    logFailure(log, "", "Cannot write " + resFileName + " : " + out.error());
    return false;
}

std::vector<StringBlock> stringBlocks(const Project& project) {
    struct Item {
        int number;
        std::size_t order;
        std::string_view text;
    };
    std::vector<Item> items;
    const Project::Lines& lines = project.lines(ResourceKind::String);
    items.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int number = stringIdentifierNumber(itemIdText(lines[i]));
        if (number >= 0)
            items.push_back({number, i, itemTailText(lines[i])});
    }
    // Equal numbers keep list order, so the later one fills the slot last and wins.
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.number < b.number; });
    std::vector<StringBlock> blocks;
    for (const Item& item : items) {
        auto block = static_cast<std::uint16_t>(item.number / 16 + 1);
        if (blocks.empty() || blocks.back().blockNumber != block)
            blocks.push_back({block, {}});
        std::vector<StringSlot>& slots = blocks.back().slots;
        if (!slots.empty() && slots.back().number == item.number)
            slots.back().text = item.text;
        else
            slots.push_back({item.number, item.text});
    }
    return blocks;
}

ResourceId resourceIdOf(const std::string& line) {
    std::string id = GetItemId(line);
    if (TestNumber(id) == 0)
        return {false, static_cast<std::uint16_t>(digitsValue(id)), {}};
    return {true, 0, id};
}

} // namespace kelbo
