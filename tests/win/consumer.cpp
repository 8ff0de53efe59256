// A Windows program with a compiled 32-bit .RES linked in. It reads every resource back through
// the Win32 API, the way a Visual Basic program's LoadResPicture, LoadResString and LoadResData
// do (and LoadImage for cursors, GetFileVersionInfoW for the version information), and compares
// each with its source file. Prints one line per
// failed check and a summary; the exit code is the number of failures (capped).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct FileCase {
    const char* lookup; // Windows-1252 name as a program passes it; empty for an ordinal
    int ordinal;
    const char* path; // Windows-1252 path of the source
};

struct DataCase {
    FileCase file;
    const char* typeLookup; // Windows-1252 type name as a program passes it; empty for an ordinal
    int typeOrdinal;
};

struct StringCase {
    int id;
    const char* text; // Windows-1252
    unsigned length;
};

#include "cases.inc"
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

std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string describe(const char* kind, const FileCase& c) {
    return std::string(kind) + " " +
           (c.ordinal >= 0 ? "#" + std::to_string(c.ordinal) : "\"" + printable(c.lookup) + "\"");
}

// Keeps the wide name alive for the duration of a lookup.
struct ResName {
    std::wstring text;
    LPCWSTR get(const FileCase& c) {
        if (c.ordinal >= 0)
            return MAKEINTRESOURCEW(c.ordinal);
        text = wide(c.lookup);
        return text.c_str();
    }
};

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

std::uint32_t u16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t u32(const std::string& b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

// The bytes of a resource, or nothing when it is missing.
bool resourceBytes(LPCWSTR name, LPCWSTR type, std::string& out) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC r = FindResourceW(self, name, type);
    if (!r)
        return false;
    HGLOBAL g = LoadResource(self, r);
    const void* p = g ? LockResource(g) : nullptr;
    const DWORD size = SizeofResource(self, r);
    if (!p && size != 0)
        return false;
    out.assign(static_cast<const char*>(p), size);
    return true;
}

// The size of a loaded icon or cursor (a mask alone is twice as high), then its bitmaps freed.
void checkLoadedSize(ICONINFO& ii, int size, const std::string& image) {
    BITMAP bm{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    const int h = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    check(bm.bmWidth == size && h == size,
          image + ": LoadImageW gave " + std::to_string(bm.bmWidth) + "x" + std::to_string(h));
    if (ii.hbmColor)
        DeleteObject(ii.hbmColor);
    if (ii.hbmMask)
        DeleteObject(ii.hbmMask);
}

void checkBitmap(const FileCase& c) {
    const std::string what = describe("BITMAP", c);
    const std::string src = readSource(c.path);
    if (src.size() < 54) {
        check(false, what + ": cannot read source " + printable(c.path));
        return;
    }
    ResName name;
    std::string data;
    check(resourceBytes(name.get(c), MAKEINTRESOURCEW(2), data), what + ": FindResourceW");
    check(data == src.substr(14),
          what + ": resource bytes differ from the file after its 14-byte header");

    const int width = static_cast<int>(u32(src, 18));
    const int height = static_cast<int>(u32(src, 22));
    const int bits = static_cast<int>(u16(src, 28));
    HBITMAP bmp = LoadBitmapW(GetModuleHandleW(nullptr), name.get(c));
    check(bmp != nullptr, what + ": LoadBitmapW");
    if (!bmp)
        return;
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    check(info.bmWidth == width && info.bmHeight == height,
          what + ": LoadBitmapW gave " + std::to_string(info.bmWidth) + "x" +
              std::to_string(info.bmHeight) + ", the file is " + std::to_string(width) + "x" +
              std::to_string(height));

    // Every pixel, as 32-bit BGRX, against the file's own pixels.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(dc, bmp, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    DeleteObject(bmp);
    check(lines == height, what + ": GetDIBits");
    const std::size_t bitsAt = u32(src, 10);
    const std::size_t stride = ((width * bits + 31) / 32) * 4;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t row = bitsAt + y * stride;
            std::uint32_t expected = 0;
            if (bits == 24) {
                expected = u32(src, row + x * 3) & 0xFFFFFF;
            } else {
                const unsigned index = static_cast<unsigned char>(src[row + x]);
                expected = u32(src, 54 + index * 4) & 0xFFFFFF;
            }
            if ((pixels[y * width + x] & 0xFFFFFF) != expected)
                ++wrong;
        }
    }
    check(wrong == 0, what + ": " + std::to_string(wrong) + " pixels differ from the file");

    if (c.ordinal >= 0) {
        // "#7" names the ordinal 7 as well.
        std::wstring hashed = L"#" + std::to_wstring(c.ordinal);
        HBITMAP again = LoadBitmapW(GetModuleHandleW(nullptr), hashed.c_str());
        check(again != nullptr, what + ": LoadBitmapW by \"#" + std::to_string(c.ordinal) + "\"");
        if (again)
            DeleteObject(again);
    }
}

