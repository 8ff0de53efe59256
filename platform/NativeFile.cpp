// The one file of the core that talks to the operating system.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelbo {
namespace {

std::string reasonOf(int err) {
    return std::strerror(err);
}

#ifdef _WIN32
std::wstring widePath(const std::string& path) {
    std::u16string u = cp1252ToUtf16(path);
    return std::wstring(u.begin(), u.end());
}

std::string windowsReason(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string out;
    for (DWORD i = 0; i < n; ++i) {
        wchar_t c = buffer[i];
        if (c == L'\r' || c == L'\n')
            continue;
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    if (buffer)
        LocalFree(buffer);
    while (!out.empty() && (out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    return out.empty() ? "Error " + std::to_string(code) : out;
}

// The reasons the C library gives for what CreateFileW reports, so messages read alike
// whichever call failed.
std::string createReason(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return reasonOf(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return reasonOf(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return reasonOf(ENOSPC);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return reasonOf(EINVAL);
    case ERROR_FILENAME_EXCED_RANGE:
        return reasonOf(ENAMETOOLONG);
    default:
        return windowsReason(code);
    }
}

std::FILE* openFile(const std::string& path, const wchar_t* mode) {
    return _wfopen(widePath(path).c_str(), mode);
}
#else
std::string nativePath(const std::string& path) {
    return cp1252ToUtf8(path);
}
#endif

#ifdef _WIN32
class NativeInput : public InputFile {
public:
    NativeInput(std::FILE* f, std::uint64_t size) : f_(f), size_(size) {}
    ~NativeInput() override { std::fclose(f_); }
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > size_ || count > size_ - offset)
            return false;
        if (count == 0)
            return true;
        if (offset != position_ && _fseeki64(f_, static_cast<long long>(offset), SEEK_SET) != 0)
            return false;
        std::size_t got = std::fread(buffer, 1, count, f_);
        position_ = offset + got;
        return got == count;
    }

private:
    std::FILE* f_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};
#else
// Positioned reads without a stdio buffer in between. Small reads (headers, directories, small
// sources) are served from one read-ahead window, so a small file costs one read.
class NativeInput : public InputFile {
public:
    NativeInput(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~NativeInput() override { ::close(fd_); }
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > size_ || count > size_ - offset)
            return false;
        if (count == 0)
            return true;
        if (offset >= windowStart_ && offset + count <= windowStart_ + windowSize_) {
            std::memcpy(buffer, window_.get() + (offset - windowStart_), count);
            return true;
        }
        if (count >= kWindow)
            return readFully(offset, buffer, count);
        if (!window_)
            window_ = std::make_unique_for_overwrite<char[]>(kWindow);
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset));
        if (!readFully(offset, window_.get(), n)) {
            windowSize_ = 0;
            return false;
        }
        windowStart_ = offset;
        windowSize_ = n;
        std::memcpy(buffer, window_.get(), count);
        return true;
    }

private:
    bool readFully(std::uint64_t offset, void* buffer, std::size_t count) {
        auto* out = static_cast<char*>(buffer);
        while (count > 0) {
            ssize_t got = ::pread(fd_, out, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            out += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }

    static constexpr std::size_t kWindow = 1 << 16;
    int fd_;
    std::uint64_t size_;
    std::unique_ptr<char[]> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowSize_ = 0;
};
#endif

// Temporary outputs still open, so that a stop by signal or console event can remove them.
// The handler may only read these slots and unlink, so paths are kept as native strings that
// live as long as their output.
#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif
constexpr std::size_t kPendingSlots = 32;
std::atomic<const NativeChar*> pendingTemps[kPendingSlots];

void registerPending(const NativeChar* path) {
    for (auto& slot : pendingTemps) {
        const NativeChar* expected = nullptr;
        if (slot.compare_exchange_strong(expected, path))
            return;
    }
}

void unregisterPending(const NativeChar* path) {
    for (auto& slot : pendingTemps) {
        const NativeChar* expected = path;
        if (slot.compare_exchange_strong(expected, nullptr))
            return;
    }
}

void removePendingTemps() {
    for (auto& slot : pendingTemps) {
        if (const NativeChar* path = slot.exchange(nullptr)) {
#ifdef _WIN32
            DeleteFileW(path);
#else
            ::unlink(path);
#endif
        }
    }
}

#ifdef _WIN32
BOOL WINAPI onConsoleStop(DWORD) {
    // The file is open with FILE_SHARE_DELETE, so it goes as soon as the process ends.
    removePendingTemps();
    ExitProcess(1);
    return TRUE;
}
#else
extern "C" void onStopSignal(int signal) {
    removePendingTemps();
    _exit(128 + signal);
}
#endif

class NativeOutput : public OutputFile {
public:
    NativeOutput(std::FILE* f, std::string tempPath, std::string target, bool durable)
        : f_(f), temp_(std::move(tempPath)), target_(std::move(target)), durable_(durable),
#ifdef _WIN32
          nativeTemp_(widePath(temp_))
#else
          nativeTemp_(nativePath(temp_))
#endif
    {
        registerPending(nativeTemp_.c_str());
    }
    ~NativeOutput() override {
        if (f_)
            std::fclose(f_);
        if (!committed_)
            removeTemp();
        unregisterPending(nativeTemp_.c_str());
    }
    bool write(const void* data, std::size_t count) override {
        if (!f_)
            return false;
        if (count > 0 && std::fwrite(data, 1, count, f_) != count) {
            error_ = reasonOf(errno);
            return false;
        }
        return true;
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t count) override {
        if (!f_)
            return false;
#ifdef _WIN32
        bool ok = _fseeki64(f_, static_cast<__int64>(offset), SEEK_SET) == 0 &&
                  std::fwrite(data, 1, count, f_) == count && _fseeki64(f_, 0, SEEK_END) == 0;
#else
        bool ok = fseeko(f_, static_cast<off_t>(offset), SEEK_SET) == 0 &&
                  std::fwrite(data, 1, count, f_) == count && fseeko(f_, 0, SEEK_END) == 0;
#endif
        if (!ok)
            error_ = reasonOf(errno);
        return ok;
    }
    bool commit() override {
        if (!f_)
            return false;
        bool ok = std::fflush(f_) == 0;
        if (!ok)
            error_ = reasonOf(errno);
#ifdef _WIN32
        if (ok && durable_ && _commit(_fileno(f_)) != 0) {
            error_ = reasonOf(errno);
            ok = false;
        }
#else
        if (ok && durable_ && fsync(fileno(f_)) != 0) {
            error_ = reasonOf(errno);
            ok = false;
        }
#endif
        if (std::fclose(f_) != 0 && ok) {
            error_ = reasonOf(errno);
            ok = false;
        }
        f_ = nullptr;
        if (!ok)
            return false;
#ifdef _WIN32
        if (!MoveFileExW(widePath(temp_).c_str(), widePath(target_).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error_ = windowsReason(GetLastError());
            return false;
        }
#else
        if (std::rename(nativePath(temp_).c_str(), nativePath(target_).c_str()) != 0) {
            error_ = reasonOf(errno);
            return false;
        }
#endif
        committed_ = true;
        unregisterPending(nativeTemp_.c_str());
        return true;
    }
    std::string error() const override {
        return error_;
    }

private:
    void removeTemp() {
#ifdef _WIN32
        _wremove(widePath(temp_).c_str());
#else
        ::unlink(nativePath(temp_).c_str());
#endif
    }

    std::FILE* f_;
    std::string temp_;
    std::string target_;
    std::string error_;
    bool durable_;
    bool committed_ = false;
    std::basic_string<NativeChar> nativeTemp_;
};

std::string tempNameFor(const std::string& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += digits[rng() % 36];
    std::string dir = directoryOf(target);
    std::string name = "." + fileNameOf(target) + "." + suffix + ".tmp";
    return dir.empty() ? name : joinPath(dir, name);
}

class NativeFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        if (path.empty()) {
            error = reasonOf(ENOENT);
            return nullptr;
        }
        // The system would stop at the zero byte and open another file.
        if (path.find('\0') != std::string::npos) {
            error = "Invalid file name";
            return nullptr;
        }
#ifdef _WIN32
        // Opening a folder fails with "Permission denied" there; say what it is.
        DWORD attributes = GetFileAttributesW(widePath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error = reasonOf(EISDIR);
            return nullptr;
        }
        std::FILE* f = openFile(path, L"rb");
        if (!f) {
            error = reasonOf(errno);
            return nullptr;
        }
        struct _stat64 st;
        if (_fstat64(_fileno(f), &st) != 0 || (st.st_mode & _S_IFDIR)) {
            std::fclose(f);
            error = reasonOf(EISDIR);
            return nullptr;
        }
        return std::make_unique<NativeInput>(f, static_cast<std::uint64_t>(st.st_size));
#else
        // Non-blocking, so a FIFO named as a file is refused instead of waited on.
        int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            error = reasonOf(errno);
            return nullptr;
        }
        struct stat st;
        if (fstat(fd, &st) != 0) {
            error = reasonOf(errno);
            ::close(fd);
            return nullptr;
        }
        if (!S_ISREG(st.st_mode)) {
            error = S_ISDIR(st.st_mode) ? reasonOf(EISDIR) : "Not a regular file";
            ::close(fd);
            return nullptr;
        }
        // O_NONBLOCK does nothing to a regular file, so it may stay set.
        return std::make_unique<NativeInput>(fd, static_cast<std::uint64_t>(st.st_size));
#endif
    }

    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        return create(path, error, true);
    }
    std::unique_ptr<OutputFile> createRebuildableOutput(const std::string& path,
                                                        std::string& error) override {
        return create(path, error, false);
    }

    std::unique_ptr<OutputFile> create(const std::string& path, std::string& error, bool durable) {
        if (path.empty()) {
            error = reasonOf(ENOENT);
            return nullptr;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string temp = tempNameFor(path);
#ifdef _WIN32
            // CREATE_NEW creates exclusively; FILE_SHARE_DELETE lets a console stop delete the
            // file while it is still open.
            HANDLE h = CreateFileW(widePath(temp).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                DWORD code = GetLastError();
                if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                    continue;
                error = createReason(code);
                return nullptr;
            }
            int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
            if (fd < 0) {
                error = reasonOf(errno);
                CloseHandle(h);
                DeleteFileW(widePath(temp).c_str());
                return nullptr;
            }
            std::FILE* f = _fdopen(fd, "wb");
            if (!f) {
                error = reasonOf(errno);
                _close(fd);
                _wremove(widePath(temp).c_str());
                return nullptr;
            }
#else
            int fd =
                ::open(nativePath(temp).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                error = reasonOf(errno);
                return nullptr;
            }
            std::FILE* f = fdopen(fd, "wb");
            if (!f) {
                error = reasonOf(errno);
                ::close(fd);
                ::unlink(nativePath(temp).c_str());
                return nullptr;
            }
#endif
            // Large writes go straight through; small ones are gathered.
            std::setvbuf(f, nullptr, _IOFBF, 1 << 16);
            return std::make_unique<NativeOutput>(f, temp, path, durable);
        }
        error = reasonOf(EEXIST);
        return nullptr;
    }

    bool fileExists(const std::string& path) override {
#ifdef _WIN32
        struct _stat64 st;
        return _wstat64(widePath(path).c_str(), &st) == 0 && !(st.st_mode & _S_IFDIR);
#else
        struct stat st;
        return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
    }
};

} // namespace

