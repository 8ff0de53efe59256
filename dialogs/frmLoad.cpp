#include "dialogs/frmLoad.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QValidator>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/DirList.h"
#include "dialogs/DriveList.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Platform.h"
#include "rescompiler/SourceFiles.h"

namespace kelbo {

namespace {

QString joinFolder(const QString& folder, const QString& name) {
    const QChar separator = QLatin1Char(separatorOf(nativePathStyle()));
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

// Larger files get no preview: no picture that size fits the box anyway.
constexpr std::uint64_t kMaxPreviewBytes = std::uint64_t{64} << 20;

std::uint32_t le32At(const QByteArray& b, qsizetype at) {
    auto byte = [&](qsizetype i) { return static_cast<std::uint32_t>(static_cast<uchar>(b[i])); };
    return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
}

std::uint16_t le16At(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<uchar>(b[at]) | static_cast<uchar>(b[at + 1])
                                                                      << 8);
}

// The run-length decoder leaves pixels it does not write undefined, so only a stream whose runs
// fill every row, and that ends with its end mark, is shown.
bool runsFillEveryRow(const QByteArray& file, std::uint64_t pos, std::int64_t width,
                      std::int64_t height, bool fourBits) {
    const auto size = static_cast<std::uint64_t>(file.size());
    std::int64_t x = 0;
    std::int64_t y = 0;
    while (pos + 2 <= size) {
        const unsigned count = static_cast<uchar>(file[static_cast<qsizetype>(pos)]);
        const unsigned code = static_cast<uchar>(file[static_cast<qsizetype>(pos + 1)]);
        pos += 2;
        if (count > 0) {
            x += count;
            if (x > width)
                return false;
            continue;
        }
        switch (code) {
        case 0: // end of line
            if (x != width || ++y > height)
                return false;
            x = 0;
            break;
        case 1: // end of bitmap
            return (x == width && y == height - 1) || (x == 0 && y == height);
        case 2: // a jump skips pixels
            return false;
        default: { // literal pixels, padded to a 16-bit boundary
            x += code;
            if (x > width)
                return false;
            const std::uint64_t bytes = fourBits ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~std::uint64_t{1};
            break;
        }
        }
    }
    return false;
}

// The bitmap decoder stops at the end of the file and leaves the rows it did not reach
// undefined: only a bitmap whose declared rows are all in the file is shown.
bool bitmapRowsPresent(const QByteArray& file) {
    const auto size = static_cast<std::uint64_t>(file.size());
    if (size < 14 + 12)
        return false;
    const std::uint32_t offBits = le32At(file, 10);
    const std::uint32_t infoSize = le32At(file, 14);
    std::int64_t width = 0;
    std::int64_t height = 0;
    unsigned bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t colours = 0;
    if (infoSize == 12) {
        width = le16At(file, 18);
        height = le16At(file, 20);
        bits = le16At(file, 24);
    } else {
        if (size < 14 + 40)
            return false;
        width = static_cast<std::int32_t>(le32At(file, 18));
        height = static_cast<std::int32_t>(le32At(file, 22));
        bits = le16At(file, 28);
        compression = le32At(file, 30);
        colours = le32At(file, 46);
    }
    if (width <= 0 || height == 0 || bits == 0 || bits > 32)
        return false;
    height = height < 0 ? -height : height;
    // The decoder reads the palette or the colour masks after the header, then skips to offBits
    // when that lies further on.
    std::uint64_t start = std::uint64_t{14} + infoSize;
    if (bits <= 8)
        start += std::uint64_t{colours ? colours : 1u << bits} * (infoSize == 12 ? 3 : 4);
    else if ((compression == 3 || compression == 6) && infoSize < 108)
        start += compression == 6 ? 16 : 12;
    start = std::max<std::uint64_t>(start, offBits);
    if (start > size)
        return false;
    if (compression == 1 || compression == 2)
        return runsFillEveryRow(file, start, width, height, compression == 2);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    return stride * static_cast<std::uint64_t>(height) <= size - start;
}

// The picture of a .BMP or .ICO file; an icon file shows its 32 x 32 image when it has one.
// Damaged files, and names that are no regular files (a FIFO would block), show nothing.
// Reads a picture file already in memory, for the icon directory check.
class BytesInput : public InputFile {
public:
    explicit BytesInput(const QByteArray& bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return static_cast<std::uint64_t>(bytes_.size()); }
    bool readAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > size() || count > size() - offset)
            return false;
        if (count > 0)
            std::memcpy(buffer, bytes_.constData() + offset, count);
        return true;
    }

private:
    const QByteArray& bytes_;
};

