// Helpers for the core tests: scratch folders, source files made in memory, kelbo-compile runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/project/Project.h"

namespace kelbo::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // Full path of `name` inside the folder, as the core takes paths.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

void put16(std::string& out, std::uint16_t v);
void put32(std::string& out, std::uint32_t v);
std::uint16_t get16(const std::string& s, std::size_t at);
std::uint32_t get32(const std::string& s, std::size_t at);

// A bottom-up 24-bit .BMP of the given size; `extra` bytes follow the declared end.
std::string makeBitmap(int width, int height, std::size_t extra = 0);
// An .ICO whose images are filled with distinct bytes; sizes[i] is image i's byte count.
std::string makeIcon(const std::vector<std::uint32_t>& sizes);
// A .WAV-shaped file of exactly `size` bytes.
std::string makeWave(std::size_t size);

// Project file bytes from raw counts and lines, for damaged files.
std::string projectBytes(const std::vector<std::vector<std::string>>& kinds,
                         const std::string& signature = "KELBO200");

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs kelbo-compile with the arguments (each quoted for the shell).
RunResult runCompiler(const std::vector<std::string>& args);

} // namespace kelbo::test