void removeTemporaryOutputsWhenStopped() {
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleStop, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller chose to ignore (nohup) stays ignored.
        struct sigaction former {};
        if (sigaction(signal, nullptr, &former) == 0 && former.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }
#endif
}

FileSystem& nativeFileSystem() {
    static NativeFileSystem fs;
    return fs;
}

std::string executableDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    std::u16string wide(buffer, buffer + n);
    std::optional<std::string> path = utf16ToCp1252(wide);
    return path ? directoryOf(*path, PathStyle::Windows) : std::string();
#else
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return currentDirectory();
    std::optional<std::string> path = utf8ToCp1252(std::string_view(buffer, n));
    return path ? directoryOf(*path, PathStyle::Posix) : currentDirectory();
#endif
}

std::string currentDirectory() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(buffer)), buffer);
    std::optional<std::string> path = utf16ToCp1252(std::u16string(buffer, buffer + n));
    return path ? *path : std::string();
#else
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return "/";
    std::optional<std::string> path = utf8ToCp1252(buffer);
    return path ? *path : std::string("/");
#endif
}

bool isDirectoryWritable(const std::string& dir) {
    if (dir.empty())
        return false;
    std::string probe = joinPath(dir, ".kelbo-write-test");
    std::string error;
    std::unique_ptr<OutputFile> out = nativeFileSystem().createOutput(probe, error);
    return out != nullptr; // dropped uncommitted: the probe is removed again
}

