#include "app/Interface.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "app/PrintListing.h"
#include "app/ProjectListModel.h"
#include "app/QtText.h"
#include "app/Twips.h"
#include "dialogs/ShowError.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmString.h"
#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "messages/Captions.h"
#include "messages/ErrorCodes.h"
#include "platform/PathRules.h"
#include "platform/Platform.h"
#include "project/Listing.h"
#include "projectfile/ProjectCommands.h"
#include "projectfile/RecentFiles.h"
#include "rescompiler/IdentifierCheck.h"
#include "rescompiler/ResCompiler.h"
#include "rescompiler/frmCompile.h"

// Resources of a static library have to be registered by hand, outside any namespace.
static void registerKelboResources() {
    Q_INIT_RESOURCE(kelbo);
}

namespace kelbo {

namespace {

const QString kProjectFilter = QStringLiteral("Resource Project (KBP) (*.KBP *.kbp)");
const QString kResFilter = QStringLiteral("Res-File (RES) (*.RES *.res)");

// The page of the tab strip: the frame a tab widget draws under its tabs.
class TabPage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
    }
};

// The busy pointer for as long as a compilation runs, whichever way it ends.
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform) : platform_(platform) { platform_.setBusy(true); }
    ~BusyPointer() { platform_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Platform& platform_;
};

QFrame* ruleLine(QWidget* parent, const char* name, const QColor& colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

} // namespace

