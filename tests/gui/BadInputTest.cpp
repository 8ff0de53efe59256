// The program under bad input: damaged project files, unreadable pictures, vanished or damaged
// sources at compile time, unwritable save targets and stale recent files. Each case must end
// with the window up, the user told what is wrong, and nothing on disk damaged.
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "app/QtText.h"
#include "dialogs/DirList.h"
#include "rescompiler/frmCompile.h"

namespace kelbo::test {
namespace {

// No command may take this long on the small files used here; longer means it waits on
// something it should have refused.
constexpr qint64 kPromptMs = 3000;

QByteArray le16(int v) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(v & 0xFF);
    b[1] = static_cast<char>((v >> 8) & 0xFF);
    return b;
}

QByteArray le32(quint32 v) {
    return le16(static_cast<int>(v & 0xFFFF)) + le16(static_cast<int>(v >> 16));
}

QByteArray record(const QByteArray& line) {
    return le16(static_cast<int>(line.size())) + line;
}

QByteArray imageBytes(QSize size, QColor colour, const char* format) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

// A BMP file and info header with the given fields and no pixels after them.
QByteArray bmpHeader(qint32 width, qint32 height, int bpp, quint32 compression = 0,
                     quint32 offBits = 54, quint32 colours = 0) {
    QByteArray b = "BM" + le32(54) + le32(0) + le32(offBits);
    b += le32(40) + le32(static_cast<quint32>(width)) + le32(static_cast<quint32>(height));
    b += le16(1) + le16(bpp) + le32(compression) + le32(0) + le32(2835) + le32(2835);
    b += le32(colours) + le32(0);
    return b;
}

// An icon file with one directory entry pointing at `image` (or wherever `offset` says).
QByteArray icoFile(int count, const QByteArray& image, quint32 offset = 22, quint32 size = 0) {
    QByteArray b = le16(0) + le16(1) + le16(count);
    b += QByteArray(1, '\0') + QByteArray(1, '\0') + QByteArray(1, '\0') + QByteArray(1, '\0');
    b += le16(1) + le16(32) + le32(size ? size : static_cast<quint32>(image.size())) + le32(offset);
    return b + image;
}

bool writeBytes(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return out.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// Removes whatever stands at `path`: a file, a FIFO, a link or a folder tree.
void removeAny(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        ::unlink(QFile::encodeName(path).constData());
}

// A FIFO under a file's name. A reader that opens it and waits would hang the test; after a
// grace period the guard opens the write end once and closes it, so such a reader sees the end
// of the file and returns, and the guard records that it had to.
class FifoGuard {
public:
    explicit FifoGuard(const QString& path) : path_(QFile::encodeName(path).toStdString()) {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        thread_ = std::thread([this] {
            using namespace std::chrono;
            const auto start = steady_clock::now();
            while (!stop_) {
                std::this_thread::sleep_for(milliseconds(50));
                if (steady_clock::now() - start < milliseconds(kPromptMs))
                    continue;
                // Succeeds only while someone holds the read end open.
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    released_ = true;
                    ::close(fd);
                }
            }
        });
    }
    ~FifoGuard() {
        stop_ = true;
        thread_.join();
    }
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;
    bool made() const { return made_; }
    // True when a reader sat on the FIFO past the grace period.
    bool readerWaited() const { return released_; }

private:
    std::string path_;
    bool made_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> released_{false};
    std::thread thread_;
};

class BadInput : public ShellTest {
protected:
    BadInput() {
        QDir root(dir_.path());
        root.mkpath("src");
        root.mkpath("out");
        root.mkpath("pics");
    }

    // Runs `command` and hands the first modal window it opens to `act`; a window `act` left
    // open is closed, so a failing step cannot hang the test.
    void withModal(const std::function<void()>& command, const std::function<void(QWidget*)>& act) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (seen || !modal)
                return;
            seen = true;
            act(modal);
            if (modal->isVisible())
                modal->close();
        });
        poll.start();
        command();
        poll.stop();
        EXPECT_TRUE(seen) << "no modal window opened";
    }

    // Adds a STRING item through the string dialog, as a user does.
    void addStringItem(const QString& identifier, const QString& text) {
        window().ChangeTab(2);
        withModal([&] { click("cmdAdd"); },
                  [&](QWidget* dialog) {
                      ASSERT_EQ(dialog->objectName(), "frmString");
                      dialog->findChild<QLineEdit*>("Text1")->setText(text);
                      dialog->findChild<QLineEdit*>("Text2")->setText(identifier);
                      dialog->findChild<QPushButton*>("cmdOK")->click();
                  });
    }

    QStringList logLines() {
        frmCompile* log = window().compileWindow();
        if (!log)
            return {};
        return log->findChild<QPlainTextEdit*>("Text1")->toPlainText().split('\n');
    }

    // Compiles to `res` with the given mode, as the menu does.
    void compileTo(int bits, const QString& res) {
        platform_.fileAnswers = {res};
        trigger(bits == 16 ? "mnuCompile16" : "mnuCompile32");
    }

    // After a bad load: the code 6 box, the invalid caption, untitled and unchanged.
    void expectInvalidFileReport(std::size_t boxesBefore) {
        ASSERT_EQ(platform_.boxes.size(), boxesBefore + 1);
        const ScriptedPlatform::Box& box = platform_.boxes.back();
        EXPECT_EQ(box.text, "Invalid KBP-file");
        EXPECT_EQ(box.title, "ERROR 6");
        EXPECT_EQ(box.icon, Platform::BoxIcon::Stop);
        EXPECT_EQ(caption(), "Kelbo Version 2");
        EXPECT_TRUE(window().session().ProjectPath.empty());
        EXPECT_FALSE(window().session().ProjectChanged);
    }

    // The window still adds and compiles after whatever went before.
    void expectStillWorking() {
        const int before = static_cast<int>(rows(ResourceKind::String).size());
        addStringItem("777", "still here");
        ASSERT_EQ(rows(ResourceKind::String).size(), before + 1);
        EXPECT_EQ(rows(ResourceKind::String).last(), "777\tstill here");
        EXPECT_TRUE(window().session().ProjectChanged);
        // Only the STRING list holds lines that compile without sources.
        Session& s = window().session();
        for (ResourceKind kind : {ResourceKind::Bitmap, ResourceKind::Icon, ResourceKind::Wave})
            while (s.project.count(kind) > 0)
                s.removeItem(kind, 0);
        compileTo(32, qpath("out/after.res"));
        EXPECT_EQ(logLines().value(logLines().size() - 1), "Compilation : SuccessFull");
        EXPECT_GT(QFileInfo(qpath("out/after.res")).size(), 0);
    }

    struct Damaged {
        const char* name;
        QByteArray bytes;
    };
    // Project files that are cut short, carry another signature or negative counts.
    static std::vector<Damaged> damagedProjects() {
        const QByteArray sig = "KELBO200";
        const QByteArray line = "1\tHello";
        const QByteArray none = le16(0);
        return {
            {"empty", {}},
            {"seven bytes of the signature", "KELBO20"},
            {"signature only", sig},
            {"half a count", sig + "\x01"},
            {"count without its record", sig + le16(1)},
            {"length without its line", sig + le16(1) + le16(7)},
            {"line cut short", sig + le16(1) + le16(7) + "1\tHe"},
            {"three sections of four", sig + none + none + none},
            {"last record cut", sig + none + none + le16(2) + record(line) + le16(7) + "1"},
            {"counts far beyond the file", sig + le16(32767) + record(line)},
            {"length far beyond the file", sig + le16(1) + le16(32767) + line},
            {"negative BITMAP count", sig + le16(-1) + none + none + none},
            {"negative WAVE count after good sections",
             sig + le16(1) + record("B\t/b.bmp") + none + le16(1) + record(line) + le16(-32768)},
            {"negative length", sig + le16(1) + le16(-7) + line + none + none + none},
            {"next version", "KELBO201" + none + none + none + none},
            {"lower case", "kelbo200" + none + none + none + none},
            {"older signature", "KELBO100" + none + none + none + none},
            {"leading blank", " KELBO200" + none + none + none + none},
            {"binary noise", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        };
    }
    // Names that hold no project file at all; each is made under the temporary folder.
    enum class Special { Missing, Directory, Fifo, DanglingLink, DeviceLink };
    struct SpecialCase {
        const char* name;
        Special kind;
    };
    static std::vector<SpecialCase> specialProjects() {
        return {{"missing file", Special::Missing},
                {"directory", Special::Directory},
                {"FIFO", Special::Fifo},
                {"dangling link", Special::DanglingLink},
                {"link to an endless device", Special::DeviceLink}};
    }
    // Makes `file` what the case says; a FIFO comes with its guard.
    std::unique_ptr<FifoGuard> makeSpecial(const QString& file, Special kind) {
        removeAny(file);
        const QByteArray native = QFile::encodeName(file);
        switch (kind) {
        case Special::Missing:
            break;
        case Special::Directory:
            EXPECT_TRUE(QDir().mkpath(file));
            break;
        case Special::Fifo: {
            auto guard = std::make_unique<FifoGuard>(file);
            EXPECT_TRUE(guard->made());
            return guard;
        }
        case Special::DanglingLink:
            EXPECT_EQ(::symlink("/nowhere/at/all.kbp", native.constData()), 0);
            break;
        case Special::DeviceLink:
            EXPECT_EQ(::symlink("/dev/zero", native.constData()), 0);
            break;
        }
        return nullptr;
    }
};