// An icon or cursor file, its image count and the group resource of the item; false (and a
// failed check) when either is missing.
bool sourceAndGroup(const FileCase& c, const std::string& what, int groupType,
                    const char* groupName, ResName& name, std::string& src, std::string& group,
                    unsigned& n) {
    src = readSource(c.path);
    if (src.size() < 6) {
        check(false, what + ": cannot read source " + printable(c.path));
        return false;
    }
    n = u16(src, 4);
    if (!resourceBytes(name.get(c), MAKEINTRESOURCEW(groupType), group)) {
        check(false, what + ": FindResourceW of the " + groupName);
        return false;
    }
    return true;
}

void checkIcon(const FileCase& c) {
    const std::string what = describe("ICON", c);
    std::string src, group;
    unsigned n = 0;
    ResName name;
    if (!sourceAndGroup(c, what, 14, "RT_GROUP_ICON", name, src, group, n))
        return;
    check(group.size() == 6 + 14 * n, what + ": group size " + std::to_string(group.size()));
    if (group.size() != 6 + 14 * n)
        return;
    check(group.substr(0, 4) == src.substr(0, 4) && u16(group, 4) == n,
          what + ": group header differs from the file's");
    for (unsigned k = 0; k < n; ++k) {
        const std::string entry = src.substr(6 + 16 * k, 16);
        const std::string grpEntry = group.substr(6 + 14 * k, 14);
        const std::string image = what + " image " + std::to_string(k + 1);
        // Width, height, colours and size as the directory says; planes and bits as the image's
        // own header says.
        const std::string header = src.substr(u32(entry, 12), 16);
        check(grpEntry.substr(0, 4) == entry.substr(0, 4) &&
                  grpEntry.substr(8, 4) == entry.substr(8, 4),
              image + ": group entry differs from the directory entry");
        check(grpEntry.substr(4, 4) == header.substr(12, 4),
              image + ": group planes and bits differ from the image header's");
        const unsigned id = u16(grpEntry, 12);
        std::string data;
        check(resourceBytes(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3), data),
              image + ": RT_ICON " + std::to_string(id) + " missing");
        check(data == src.substr(u32(entry, 12), u32(entry, 8)),
              image + ": RT_ICON " + std::to_string(id) + " differs from the file's image");

        const int size = static_cast<unsigned char>(entry[0]);
        const int picked = LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(group.data()), TRUE,
                                                       size, size, LR_DEFAULTCOLOR);
        check(picked == static_cast<int>(id),
              image + ": Windows picks RT_ICON " + std::to_string(picked) + " for " +
                  std::to_string(size) + "x" + std::to_string(size));

        HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), name.get(c), IMAGE_ICON, size, size,
                                 LR_DEFAULTCOLOR);
        check(icon != nullptr, image + ": LoadImageW at " + std::to_string(size));
        if (!icon)
            continue;
        ICONINFO ii{};
        GetIconInfo(static_cast<HICON>(icon), &ii);
        checkLoadedSize(ii, size, image);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

