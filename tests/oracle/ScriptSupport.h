// What the oracle tests share: running a tool through the shell, reading its output file, and
// spelling text the way a resource script does.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace oracle {

inline std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct RunResult {
    int exitCode = -1;
    std::string output; // standard output and error
};

inline RunResult run(const std::string& command) {
    RunResult r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        r.output.append(buf, n);
    int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

inline std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A quoted script string; `terminated` writes the terminator out, so that llvm-rc counts it in
// a version value's length.
inline std::string scriptString(const std::string& text, bool terminated = false) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + (terminated ? "\\0\"" : "\"");
}

} // namespace oracle