namespace {
std::filesystem::path fsPath(const std::string& path) {
#ifdef _WIN32
    std::u16string wide = cp1252ToUtf16(path);
    return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
    return std::filesystem::path(cp1252ToUtf8(path));
#endif
}
} // namespace

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    std::filesystem::path pa = fsPath(a), pb = fsPath(b);
    if (std::filesystem::exists(pa, ec) && std::filesystem::exists(pb, ec))
        return std::filesystem::equivalent(pa, pb, ec);
    auto normal = [&](const std::filesystem::path& p) {
        std::filesystem::path full = std::filesystem::absolute(p, ec).lexically_normal();
#ifdef _WIN32
        std::u16string wide = full.u16string();
        std::optional<std::string> text = utf16ToCp1252(wide);
        return text ? cp1252ToLower(*text) : std::string();
#else
        return full.string();
#endif
    };
    std::string na = normal(pa);
    return !na.empty() && na == normal(pb);
}

bool makeDirectories(const std::string& dir) {
    std::error_code ec;
    std::filesystem::path path = fsPath(dir);
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

bool directoryExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(fsPath(path), ec);
}

bool removeDirectoryTree(const std::string& dir) {
    std::error_code ec;
    std::filesystem::remove_all(fsPath(dir), ec);
    return !std::filesystem::exists(fsPath(dir), ec);
}

bool renamePath(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec)
        error = ec.message();
    return !ec;
}

std::string environmentValue(const char* name) {
#ifdef _WIN32
    std::wstring wideName(name, name + std::strlen(name));
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (!value)
        return {};
    std::optional<std::string> text = utf16ToCp1252(std::u16string(value, value + wcslen(value)));
    return text ? *text : std::string();
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

bool commandLineArguments(int argc, char** argv, std::vector<std::string>& args, std::string& bad) {
    args.clear();
#ifdef _WIN32
    // The narrow argv went through the ANSI code page, which may not be Windows-1252.
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return false;
    bool ok = true;
    for (int i = 1; i < count; ++i) {
        std::u16string arg(wide[i], wide[i] + wcslen(wide[i]));
        std::optional<std::string> text = utf16ToCp1252(arg);
        if (!text) {
            ok = false;
            bad = "?";
            break;
        }
        args.push_back(*text);
    }
    LocalFree(wide);
    return ok;
#else
    for (int i = 1; i < argc; ++i) {
        std::optional<std::string> text = utf8ToCp1252(argv[i]);
        if (!text) {
            bad = argv[i];
            return false;
        }
        args.push_back(*text);
    }
    return true;
#endif
}

} // namespace kelbo
