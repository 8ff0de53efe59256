// Counts and sizes in a damaged file must not make the core allocate what the file cannot
// back: a count of 32767 in a 20-byte project, an icon image claiming 4 GB, a huge wave read in
// pieces. Every allocation of this program goes through the operator new below, which records
// the largest single request.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "projectfile/ProjectFile.h"
#include "projectfile/RecentFiles.h"
#include "rescompiler/CompileLog.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/SourceFiles.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/Samples.h"

namespace {
std::atomic<std::size_t> largestRequest{0};

void* allocate(std::size_t size) {
    std::size_t seen = largestRequest.load();
    while (size > seen && !largestRequest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace kelbo::test {
namespace {

// The largest single allocation `run` makes.
template <class F> std::size_t largestAllocationOf(F&& run) {
    largestRequest = 0;
    run();
    return largestRequest.load();
}

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * 1024;

TEST(AllocationBounds, ProjectCountsAreBackedByTheFile) {
    // 32767 lines announced in 20 bytes; then a line of 32767 bytes announced in 14.
    std::string manyLines = "KELBO200";
    le16(manyLines, 32767);
    manyLines += std::string(10, '\0');
    std::string longLine = "KELBO200";
    le16(longLine, 1);
    le16(longLine, 32767);
    longLine += "ab";
    for (const std::string& bytes : {manyLines, longLine}) {
        std::size_t largest = largestAllocationOf([&] { EXPECT_FALSE(decodeProject(bytes)); });
        EXPECT_LE(largest, 4 * kKiB);
        MemoryFileSystem fs;
        fs.files["/p.kbp"] = bytes;
        largest = largestAllocationOf([&] { EXPECT_FALSE(loadProjectFile("/p.kbp", fs)); });
        EXPECT_LE(largest, 4 * kKiB + bytes.size());
    }
}

TEST(AllocationBounds, AFullProjectCostsInProportionToItsSize) {
    // 32767 empty lines do exist in a file of 65 550 bytes; the list for them is justified.
    std::string bytes = "KELBO200";
    le16(bytes, 32767);
    bytes += std::string(2 * 32767, '\0');
    bytes += std::string(6, '\0');
    std::optional<Project> project;
    std::size_t largest = largestAllocationOf([&] { project = decodeProject(bytes); });
    ASSERT_TRUE(project);
    EXPECT_EQ(project->count(ResourceKind::Bitmap), 32767);
    EXPECT_LE(largest, 32 * bytes.size());
}

TEST(AllocationBounds, AnIconImageClaimingFourGigabytesIsRefusedCheaply) {
    std::string ico = sampleIcon({40});
    // Entry 0: size at offset 14, image offset at 18.
    for (std::size_t at : {std::size_t{14}, std::size_t{18}})
        for (int i = 0; i < 4; ++i)
            ico[at + i] = '\xff';
    MemoryInput in(ico);
    std::string problem;
    std::size_t largest =
        largestAllocationOf([&] { EXPECT_FALSE(readIconDirectory(in, problem)); });
    EXPECT_EQ(problem, "Icon image 1 lies outside the file");
    EXPECT_LE(largest, 4 * kKiB);

    MemoryFileSystem fs;
    fs.files["/big.ico"] = ico;
    Project project;
    project.append(ResourceKind::Icon, "1\t/big.ico");
    for (int bits : {32, 16}) {
        CompileLog log;
        largest = largestAllocationOf([&] {
            EXPECT_NE(runCompilation(project, bits, "/o.res", log, fs), CompileOutcome::Success);
        });
        EXPECT_LE(largest, 64 * kKiB);
        EXPECT_NE(log.text().find("Icon image 1 lies outside the file"), std::string::npos);
    }
}

// The declared file size is not trusted: a bitmap declaring 4 GB compiles from its length. One
// whose header describes two billion pixel rows is refused without making room for them.
TEST(AllocationBounds, ABitmapClaimingGigabytesCostsNothing) {
    std::string declared = sampleBitmap(2, 2);
    for (int i = 0; i < 4; ++i)
        declared[2 + i] = '\xff';
    std::string tall = sampleBitmap(2, 2);
    tall.replace(14 + 8, 4, "\xff\xff\xff\x7f");
    MemoryFileSystem fs;
    fs.files["/declared.bmp"] = declared;
    fs.files["/tall.bmp"] = tall;
    for (const char* name : {"/declared.bmp", "/tall.bmp"}) {
        Project project;
        project.append(ResourceKind::Bitmap, std::string("1\t") + name);
        CompileLog log;
        CompileOutcome outcome{};
        std::size_t largest =
            largestAllocationOf([&] { outcome = runCompilation(project, 32, "/o.res", log, fs); });
        EXPECT_LE(largest, 64 * kKiB) << name;
        if (name == std::string("/declared.bmp")) {
            EXPECT_EQ(outcome, CompileOutcome::Success) << log.text();
            EXPECT_EQ(fs.files["/o.res"].substr(64, declared.size() - 14), declared.substr(14));
        } else {
            EXPECT_EQ(outcome, CompileOutcome::WriteError);
            EXPECT_NE(log.text().find("ends before the last of its 2147483647 pixel rows"),
                      std::string::npos)
                << log.text();
        }
    }
}

// A source as large as it claims, made of zeros on demand, and an output that only counts.
class HugeSourceFs : public FileSystem {
public:
    explicit HugeSourceFs(std::uint64_t size) : size_(size) {}
    std::uint64_t written = 0;
    bool committed = false;

    std::unique_ptr<InputFile> openInput(const std::string&, std::string&) override {
        struct Zeros : InputFile {
            std::uint64_t n;
            explicit Zeros(std::uint64_t s) : n(s) {}
            std::uint64_t size() const override { return n; }
            bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
                if (offset > n || count > n - offset)
                    return false;
                std::memset(buffer, 0, count);
                return true;
            }
        };
        return std::make_unique<Zeros>(size_);
    }
    std::unique_ptr<OutputFile> createOutput(const std::string&, std::string&) override {
        struct Counter : OutputFile {
            HugeSourceFs& fs;
            explicit Counter(HugeSourceFs& f) : fs(f) {}
            bool write(const void*, std::size_t count) override {
                fs.written += count;
                return true;
            }
            bool commit() override { return fs.committed = true; }
            std::string error() const override { return {}; }
        };
        return std::make_unique<Counter>(*this);
    }
    bool fileExists(const std::string&) override { return true; }

private:
    std::uint64_t size_;
};

// A file of gigabytes that holds `head` and then zeros.
class PaddedFs : public HugeSourceFs {
public:
    explicit PaddedFs(std::string head) : HugeSourceFs(3ull << 30), head_(std::move(head)) {}
    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& e) override {
        struct Padded : InputFile {
            std::unique_ptr<InputFile> zeros;
            const std::string& head;
            Padded(std::unique_ptr<InputFile> z, const std::string& h)
                : zeros(std::move(z)), head(h) {}
            std::uint64_t size() const override { return zeros->size(); }
            bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
                if (!zeros->readAt(offset, buffer, count))
                    return false;
                for (std::size_t i = 0; i < count && offset + i < head.size(); ++i)
                    static_cast<char*>(buffer)[i] = head[offset + i];
                return true;
            }
        };
        return std::make_unique<Padded>(HugeSourceFs::openInput(path, e), head_);
    }

private:
    std::string head_;
};

// Bytes after the last WAVE record are ignored, so they need not be read, let alone held.
TEST(AllocationBounds, TrailingGigabytesOfAProjectAreNotHeld) {
    PaddedFs fs(projectBytes({{}, {}, {"1\tHello"}, {}}));
    std::optional<Project> project;
    std::size_t largest = largestAllocationOf([&] { project = loadProjectFile("/big.kbp", fs); });
    ASSERT_TRUE(project);
    EXPECT_EQ(project->lines(ResourceKind::String), Project::Lines{"1\tHello"});
    EXPECT_LE(largest, 1 * kMiB);
}

// Only five paths are ever taken from the recent-files file, so a huge one (damaged, or not
// written by this program) must not be read whole at start-up.
TEST(AllocationBounds, AHugeRecentFilesFileIsNotReadWhole) {
    PaddedFs fs("/work/a.kbp\r\n/work/b.kbp\r\n");
    std::vector<std::string> paths;
    std::size_t largest = largestAllocationOf([&] { paths = readRecentFiles("/kbplast.cfg", fs); });
    // What follows the two paths is not a path, but whether it is taken as one is not the
    // point here; printing it would be.
    ASSERT_GE(paths.size(), 2u);
    EXPECT_LE(paths.size(), 5u);
    EXPECT_TRUE(paths[0] == "/work/a.kbp" && paths[1] == "/work/b.kbp");
    EXPECT_LE(largest, 1 * kMiB);
}

TEST(AllocationBounds, ALargeWaveIsCopiedInPiecesNotHeldWhole) {
    const std::uint64_t size = 700 * kMiB + 3;
    for (int bits : {32, 16}) {
        HugeSourceFs fs(size);
        Project project;
        project.append(ResourceKind::Wave, "1\t/huge.wav");
        CompileLog log;
        std::size_t largest = largestAllocationOf([&] {
            EXPECT_EQ(runCompilation(project, bits, "/o.res", log, fs), CompileOutcome::Success);
        });
        EXPECT_TRUE(fs.committed);
        EXPECT_GT(fs.written, size);
        EXPECT_LE(largest, 8 * kMiB);
    }
}

} // namespace
} // namespace kelbo::test
