// A Windows program with the version resource of version_cases.inc linked in. It reads its own
// version information the way Explorer's Details tab does, through GetFileVersionInfoW and
// VerQueryValueW, and compares every field and string with the cases. Prints one line per
// failed check and a summary; the exit code is the number of failures (capped).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

#include "version_cases.inc"

int checks = 0;
int failures = 0;

void check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what.c_str());
    }
}

// Windows' own conversion is the reference for what the compiler widened.
std::wstring wide(const std::string& cp1252) {
    if (cp1252.empty())
        return {};
    const int n =
        MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), w.data(), n);
    return w;
}

std::string hex(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", value);
    return buf;
}

void checkFixed(const std::vector<char>& info) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length != sizeof(VS_FIXEDFILEINFO)) {
        check(false, "VerQueryValueW of the fixed info, length " + std::to_string(length));
        return;
    }
    auto field = [](const char* name, DWORD got, unsigned want) {
        check(got == want, std::string(name) + " " + hex(got) + ", expected " + hex(want));
    };
    field("dwSignature", fixed->dwSignature, 0xFEEF04BD);
    field("dwStrucVersion", fixed->dwStrucVersion, 0x00010000);
    field("dwFileVersionMS", fixed->dwFileVersionMS, kFileVersionMS);
    field("dwFileVersionLS", fixed->dwFileVersionLS, kFileVersionLS);
    field("dwProductVersionMS", fixed->dwProductVersionMS, kProductVersionMS);
    field("dwProductVersionLS", fixed->dwProductVersionLS, kProductVersionLS);
    field("dwFileFlagsMask", fixed->dwFileFlagsMask, 0x3F);
    field("dwFileFlags", fixed->dwFileFlags, 0);
    field("dwFileOS", fixed->dwFileOS, VOS_NT_WINDOWS32);
    field("dwFileType", fixed->dwFileType, kFileType);
    field("dwFileSubtype", fixed->dwFileSubtype, 0);
    field("dwFileDateMS", fixed->dwFileDateMS, 0);
    field("dwFileDateLS", fixed->dwFileDateLS, 0);
}

} // namespace

int main() {
    wchar_t self[MAX_PATH];
    const DWORD pathLength = GetModuleFileNameW(nullptr, self, MAX_PATH);
    check(pathLength > 0 && pathLength < MAX_PATH, "GetModuleFileNameW");
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(self, &handle);
    check(size > 0, "GetFileVersionInfoSizeW: error " + std::to_string(GetLastError()));
    std::vector<char> info(size);
    const bool read = size > 0 && GetFileVersionInfoW(self, 0, size, info.data());
    check(read, "GetFileVersionInfoW");
    if (read) {
        checkFixed(info);

        // Explorer finds the string table through the translation.
        WORD* translation = nullptr;
        UINT length = 0;
        const bool found = VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                                          reinterpret_cast<void**>(&translation), &length);
        check(found && length == 4,
              "VerQueryValueW of the translation, length " + std::to_string(length));
        if (found && length == 4) {
            check(translation[0] == kLanguage && translation[1] == kCodePage,
                  "translation " + hex(translation[0]) + ", " + std::to_string(translation[1]));
            wchar_t table[64];
            std::swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0],
                          translation[1]);
            for (const VersionStringCase& c : kVersionStrings) {
                const std::wstring query = table + wide(c.key);
                wchar_t* text = nullptr;
                UINT chars = 0;
                const bool has = VerQueryValueW(info.data(), query.c_str(),
                                                reinterpret_cast<void**>(&text), &chars);
                check(has, std::string("VerQueryValueW of ") + c.key);
                if (!has)
                    continue;
                const std::wstring want = wide(c.value);
                check(text != nullptr && std::wstring(text) == want,
                      std::string(c.key) + ": text differs");
                check(chars == want.size() + 1, std::string(c.key) + ": length " +
                                                    std::to_string(chars) + ", expected " +
                                                    std::to_string(want.size() + 1));
            }
            wchar_t* none = nullptr;
            UINT chars = 0;
            check(!VerQueryValueW(info.data(), (std::wstring(table) + L"NoSuchKey").c_str(),
                                  reinterpret_cast<void**>(&none), &chars),
                  "a key that is not there is found");
        }
    }
    std::printf("version consumer: %d checks, %d failed\n", checks, failures);
    return failures > 100 ? 100 : failures;
}
