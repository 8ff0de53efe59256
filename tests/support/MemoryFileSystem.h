// A file layer held in memory, with the same promises as the native one: outputs go to a
// visible temporary entry that replaces the target only on commit and vanishes otherwise.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace kelbo::test {

using MemoryInput = kelbo::MemoryInput;

class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> directories;
    // Paths that exist but cannot be opened (what permissions would do to a normal user).
    std::set<std::string> unreadable;

    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        if (directories.count(path)) {
            error = "Is a directory";
            return nullptr;
        }
        if (unreadable.count(path)) {
            error = "Permission denied";
            return nullptr;
        }
        auto it = files.find(path);
        if (it == files.end()) {
            error = "No such file or directory";
            return nullptr;
        }
        return std::make_unique<MemoryInput>(it->second);
    }

    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        if (path.empty()) {
            error = "No such file or directory";
            return nullptr;
        }
        std::string temp = path + ".~" + std::to_string(++tempCounter_) + ".tmp";
        files[temp];
        return std::make_unique<Output>(*this, temp, path);
    }

    bool fileExists(const std::string& path) override { return files.count(path) != 0; }

    // Entries that only a write in progress, or one that was not cleaned up, leaves behind.
    std::size_t temporaryCount() const {
        return static_cast<std::size_t>(std::count_if(files.begin(), files.end(), [](auto& f) {
            return f.first.size() > 4 && f.first.compare(f.first.size() - 4, 4, ".tmp") == 0;
        }));
    }

private:
    class Output : public OutputFile {
    public:
        Output(MemoryFileSystem& fs, std::string temp, std::string target)
            : fs_(fs), temp_(std::move(temp)), target_(std::move(target)) {}
        ~Output() override {
            if (!committed_)
                fs_.files.erase(temp_);
        }
        bool write(const void* data, std::size_t count) override {
            if (committed_)
                return false;
            fs_.files[temp_].append(static_cast<const char*>(data), count);
            return true;
        }
        bool writeAt(std::uint64_t offset, const void* data, std::size_t count) override {
            std::string& bytes = fs_.files[temp_];
            if (committed_ || offset > bytes.size() || count > bytes.size() - offset)
                return false;
            bytes.replace(static_cast<std::size_t>(offset), count, static_cast<const char*>(data),
                          count);
            return true;
        }
        bool commit() override {
            if (committed_)
                return false;
            if (fs_.directories.count(target_)) {
                error_ = "Is a directory";
                return false;
            }
            fs_.files[target_] = std::move(fs_.files[temp_]);
            fs_.files.erase(temp_);
            committed_ = true;
            return true;
        }
        std::string error() const override { return error_; }

    private:
        MemoryFileSystem& fs_;
        std::string temp_;
        std::string target_;
        std::string error_;
        bool committed_ = false;
    };

    int tempCounter_ = 0;
};

} // namespace kelbo::test