// --- 1. Damaged projects, from the File menu and from the command line ---

TEST_F(BadInput, DamagedProjectFileOpenedFromTheMenuLeavesTheListsAsTheyWere) {
    writeProject(path("good.kbp"), sampleProject());
    Interface& w = start(qpath("good.kbp"));
    const QStringList bitmaps = rows(ResourceKind::Bitmap);
    const QStringList strings = rows(ResourceKind::String);
    ASSERT_EQ(bitmaps.size(), 2);
    int tried = 0;
    for (const Damaged& bad : damagedProjects()) {
        SCOPED_TRACE(bad.name);
        ASSERT_TRUE(writeBytes(qpath("bad.kbp"), bad.bytes));
        const std::size_t boxes = platform_.boxes.size();
        platform_.fileAnswers = {qpath("bad.kbp")};
        trigger("mnuOpenKBP");
        expectInvalidFileReport(boxes);
        EXPECT_EQ(rows(ResourceKind::Bitmap), bitmaps);
        EXPECT_EQ(rows(ResourceKind::String), strings);
        EXPECT_EQ(w.session().project.count(ResourceKind::Icon), 3);
        EXPECT_EQ(w.session().project.count(ResourceKind::Wave), 1);
        // Reading creates, changes or removes nothing.
        EXPECT_EQ(readBytes(qpath("bad.kbp")), bad.bytes);
        ++tried;
    }
    for (const SpecialCase& bad : specialProjects()) {
        SCOPED_TRACE(bad.name);
        const QString file = qpath("odd.kbp");
        std::unique_ptr<FifoGuard> fifo = makeSpecial(file, bad.kind);
        const std::size_t boxes = platform_.boxes.size();
        platform_.fileAnswers = {file};
        QElapsedTimer clock;
        clock.start();
        trigger("mnuOpenKBP");
        EXPECT_LT(clock.elapsed(), kPromptMs);
        if (fifo) {
            EXPECT_FALSE(fifo->readerWaited()) << "Open waited on a FIFO";
        }
        expectInvalidFileReport(boxes);
        EXPECT_EQ(rows(ResourceKind::Bitmap), bitmaps);
        EXPECT_EQ(rows(ResourceKind::String), strings);
        if (bad.kind == Special::Missing) {
            EXPECT_FALSE(QFileInfo::exists(file)) << "a missing project was created";
        }
        fifo.reset();
        removeAny(file);
        ++tried;
    }
    EXPECT_EQ(tried, 24);
    // The same window goes on: a good file opens, items are added and compiled.
    platform_.fileAnswers = {qpath("good.kbp")};
    trigger("mnuOpenKBP");
    EXPECT_EQ(caption(), qpath("good.kbp"));
    EXPECT_EQ(rows(ResourceKind::Bitmap), bitmaps);
    expectStillWorking();
}

TEST_F(BadInput, DamagedProjectFileOnTheCommandLineStartsEmptyAndUsable) {
    for (const Damaged& bad : damagedProjects()) {
        SCOPED_TRACE(bad.name);
        ASSERT_TRUE(writeBytes(qpath("bad.kbp"), bad.bytes));
        platform_.boxes.clear();
        start(qpath("bad.kbp"));
        expectInvalidFileReport(0);
        for (ResourceKind kind : kOriginalKinds)
            EXPECT_TRUE(rows(kind).isEmpty()) << kindName(kind);
    }
    for (const SpecialCase& bad : specialProjects()) {
        SCOPED_TRACE(bad.name);
        const QString file = qpath("odd.kbp");
        std::unique_ptr<FifoGuard> fifo = makeSpecial(file, bad.kind);
        platform_.boxes.clear();
        QElapsedTimer clock;
        clock.start();
        start(file);
        EXPECT_LT(clock.elapsed(), kPromptMs);
        if (fifo) {
            EXPECT_FALSE(fifo->readerWaited()) << "start-up waited on a FIFO";
        }
        expectInvalidFileReport(0);
        for (ResourceKind kind : kOriginalKinds)
            EXPECT_TRUE(rows(kind).isEmpty()) << kindName(kind);
        fifo.reset();
        removeAny(file);
    }
    // A bare name of a file that is not there, taken in the current folder; a name longer than
    // any file system allows; a path with a line break; blanks only.
    for (const QString& odd : {QStringLiteral("no-such-project-anywhere.kbp"),
                               qpath("") + "/" + QString(5000, 'n') + ".kbp",
                               qpath("two\nlines.kbp"), QStringLiteral("   ")}) {
        SCOPED_TRACE(odd.left(60).toStdString());
        platform_.boxes.clear();
        start(odd);
        expectInvalidFileReport(0);
    }

    // Nothing asks on the way out of an invalid load, and the window still works.
    platform_.boxes.clear();
    start(qpath("bad.kbp"));
    trigger("mnuNewKBP");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    expectStillWorking();
}

