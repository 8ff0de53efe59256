// A Windows program with a compiled 32-bit .RES in three languages linked in. The loader is asked
// for each resource in each language (FindResourceExW), each string block is read the way
// LoadStringW reads it, and the version strings of each language through VerQueryValueW; every
// text is compared with its UTF-8 source. Prints one line per failed check and a summary; the
// exit code is the number of failures (capped).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct LangStringCase {
    WORD language;
    int id;
    const char* text; // UTF-8
};
struct LangBitmapCase {
    WORD language;
    const char* lookup; // UTF-8, as a program passes it
    const char* path;   // UTF-8 path of the source
};
struct LangVersionCase {
    WORD language;
    const char* description; // UTF-8
};

#include "lang_cases.inc"

int checks = 0;
int failures = 0;

void check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

std::wstring wide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), n);
    return w;
}

std::string hex(WORD language) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", language);
    return buf;
}

std::string resource(LPCWSTR type, LPCWSTR name, WORD language, bool& found) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC r = FindResourceExW(self, type, name, language);
    found = r != nullptr;
    if (!r)
        return {};
    HGLOBAL g = LoadResource(self, r);
    const void* p = g ? LockResource(g) : nullptr;
    return p ? std::string(static_cast<const char*>(p), SizeofResource(self, r)) : std::string();
}

std::string readSource(const char* path) {
    std::string bytes;
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        bytes.append(buf, got);
    CloseHandle(h);
    return bytes;
}

// The string of a block the way LoadStringW finds it: 16 counted UTF-16 slots.
std::wstring slot(const std::string& block, int index) {
    std::size_t at = 0;
    for (int i = 0; i <= index; ++i) {
        if (at + 2 > block.size())
            return L"<short block>";
        std::uint16_t n = static_cast<std::uint16_t>(
            static_cast<unsigned char>(block[at]) | static_cast<unsigned char>(block[at + 1]) << 8);
        if (i == index) {
            if (at + 2 + 2u * n > block.size())
                return L"<short block>";
            std::wstring text(n, L'\0');
            std::memcpy(text.data(), block.data() + at + 2, 2u * n);
            return text;
        }
        at += 2 + 2u * n;
    }
    return {};
}

} // namespace

int main() {
    for (const LangStringCase& c : kLangStrings) {
        bool found = false;
        std::string block =
            resource(MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(c.id / 16 + 1), c.language, found);
        const std::string what = "STRING " + std::to_string(c.id) + " in " + hex(c.language);
        check(found, what + ": FindResourceExW finds no block");
        if (found)
            check(slot(block, c.id % 16) == wide(c.text), what + ": wrong text");
    }
    for (const LangBitmapCase& c : kLangBitmaps) {
        bool found = false;
        const std::wstring name = wide(c.lookup);
        std::string data = resource(MAKEINTRESOURCEW(2), name.c_str(), c.language, found);
        const std::string what = std::string("BITMAP ") + c.lookup + " in " + hex(c.language);
        check(found, what + ": FindResourceExW finds nothing");
        const std::string source = readSource(c.path);
        check(found && source.size() > 14 && data == source.substr(14), what + ": wrong data");
    }
    for (const LangVersionCase& c : kLangVersions) {
        bool found = false;
        std::string data = resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), c.language, found);
        const std::string what = "VERSION in " + hex(c.language);
        check(found, what + ": FindResourceExW finds nothing");
        if (!found)
            continue;
        std::vector<char> copy(data.begin(), data.end());
        copy.resize(copy.size() * 2 + 16); // VerQueryValueW may write after the block
        const std::wstring key =
            L"\\StringFileInfo\\" + wide((hex(c.language) + "04B0").c_str()) + L"\\FileDescription";
        void* value = nullptr;
        UINT length = 0;
        bool ok = VerQueryValueW(copy.data(), key.c_str(), &value, &length) && value;
        check(ok && std::wstring(static_cast<const wchar_t*>(value)) == wide(c.description),
              what + ": FileDescription");
    }
    // A language the project does not hold finds nothing.
    bool found = true;
    resource(MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(1), 0x0407, found);
    check(!found, "STRING block 1 should not exist in 0407");

    std::printf("consumer_lang: %d checks, %d failed\n", checks, failures);
    return failures > 100 ? 100 : failures;
}
