#include "rescompiler/ResOutput.h"

#include <algorithm>
#include <cstring>

#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ItemLine.h"

namespace kelbo {

void ResOutput::flush() {
    if (ok_ && used_ > 0 && !file_->write(buffer_.get(), used_)) {
        ok_ = false;
        error_ = file_->error();
    }
    used_ = 0;
}

void ResOutput::reserve(std::size_t capacity) {
    if (capacity_ >= capacity)
        return;
    flush();
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity);
    capacity_ = capacity;
}

void ResOutput::append(const void* data, std::size_t count) {
    reserve(kSmallCapacity);
    if (count > capacity_ - used_)
        flush();
    if (count > capacity_) {
        if (ok_ && !file_->write(data, count)) {
            ok_ = false;
            error_ = file_->error();
        }
        return;
    }
    std::memcpy(buffer_.get() + used_, data, count);
    used_ += count;
}

bool ResOutput::copyFrom(InputFile& source, std::uint64_t offset, std::uint64_t count) {
    reserve(count > kSmallCapacity ? kLargeCapacity : kSmallCapacity);
    while (count > 0 && ok_) {
        if (used_ == capacity_)
            flush();
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, capacity_ - used_));
        if (!source.readAt(offset, buffer_.get() + used_, n))
            return false;
        used_ += n;
        offset += n;
        count -= n;
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
    else if (!log.itemLanguage().empty())
        log.AddLogLine(joinLines({logtext::kError, log.itemLanguage(), itemLine, problem}));
    else
        log.AddLogLine(joinLines({logtext::kError, itemLine, problem}));
}

std::unique_ptr<InputFile> openSource(FileSystem& fs, const std::string& path,
                                      std::string_view itemLine, CompileLog& log) {
    if (path.empty()) {
        logFailure(log, itemLine, "No source file named");
        return nullptr;
    }
    std::string error;
    std::unique_ptr<InputFile> in = fs.openInput(path, error);
    if (!in)
        logFailure(log, itemLine, "Cannot read " + path + " : " + error);
    return in;
}

std::unique_ptr<ResOutput> openOutput(FileSystem& fs, const std::string& resFileName,
                                      CompileLog& log) {
    std::string error;
    std::unique_ptr<OutputFile> file = fs.createRebuildableOutput(resFileName, error);
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

std::vector<StringBlock> stringBlocks(const LanguageSection& section) {
    struct Item {
        int number;
        std::size_t order;
        std::string_view text;
    };
    std::vector<Item> items;
    const Project::Lines& lines = section.lines(ResourceKind::String);
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

} // namespace kelbo