// Lines of a well-formed file are taken unchecked; odd ones must still show, open in their
// dialog and reach the compiler, which reports them.
TEST_F(BadInput, OddLinesOfAWellFormedFileShowOpenAndAreReportedAtCompileTime) {
    const std::string longText(32760, 'A');
    const std::vector<std::string> bitmaps = {
        "",
        "NOTAB",
        "\t",
        "ID\t",
        "ID\tnoslash.bmp",
        "ID\t/" + longText,
        "I\r\nD\t/x.bmp",
        "\xFF\x01\t/\x81\x9D.bmp",
        "99999999999999999999999\t/x.bmp",
        "ID\t/x.bmp\t/y.bmp",
        std::string("N\0UL\t/x.bmp", 12),
    };
    const std::vector<std::string> strings = {
        "", "NOTAB", "\tText", "abc\tText", "-5\tminus", "1\t" + longText, "2\tline\r\nbreak",
    };
    Project project;
    for (const std::string& line : bitmaps)
        project.append(ResourceKind::Bitmap, line);
    for (const std::string& line : strings)
        project.append(ResourceKind::String, line);
    writeProject(path("odd.kbp"), project);
    Interface& w = start(qpath("odd.kbp"));
    ASSERT_TRUE(platform_.boxes.empty());
    ASSERT_EQ(rows(ResourceKind::Bitmap).size(), static_cast<qsizetype>(bitmaps.size()));
    ASSERT_EQ(rows(ResourceKind::String).size(), static_cast<qsizetype>(strings.size()));

    int tried = 0;
    for (ResourceKind kind : {ResourceKind::Bitmap, ResourceKind::String}) {
        w.ChangeTab(kindIndex(kind));
        const std::vector<std::string>& lines = kind == ResourceKind::Bitmap ? bitmaps : strings;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            SCOPED_TRACE(lines[static_cast<std::size_t>(i)].substr(0, 40));
            select(kind, i);
            withModal([&] { click("cmdModify"); },
                      [&](QWidget* dialog) {
                          EXPECT_EQ(dialog->objectName(),
                                    kind == ResourceKind::Bitmap ? "frmLoad" : "frmString");
                          dialog->findChild<QPushButton*>("cmdCancel")->click();
                      });
            ++tried;
        }
    }
    EXPECT_EQ(tried, 18);
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_FALSE(w.session().ProjectChanged);
    EXPECT_EQ(w.session().project.lines(ResourceKind::Bitmap), project.lines(ResourceKind::Bitmap));

    for (int bits : {16, 32}) {
        SCOPED_TRACE(bits);
        const QString res = qpath("out/odd.res");
        const int beeps = platform_.beeps;
        compileTo(bits, res);
        const QStringList log = logLines();
        EXPECT_TRUE(log.contains("*** ERROR ***")) << log.join(" | ").left(300).toStdString();
        EXPECT_FALSE(log.contains("Compilation : SuccessFull"));
        EXPECT_EQ(platform_.beeps, beeps + 1);
        EXPECT_FALSE(QFileInfo::exists(res));
    }
    // Saving gives back the very bytes that were loaded.
    const QByteArray loaded = readBytes(qpath("odd.kbp"));
    platform_.fileAnswers = {qpath("again.kbp")};
    trigger("mnuSaveAs");
    EXPECT_EQ(readBytes(qpath("again.kbp")), loaded);
}

// --- 2. Pictures the preview cannot read ---

