#include "tests/TestSupport.h"

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kelbo::test {

std::uint16_t get16(const std::string& s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s.at(at)) |
                                      static_cast<unsigned char>(s.at(at + 1)) << 8);
}

std::uint32_t get32(const std::string& s, std::size_t at) {
    return get16(s, at) | static_cast<std::uint32_t>(get16(s, at + 2)) << 16;
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
    result.out = readFile(outFile);
    result.err = readFile(errFile);
#ifdef _WIN32
    // The console's text mode turns each line end into CR LF.
    for (std::string* text : {&result.out, &result.err})
        std::erase(*text, '\r');
#endif
    return result;
}

std::optional<bool> xmllintAccepts(const std::string& document, std::string& messages) {
    messages.clear();
#ifdef _WIN32
    (void)document;
    return std::nullopt;
#else
    const std::string xmllint = "/usr/bin/xmllint";
    if (access(xmllint.c_str(), X_OK) != 0)
        return std::nullopt;
    TempDir scratch;
    std::string docFile = scratch.file("doc.xml"), errFile = scratch.file("err");
    writeFile(docFile, document);
    int raw = std::system(
        (xmllint + " --noout --nonet '" + docFile + "' 2>'" + errFile + "' </dev/null").c_str());
    messages = readFile(errFile);
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
#endif
}

} // namespace kelbo::test
