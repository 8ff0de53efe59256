#include "app/Interface.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <functional>
#include <map>

#include "app/ProjectListModel.h"
#include "app/QtText.h"
#include "app/Twips.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/frmLanguages.h"
#include "dialogs/frmLoad.h"
#include "dialogs/frmManifest.h"
#include "dialogs/frmString.h"
#include "dialogs/frmVersion.h"
#include "help/frmAbout.h"
#include "help/frmHelp.h"
#include "platform/Platform.h"
#include "rescompiler/frmCompile.h"
#include "shell/Layout.h"

// Resources of a static library have to be registered by hand, outside any namespace.
static void registerKelboResources() {
    Q_INIT_RESOURCE(kelbo);
}

namespace kelbo {

namespace {

// List k, the list of tab k, is also the list of kind k: the tabs follow the kinds' order.
static_assert([] {
    const auto& kinds = shell::MainPresenter::kTabKinds;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        if (static_cast<std::size_t>(kinds[i]) != i)
            return false;
    return true;
}());

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

QRect twipsRect(const Twips& tw, std::string_view control) {
    const shell::Rect r = shell::mainWindowSpec().find(control)->twips;
    return tw.rect(r.left, r.top, r.width, r.height);
}

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
    : QMainWindow(parent), platform_(platform),
      presenter_(platform_, std::move(exeDir), std::move(recentFilesPath)) {
    registerKelboResources();
    setObjectName("Interface");
    setWindowIcon(QIcon(":/kelbo/kelbo.png"));
    buildControls();
    buildMenus();
    presenter_.attach(*this);
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
    const shell::WindowSpec& spec = shell::mainWindowSpec();
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(tw.size(spec.clientWidth, spec.clientHeight));
    setCentralWidget(client);

    // The rules are one pixel high whatever the resolution.
    const auto rule = [&](const char* name, const QColor& colour) {
        QFrame* line = ruleLine(client, name, colour);
        const QRect r = twipsRect(tw, name);
        line->setGeometry(r.x(), r.y(), r.width(), 1);
        return line;
    };
    Line1 = rule("Line1", QColor(128, 128, 128));
    Line2 = rule("Line2", Qt::white);

    // TabStrip1 covers its rectangle: the tabs on top, the page below them.
    const QRect strip = twipsRect(tw, "TabStrip1");
    auto* page = new TabPage(client);
    page->setObjectName("TabStrip1Page");
    TabStrip1 = new QTabBar(client);
    TabStrip1->setObjectName("TabStrip1");
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);
    TabStrip1->setUsesScrollButtons(false);
    for (ResourceKind kind : shell::MainPresenter::tabKinds()) {
        const int tab = TabStrip1->addTab(toQt(kindName(kind)));
        TabStrip1->setTabToolTip(tab, toQt(shell::tabToolTip(kindIndex(kind))));
    }
    const int tabHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(strip.x(), strip.y(), strip.width(), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, TabStrip1);
    page->setGeometry(strip.x(), strip.y() + tabHeight - overlap, strip.width(),
                      strip.height() - tabHeight + overlap);
    page->lower();
    connect(TabStrip1, &QTabBar::currentChanged, this,
            [this](int index) { presenter_.tabChosen(index); });