TEST_F(BadInput, UnreadablePicturesGiveAnEmptyPreviewAndCanStillBeAdded) {
    const QString pics = qpath("pics");
    const QByteArray goodBmp = imageBytes({64, 64}, Qt::red, "BMP");
    const QByteArray goodIco = imageBytes({32, 32}, Qt::blue, "ICO");
    const QByteArray pngIhdrHuge =
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + QByteArray("\x00\x0F\x42\x40", 4) +
        QByteArray("\x00\x0F\x42\x40", 4) + QByteArray("\x08\x06\0\0\0", 5) + le32(0);
    QByteArray hugeIcoDib = le32(40) + le32(100000) + le32(200000) + le16(1) + le16(32) + le32(0) +
                            le32(0) + le32(0) + le32(0) + le32(0) + le32(0);
    struct Picture {
        const char* name;
        QByteArray bytes;
    };
    const std::vector<std::pair<ResourceKind, std::vector<Picture>>> cases = {
        {ResourceKind::Bitmap,
         {
             {"garbage.bmp", "this is no picture at all"},
             {"zero.bmp", {}},
             {"cut14.bmp", goodBmp.left(14)},
             {"cut40.bmp", goodBmp.left(40)},
             {"half.bmp", goodBmp.left(goodBmp.size() / 2)},
             {"huge.bmp", bmpHeader(50000, 50000, 32)},
             {"widest.bmp", bmpHeader(0x7FFFFFFF, 1, 24)},
             {"negative.bmp", bmpHeader(-100, static_cast<qint32>(0x80000000), 24)},
             {"offset.bmp", bmpHeader(8, 8, 24, 0, 0xFFFFFFF0u) + QByteArray(192, 'x')},
             {"depth.bmp", bmpHeader(8, 8, 7, 99) + QByteArray(64, 'x')},
             {"palette.bmp", bmpHeader(8, 8, 8, 0, 54, 0xFFFFFFFFu) + QByteArray(64, 'x')},
             {"rle.bmp", bmpHeader(64, 64, 8, 1, 54 + 1024) + QByteArray(1024, '\0') +
                             QByteArray("\xFF\x01\x00\x02\xFF\xFF", 6)},
         }},
        {ResourceKind::Icon,
         {
             {"garbage.ico", "MZ\x90\0 not an icon either"},
             {"zero.ico", {}},
             {"header.ico", le16(0) + le16(1) + le16(1)},
             {"cut.ico", goodIco.left(goodIco.size() / 2)},
             {"outside.ico", icoFile(1, goodIco.mid(22), 0xFFFFFF00u)},
             {"negative.ico", icoFile(-1, goodIco.mid(22))},
             {"many.ico", icoFile(32767, {})},
             {"hugedib.ico", icoFile(1, hugeIcoDib, 22, 0x7FFFFFFFu)},
             {"hugepng.ico", icoFile(1, pngIhdrHuge)},
         }},
    };

    start();
    int tried = 0;
    for (const auto& [kind, pictures] : cases) {
        for (const Picture& picture : pictures) {
            SCOPED_TRACE(picture.name);
            const QString file = pics + "/" + picture.name;
            ASSERT_TRUE(writeBytes(file, picture.bytes));
            window().ChangeTab(kindIndex(kind));
            window().session().ItemDir = fromQt(pics);
            const QString identifier = QStringLiteral("P%1").arg(++tried);
            qint64 previewMs = -1;
            withModal([&] { click("cmdAdd"); },
                      [&](QWidget* dialog) {
                          ASSERT_EQ(dialog->objectName(), "frmLoad");
                          auto* files = dialog->findChild<QListWidget*>("File1");
                          const QList<QListWidgetItem*> found =
                              files->findItems(picture.name, Qt::MatchExactly);
                          ASSERT_EQ(found.size(), 1);
                          QElapsedTimer clock;
                          clock.start();
                          files->setCurrentItem(found.first());
                          previewMs = clock.elapsed();
                          EXPECT_EQ(dialog->findChild<QLabel*>("etiName")->text(), picture.name);
                          EXPECT_TRUE(dialog->findChild<QLabel*>("PicTest")->pixmap().isNull());
                          EXPECT_TRUE(platform_.boxes.empty());
                          dialog->findChild<QLineEdit*>("Text1")->setText(identifier);
                          dialog->findChild<QPushButton*>("cmdOK")->click();
                      });
            EXPECT_GE(previewMs, 0);
            EXPECT_LT(previewMs, kPromptMs);
            EXPECT_TRUE(platform_.boxes.empty());
            EXPECT_EQ(platform_.beeps, 0);
            ASSERT_FALSE(rows(kind).isEmpty());
            EXPECT_EQ(rows(kind).last(), identifier + "\t" + file);
            EXPECT_TRUE(window().session().ProjectChanged);
        }
    }
    EXPECT_EQ(tried, 21);
    EXPECT_EQ(rows(ResourceKind::Bitmap).size(), 12);
    EXPECT_EQ(rows(ResourceKind::Icon).size(), 9);
}

// The checks that keep damaged bitmaps out must let sound ones through.
TEST_F(BadInput, SoundBitmapsOfEveryLayoutStillShow) {
    const QString pics = qpath("pics");
    QByteArray palette(1024, '\0');
    palette[5 * 4 + 1] = '\xFF'; // index 5 is green
    QByteArray blueRow;
    for (int i = 0; i < 4; ++i)
        blueRow += QByteArray("\xFF\x00\x00", 3);
    const QByteArray redRow = QByteArray("\x00\x00\xFF\x00\x00\xFF\0\0", 8);
    struct Sound {
        const char* name;
        QByteArray bytes;
        QSize size;
        QColor colour;
    };
    const std::vector<Sound> sound = {
        {"runs.bmp",
         bmpHeader(8, 2, 8, 1, 54 + 1024) + palette + QByteArray("\x08\x05\0\0\x08\x05\0\x01", 8),
         {8, 2},
         Qt::green},
        {"topdown.bmp", bmpHeader(4, -4, 24) + blueRow.repeated(4), {4, 4}, Qt::blue},
        {"os2.bmp",
         "BM" + le32(42) + le32(0) + le32(26) + le32(12) + le16(2) + le16(2) + le16(1) + le16(24) +
             redRow + redRow,
         {2, 2},
         Qt::red},
    };
    start();
    for (const Sound& picture : sound) {
        SCOPED_TRACE(picture.name);
        ASSERT_TRUE(writeBytes(pics + "/" + picture.name, picture.bytes));
        window().session().ItemDir = fromQt(pics);
        withModal([&] { click("cmdAdd"); },
                  [&](QWidget* dialog) {
                      auto* files = dialog->findChild<QListWidget*>("File1");
                      const QList<QListWidgetItem*> found =
                          files->findItems(picture.name, Qt::MatchExactly);
                      ASSERT_EQ(found.size(), 1);
                      files->setCurrentItem(found.first());
                      const QPixmap shown = dialog->findChild<QLabel*>("PicTest")->pixmap();
                      ASSERT_FALSE(shown.isNull());
                      EXPECT_EQ(shown.size(), picture.size);
                      EXPECT_EQ(shown.toImage().pixelColor(0, 0), picture.colour);
                      EXPECT_EQ(shown.toImage().pixelColor(picture.size.width() - 1,
                                                           picture.size.height() - 1),
                                picture.colour);
                  });
    }
    EXPECT_TRUE(platform_.boxes.empty());

    // In a folder named in another script: still previewed, damage still refused.
    const QString foreign = pics + QString::fromUtf8("/\xE5\x9B\xBE");
    ASSERT_TRUE(QDir().mkpath(foreign));
    ASSERT_TRUE(writeBytes(foreign + "/os2.bmp", sound.back().bytes));
    ASSERT_TRUE(writeBytes(foreign + "/half.bmp", sound.back().bytes.left(30)));
    withModal([&] { click("cmdAdd"); },
              [&](QWidget* dialog) {
                  ASSERT_TRUE(dialog->findChild<DirList*>("Dir1")->setPath(foreign));
                  auto* files = dialog->findChild<QListWidget*>("File1");
                  auto* preview = dialog->findChild<QLabel*>("PicTest");
                  ASSERT_EQ(files->count(), 2);
                  files->setCurrentItem(files->findItems("os2.bmp", Qt::MatchExactly).value(0));
                  EXPECT_EQ(preview->pixmap().size(), QSize(2, 2));
                  files->setCurrentItem(files->findItems("half.bmp", Qt::MatchExactly).value(0));
                  EXPECT_EQ(dialog->findChild<QLabel*>("etiName")->text(), "half.bmp");
                  EXPECT_TRUE(preview->pixmap().isNull());
              });
}

