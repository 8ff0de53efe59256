#include "tests/TestSupport.h"

#include "platform/PathRules.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace kelbo::test {

TempDir::TempDir() {
    static std::mt19937_64 rng{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("kelbo-test-" + std::to_string(rng()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    // The name is Windows-1252, as the core takes it; the folder itself is plain ASCII.
    return joinPath(path_.string(), name);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::uint16_t get16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s.at(at)) |
                                      static_cast<unsigned char>(s.at(at + 1)) << 8);
}

std::uint32_t get32(const std::string& s, std::size_t at) {
    return get16(s, at) | static_cast<std::uint32_t>(get16(s, at + 2)) << 16;
}

std::string makeBitmap(int width, int height, std::size_t extra) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(height);
    std::string out = "BM";
    put32(out, 14 + 40 + pixels);
    put32(out, 0);
    put32(out, 14 + 40);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixels);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (std::uint32_t i = 0; i < pixels; ++i)
        out += static_cast<char>(i * 7 % 251);
    out.append(extra, '\x5A');
    return out;
}

std::string makeIcon(const std::vector<std::uint32_t>& sizes) {
    std::string out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(sizes.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        out += static_cast<char>(16 * (i + 1)); // width
        out += static_cast<char>(16 * (i + 1)); // height
        out += '\0';
        out += '\0';
        put16(out, 1);
        put16(out, 32);
        put32(out, sizes[i]);
        put32(out, offset);
        offset += sizes[i];
    }
    for (std::size_t i = 0; i < sizes.size(); ++i)
        out.append(sizes[i], static_cast<char>(0x40 + i));
    return out;
}

std::string makeWave(std::size_t size) {
    std::string out = "RIFF";
    for (std::size_t i = out.size(); i < size; ++i)
        out += static_cast<char>(i % 253);
    out.resize(size);
    return out;
}

std::string projectBytes(const std::vector<std::vector<std::string>>& kinds,
                         const std::string& signature) {
    std::string out = signature;
    for (const auto& lines : kinds) {
        put16(out, static_cast<std::uint16_t>(lines.size()));
        for (const std::string& line : lines) {
            put16(out, static_cast<std::uint16_t>(line.size()));
            out += line;
        }
    }
    return out;
}

RunResult runCompiler(const std::vector<std::string>& args) {
    TempDir scratch;
#ifdef _WIN32
    // cmd.exe wants the whole line quoted once more.
    std::string command = std::string("\"\"") + KELBO_COMPILE_EXE + "\"";
    for (const std::string& arg : args)
        command += " \"" + arg + "\"";
    std::string outFile = scratch.file("out"), errFile = scratch.file("err");
    command += " >\"" + outFile + "\" 2>\"" + errFile + "\" <NUL\"";
    int raw = std::system(command.c_str());
    RunResult result;
    result.status = raw;
#else
    std::string command = std::string("'") + KELBO_COMPILE_EXE + "'";
    for (const std::string& arg : args) {
        std::string quoted;
        for (char c : arg)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " '" + quoted + "'";
    }
    std::string outFile = scratch.file("out"), errFile = scratch.file("err");
    command += " >'" + outFile + "' 2>'" + errFile + "' </dev/null";
    int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.out = readBytes(outFile);
    result.err = readBytes(errFile);
#ifdef _WIN32
    // The console's text mode turns each line end into CR LF.
    for (std::string* text : {&result.out, &result.err})
        std::erase(*text, '\r');
#endif
    return result;
}

} // namespace kelbo::test
