// The file layer of the core. Paths are UTF-8, as the project holds them: bytes as they are on
// POSIX systems, converted to UTF-16 at each system call on Windows. Output always goes to a
// temporary file that replaces the target only when it is complete, so a failure never damages what
// was there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelbo {

class InputFile {
public:
    virtual ~InputFile() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly `count` bytes at `offset`; false on any short read or error.
    virtual bool readAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// An input held in memory: a .RES compiled from a project, a test's bytes.
class MemoryInput : public InputFile {
public:
    explicit MemoryInput(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            return false;
        if (count > 0)
            std::memcpy(buffer, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string bytes_;
};

class OutputFile {
public:
    // Destroying an output that was not committed removes its temporary file.
    virtual ~OutputFile() = default;
    virtual bool write(const void* data, std::size_t count) = 0;
    // Overwrites bytes written before (a header field known only at the end, such as a
    // program's checksum); the next write still appends. False where the output cannot.
    virtual bool writeAt(std::uint64_t offset, const void* data, std::size_t count) {
        (void)offset, (void)data, (void)count;
        return false;
    }
    // Flushes to disk and renames the temporary file over the target.
    virtual bool commit() = 0;
    // Why the last write or commit failed.
    virtual std::string error() const = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // On failure returns null and sets `error` to the reason ("No such file or directory").
    virtual std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) = 0;
    virtual std::unique_ptr<OutputFile> createOutput(const std::string& path,
                                                     std::string& error) = 0;
    // For output that can be made again from its sources (a compiled .RES): replaced just as
    // atomically, but not forced to disk before the rename.
    virtual std::unique_ptr<OutputFile> createRebuildableOutput(const std::string& path,
                                                                std::string& error) {
        return createOutput(path, error);
    }
    virtual bool fileExists(const std::string& path) = 0;
};

FileSystem& nativeFileSystem();

// For command-line programs: a stop by SIGINT, SIGTERM or SIGHUP (on Windows Ctrl+C, Ctrl+Break
// or closing the console) first removes every temporary output still open, then ends the
// program with status 128 + the signal's number (1 on Windows). Only SIGKILL or a power cut
// can leave one behind.
void removeTemporaryOutputsWhenStopped();

// Reads a whole file; false with the reason on failure.
bool readWholeFile(FileSystem& fs, const std::string& path, std::string& bytes, std::string& error);
// Replaces `path` with `bytes` atomically; false with the reason on failure.
bool writeWholeFile(FileSystem& fs, const std::string& path, const std::string& bytes,
                    std::string& error);

// Runtime facts from the operating system.
std::string executableDirectory();
std::string currentDirectory();
// True when a file can be created in `dir`.
bool isDirectoryWritable(const std::string& dir);
// True when both paths name one file (through links, or in other spellings).
bool sameFile(const std::string& a, const std::string& b);
// Creates a folder and its missing parents; false when it still does not exist.
bool makeDirectories(const std::string& dir);
// True when `path` names a folder.
bool directoryExists(const std::string& path);
// Removes a folder and everything in it; true when it no longer exists.
bool removeDirectoryTree(const std::string& dir);
// Renames a file or folder; false with the reason in `error`.
bool renamePath(const std::string& from, const std::string& to, std::string& error);
// Value of an environment variable, empty when unset.
std::string environmentValue(const char* name);
// The program's arguments as UTF-8; false (with the argument in `bad`) when one is not UTF-8
// (POSIX) or holds a lone surrogate (Windows), which no UTF-8 path can name.
bool commandLineArguments(int argc, char** argv, std::vector<std::string>& args, std::string& bad);

} // namespace kelbo