void checkCursor(const FileCase& c) {
    const std::string what = describe("CURSOR", c);
    std::string src, group;
    unsigned n = 0;
    ResName name;
    if (!sourceAndGroup(c, what, 12, "RT_GROUP_CURSOR", name, src, group, n))
        return;
    check(group.size() == 6 + 14 * n && u16(group, 0) == 0 && u16(group, 2) == 2 &&
              u16(group, 4) == n,
          what + ": group header, size " + std::to_string(group.size()));
    if (group.size() != 6 + 14 * n)
        return;
    for (unsigned k = 0; k < n; ++k) {
        const std::string entry = src.substr(6 + 16 * k, 16);
        const std::string grpEntry = group.substr(6 + 14 * k, 14);
        const std::string image = what + " image " + std::to_string(k + 1);
        const int size = static_cast<unsigned char>(entry[0]);
        const unsigned hotX = u16(entry, 4), hotY = u16(entry, 6);
        const unsigned id = u16(grpEntry, 12);
        std::string data;
        check(resourceBytes(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(1), data),
              image + ": RT_CURSOR " + std::to_string(id) + " missing");
        check(data == entry.substr(4, 4) + src.substr(u32(entry, 12), u32(entry, 8)),
              image + ": RT_CURSOR " + std::to_string(id) + " is not the hot spot and the image");
        const int picked = LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(group.data()), FALSE,
                                                       size, size, LR_DEFAULTCOLOR);
        check(picked == static_cast<int>(id),
              image + ": Windows picks RT_CURSOR " + std::to_string(picked) + " for " +
                  std::to_string(size) + "x" + std::to_string(size));

        HANDLE cursor = LoadImageW(GetModuleHandleW(nullptr), name.get(c), IMAGE_CURSOR, size, size,
                                   LR_DEFAULTCOLOR);
        check(cursor != nullptr, image + ": LoadImageW(IMAGE_CURSOR) at " + std::to_string(size));
        if (!cursor)
            continue;
        ICONINFO ii{};
        check(GetIconInfo(static_cast<HICON>(cursor), &ii) != 0, image + ": GetIconInfo");
        check(!ii.fIcon && ii.xHotspot == hotX && ii.yHotspot == hotY,
              image + ": hot spot " + std::to_string(ii.xHotspot) + "," +
                  std::to_string(ii.yHotspot) + ", the file says " + std::to_string(hotX) + "," +
                  std::to_string(hotY));
        checkLoadedSize(ii, size, image);
        DestroyCursor(static_cast<HCURSOR>(cursor));
    }
}

void checkData(const DataCase& c) {
    const std::string what = describe("DATA", c.file) + " of type " +
                             (c.typeOrdinal >= 0 ? "#" + std::to_string(c.typeOrdinal)
                                                 : "\"" + printable(c.typeLookup) + "\"");
    const std::string src = readSource(c.file.path);
    ResName name;
    std::wstring typeName = wide(c.typeLookup);
    LPCWSTR type = c.typeOrdinal >= 0 ? MAKEINTRESOURCEW(c.typeOrdinal) : typeName.c_str();
    std::string data;
    check(resourceBytes(name.get(c.file), type, data), what + ": FindResourceW");
    check(data == src, what + ": " + std::to_string(data.size()) + " bytes, the file has " +
                           std::to_string(src.size()));
}

void checkWave(const FileCase& c) {
    const std::string what = describe("WAVE", c);
    const std::string src = readSource(c.path);
    check(!src.empty(), what + ": cannot read source " + printable(c.path));
    ResName name;
    std::string data;
    check(resourceBytes(name.get(c), L"WAVE", data), what + ": FindResourceW type \"WAVE\"");
    check(data == src, what + ": " + std::to_string(data.size()) + " bytes, the file has " +
                           std::to_string(src.size()));
    // The type is looked up without regard to case, like the name.
    check(resourceBytes(name.get(c), L"wave", data) && data == src,
          what + ": FindResourceW type \"wave\"");
}

void checkString(const StringCase& c) {
    const std::string what = "STRING " + std::to_string(c.id);
    const std::wstring expected = wide(std::string(c.text, c.length));
    HINSTANCE self = GetModuleHandleW(nullptr);
    // A zero buffer size gives a pointer into the resource and the exact length.
    const wchar_t* direct = nullptr;
    const int n = LoadStringW(self, c.id, reinterpret_cast<LPWSTR>(&direct), 0);
    check(n == static_cast<int>(expected.size()),
          what + ": length " + std::to_string(n) + ", expected " + std::to_string(expected.size()));
    if (n > 0 && n == static_cast<int>(expected.size()))
        check(std::wmemcmp(direct, expected.data(), n) == 0, what + ": text differs");
    std::vector<wchar_t> buffer(expected.size() + 16, L'?');
    const int copied = LoadStringW(self, c.id, buffer.data(), static_cast<int>(buffer.size()));
    check(copied == static_cast<int>(expected.size()) &&
              std::wstring(buffer.data(), copied) == expected,
          what + ": LoadStringW into a buffer");
}