Interface::Interface(Platform& platform, std::string exeDir, std::string recentFilesPath,
                     QWidget* parent)
    : QMainWindow(parent), platform_(platform), recentFilesPath_(std::move(recentFilesPath)) {
    registerKelboResources();
    session_.ExeDir = std::move(exeDir);
    setObjectName("Interface");
    setWindowIcon(QIcon(":/kelbo/kelbo.png"));
    buildControls();
    buildMenus();
    // A single fixed border: the window keeps the size of its client area plus the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    // A fixed border has nothing to maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

Interface::~Interface() = default;

frmCompile* Interface::compileWindow() const {
    return compile_.data();
}

void Interface::buildControls() {
    const Twips tw = Twips::forScreen(screen());
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(tw.size(6255, 5370));
    setCentralWidget(client);

    Line1 = ruleLine(client, "Line1", QColor(128, 128, 128));
    Line1->setGeometry(0, tw.px(0), tw.px(6720), 1);
    Line2 = ruleLine(client, "Line2", Qt::white);
    Line2->setGeometry(0, tw.px(15), tw.px(6720), 1);

    // TabStrip1 covers left 120, top 120, 6015 x 5055: the tabs on top, the page below them.
    const QRect strip = tw.rect(120, 120, 6015, 5055);
    auto* page = new TabPage(client);
    page->setObjectName("TabStrip1Page");
    TabStrip1 = new QTabBar(client);
    TabStrip1->setObjectName("TabStrip1");
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);
    TabStrip1->setUsesScrollButtons(false);
    const std::array<const char*, kOriginalKindCount> tips = {"Bitmap resource", "Icon resource",
                                                              "String resource", "Wave resource"};
    for (ResourceKind kind : kOriginalKinds) {
        const int tab = TabStrip1->addTab(toQt(kindName(kind)));
        TabStrip1->setTabToolTip(tab, tips[kindIndex(kind)]);
    }
    const int tabHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(strip.x(), strip.y(), strip.width(), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, TabStrip1);
    page->setGeometry(strip.x(), strip.y() + tabHeight - overlap, strip.width(),
                      strip.height() - tabHeight + overlap);
    page->lower();
    connect(TabStrip1, &QTabBar::currentChanged, this, &Interface::TabStrip1_Click);

    // The control array List: element k is named "List" followed by k and shows kind k.
    for (ResourceKind kind : kOriginalKinds) {
        const int k = kindIndex(kind);
        models_[k] = new ProjectListModel(session_.project, kind, this);
        auto* view = new QListView(client);
        view->setObjectName(QStringLiteral("List%1").arg(k));
        view->setProperty("index", k);
        // Uniform rows let the view lay out tens of thousands of lines without measuring each.
        view->setUniformItemSizes(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setModel(models_[k]);
        // A row's text can be longer than the box; it is cut, as a list box does, not elided.
        view->setTextElideMode(Qt::ElideNone);
        view->setGeometry(tw.rect(240, 600, 4695, 4350));
        view->setVisible(k == 0);
        List[k] = view;
    }

    const auto button = [&](const char* name, const char* caption, int top) {
        auto* b = new QPushButton(caption, client);
        b->setObjectName(name);
        b->setGeometry(tw.rect(5100, top, 855, 375));
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = button("cmdAdd", "Add", 840);
    cmdModify = button("cmdModify", "Modify", 1320);
    cmdDelete = button("cmdDelete", "Delete", 1800);
    connect(cmdAdd, &QPushButton::clicked, this, &Interface::cmdAdd_Click);
    connect(cmdModify, &QPushButton::clicked, this, &Interface::cmdModify_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &Interface::cmdDelete_Click);

    // Keyboard order: the three buttons, then the lists, then the tabs.
    setTabOrder(cmdAdd, cmdModify);
    setTabOrder(cmdModify, cmdDelete);
    QWidget* previous = cmdDelete;
    for (QListView* view : List) {
        setTabOrder(previous, view);
        previous = view;
    }
    setTabOrder(previous, TabStrip1);
}

QAction* Interface::addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* Interface::addSeparator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

void Interface::buildMenus() {
    const auto topMenu = [&](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };

    QMenu* mfi = topMenu("mfi", "&File");
    connect(addItem(mfi, "mnuNewKBP", "&New KBP"), &QAction::triggered, this,
            &Interface::mnuNewKBP_Click);
    addSeparator(mfi, "bf0");
    connect(addItem(mfi, "mnuOpenKBP", "&Open KBP-File"), &QAction::triggered, this,
            &Interface::mnuOpenKBP_Click);
    connect(addItem(mfi, "mnuSaveKBP", "&Save "), &QAction::triggered, this,
            &Interface::mnuSaveKBP_Click);
    connect(addItem(mfi, "mnuSaveAs", "Save &As..."), &QAction::triggered, this,
            [this] { mnuSaveAs_Click(); });
    addSeparator(mfi, "bf1");
    connect(addItem(mfi, "mnuPrint", "&Print"), &QAction::triggered, this,
            &Interface::mnuPrint_Click);
    addSeparator(mfi, "bf2");
    connect(addItem(mfi, "mnuExit", "&Exit"), &QAction::triggered, this, &Interface::mnuExit_Click);
    mnulastBar = addSeparator(mfi, "mnulastBar");
    mnulastBar->setVisible(false);
    const std::array<const char*, 5> recentNames = {"mnuFile1", "mnufile2", "mnufile3", "mnufile4",
                                                    "mnufile5"};
    for (int i = 0; i < 5; ++i) {
        recentItems_[i] = addItem(mfi, recentNames[i], QString());
        recentItems_[i]->setVisible(false);
        connect(recentItems_[i], &QAction::triggered, this, [this, i] { mnuFile_Click(i + 1); });
    }

    QMenu* mco = topMenu("mco", "&Compile");
    connect(addItem(mco, "mnuCompile16", "Compile in &16 bits-Mode"), &QAction::triggered, this,
            [this] { compileCommand(16); });
    connect(addItem(mco, "mnuCompile32", "Compile in &32 bits-Mode"), &QAction::triggered, this,
            [this] { compileCommand(32); });

    QMenu* mnuAide = topMenu("mnuAide", "&Help");
    connect(addItem(mnuAide, "mnuHelp", "&Help"), &QAction::triggered, this,
            &Interface::mnuHelp_Click);
    addSeparator(mnuAide, "ba0");
    connect(addItem(mnuAide, "mnuAbout", "&About"), &QAction::triggered, this,
            &Interface::mnuAbout_Click);
}

QString Interface::commandLinePath(const QStringList& arguments) {
    QString text = arguments.mid(1).join(QLatin1Char(' '));
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    return text;
}

void Interface::startUp(const QString& commandLine) {
    centreWindow(*this);
    TabStrip1->setCurrentIndex(0);
    ChangeTab(0);
    ShowRecentFiles();
    session_.ProjectChanged = false;
    setCaption(kStartCaption);
    if (commandLine.isEmpty())
        return;
    if (std::optional<std::string> path = fromQt(commandLine)) {
        DirectLoad(*path);
        return;
    }
    // A path the project's code page cannot spell names no project this program can keep.
    session_.ProjectPath.clear();
    setCaption(kInvalidFileCaption);
    ShowError(platform_, this, kInvalidProjectFile);
}

void Interface::setCaption(std::string_view caption) {
    setWindowTitle(toQt(caption));
}

int Interface::selectedIndex(ResourceKind kind) const {
    const QModelIndexList rows = List[kindIndex(kind)]->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void Interface::reloadList(ResourceKind kind, int keepSelection) {
    const int k = kindIndex(kind);
    models_[k]->reload();
    if (keepSelection >= 0 && keepSelection < models_[k]->rowCount()) {
        const QModelIndex row = models_[k]->index(keepSelection);
        List[k]->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    }
}

void Interface::reloadAllLists() {
    for (ResourceKind kind : kOriginalKinds)
        reloadList(kind, -1);
}

void Interface::ChangeTab(int n) {
    if (n < 0 || n >= kOriginalKindCount)
        return;
    session_.CurrentKind = static_cast<ResourceKind>(n);
    for (int k = 0; k < kOriginalKindCount; ++k)
        List[k]->setVisible(k == n);
}

void Interface::TabStrip1_Click(int index) {
    if (index >= 0)
        ChangeTab(index);
}

void Interface::cmdAdd_Click() {
    session_.EditedLine.clear();
    openItemDialog(selectedIndex(session_.CurrentKind));
}

void Interface::cmdModify_Click() {
    const int selected = selectedIndex(session_.CurrentKind);
    if (selected < 0) {
        ShowError(platform_, this, kNoItemSelected);
        return;
    }
    session_.EditedLine = session_.project.line(session_.CurrentKind, selected);
    openItemDialog(selected);
}

void Interface::openItemDialog(int selected) {
    const ResourceKind kind = session_.CurrentKind;
    if (kind == ResourceKind::String) {
        frmString dialog(session_, platform_, selected, this);
        dialog.exec();
    } else {
        frmLoad dialog(session_, platform_, selected, this);
        dialog.exec();
    }
    reloadList(kind, selected);
}

void Interface::cmdDelete_Click() {
    const ResourceKind kind = session_.CurrentKind;
    const int selected = selectedIndex(kind);
    if (selected < 0)
        return;
    session_.removeItem(kind, selected);
    reloadList(kind, -1);
}

void Interface::guardUnsavedChanges() {
    if (!session_.ProjectChanged)
        return;
    const Platform::BoxAnswer answer = platform_.messageBox(
        this, QStringLiteral("File has changed\r\nSave-it ?"), QStringLiteral("WARNING"),
        Platform::BoxIcon::Exclamation, Platform::BoxButtons::OkCancel);
    if (answer == Platform::BoxAnswer::Ok)
        mnuSaveKBP_Click();
}

void Interface::mnuNewKBP_Click() {
    guardUnsavedChanges();
    newProject(session_);
    reloadAllLists();
    setCaption(kNewCaption);
}

std::optional<std::string> Interface::toProjectText(const QString& path) {
    if (std::optional<std::string> text = fromQt(path))
        return text;
    platform_.messageBox(this,
                         QStringLiteral("This file name holds characters a project cannot "
                                        "store:\r\n") +
                             path,
                         QStringLiteral("ERROR"), Platform::BoxIcon::Stop,
                         Platform::BoxButtons::Ok);
    return std::nullopt;
}

std::optional<std::string> Interface::askProjectFile(bool save) {
    prepareProjectDialog(session_);
    Platform::FileDialogSpec spec;
    spec.save = save;
    spec.initialDir = toQt(folderForBrowsing(session_.ProjectDir));
    spec.initialFile = dialogFileName_;
    spec.filter = kProjectFilter;
    spec.defaultSuffix = QStringLiteral("KBP");
    spec.confirmOverwrite = save;
    const std::optional<QString> chosen = platform_.fileDialog(this, spec);
    if (!chosen)
        return std::nullopt;
    dialogFileName_ = *chosen;
    return toProjectText(*chosen);
}

void Interface::mnuOpenKBP_Click() {
    // Opening another project drops the current one, so unsaved work is offered for saving.
    guardUnsavedChanges();
    const std::optional<std::string> path = askProjectFile(false);
    if (!path)
        return;
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    LoadRC(session_.ProjectPath);
    session_.ProjectChanged = false;
}

bool Interface::mnuSaveAs_Click() {
    const std::optional<std::string> path = askProjectFile(true);
    if (!path)
        return false;
    // A file that could not be written does not become the project's file.
    const std::string formerPath = session_.ProjectPath;
    const std::string formerDir = session_.ProjectDir;
    const QString formerCaption = windowTitle();
    takeProjectPath(session_, *path);
    setCaption(session_.ProjectPath);
    if (!SaveRC(session_.ProjectPath)) {
        session_.ProjectPath = formerPath;
        session_.ProjectDir = formerDir;
        setWindowTitle(formerCaption);
        return false;
    }
    session_.ProjectChanged = false;
    return true;
}

void Interface::mnuSaveKBP_Click() {
    if (session_.ProjectPath.empty())
        mnuSaveAs_Click();
    if (session_.ProjectPath.empty())
        return;
    if (SaveRC(session_.ProjectPath))
        session_.ProjectChanged = false;
}

bool Interface::SaveRC(const std::string& f) {
    std::string error;
    if (kelbo::SaveRC(session_, f, recentFilesPath_, error))
        return true;
    QString text = QStringLiteral("The project was not saved.");
    const QString path = toQt(f);
    const QString reason = toQt(error);
    if (!reason.contains(path))
        text += QStringLiteral("\r\n") + path;
    text += QStringLiteral("\r\n") + reason;
    platform_.messageBox(this, text, QStringLiteral("ERROR"), Platform::BoxIcon::Stop,
                         Platform::BoxButtons::Ok);
    return false;
}

bool Interface::LoadRC(const std::string& path) {
    if (kelbo::LoadRC(session_, path)) {
        reloadAllLists();
        return true;
    }
    setCaption(kInvalidFileCaption);
    ShowError(platform_, this, kInvalidProjectFile);
    return false;
}

void Interface::DirectLoad(const std::string& path) {
    switch (kelbo::DirectLoad(session_, path)) {
    case LoadOutcome::NothingToLoad:
        return;
    case LoadOutcome::Loaded:
        setCaption(session_.ProjectPath);
        reloadAllLists();
        return;
    case LoadOutcome::Invalid:
        setCaption(kInvalidFileCaption);
        reloadAllLists();
        ShowError(platform_, this, kInvalidProjectFile);
        return;
    }
}

void Interface::ShowRecentFiles() {
    const std::vector<std::string> paths = readRecentFiles(recentFilesPath_);
    if (paths.empty())
        return;
    mnulastBar->setVisible(true);
    const int count = std::min<int>(static_cast<int>(paths.size()), kMaxRecentFiles);
    for (int i = 0; i < count; ++i) {
        recentCaptions_[i] = recentItemCaption(i + 1, paths[i]);
        // The "&" of the number is the access key; any "&" in the path is shown as itself.
        const QString caption = toQt(recentCaptions_[i]);
        QString shown = caption.left(3) + caption.mid(3).replace(QLatin1Char('&'), "&&");
        recentItems_[i]->setText(shown);
        recentItems_[i]->setVisible(true);
    }
}

void Interface::mnuFile_Click(int number) {
    guardUnsavedChanges();
    DirectLoad(pathFromRecentCaption(recentCaptions_[number - 1]));
}

std::vector<std::string> Interface::PrintList(int nu) const {
    if (nu < 0 || nu >= kOriginalKindCount)
        return {};
    return kelbo::PrintList(session_.project, static_cast<ResourceKind>(nu));
}

void Interface::mnuPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    // Cancel means no printout.
    if (!platform_.printDialog(this, printer))
        return;
    const QDate today = QDate::currentDate();
    const std::vector<std::string> lines =
        listingLines(session_.project, session_.ProjectPath,
                     listingDate(today.year(), today.month(), today.day()));
    QString error;
    if (!printListing(printer, lines, error))
        platform_.messageBox(this, QStringLiteral("The listing was not printed.\r\n") + error,
                             QStringLiteral("ERROR"), Platform::BoxIcon::Stop,
                             Platform::BoxButtons::Ok);
}

void Interface::mnuExit_Click() {
    close();
}

void Interface::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        guardUnsavedChanges();
    }
    // The end is immediate, whatever else is open.
    if (compile_)
        compile_->close();
    event->accept();
    emit exitRequested();
}

