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
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QValidator>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/DirList.h"
#include "dialogs/DriveList.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Platform.h"
#include "shell/Preview.h"

namespace kelbo {

namespace {

QString joinFolder(const QString& folder, const QString& name) {
    const QChar separator = QLatin1Char(separatorOf(nativePathStyle()));
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

// The bytes of a regular file worth previewing. The file layer opens without waiting, so a
// FIFO under a picture's name is refused rather than waited on.
std::optional<QByteArray> previewBytes(const QString& path) {
    std::string error;
    std::unique_ptr<InputFile> in = nativeFileSystem().openInput(fromQt(path), error);
    if (!in || in->size() == 0 || in->size() > shell::kMaxPreviewBytes)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(in->size()), Qt::Uninitialized);
    if (!in->readAt(0, bytes.data(), static_cast<std::size_t>(bytes.size())))
        return std::nullopt;
    return bytes;
}

// A cursor's first image with a small cross on its hot spot, red on a white outline so that it
// shows on light and dark pixels alike. A transparent margin keeps the whole cross in view when
// the hot spot lies on the image's edge, as an arrow's tip usually does.
QImage markHotSpot(const QImage& image, const shell::CursorImage& cursor) {
    if (image.isNull())
        return image;
    constexpr int arm = 3;
    constexpr int margin = arm + 1;
    QImage marked(image.width() + 2 * margin, image.height() + 2 * margin, QImage::Format_ARGB32);
    marked.fill(Qt::transparent);
    const QPoint at(margin + qBound(0, cursor.hotX, image.width() - 1),
                    margin + qBound(0, cursor.hotY, image.height() - 1));
    QPainter painter(&marked);
    painter.drawImage(margin, margin, image);
    painter.fillRect(at.x() - arm - 1, at.y() - 1, 2 * arm + 3, 3, Qt::white);
    painter.fillRect(at.x() - 1, at.y() - arm - 1, 3, 2 * arm + 3, Qt::white);
    painter.fillRect(at.x() - arm, at.y(), 2 * arm + 1, 1, Qt::red);
    painter.fillRect(at.x(), at.y() - arm, 1, 2 * arm + 1, Qt::red);
    painter.end();
    return marked;
}

// The picture of a .BMP, .ICO or .CUR file: an icon file shows its 32 x 32 image when it has one,
// a cursor file its first image with the hot spot marked. Damaged files, and names that are no
// regular files (a FIFO would block), show nothing.
QImage readPicture(const QString& path, ResourceKind kind) {
    if (kind == ResourceKind::Data || kind == ResourceKind::Wave)
        return {};
    std::optional<QByteArray> read = previewBytes(path);
    if (!read)
        return {};
    QByteArray& bytes = *read;
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!shell::worthPreviewing(view, kind))
        return {};
    const std::optional<shell::CursorImage> cursor =
        kind == ResourceKind::Cursor ? shell::firstCursorImage(view) : std::nullopt;
    if (kind == ResourceKind::Cursor && !cursor)
        return {};

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Qt's icon reader takes cursor files too, under the name "cur".
    QImageReader reader(&buffer, kind == ResourceKind::Cursor
                                     ? QByteArray("cur")
                                     : QFileInfo(path).suffix().toLatin1());
    reader.setDecideFormatFromContent(true);
    if (cursor)
        return markHotSpot(reader.read(), *cursor);
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

std::string frmLoad::identifier() const {
    return fromQt(Text1_->text());
}

void frmLoad::showPlayButton(bool play) {
    play_ = play;
    placeSideControls();
}

void frmLoad::showDataFields(bool data) {
    data_ = data;
    placeSideControls();
}

void frmLoad::placeSideControls() {
    cmdPlay_->setVisible(play_);
    PicTest_->setVisible(!play_ && !data_);
    Label4_->setVisible(data_);
    txtType_->setVisible(data_);
    etiSize_->setVisible(data_);
}

void frmLoad::setType(const std::string& type) {
    txtType_->setText(toQt(type));
}

std::string frmLoad::type() const {
    return fromQt(txtType_->text());
}

void frmLoad::setFileSize(const std::string& text) {
    etiSize_->setText(toQt(text));
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
    Text1_->setValidator(new OneLineValidator(Text1_));
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

    Label4_ = new QLabel(toQt(spec.find("Label4")->caption), this);
    Label4_->setObjectName(QStringLiteral("Label4"));
    placeTwips(Label4_, spec);

    txtType_ = new QLineEdit(this);
    txtType_->setObjectName(QStringLiteral("txtType"));
    txtType_->setValidator(new OneLineValidator(txtType_));
    placeTwips(txtType_, spec);

    etiSize_ = dataLabel("etiSize");
    etiSize_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    etiSize_->setWordWrap(true);
    placeTwips(etiSize_, spec);
    placeSideControls();

    setTabOrder(File1_, Drive1_);
    setTabOrder(Drive1_, Dir1_);
    setTabOrder(Dir1_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdPlay_);
    setTabOrder(cmdPlay_, Text1_);
    setTabOrder(Text1_, txtType_);

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
    presenter_->folderShown(fromQt(folder));
}

void frmLoad::fileSelected() {
    const QList<QListWidgetItem*> selected = File1_->selectedItems();
    if (selected.isEmpty())
        return;
    etiName_->setText(selected.first()->text());
    presenter_->fileChosen(fromQt(etiName_->text()));
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