TEST_F(BadInput, PictureNamesThatAreNoFilesAreNotOfferedNorStored) {
    const QString pics = qpath("pics");
    ASSERT_TRUE(QDir(pics).mkdir("folder.bmp"));
    FifoGuard fifo(pics + "/fifo.bmp");
    ASSERT_TRUE(fifo.made());
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(pics + "/zero.bmp").constData()), 0);
    ASSERT_EQ(::symlink("/nowhere.bmp", QFile::encodeName(pics + "/dangling.bmp").constData()), 0);
    ASSERT_EQ(::symlink("fifo.bmp", QFile::encodeName(pics + "/tofifo.bmp").constData()), 0);
    ASSERT_TRUE(writeBytes(pics + "/real.bmp", imageBytes({8, 8}, Qt::green, "BMP")));

    start();
    window().session().ItemDir = fromQt(pics);
    withModal([&] { click("cmdAdd"); },
              [&](QWidget* dialog) {
                  auto* files = dialog->findChild<QListWidget*>("File1");
                  // Only the real file is offered: no folder, FIFO, device or broken link.
                  QStringList offered;
                  for (int i = 0; i < files->count(); ++i)
                      offered << files->item(i)->text();
                  EXPECT_EQ(offered, QStringList({"real.bmp"}));
                  const QList<QListWidgetItem*> real =
                      files->findItems("real.bmp", Qt::MatchExactly);
                  ASSERT_EQ(real.size(), 1);
                  // Replaced by a FIFO after the listing: choosing it must not wait on it.
                  removeAny(pics + "/real.bmp");
                  FifoGuard swapped(pics + "/real.bmp");
                  ASSERT_TRUE(swapped.made());
                  QElapsedTimer clock;
                  clock.start();
                  files->setCurrentItem(real.first());
                  EXPECT_LT(clock.elapsed(), kPromptMs);
                  EXPECT_FALSE(swapped.readerWaited());
                  EXPECT_EQ(dialog->findChild<QLabel*>("etiName")->text(), "real.bmp");
                  EXPECT_TRUE(dialog->findChild<QLabel*>("PicTest")->pixmap().isNull());
              });

    // Lines from a project file may name them all the same; OK refuses each with code 3.
    int tried = 0;
    for (const char* name :
         {"folder.bmp", "fifo.bmp", "tofifo.bmp", "zero.bmp", "dangling.bmp", "gone.bmp"}) {
        SCOPED_TRACE(name);
        const std::string line = "X\t" + fromQt(pics + "/" + name);
        Project project;
        project.append(ResourceKind::Bitmap, line);
        writeProject(path("m.kbp"), project);
        window().DirectLoad(path("m.kbp"));
        Session& s = window().session();
        ASSERT_EQ(rows(ResourceKind::Bitmap), QStringList({toQt(line)}));
        select(ResourceKind::Bitmap, 0);
        platform_.boxes.clear();
        withModal([&] { click("cmdModify"); },
                  [&](QWidget* dialog) {
                      ASSERT_EQ(dialog->objectName(), "frmLoad");
                      EXPECT_EQ(dialog->findChild<QLabel*>("etiName")->text(), name);
                      QElapsedTimer clock;
                      clock.start();
                      dialog->findChild<QPushButton*>("cmdOK")->click();
                      EXPECT_LT(clock.elapsed(), kPromptMs);
                      EXPECT_TRUE(dialog->isVisible());
                      dialog->findChild<QPushButton*>("cmdCancel")->click();
                  });
        ASSERT_EQ(platform_.boxes.size(), 1u);
        EXPECT_EQ(platform_.boxes[0].title, "ERROR 3");
        EXPECT_EQ(s.project.line(ResourceKind::Bitmap, 0), line);
        EXPECT_FALSE(s.ProjectChanged);
        ++tried;
    }
    EXPECT_EQ(tried, 6);
    EXPECT_FALSE(fifo.readerWaited());
}

// --- 3. Compiling sources that vanished or are damaged ---

class BadInputCompile : public BadInput {
protected:
    void SetUp() override {
        bmp = qpath("src/pic.bmp");
        ico = qpath("src/app.ico");
        wav = qpath("src/ding.wav");
        goodBmp = imageBytes({16, 16}, Qt::red, "BMP");
        goodIco = imageBytes({32, 32}, Qt::blue, "ICO");
        goodWav = "RIFF" + le32(36) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) +
                  le32(8000) + le16(1) + le16(8) + "data" + le32(4) + "\x80\x80\x80\x80";
        restoreSources();
        Project project;
        bmpLine = "PIC\t" + fromQt(bmp);
        icoLine = "1\t" + fromQt(ico);
        wavLine = "DING\t" + fromQt(wav);
        project.append(ResourceKind::Bitmap, bmpLine);
        project.append(ResourceKind::Icon, icoLine);
        project.append(ResourceKind::String, "1\tHello");
        project.append(ResourceKind::Wave, wavLine);
        writeProject(path("p.kbp"), project);
        start(qpath("p.kbp"));
    }
    void restoreSources() {
        for (const QString& file : {bmp, ico, wav})
            removeAny(file);
        ASSERT_TRUE(writeBytes(bmp, goodBmp));
        ASSERT_TRUE(writeBytes(ico, goodIco));
        ASSERT_TRUE(writeBytes(wav, goodWav));
    }
    // What a failed compilation must leave: the error lines for `line`, a beep, no success line,
    // the former output and no stray file beside it.
    void expectFailureFor(const std::string& line, const QByteArray& former, int beepsBefore) {
        const QStringList log = logLines();
        const int error = static_cast<int>(log.indexOf("*** ERROR ***"));
        ASSERT_GE(error, 0) << log.join(" | ").toStdString();
        EXPECT_EQ(log.value(error + 1), toQt(line)) << log.join(" | ").toStdString();
        EXPECT_FALSE(log.value(error + 2).trimmed().isEmpty()) << "no problem given";
        EXPECT_FALSE(log.contains("Compilation : SuccessFull"));
        EXPECT_EQ(platform_.beeps, beepsBefore + 1);
        EXPECT_TRUE(platform_.boxes.empty());
        EXPECT_EQ(platform_.busyDepth, 0);
        EXPECT_EQ(readBytes(qpath("out/p.res")), former);
        EXPECT_EQ(
            QDir(qpath("out"))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
            QStringList({"p.res"}));
    }

    QString bmp, ico, wav;
    QByteArray goodBmp, goodIco, goodWav;
    std::string bmpLine, icoLine, wavLine;
};