void Interface::compileCommand(int bits) {
    if (CountItems(session_.project) == 0) {
        ShowError(platform_, this, kNothingToCompile);
        return;
    }
    session_.CompileBits = static_cast<std::int16_t>(bits);
    GetNameRes();
    if (session_.ResFileName.empty())
        return;
    Compile();
}

void Interface::GetNameRes() {
    prepareResDialog(session_);
    Platform::FileDialogSpec spec;
    spec.save = true;
    spec.title = toQt(resDialogTitle(session_.CompileBits));
    spec.initialDir = toQt(folderForBrowsing(session_.ResDir));
    spec.filter = kResFilter;
    spec.defaultSuffix = QStringLiteral("res");
    spec.confirmOverwrite = true;
    const std::optional<QString> chosen = platform_.fileDialog(this, spec);
    if (!chosen)
        return;
    const std::optional<std::string> path = toProjectText(*chosen);
    if (!path)
        return;
    takeResFile(session_, *path);
}

void Interface::Compile() {
    BusyPointer busy(platform_);
    if (!compile_)
        compile_ = new frmCompile(this);
    compile_->show();
    compile_->raise();
    CompileLog& log = compile_->log();
    bool ok = CheckIdentifiers(session_.project, log) == 0;
    // The check's outcome is on screen while the writer runs.
    compile_->showLog();
    if (ok) {
        ok = session_.CompileBits == 16 ? Compile16(session_.project, session_.ResFileName, log)
                                        : Compile32(session_.project, session_.ResFileName, log);
        compile_->showLog();
    }
    if (!ok)
        platform_.beep();
}

void Interface::mnuHelp_Click() {
    frmHelp help(platform_, this);
    help.exec();
}

void Interface::mnuAbout_Click() {
    frmAbout about(windowIcon(), this);
    about.exec();
}

} // namespace kelbo