    // The control array List: element k is named "List" followed by k and shows kind k, the
    // kind of tab k.
    for (ResourceKind kind : shell::MainPresenter::tabKinds()) {
        const int k = kindIndex(kind);
        models_[k] = new ProjectListModel(this);
        auto* view = new QListView(client);
        const QString name = QStringLiteral("List%1").arg(k);
        view->setObjectName(name);
        view->setProperty("index", k);
        // Uniform rows let the view lay out tens of thousands of lines without measuring each.
        view->setUniformItemSizes(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setModel(models_[k]);
        // A row's text can be longer than the box; it is cut, as a list box does, not elided.
        view->setTextElideMode(Qt::ElideNone);
        view->setGeometry(twipsRect(tw, name.toStdString()));
        view->setVisible(k == 0);
        List[k] = view;
    }

    const auto button = [&](const char* name) {
        auto* b = new QPushButton(toQt(spec.find(name)->caption), client);
        b->setObjectName(name);
        b->setGeometry(twipsRect(tw, name));
        // Outside a dialog a push button takes Enter only when told to: the focused one does.
        b->setAutoDefault(true);
        return b;
    };
    cmdAdd = button("cmdAdd");
    cmdModify = button("cmdModify");
    cmdDelete = button("cmdDelete");
    connect(cmdAdd, &QPushButton::clicked, this, [this] { presenter_.addClicked(); });
    connect(cmdModify, &QPushButton::clicked, this, [this] { presenter_.modifyClicked(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { presenter_.deleteClicked(); });

    // The language on show: one click on the drop-down switches every list.
    lblLanguage = new QLabel(toQt(spec.find("lblLanguage")->caption), client);
    lblLanguage->setObjectName("lblLanguage");
    lblLanguage->setGeometry(twipsRect(tw, "lblLanguage"));
    cboLanguage = new QComboBox(client);
    cboLanguage->setObjectName("cboLanguage");
    cboLanguage->setGeometry(twipsRect(tw, "cboLanguage"));
    lblLanguage->setBuddy(cboLanguage);
    connect(cboLanguage, &QComboBox::activated, this,
            [this](int index) { presenter_.languageChosen(index); });

    // Keyboard order: the three buttons, then the lists, then the tabs, then the language.
    setTabOrder(cmdAdd, cmdModify);
    setTabOrder(cmdModify, cmdDelete);
    QWidget* previous = cmdDelete;
    for (QListView* view : List) {
        setTabOrder(previous, view);
        previous = view;
    }
    setTabOrder(previous, TabStrip1);
    setTabOrder(TabStrip1, cboLanguage);
}

void Interface::buildMenus() {
    const std::map<std::string_view, std::function<void()>> commands = {
        {"mnuNewKBP", [this] { presenter_.newClicked(); }},
        {"mnuOpenKBP", [this] { presenter_.openClicked(); }},
        {"mnuSaveKBP", [this] { presenter_.saveClicked(); }},
        {"mnuSaveAs", [this] { presenter_.saveAsClicked(); }},
        {"mnuImportRES", [this] { presenter_.importResClicked(); }},
        {"mnuExportRC", [this] { presenter_.exportRcClicked(); }},
        {"mnuPrint", [this] { presenter_.printClicked(); }},
        // The frame and Exit end alike, through closeEvent.
        {"mnuExit", [this] { close(); }},
        {"mnuManifest", [this] { presenter_.manifestClicked(); }},
        {"mnuVersion", [this] { presenter_.versionClicked(); }},
        {"mnuLanguages", [this] { presenter_.languagesClicked(); }},
        {"mnuCompile16", [this] { presenter_.compileClicked(16); }},
        {"mnuCompile32", [this] { presenter_.compileClicked(32); }},
        {"mnuHelp", [this] { presenter_.helpClicked(); }},
        {"mnuAbout", [this] { presenter_.aboutClicked(); }},
    };
    int recent = 0;
    for (const shell::MenuSpec& spec : shell::mainMenus()) {
        QMenu* menu = menuBar()->addMenu(toQt(spec.caption));
        menu->setObjectName(toQt(spec.name));
        menu->menuAction()->setObjectName(toQt(spec.name));
        for (const shell::MenuItemSpec& item : spec.items) {
            QAction* action =
                item.separator ? menu->addSeparator() : menu->addAction(toQt(item.caption));
            action->setObjectName(toQt(item.name));
            action->setVisible(!item.hidden);
            if (item.name == "mnulastBar")
                mnulastBar = action;
            if (item.hidden && !item.separator && recent < kMaxRecentFiles) {
                const int number = ++recent;
                recentItems_[number - 1] = action;
                connect(action, &QAction::triggered, this,
                        [this, number] { presenter_.recentFileClicked(number); });
            } else if (auto command = commands.find(item.name); command != commands.end()) {
                connect(action, &QAction::triggered, this, command->second);
            }
        }
    }
}

QString Interface::commandLinePath(const QStringList& arguments) {
    // The rule only looks at blanks and quotes, so it reads UTF-8 as well as the code page.
    std::vector<std::string> utf8;
    for (const QString& argument : arguments)
        utf8.push_back(argument.toStdString());
    return QString::fromStdString(shell::commandLinePath(utf8));
}

void Interface::startUp(const QString& commandLine) {
    centreWindow(*this);
    TabStrip1->setCurrentIndex(0);
    presenter_.startUp(fromQt(commandLine));
}

void Interface::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

QListView* Interface::list(ResourceKind kind) const {
    const int k = kindIndex(kind);
    return k >= 0 && k < kTabCount ? List[k] : nullptr;
}

int Interface::selectedIndex(ResourceKind kind) const {
    const QListView* view = list(kind);
    if (!view)
        return -1;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void Interface::showTab(ResourceKind kind) {
    const int n = kindIndex(kind);
    if (n < 0 || n >= kTabCount)
        return;
    for (int k = 0; k < kTabCount; ++k)
        List[k]->setVisible(k == n);
}

void Interface::showList(ResourceKind kind, const std::vector<std::string>& lines, int select) {
    const int k = kindIndex(kind);
    if (k < 0 || k >= kTabCount)
        return;
    models_[k]->show(lines);
    if (select >= 0 && select < models_[k]->rowCount()) {
        const QModelIndex row = models_[k]->index(select);
        List[k]->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    }
}

void Interface::showRecentFiles(const std::vector<std::string>& captions) {
    mnulastBar->setVisible(!captions.empty());
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        const bool shown = i < static_cast<int>(captions.size());
        recentItems_[i]->setVisible(shown);
        if (!shown)
            continue;
        // The "&" of the number is the access key; any "&" in the path is shown as itself.
        const QString caption = toQt(captions[i]);
        recentItems_[i]->setText(caption.left(3) + caption.mid(3).replace(QLatin1Char('&'), "&&"));
    }
}

void Interface::showLanguages(const std::vector<std::string>& captions, int current) {
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->clear();
    for (const std::string& caption : captions)
        cboLanguage->addItem(toQt(caption));
    cboLanguage->setCurrentIndex(current);
}

void Interface::runStringItemDialog(shell::StringItemPresenter& presenter) {
    frmString dialog(presenter, this);
    dialog.exec();
}

void Interface::runFileItemDialog(shell::FileItemPresenter& presenter) {
    frmLoad dialog(presenter, this);
    dialog.exec();
}

void Interface::runManifestDialog(shell::ManifestPresenter& presenter) {
    frmManifest dialog(presenter, this);
    dialog.exec();
}

void Interface::runVersionDialog(shell::VersionPresenter& presenter) {
    frmVersion dialog(presenter, this);
    dialog.exec();
}

void Interface::runLanguagesDialog(shell::LanguagesPresenter& presenter) {
    frmLanguages dialog(presenter, this);
    dialog.exec();
}

void Interface::runHelp(shell::HelpPresenter& presenter) {
    frmHelp help(presenter, this);
    help.exec();
}

void Interface::runAbout(shell::AboutPresenter& presenter) {
    frmAbout about(presenter, windowIcon(), this);
    about.exec();
}

shell::CompileLogPresenter& Interface::openCompileLog() {
    if (!compile_)
        compile_ = new frmCompile(this);
    compile_->show();
    compile_->raise();
    return compile_->presenter();
}

void Interface::closeCompileLog() {
    if (compile_)
        compile_->close();
}

void Interface::endProgram() {
    emit exitRequested();
}

void Interface::closeEvent(QCloseEvent* event) {
    presenter_.exitClicked();
    event->accept();
}

} // namespace kelbo