TEST_F(BadInputCompile, VanishedOrDamagedSourceIsLoggedAndTheFormerResKept) {
    struct Damage {
        const char* name;
        int which; // 0 bitmap, 1 icon, 2 wave
        std::function<std::unique_ptr<FifoGuard>(const QString&)> apply;
    };
    const auto bytes = [](QByteArray b) {
        return [b](const QString& file) {
            EXPECT_TRUE(writeBytes(file, b));
            return std::unique_ptr<FifoGuard>();
        };
    };
    const auto gone = [](const QString& file) {
        removeAny(file);
        return std::unique_ptr<FifoGuard>();
    };
    const auto folder = [](const QString& file) {
        removeAny(file);
        EXPECT_TRUE(QDir().mkpath(file));
        return std::unique_ptr<FifoGuard>();
    };
    const auto fifo = [](const QString& file) {
        removeAny(file);
        return std::make_unique<FifoGuard>(file);
    };
    const auto dangling = [](const QString& file) {
        removeAny(file);
        EXPECT_EQ(::symlink("/nowhere/x", QFile::encodeName(file).constData()), 0);
        return std::unique_ptr<FifoGuard>();
    };
    const QByteArray icoBytes = goodIco;
    const std::vector<Damage> damages = {
        {"deleted .BMP", 0, gone},
        {"empty .BMP", 0, bytes({})},
        {".BMP shorter than its header", 0, bytes("BM\x10\0\0\0\0\0")},
        {"folder named as the .BMP", 0, folder},
        {".BMP is a FIFO", 0, fifo},
        {".BMP is a dangling link", 0, dangling},
        {"deleted .ICO", 1, gone},
        {"empty .ICO", 1, bytes({})},
        {".ICO cut inside its header", 1, bytes(icoBytes.left(4))},
        {".ICO cut inside its directory", 1, bytes(icoBytes.left(12))},
        {".ICO cut inside its image", 1, bytes(icoBytes.left(icoBytes.size() / 2))},
        {".ICO with a negative count", 1, bytes(icoFile(-2, icoBytes.mid(22)))},
        {".ICO whose image lies outside", 1, bytes(icoFile(1, icoBytes.mid(22), 0xFFFFFF00u))},
        {".ICO whose image size runs past the end", 1,
         bytes(icoFile(1, icoBytes.mid(22), 22, 0x7FFFFFFFu))},
        {"folder named as the .ICO", 1, folder},
        {"deleted .WAV", 2, gone},
        {"folder named as the .WAV", 2, folder},
        {".WAV is a FIFO", 2, fifo},
        {".WAV beyond the 32-bit sizes (sparse)", 2,
         [](const QString& file) {
             QFile out(file);
             EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
             EXPECT_TRUE(out.resize(qint64{5} << 30));
             return std::unique_ptr<FifoGuard>();
         }},
    };
    const QString res = qpath("out/p.res");
    const QByteArray former = "FORMER RES CONTENT";
    int tried = 0;
    for (const Damage& damage : damages) {
        for (int bits : {16, 32}) {
            SCOPED_TRACE(std::string(damage.name) + " " + std::to_string(bits));
            restoreSources();
            const QString file = damage.which == 0 ? bmp : damage.which == 1 ? ico : wav;
            const std::string& line = damage.which == 0   ? bmpLine
                                      : damage.which == 1 ? icoLine
                                                          : wavLine;
            std::unique_ptr<FifoGuard> guard = damage.apply(file);
            ASSERT_TRUE(writeBytes(res, former));
            const int beeps = platform_.beeps;
            QElapsedTimer clock;
            clock.start();
            compileTo(bits, res);
            EXPECT_LT(clock.elapsed(), kPromptMs);
            if (guard) {
                EXPECT_FALSE(guard->readerWaited()) << "the compiler waited on a FIFO";
            }
            expectFailureFor(line, former, beeps);
            guard.reset();
            ++tried;

            // Repaired, the next compilation succeeds and replaces the log.
            restoreSources();
            compileTo(bits, res);
            const QStringList log = logLines();
            EXPECT_EQ(log.value(0), "Identificators = OK");
            EXPECT_FALSE(log.contains("*** ERROR ***")) << log.join(" | ").toStdString();
            EXPECT_EQ(log.value(log.size() - 1), "Compilation : SuccessFull");
            EXPECT_NE(readBytes(res), former);
            EXPECT_EQ(platform_.beeps, beeps + 1);
        }
    }
    EXPECT_EQ(tried, 38);
    EXPECT_FALSE(window().session().ProjectChanged);
}

// Odd sources that one layout may take and the other refuse: either the whole file is written
// and the log says so, or the error is logged and the former file stays.
TEST_F(BadInputCompile, OddSourceEitherCompilesWholeOrIsRefused) {
    struct Odd {
        const char* name;
        int which;
        QByteArray bytes;
    };
    const std::vector<Odd> odds = {
        {"empty .WAV", 2, {}},
        {"one-byte .WAV", 2, "R"},
        {".BMP declaring more bytes than it holds", 0, "BM" + le32(0x7FFFFFFF) + goodBmp.mid(6)},
        {".BMP declaring fewer than 14 bytes", 0, "BM" + le32(3) + goodBmp.mid(6)},
        {".BMP of exactly its 14-byte header", 0, goodBmp.left(14)},
        {".ICO without images", 1, le16(0) + le16(1) + le16(0)},
        {".ICO with more images than it holds", 1, icoFile(40, goodIco.mid(22))},
    };
    const QString res = qpath("out/p.res");
    const QByteArray former = "FORMER RES CONTENT";
    int tried = 0;
    for (const Odd& odd : odds) {
        for (int bits : {16, 32}) {
            SCOPED_TRACE(std::string(odd.name) + " " + std::to_string(bits));
            restoreSources();
            ASSERT_TRUE(writeBytes(odd.which == 0 ? bmp : odd.which == 1 ? ico : wav, odd.bytes));
            ASSERT_TRUE(writeBytes(res, former));
            const int beeps = platform_.beeps;
            compileTo(bits, res);
            const QStringList log = logLines();
            if (log.contains("Compilation : SuccessFull")) {
                EXPECT_EQ(log.value(log.size() - 1), "Compilation : SuccessFull");
                EXPECT_FALSE(log.contains("*** ERROR ***"));
                EXPECT_NE(readBytes(res), former);
                EXPECT_EQ(platform_.beeps, beeps);
            } else {
                const std::string& line = odd.which == 0   ? bmpLine
                                          : odd.which == 1 ? icoLine
                                                           : wavLine;
                expectFailureFor(line, former, beeps);
            }
            ++tried;
        }
    }
    EXPECT_EQ(tried, 14);
}

