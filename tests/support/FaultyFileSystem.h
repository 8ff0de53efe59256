// Wraps another file layer and makes chosen operations fail, the way a full or failing disk
// would: the Nth write (after letting part of it through), the flush before the rename, the
// rename itself, opening, or reads past a point (a file that shrank while being read).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace kelbo::test {

struct FaultPlan {
    // 1-based number of the write call that fails, counted over all outputs; 0 for none.
    int failWriteAt = 0;
    // Bytes of the failing write that still reach the file before it fails.
    std::size_t partialBytes = 0;
    bool failFlush = false;  // the flush to disk before the rename fails
    bool failRename = false; // the rename over the target fails
    bool failCreate = false; // no temporary file can be made
    // 1-based number of the readAt call that fails, counted over all inputs; 0 for none.
    int failReadAt = 0;
    // Reads reaching beyond this many bytes of a file fail.
    std::uint64_t readableBytes = std::numeric_limits<std::uint64_t>::max();
    std::string reason = "No space left on device";
};

class FaultyFileSystem : public FileSystem {
public:
    FaultyFileSystem(FileSystem& inner, FaultPlan plan) : inner_(inner), plan_(std::move(plan)) {}

    int writes() const { return writes_; }
    int reads() const { return reads_; }
    // True when a planned fault actually fired.
    bool fired() const { return fired_; }

    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        std::unique_ptr<InputFile> in = inner_.openInput(path, error);
        if (!in)
            return nullptr;
        return std::make_unique<Input>(*this, std::move(in));
    }

    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        return wrap(path, error, false);
    }
    std::unique_ptr<OutputFile> createRebuildableOutput(const std::string& path,
                                                        std::string& error) override {
        return wrap(path, error, true);
    }

    bool fileExists(const std::string& path) override { return inner_.fileExists(path); }

private:
    // Faults apply to both kinds of output; the inner layer picks its own way of committing.
    std::unique_ptr<OutputFile> wrap(const std::string& path, std::string& error,
                                     bool rebuildable) {
        if (plan_.failCreate) {
            fired_ = true;
            error = plan_.reason;
            return nullptr;
        }
        std::unique_ptr<OutputFile> out = rebuildable ? inner_.createRebuildableOutput(path, error)
                                                      : inner_.createOutput(path, error);
        if (!out)
            return nullptr;
        return std::make_unique<Output>(*this, std::move(out));
    }

    class Input : public InputFile {
    public:
        Input(FaultyFileSystem& fs, std::unique_ptr<InputFile> inner)
            : fs_(fs), inner_(std::move(inner)) {}
        std::uint64_t size() const override { return inner_->size(); }
        bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
            ++fs_.reads_;
            if (fs_.plan_.failReadAt == fs_.reads_ ||
                (count > 0 && offset + count > fs_.plan_.readableBytes)) {
                fs_.fired_ = true;
                return false;
            }
            return inner_->readAt(offset, buffer, count);
        }

    private:
        FaultyFileSystem& fs_;
        std::unique_ptr<InputFile> inner_;
    };

    class Output : public OutputFile {
    public:
        Output(FaultyFileSystem& fs, std::unique_ptr<OutputFile> inner)
            : fs_(fs), inner_(std::move(inner)) {}
        bool write(const void* data, std::size_t count) override {
            if (failed_)
                return false;
            ++fs_.writes_;
            if (fs_.plan_.failWriteAt == fs_.writes_) {
                std::size_t part = fs_.plan_.partialBytes < count ? fs_.plan_.partialBytes : count;
                inner_->write(data, part);
                return fail();
            }
            return inner_->write(data, count);
        }
        bool writeAt(std::uint64_t offset, const void* data, std::size_t count) override {
            return !failed_ && inner_->writeAt(offset, data, count);
        }
        bool commit() override {
            if (failed_)
                return false;
            // The inner output is left uncommitted, so it cleans up after itself as on any
            // failure.
            if (fs_.plan_.failFlush || fs_.plan_.failRename)
                return fail();
            return inner_->commit();
        }
        std::string error() const override { return failed_ ? fs_.plan_.reason : inner_->error(); }

    private:
        bool fail() {
            failed_ = true;
            fs_.fired_ = true;
            return false;
        }
        FaultyFileSystem& fs_;
        std::unique_ptr<OutputFile> inner_;
        bool failed_ = false;
    };

    FileSystem& inner_;
    FaultPlan plan_;
    int writes_ = 0;
    int reads_ = 0;
    bool fired_ = false;
};

} // namespace kelbo::test