// The bytes of a regular file worth previewing. The file layer opens without waiting, so a
// FIFO under a picture's name is refused rather than waited on; a path the project's code page
// cannot spell is checked by type first.
std::optional<QByteArray> previewBytes(const QString& path) {
    if (const std::optional<std::string> name = fromQt(path)) {
        std::string error;
        std::unique_ptr<InputFile> in = nativeFileSystem().openInput(*name, error);
        if (!in || in->size() == 0 || in->size() > kMaxPreviewBytes)
            return std::nullopt;
        QByteArray bytes(static_cast<qsizetype>(in->size()), Qt::Uninitialized);
        if (!in->readAt(0, bytes.data(), static_cast<std::size_t>(bytes.size())))
            return std::nullopt;
        return bytes;
    }
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0 ||
        static_cast<std::uint64_t>(info.size()) > kMaxPreviewBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

QImage readPicture(const QString& path, ResourceKind kind) {
    std::optional<QByteArray> read = previewBytes(path);
    if (!read)
        return {};
    QByteArray& bytes = *read;
    // The compiler refuses an icon file whose directory is damaged; its preview stays empty.
    std::string problem;
    BytesInput in(bytes);
    if (kind == ResourceKind::Icon && !readIconDirectory(in, problem))
        return {};
    if (bytes.startsWith("BM") && !bitmapRowsPresent(bytes))
        return {};

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLatin1());
    reader.setDecideFormatFromContent(true);
    QImage chosen;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToNextImage())
            break;
        QImage image = reader.read();
        if (image.isNull())
            continue;
        if (chosen.isNull() || image.size() == QSize(32, 32)) {
            const bool exact = image.size() == QSize(32, 32);
            chosen = std::move(image);
            if (exact)
                break;
        }
    }
    return chosen;
}

// A TAB pasted into the identifier would move the split of the item line; a line break would
// split the line in the list.
class NoLineBreakValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                return Invalid;
        return Acceptable;
    }
};

} // namespace

frmLoad::frmLoad(shell::FileItemPresenter& presenter, QWidget* parent)
    : QDialog(parent), presenter_(&presenter), kind_(presenter.kind()) {
    buildControls();
    presenter_->attach(*this);
    centreWindow(*this);
}

frmLoad::frmLoad(Session& session, Platform& platform, int selectedIndex, QWidget* parent)
    : QDialog(parent), ownPlatform_(std::make_unique<QtShellPlatform>(platform)),
      ownPresenter_(
          std::make_unique<shell::FileItemPresenter>(session, *ownPlatform_, selectedIndex)),
      presenter_(ownPresenter_.get()), kind_(session.CurrentKind) {
    buildControls();
    presenter_->attach(*this);
    centreWindow(*this);
}

frmLoad::~frmLoad() = default;

void frmLoad::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void frmLoad::setPattern(const std::string& pattern) {
    pattern_ = toQt(pattern);
}

void frmLoad::setFileName(const std::string& name) {
    etiName_->setText(toQt(name));
}

void frmLoad::setIdentifier(const std::string& identifier) {
    Text1_->setText(toQt(identifier));
}

shell::TypedText frmLoad::identifier() const {
    return typedText(Text1_->text());
}

void frmLoad::showPlayButton(bool play) {
    cmdPlay_->setVisible(play);
    PicTest_->setVisible(!play);
}

void frmLoad::focusFileList() {
    File1_->setFocus();
}

void frmLoad::close(shell::DialogResult result) {
    if (result == shell::DialogResult::Accepted)
        QDialog::accept();
    else
        QDialog::reject();
}