TEST_F(BadInputCompile, OutputThatCannotBeWrittenIsLoggedAsAnError) {
    // A folder that does not exist, a folder that is a file, a folder under the output's name
    // and a name longer than the file system allows.
    ASSERT_TRUE(writeBytes(qpath("out/plain"), "file"));
    ASSERT_TRUE(QDir(qpath("out")).mkdir("taken.res"));
    const std::string tooLong = "out/" + std::string(300, 'n') + ".res";
    int tried = 0;
    for (const std::string& target : {std::string("missing/p.res"), std::string("out/plain/p.res"),
                                      std::string("out/taken.res"), tooLong}) {
        for (int bits : {16, 32}) {
            SCOPED_TRACE(target.substr(0, 20) + " " + std::to_string(bits));
            const QString file = qpath(target.c_str());
            const int beeps = platform_.beeps;
            compileTo(bits, file);
            const QStringList log = logLines();
            EXPECT_TRUE(log.contains("*** ERROR ***")) << log.join(" | ").toStdString();
            EXPECT_FALSE(log.contains("Compilation : SuccessFull"));
            EXPECT_TRUE(log.join('\n').contains(file)) << "the file is not named";
            EXPECT_EQ(platform_.beeps, beeps + 1);
            EXPECT_FALSE(QFileInfo(file).isFile());
            ++tried;
        }
    }
    EXPECT_TRUE(QFileInfo(qpath("out/taken.res")).isDir());
    EXPECT_EQ(QDir(qpath("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({"plain", "taken.res"}));
    EXPECT_EQ(tried, 8);
    compileTo(32, qpath("out/p.res"));
    EXPECT_EQ(logLines().value(logLines().size() - 1), "Compilation : SuccessFull");
}

// --- 4. Saving where nothing can be written ---

TEST_F(BadInput, SaveToAnUnwritablePlaceNamesTheFileAndKeepsEverything) {
    writeProject(path("keep.kbp"), sampleProject());
    Interface& w = start(qpath("keep.kbp"));
    const QByteArray kept = readBytes(qpath("keep.kbp"));
    ASSERT_TRUE(writeBytes(qpath("plain"), "a file, not a folder"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.kbp"));
    w.session().appendItem(ResourceKind::String, "9\tNew work");

    struct Target {
        const char* name;
        int error;
    };
    const std::vector<Target> targets = {
        {"no such folder/x.kbp", ENOENT},
        {"plain/x.kbp", ENOTDIR},
        {"plain/deeper/x.kbp", ENOTDIR},
        {"taken.kbp", EISDIR},
        {"a name longer than any file system allows", ENAMETOOLONG},
    };
    int tried = 0;
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        const QString file = target.error == ENAMETOOLONG
                                 ? qpath(std::string(300, 'n').append(".kbp").c_str())
                                 : qpath(target.name);
        platform_.boxes.clear();
        platform_.fileAnswers = {file};
        trigger("mnuSaveAs");
        ASSERT_EQ(platform_.boxes.size(), 1u);
        const ScriptedPlatform::Box& box = platform_.boxes[0];
        EXPECT_EQ(box.icon, Platform::BoxIcon::Stop);
        EXPECT_TRUE(box.text.contains(file)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QString::fromLocal8Bit(std::strerror(target.error))))
            << box.text.toStdString();
        EXPECT_TRUE(w.session().ProjectChanged);
        // The project keeps its file, which keeps its bytes.
        EXPECT_EQ(w.session().ProjectPath, path("keep.kbp"));
        EXPECT_EQ(caption(), qpath("keep.kbp"));
        EXPECT_EQ(readBytes(qpath("keep.kbp")), kept);
        EXPECT_FALSE(QFileInfo(file).isFile());
        EXPECT_FALSE(QFileInfo::exists(toQt(cfgPath())));
        ++tried;
    }

    // A line the file format cannot hold: refused with the reason, no file made.
    w.session().appendItem(ResourceKind::String, "8\t" + std::string(40000, 'L'));
    platform_.boxes.clear();
    platform_.fileAnswers = {qpath("long.kbp")};
    trigger("mnuSaveAs");
    ASSERT_EQ(platform_.boxes.size(), 1u);
    EXPECT_TRUE(platform_.boxes[0].text.contains(qpath("long.kbp")));
    EXPECT_TRUE(platform_.boxes[0].text.contains("longer than"))
        << platform_.boxes[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(qpath("long.kbp")));
    EXPECT_TRUE(w.session().ProjectChanged);
    EXPECT_EQ(readBytes(qpath("keep.kbp")), kept);
    ++tried;

    // Save on a titled project whose folder went away or became a file.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("gone"));
    writeProject(path("gone/g.kbp"), sampleProject());
    start(qpath("gone/g.kbp"));
    window().session().appendItem(ResourceKind::Wave, "W\t/w.wav");
    for (bool becomesFile : {false, true}) {
        SCOPED_TRACE(becomesFile ? "folder became a file" : "folder removed");
        QDir(qpath("gone")).removeRecursively();
        if (becomesFile) {
            ASSERT_TRUE(writeBytes(qpath("gone"), "now a file"));
        }
        platform_.boxes.clear();
        const std::size_t dialogs = platform_.fileDialogs.size();
        trigger("mnuSaveKBP");
        ASSERT_EQ(platform_.boxes.size(), 1u);
        EXPECT_TRUE(platform_.boxes[0].text.contains(qpath("gone/g.kbp")));
        EXPECT_TRUE(platform_.boxes[0].text.contains(
            QString::fromLocal8Bit(std::strerror(becomesFile ? ENOTDIR : ENOENT))));
        EXPECT_EQ(platform_.fileDialogs.size(), dialogs);
        EXPECT_TRUE(window().session().ProjectChanged);
        EXPECT_EQ(caption(), qpath("gone/g.kbp"));
        ++tried;
    }

    // The guard's save fails the same way, and New goes on as the guard promises.
    platform_.boxes.clear();
    platform_.boxAnswers = {Platform::BoxAnswer::Ok};
    trigger("mnuNewKBP");
    ASSERT_EQ(platform_.boxes.size(), 2u);
    EXPECT_EQ(platform_.boxes[0].title, "WARNING");
    EXPECT_TRUE(platform_.boxes[1].text.contains(qpath("gone/g.kbp")));
    EXPECT_TRUE(rows(ResourceKind::Wave).isEmpty());
    EXPECT_EQ(caption(), "  Kelbo Version 2.12");
    ++tried;
    EXPECT_EQ(tried, 9);
    EXPECT_EQ(readBytes(qpath("gone")), "now a file");
    expectStillWorking();
}

// The recent-files list is rewritten after every save, so a project saved under its name would
// be replaced by the list right after being written.
TEST_F(BadInput, SaveOntoTheRecentFilesFileIsRefused) {
    writeProject(path("p.kbp"), sampleProject());
    ASSERT_TRUE(writeBytes(toQt(cfgPath()), QByteArray::fromStdString(path("p.kbp") + "\r\n")));
    Interface& w = start(qpath("p.kbp"));
    w.session().appendItem(ResourceKind::String, "9\tNine");
    const QByteArray list = readBytes(toQt(cfgPath()));
    // The same file under its own name and through a link in another folder.
    ASSERT_EQ(::symlink(QFile::encodeName(toQt(cfgPath())).constData(),
                        QFile::encodeName(qpath("list.kbp")).constData()),
              0);
    int tried = 0;
    for (const QString& target :
         {toQt(cfgPath()), qpath("bin/../bin/kbplast.cfg"), qpath("list.kbp")}) {
        SCOPED_TRACE(target.toStdString());
        platform_.boxes.clear();
        platform_.fileAnswers = {target};
        trigger("mnuSaveAs");
        ASSERT_EQ(platform_.boxes.size(), 1u);
        EXPECT_EQ(platform_.boxes[0].icon, Platform::BoxIcon::Stop);
        EXPECT_TRUE(platform_.boxes[0].text.contains(target))
            << platform_.boxes[0].text.toStdString();
        EXPECT_TRUE(w.session().ProjectChanged);
        EXPECT_EQ(caption(), qpath("p.kbp"));
        EXPECT_EQ(readBytes(toQt(cfgPath())), list);
        EXPECT_TRUE(QFileInfo(qpath("list.kbp")).isSymLink());
        ++tried;
    }
    EXPECT_EQ(tried, 3);
    // Elsewhere the save goes through as ever.
    platform_.boxes.clear();
    platform_.fileAnswers = {qpath("elsewhere.kbp")};
    trigger("mnuSaveAs");
    EXPECT_TRUE(platform_.boxes.empty());
    EXPECT_EQ(readProject(path("elsewhere.kbp"))->count(ResourceKind::String), 3);
    EXPECT_FALSE(w.session().ProjectChanged);
}

// --- 5. Recent files that no longer hold a project ---

TEST_F(BadInput, RecentItemOfABadProjectReportsCodeSixAndStays) {
    writeProject(path("good.kbp"), sampleProject());
    ASSERT_TRUE(writeBytes(qpath("cut.kbp"), "KELBO200\x02"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("dir.kbp"));
    FifoGuard fifo(qpath("fifo.kbp"));
    ASSERT_TRUE(fifo.made());
    const std::string cfg = path("deleted.kbp") + "\r\n" + path("cut.kbp") + "\r\n" +
                            path("dir.kbp") + "\r\n" + path("fifo.kbp") + "\r\n" +
                            path("good.kbp") + "\r\n";
    ASSERT_TRUE(writeBytes(toQt(cfgPath()), QByteArray::fromStdString(cfg)));
    Interface& w = start();
    trigger("mnufile5");
    ASSERT_EQ(caption(), qpath("good.kbp"));
    const QStringList icons = rows(ResourceKind::Icon);
    ASSERT_EQ(icons.size(), 3);

    const char* items[] = {"mnuFile1", "mnufile2", "mnufile3", "mnufile4"};
    int tried = 0;
    for (const char* item : items) {
        SCOPED_TRACE(item);
        const QString text = action(item)->text();
        const std::size_t boxes = platform_.boxes.size();
        QElapsedTimer clock;
        clock.start();
        trigger(item);
        EXPECT_LT(clock.elapsed(), kPromptMs);
        expectInvalidFileReport(boxes);
        EXPECT_EQ(rows(ResourceKind::Icon), icons);
        // The item stays, with its text, and the configuration file is not rewritten.
        EXPECT_TRUE(action(item)->isVisible());
        EXPECT_EQ(action(item)->text(), text);
        EXPECT_EQ(readBytes(toQt(cfgPath())), QByteArray::fromStdString(cfg));
        ++tried;
    }
    EXPECT_EQ(tried, 4);
    EXPECT_FALSE(fifo.readerWaited());
    EXPECT_FALSE(QFileInfo::exists(qpath("deleted.kbp")));
    // A deleted project asks to be saved nowhere; the window still works.
    EXPECT_FALSE(w.session().ProjectChanged);
    expectStillWorking();
}

// A recent-files file that this program did not write: the program starts, lists what it can,
// and a save still records the project.
TEST_F(BadInput, DamagedRecentFilesFileNeitherStopsTheStartNorTheSave) {
    QByteArray manyLines;
    for (int i = 0; i < 1000; ++i)
        manyLines += "/p/" + QByteArray::number(i) + ".kbp\r\n";
    QByteArray noise(70000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919) % 251 + (i % 13 == 0 ? 0 : 1));
    struct Cfg {
        const char* name;
        QByteArray bytes;
        Special special;
        bool isFile;
    };
    const std::vector<Cfg> cfgs = {
        {"FIFO", {}, Special::Fifo, false},
        {"directory", {}, Special::Directory, false},
        {"link to an endless device", {}, Special::DeviceLink, false},
        {"binary noise", noise, Special::Missing, true},
        {"a thousand lines", manyLines, Special::Missing, true},
        {"blank lines and lone CRs", "\r\n\r\n\r/a.kbp\r\n\n\n/b.kbp", Special::Missing, true},
        {"one line longer than any path", QByteArray(40000, 'x') + "\r\n/c.kbp\r\n",
         Special::Missing, true},
    };
    writeProject(path("p.kbp"), sampleProject());
    const QString cfg = toQt(cfgPath());
    int tried = 0;
    for (const Cfg& c : cfgs) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FifoGuard> fifo = makeSpecial(cfg, c.special);
        if (c.isFile) {
            ASSERT_TRUE(writeBytes(cfg, c.bytes));
        }
        platform_.boxes.clear();
        QElapsedTimer clock;
        clock.start();
        start(qpath("p.kbp"));
        EXPECT_LT(clock.elapsed(), kPromptMs);
        if (fifo) {
            EXPECT_FALSE(fifo->readerWaited()) << "start-up waited on a FIFO";
        }
        EXPECT_TRUE(platform_.boxes.empty());
        EXPECT_EQ(caption(), qpath("p.kbp"));
        int shown = 0;
        for (const char* item : {"mnuFile1", "mnufile2", "mnufile3", "mnufile4", "mnufile5"})
            shown += action(item)->isVisible() ? 1 : 0;
        EXPECT_LE(shown, 5);
        EXPECT_EQ(action("mnulastBar")->isVisible(), shown > 0);

        // Save writes the project whatever became of the list.
        window().session().appendItem(ResourceKind::String, "5\tFive");
        trigger("mnuSaveKBP");
        EXPECT_TRUE(platform_.boxes.empty());
        EXPECT_FALSE(window().session().ProjectChanged);
        EXPECT_EQ(readProject(path("p.kbp"))->count(ResourceKind::String), 3);
        window().session().removeItem(ResourceKind::String, 2);
        trigger("mnuSaveKBP");
        if (c.isFile) {
            const std::vector<std::string> lines = fileLines(cfgPath());
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0], path("p.kbp"));
            EXPECT_LE(lines.size(), 5u);
        }
        fifo.reset();
        removeAny(cfg);
        ++tried;
    }
    EXPECT_EQ(tried, 7);
}

} // namespace
} // namespace kelbo::test