int countNames(LPCWSTR type) {
    int count = 0;
    EnumResourceNamesW(
        GetModuleHandleW(nullptr), type,
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR param) -> BOOL {
            ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&count));
    return count;
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

// The program's own version information, read the way Explorer's Details tab reads it.
void checkVersion() {
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
}

// The manifest, byte for byte as its file: Windows started this program with it.
void checkManifest() {
    std::string bytes;
    check(resourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24), bytes), "RT_MANIFEST 1");
    check(bytes == readSource(kManifestPath), "manifest bytes differ from the file's");
    // Its dependency took effect: comctl32 comes from the side-by-side store, version 6, not
    // from the system folder.
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(LoadLibraryW(L"comctl32.dll"), path, MAX_PATH);
    std::wstring lower(path);
    std::string shown;
    for (wchar_t& c : lower) {
        c = towlower(c);
        shown += c < 0x80 ? static_cast<char>(c) : '?';
    }
    check(lower.find(L"\\winsxs\\") != std::wstring::npos &&
              lower.find(L"common-controls") != std::wstring::npos,
          "common controls 6 are not active: comctl32 is " + shown);
}

} // namespace

int main() {
    for (const FileCase& c : kBitmaps)
        checkBitmap(c);
    for (const FileCase& c : kIcons)
        checkIcon(c);
    for (const FileCase& c : kWaves)
        checkWave(c);
    for (const FileCase& c : kCursors)
        checkCursor(c);
    for (const DataCase& c : kData)
        checkData(c);
    for (const StringCase& c : kStrings)
        checkString(c);
    checkVersion();
    checkManifest();

    // Numbers that are not in the project: one in a block that exists, one without a block.
    wchar_t buffer[8];
    check(LoadStringW(GetModuleHandleW(nullptr), 2, buffer, 8) == 0, "STRING 2 should be absent");
    check(LoadStringW(GetModuleHandleW(nullptr), 20000, buffer, 8) == 0,
          "STRING 20000 should be absent");

    // Nothing more and nothing less than the project's resources.
    std::vector<int> blocks;
    for (const StringCase& c : kStrings)
        if (std::find(blocks.begin(), blocks.end(), c.id / 16) == blocks.end())
            blocks.push_back(c.id / 16);
    const auto imagesOf = [](const auto& cases) {
        int images = 0;
        for (const FileCase& c : cases) {
            const std::string src = readSource(c.path);
            images += src.size() >= 6 ? static_cast<int>(u16(src, 4)) : 0;
        }
        return images;
    };
    const auto expectCount = [](LPCWSTR type, const char* kind, int expected) {
        const int got = countNames(type);
        check(got == expected, std::string(kind) + ": " + std::to_string(got) +
                                   " resources, expected " + std::to_string(expected));
    };
    expectCount(MAKEINTRESOURCEW(2), "RT_BITMAP", static_cast<int>(std::size(kBitmaps)));
    expectCount(MAKEINTRESOURCEW(3), "RT_ICON", imagesOf(kIcons));
    expectCount(MAKEINTRESOURCEW(1), "RT_CURSOR", imagesOf(kCursors));
    expectCount(MAKEINTRESOURCEW(12), "RT_GROUP_CURSOR", static_cast<int>(std::size(kCursors)));
    for (const DataCase& c : kData) {
        std::wstring typeName = wide(c.typeLookup);
        expectCount(c.typeOrdinal >= 0 ? MAKEINTRESOURCEW(c.typeOrdinal) : typeName.c_str(),
                    "custom type", 1);
    }
    expectCount(MAKEINTRESOURCEW(14), "RT_GROUP_ICON", static_cast<int>(std::size(kIcons)));
    expectCount(MAKEINTRESOURCEW(6), "RT_STRING", static_cast<int>(blocks.size()));
    expectCount(L"WAVE", "WAVE", static_cast<int>(std::size(kWaves)));
    expectCount(MAKEINTRESOURCEW(24), "RT_MANIFEST", 1);
    expectCount(MAKEINTRESOURCEW(16), "RT_VERSION", 1);

    std::printf("consumer: %d checks, %d failed\n", checks, failures);
    return failures > 100 ? 100 : failures;
}