void frmLoad::buildControls() {
    const shell::WindowSpec& spec = shell::fileItemDialogSpec();
    setObjectName(toQt(spec.name));
    setFont(classicFont());
    setFixedDialogFrame(this, spec.clientWidth, spec.clientHeight);

    auto dataLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor::fromRgb(kDarkBlue));
        label->setPalette(palette);
        return label;
    };
    etiName_ = dataLabel("etiName");
    placeTwips(etiName_, spec);
    etiRep_ = dataLabel("etiRep");
    placeTwips(etiRep_, spec);

    File1_ = new QListWidget(this);
    File1_->setObjectName(QStringLiteral("File1"));
    File1_->setSelectionMode(QAbstractItemView::SingleSelection);
    placeTwips(File1_, spec);

    Dir1_ = new DirList(this);
    Dir1_->setObjectName(QStringLiteral("Dir1"));
    placeTwips(Dir1_, spec);

    Drive1_ = new DriveList(this);
    Drive1_->setObjectName(QStringLiteral("Drive1"));
    placeTwips(Drive1_, spec);

    // Every button takes Enter while it has the focus; OK takes it while no button has.
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setAutoDefault(true);
    cmdOK_->setDefault(true);
    placeTwips(cmdOK_, spec);

    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(true);
    placeTwips(cmdCancel_, spec);

    Label3_ = new QLabel(QStringLiteral("Identificator"), this);
    Label3_->setObjectName(QStringLiteral("Label3"));
    placeTwips(Label3_, spec);

    Text1_ = new QLineEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setValidator(new NoLineBreakValidator(Text1_));
    placeTwips(Text1_, spec);

    PicTest_ = new QLabel(this);
    PicTest_->setObjectName(QStringLiteral("PicTest"));
    PicTest_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PicTest_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PicTest_->setScaledContents(false);
    placeTwips(PicTest_, spec);

    cmdPlay_ = new QPushButton(QStringLiteral("Play"), this);
    cmdPlay_->setObjectName(QStringLiteral("cmdPlay"));
    cmdPlay_->setAutoDefault(true);
    placeTwips(cmdPlay_, spec);

    setTabOrder(File1_, Drive1_);
    setTabOrder(Drive1_, Dir1_);
    setTabOrder(Dir1_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdPlay_);
    setTabOrder(cmdPlay_, Text1_);

    connect(Drive1_, &DriveList::driveChosen, this, &frmLoad::driveChosen);
    connect(Dir1_, &DirList::pathChanged, this, &frmLoad::folderChanged);
    connect(File1_, &QListWidget::itemSelectionChanged, this, &frmLoad::fileSelected);
    connect(File1_, &QListWidget::itemClicked, this, &frmLoad::fileSelected);
    connect(cmdOK_, &QPushButton::clicked, this, &frmLoad::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmLoad::reject);
    connect(cmdPlay_, &QPushButton::clicked, this, [this] { presenter_->play(); });
}

bool frmLoad::showFolder(const std::string& folder) {
    const QString before = Dir1_->path();
    if (!Dir1_->setPath(toQt(folder)))
        return false;
    // Moving reports the change itself; staying put must still fill the labels.
    if (Dir1_->path() == before)
        folderChanged(before);
    return true;
}

void frmLoad::driveChosen(const QString& root) {
    const QString target = driveFolders_.value(root, root);
    if (Dir1_->setPath(target) || Dir1_->setPath(root))
        return;
    // A drive that cannot be read: go back quietly to the drive of the folder on show.
    Drive1_->selectDrive(Drive1_->driveOf(Dir1_->path()));
}

void frmLoad::folderChanged(const QString& folder) {
    etiRep_->setText(folder);
    etiRep_->setToolTip(folder);
    const QString drive = Drive1_->driveOf(folder);
    Drive1_->selectDrive(drive);
    driveFolders_.insert(drive, folder);

    File1_->clear();
    // The pattern matches whatever the case of the name, on every platform.
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList({pattern_}, QDir::Files | QDir::NoDotAndDotDot,
                                                    QDir::Name | QDir::IgnoreCase);
    // A link to a FIFO or a device passes the filter; OK would refuse it, so it is not offered.
    for (const QFileInfo& entry : entries)
        if (entry.isFile())
            File1_->addItem(entry.fileName());
    presenter_->folderShown(typedText(folder));
}

void frmLoad::fileSelected() {
    const QList<QListWidgetItem*> selected = File1_->selectedItems();
    if (selected.isEmpty())
        return;
    etiName_->setText(selected.first()->text());
    presenter_->fileChosen(typedText(etiName_->text()));
}

void frmLoad::previewChosenFile() {
    const QImage picture = readPicture(fullPath(), kind_);
    if (picture.isNull())
        PicTest_->clear();
    else
        PicTest_->setPixmap(QPixmap::fromImage(picture));
}

QString frmLoad::fullPath() const {
    return joinFolder(etiRep_->text(), etiName_->text());
}

void frmLoad::accept() {
    presenter_->ok();
}

// Cancel, Escape and the frame.
void frmLoad::reject() {
    presenter_->cancel();
}

} // namespace kelbo
