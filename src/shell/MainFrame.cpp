#include "MainFrame.h"

#include "AboutDlg.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "HelpWindow.h"
#include "NativePath.h"
#include "OrventApp.h"
#include "Printing.h"
#include "QtPlatform.h"
#include "RunWindow.h"
#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "platform/StringTable.h"
#include "views/GraphView.h"
#include "views/ListView.h"
#include "views/ViewWindows.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {
const char* const kFrameTitle = "Kintra, The Analog Simulator";
const char* const kBarPrefix = "General";
// The run window repaints at most this often, so that painting does not slow a long run.
constexpr qint64 kRunPaintInterval = 30;

QString Prompt(int id) {
    return QString::fromStdString(kintra::CommandPrompt(id));
}
QString Tip(int id) {
    return QString::fromStdString(kintra::CommandTip(id));
}

Qt::ToolBarArea AreaOfDock(int dockId) {
    switch (dockId) {
    case kDockLeftId:
        return Qt::LeftToolBarArea;
    case kDockRightId:
        return Qt::RightToolBarArea;
    case kDockBottomId:
        return Qt::BottomToolBarArea;
    default:
        return Qt::TopToolBarArea;
    }
}

int DockOfArea(Qt::ToolBarArea area) {
    switch (area) {
    case Qt::LeftToolBarArea:
        return kDockLeftId;
    case Qt::RightToolBarArea:
        return kDockRightId;
    case Qt::BottomToolBarArea:
        return kDockBottomId;
    default:
        return kDockTopId;
    }
}

// The key-state lights as the kernel shows them, where it does.
bool ReadLed(const char* suffix) {
    const QDir leds(QStringLiteral("/sys/class/leds"));
    for (const QString& name : leds.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!name.endsWith(QLatin1String(suffix))) continue;
        QFile f(leds.filePath(name) + QStringLiteral("/brightness"));
        if (f.open(QIODevice::ReadOnly)) return f.readAll().trimmed() != "0";
    }
    return false;
}
} // namespace

const std::vector<PaletteInfo>& Palettes() {
    static const std::vector<PaletteInfo> bars = {
        {"Main",
         kMainBarId,
         2,
         {57600, 57601, 57602, 57603, 0, 57635, 57634, 57637, 0, 57607, 57609, 57664, 57669}},
        {"Math", ID_BAR_MATH, 4, {32796, 32797, 32798, 32799, 32801, 32802, 32800}},
        {"Time", ID_BAR_TIME, 5, {32792, 32794, 32795}},
        {"Transcendental", ID_BAR_TRANSCENDENTAL, 6, {32819, 32818, 32822, 32821, 32820, 32823, 32824}},
        // Terminate Run joins Run and Initialize so that a run can be stopped from the palette.
        {"Display", ID_BAR_DISPLAY, 3, {32832, 32831, 32830, 32816, 32861, 32829, 32865, 32863}},
        {"Logic", ID_BAR_LOGIC, 8, {32834, 32835, 32836, 32837, 32838, 32839}},
        {"Generators", ID_BAR_GENERATORS, 9, {32840, 32841, 32858, 32842, 32843, 32859}},
        {"Non-Linear",
         ID_BAR_NONLINEAR,
         10,
         {32844, 32845, 32846, 32847, 32848, 32849, 32850, 32851, 32852, 32853, 32854}},
        {"Miscellaneous", ID_BAR_MISC, 7, {32855, 32856, ID_UNUSED_BUTTON}},
    };
    return bars;
}

std::vector<BarSpec> DefaultArrangementOrder() {
    std::vector<BarSpec> out;
    const int order[] = {kMainBarId,        ID_BAR_DISPLAY,        ID_BAR_TIME,
                         ID_BAR_MATH,       ID_BAR_TRANSCENDENTAL, ID_BAR_LOGIC,
                         ID_BAR_GENERATORS, ID_BAR_NONLINEAR,      ID_BAR_MISC};
    for (int id : order) {
        for (const PaletteInfo& p : Palettes()) {
            if (p.id != id) continue;
            const int separators = static_cast<int>(std::count(p.buttons.begin(), p.buttons.end(), 0));
            out.push_back(
                {p.id, p.sectionIndex, static_cast<int>(p.buttons.size()) - separators, separators});
        }
    }
    return out;
}

// ---- Creation ---------------------------------------------------------------------------------

CMainFrame::CMainFrame(COrventApp& app) : m_app(app) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/app/kintra.svg")));
    setWindowTitle(QString::fromUtf8(kFrameTitle));
    setAcceptDrops(true);
    setDockOptions(QMainWindow::AnimatedDocks);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The client's windows go with it; nothing more is to be updated for them.
    if (m_mdi) disconnect(m_mdi, nullptr, this, nullptr);
    for (CChildFrame* f : ChildFrames())
        disconnect(f, nullptr, this, nullptr);
    m_runFilter.reset();
}

bool CMainFrame::Create() {
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiClient"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateStatusBar();
    for (const PaletteInfo& palette : Palettes())
        m_bars[palette.id] = CreateBar(palette);

    // A first run lays the bars out in rows as wide as the window; later runs find the stored
    // arrangement.
    SettingsStore& store = Platform().Settings();
    if (store.GetProfileInt(std::string(kBarPrefix) + "-Summary", "Bars", -1) < 0) {
        const QSize screen = this->screen() ? this->screen()->size() : QSize(1024, 768);
        WriteDefaultBarState(store, kBarPrefix, width(), screen.width(), screen.height(),
                             DefaultArrangementOrder());
    }
    LoadBarState();

    SetMenus(false);
    qApp->installEventFilter(this);
    m_keyStates[0] = ReadLed("capslock");
    m_keyStates[1] = ReadLed("numlock");
    m_keyStates[2] = ReadLed("scrolllock");
    UpdateIndicators();

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        if (!IsRunning()) UpdateCommandUI();
    });
    idle->start(250);
    UpdateCommandUI();
    return true;
}

QAction* CMainFrame::MakeAction(int id, const QString& text, const QList<QKeySequence>& keys) {
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setObjectName(QStringLiteral("action%1").arg(id));
    const QString prompt = Prompt(id);
    if (!prompt.isEmpty()) a->setStatusTip(prompt);
    const QString tip = Tip(id);
    if (!tip.isEmpty()) a->setToolTip(tip);
    const QString icon = QStringLiteral(":/pictures/buttons/%1.svg").arg(id);
    if (QFile::exists(icon)) a->setIcon(QIcon(icon));
    if (!keys.isEmpty()) a->setShortcuts(keys);
    connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    // Keys act in every window, also while the bar or menu holding the command is hidden.
    addAction(a);
    m_actions[id] = a;
    return a;
}

void CMainFrame::CreateActions() {
    using QKS = QKeySequence;
    const auto ctrlShiftAlt = Qt::CTRL | Qt::SHIFT | Qt::ALT;
    MakeAction(ID_FILE_NEW, QStringLiteral("&New"), {QKS(Qt::CTRL | Qt::Key_N)});
    MakeAction(ID_FILE_OPEN, QStringLiteral("&Open..."), {QKS(Qt::CTRL | Qt::Key_O)});
    MakeAction(ID_FILE_CLOSE, QStringLiteral("&Close"));
    MakeAction(ID_FILE_SAVE, QStringLiteral("&Save"), {QKS(Qt::CTRL | Qt::Key_S)});
    MakeAction(ID_FILE_SAVE_AS, QStringLiteral("Save &As..."));
    MakeAction(ID_FILE_PRINT, QStringLiteral("&Print..."), {QKS(Qt::CTRL | Qt::Key_P)});
    MakeAction(ID_PRINT_TO_FILE, QStringLiteral("Print to File..."));
    MakeAction(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"));
    MakeAction(ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup..."));
    MakeAction(ID_APP_EXIT, QStringLiteral("E&xit"));
    for (int i = 0; i < COrventApp::kRecentCount; ++i) {
        QAction* a = MakeAction(ID_FILE_MRU_FILE1 + i, QString());
        m_recentActions.push_back(a);
    }

    MakeAction(ID_EDIT_CUT, QStringLiteral("Cu&t"),
               {QKS(Qt::CTRL | Qt::Key_X), QKS(Qt::SHIFT | Qt::Key_Delete)});
    MakeAction(ID_EDIT_COPY, QStringLiteral("&Copy"),
               {QKS(Qt::CTRL | Qt::Key_C), QKS(Qt::CTRL | Qt::Key_Insert)});
    MakeAction(ID_EDIT_PASTE, QStringLiteral("&Paste"),
               {QKS(Qt::CTRL | Qt::Key_V), QKS(Qt::SHIFT | Qt::Key_Insert)});
    MakeAction(ID_DELETE_BLOCK, QStringLiteral("&Delete"), {QKS(Qt::Key_Delete)});
    MakeAction(ID_EDIT_UNDO, QStringLiteral("Undo"),
               {QKS(Qt::CTRL | Qt::Key_Z), QKS(Qt::ALT | Qt::Key_Backspace)});

    MakeAction(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"))->setCheckable(true);
    MakeAction(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"))->setCheckable(true);
    MakeAction(ID_BAR_DISPLAY, QStringLiteral("&Display"))->setCheckable(true);
    MakeAction(ID_BAR_MATH, QStringLiteral("&Math"))->setCheckable(true);
    MakeAction(ID_BAR_TRANSCENDENTAL, QStringLiteral("T&ranscendental"))->setCheckable(true);
    MakeAction(ID_BAR_TIME, QStringLiteral("T&ime"))->setCheckable(true);
    MakeAction(ID_BAR_LOGIC, QStringLiteral("&Logic"))->setCheckable(true);
    MakeAction(ID_BAR_GENERATORS, QStringLiteral("&Generators"))->setCheckable(true);
    MakeAction(ID_BAR_NONLINEAR, QStringLiteral("&Non-linear"))->setCheckable(true);
    MakeAction(ID_BAR_MISC, QStringLiteral("Mis&cellaneous"))->setCheckable(true);

    MakeAction(ID_VIEW_PARAMETERS, QStringLiteral("&Viewing"));
    MakeAction(ID_RUN, QStringLiteral("&Run"))->setCheckable(true);
    MakeAction(ID_INITIALIZE, QStringLiteral("&Initialize"))->setCheckable(true);
    MakeAction(ID_TERMINATE_RUN, QStringLiteral("&Terminate Run"), {QKS(Qt::Key_Escape)})->setCheckable(true);
    MakeAction(ID_OPEN_CHART, QStringLiteral("&Chart"));
    MakeAction(ID_OPEN_LIST, QStringLiteral("&List"));
    MakeAction(ID_OPEN_GRAPH, QStringLiteral("&Graph"));
    MakeAction(ID_PREFERENCES, QStringLiteral("&Preferences"));
    MakeAction(ID_DEBUG_SETTINGS, QStringLiteral("De&bugging..."));

    MakeAction(ID_WINDOW_CASCADE, QStringLiteral("&Cascade"));
    MakeAction(ID_WINDOW_TILE_HORZ, QStringLiteral("&Tile"));
    MakeAction(ID_WINDOW_ARRANGE, QStringLiteral("&Arrange Icons"));
    MakeAction(ID_WINDOW_SPLIT, QStringLiteral("S&plit"));
    MakeAction(ID_NEXT_PANE, QStringLiteral("Next Pane"), {QKS(Qt::Key_F6)});
    MakeAction(ID_PREV_PANE, QStringLiteral("Previous Pane"), {QKS(Qt::SHIFT | Qt::Key_F6)});

    MakeAction(ID_HELP_INDEX, QStringLiteral("&Index"));
    MakeAction(ID_HELP_USING, QStringLiteral("&Using Help"));
    MakeAction(ID_APP_ABOUT, QStringLiteral("&About Kintra..."));
    MakeAction(ID_CONTEXT_HELP, QStringLiteral("Context Help"), {QKS(Qt::SHIFT | Qt::Key_F1)});
    MakeAction(ID_HELP, QStringLiteral("Help"), {QKS(Qt::Key_F1)});

    // The insert commands of the palettes, with the keys that also reach some of them.
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (types[i].CommandId == kClockCommandId) continue;
        MakeAction(types[i].CommandId, Tip(types[i].CommandId))->setCheckable(true);
    }
    auto addKey = [this](int id, const QKeySequence& key) {
        QList<QKeySequence> keys = m_actions[id]->shortcuts();
        keys.append(key);
        m_actions[id]->setShortcuts(keys);
    };
    addKey(32819, QKS(Qt::ALT | Qt::Key_S));
    addKey(32823, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_0));
    addKey(32792, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_1));
    addKey(32840, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_3));
    addKey(32844, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_4));
    addKey(32855, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_5));
    addKey(32797, QKS(ctrlShiftAlt | Qt::Key_Print));
    // Bound in the key table, but no command answers them.
    MakeAction(ID_NO_HANDLER_32825, QString(), {QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_2)});
    MakeAction(ID_UNUSED_BUTTON, QString());
}

void CMainFrame::CreateMenus() {
    auto fileMenu = [this](bool document) {
        auto* m = new QMenu(QStringLiteral("&File"), this);
        m->addAction(m_actions[ID_FILE_NEW]);
        m->addAction(m_actions[ID_FILE_OPEN]);
        if (document) {
            m->addAction(m_actions[ID_FILE_CLOSE]);
            m->addAction(m_actions[ID_FILE_SAVE]);
            m->addAction(m_actions[ID_FILE_SAVE_AS]);
            m->addSeparator();
            m->addAction(m_actions[ID_FILE_PRINT]);
            m->addAction(m_actions[ID_PRINT_TO_FILE]);
            m->addAction(m_actions[ID_FILE_PRINT_PREVIEW]);
        }
        m->addAction(m_actions[ID_FILE_PRINT_SETUP]);
        m->addSeparator();
        m->setProperty("recentStart", m->actions().size());
        m->addSeparator();
        m->addAction(m_actions[ID_APP_EXIT]);
        m_fileMenus.push_back(m);
        return m;
    };
    auto viewMenu = [this](bool document) {
        auto* m = new QMenu(QStringLiteral("&View"), this);
        m->addAction(m_actions[ID_VIEW_TOOLBAR]);
        m->addAction(m_actions[ID_VIEW_STATUS_BAR]);
        if (document) {
            m->addSeparator();
            for (int id : {ID_BAR_DISPLAY, ID_BAR_MATH, ID_BAR_TRANSCENDENTAL, ID_BAR_TIME, ID_BAR_LOGIC,
                           ID_BAR_GENERATORS, ID_BAR_NONLINEAR, ID_BAR_MISC})
                m->addAction(m_actions[id]);
        }
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        return m;
    };
    auto helpMenu = [this] {
        auto* m = new QMenu(QStringLiteral("&Help"), this);
        m->addAction(m_actions[ID_HELP_INDEX]);
        m->addAction(m_actions[ID_HELP_USING]);
        m->addSeparator();
        m->addAction(m_actions[ID_APP_ABOUT]);
        return m;
    };

    m_noDocMenus = {fileMenu(false), viewMenu(false), helpMenu()};

    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_DELETE_BLOCK})
        edit->addAction(m_actions[id]);
    auto* options = new QMenu(QStringLiteral("&Options"), this);
    for (int id : {ID_VIEW_PARAMETERS, ID_RUN, ID_INITIALIZE, ID_TERMINATE_RUN, ID_OPEN_CHART, ID_OPEN_LIST,
                   ID_OPEN_GRAPH, ID_PREFERENCES})
        options->addAction(m_actions[id]);
    options->addSeparator();
    options->addAction(m_actions[ID_DEBUG_SETTINGS]);
    auto* window = new QMenu(QStringLiteral("&Window"), this);
    for (int id : {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE, ID_WINDOW_SPLIT})
        window->addAction(m_actions[id]);
    // Below the commands, the open windows, the active one checked.
    auto* windowList = new QActionGroup(window);
    connect(window, &QMenu::aboutToShow, this, [this, window, windowList] {
        for (QAction* a : windowList->actions()) {
            window->removeAction(a);
            delete a;
        }
        const std::vector<CChildFrame*> frames = ChildFrames();
        if (frames.empty()) return;
        windowList->addAction(window->addSeparator());
        int n = 0;
        for (CChildFrame* f : frames) {
            ++n;
            QAction* a = window->addAction(QStringLiteral("&%1 %2").arg(n).arg(f->windowTitle()));
            a->setCheckable(true);
            a->setChecked(f == ActiveChildFrame());
            windowList->addAction(a);
            QPointer<CChildFrame> target = f;
            connect(a, &QAction::triggered, this, [this, target] {
                if (target) m_mdi->setActiveSubWindow(target);
            });
        }
    });
    QMenu* docFile = fileMenu(true);
    m_docMenus = {docFile, edit, viewMenu(true), options, window, helpMenu()};
    for (QMenu* m : m_docMenus)
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    RebuildRecentFiles();
}

void CMainFrame::SetMenus(bool documentMenu) {
    if (m_documentMenu == documentMenu && !menuBar()->actions().isEmpty()) return;
    m_documentMenu = documentMenu;
    menuBar()->clear();
    for (QMenu* m : documentMenu ? m_docMenus : m_noDocMenus)
        menuBar()->addMenu(m);
}

void CMainFrame::RebuildRecentFiles() {
    const QStringList recent = m_app.RecentFiles();
    for (int i = 0; i < static_cast<int>(m_recentActions.size()); ++i) {
        QAction* a = m_recentActions[i];
        if (i < recent.size()) {
            a->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(DisplayPath(recent[i]))));
            a->setVisible(true);
            a->setEnabled(true);
        } else {
            a->setVisible(false);
        }
    }
    for (QMenu* m : m_fileMenus) {
        for (QAction* a : m_recentActions)
            m->removeAction(a);
        QAction* placeholder = m->property("recentPlaceholder").value<QAction*>();
        if (!placeholder) {
            placeholder = new QAction(QStringLiteral("Recent File"), m);
            placeholder->setEnabled(false);
            m->setProperty("recentPlaceholder", QVariant::fromValue(placeholder));
        }
        m->removeAction(placeholder);
        const int start = m->property("recentStart").toInt();
        QAction* before = m->actions().value(start);
        if (recent.isEmpty())
            m->insertAction(before, placeholder);
        else
            for (QAction* a : m_recentActions)
                m->insertAction(before, a);
    }
}

QToolBar* CMainFrame::CreateBar(const PaletteInfo& palette) {
    auto* bar = new QToolBar(QString::fromUtf8(palette.title), this);
    bar->setObjectName(QStringLiteral("Bar%1").arg(palette.id));
    bar->setProperty("barId", palette.id);
    bar->setIconSize(QSize(16, 16));
    // Buttons 23 pixels wide and separators of 8, as the first-run arrangement reckons them.
    bar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 1px; }"
                                      "QToolButton { min-width: 19px; max-width: 19px; min-height: 19px;"
                                      " max-height: 19px; padding: 1px; margin: 0px; }"));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setFloatable(true);
    for (int id : palette.buttons) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(m_actions[id]);
    }
    if (QAction* show = Action(palette.id)) {
        connect(bar, &QToolBar::visibilityChanged, this, [show, bar] { show->setChecked(!bar->isHidden()); });
    }
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    m_ready = new QLabel(Prompt(ID_IDLE_MESSAGE), bar);
    bar->addWidget(m_ready, 1);
    const char* const names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(QString::fromLatin1(names[i]), bar);
        l->setObjectName(QString::fromLatin1(names[i]));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(l);
        m_indicators[i] = l;
    }
}

void CMainFrame::UpdateIndicators() {
    for (int i = 0; i < 3; ++i) {
        // A light that is off leaves its pane empty.
        const char* const names[3] = {"CAP", "NUM", "SCRL"};
        m_indicators[i]->setText(m_keyStates[i] ? QString::fromLatin1(names[i]) : QString());
    }
}

// ---- Windows ----------------------------------------------------------------------------------

QAction* CMainFrame::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QToolBar* CMainFrame::Bar(int id) const {
    auto it = m_bars.find(id);
    return it == m_bars.end() ? nullptr : it->second;
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
    if (auto* f = qobject_cast<CChildFrame*>(m_mdi->currentSubWindow())) return f;
    if (m_lastChild && m_mdi->subWindowList().contains(m_lastChild.data())) return m_lastChild;
    return nullptr;
}

COrventDoc* CMainFrame::ActiveDocument() const {
    CChildFrame* f = ActiveChildFrame();
    return f ? f->Document() : nullptr;
}

CViewHost* CMainFrame::ActiveViewHost() const {
    CChildFrame* f = ActiveChildFrame();
    return f ? f->ActivePane() : nullptr;
}

std::vector<CChildFrame*> CMainFrame::ChildFrames(const COrventDoc* doc) const {
    std::vector<CChildFrame*> out;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        auto* f = qobject_cast<CChildFrame*>(w);
        if (f && (!doc || f->Document() == doc)) out.push_back(f);
    }
    return out;
}

CChildFrame* CMainFrame::CreateViewFrame(COrventDoc& doc, ViewKind kind, bool initialUpdate) {
    std::unique_ptr<CView> view = CreateCoreView(kind);
    if (!view) return nullptr;
    CView* raw = view.get();
    auto* frame = new CChildFrame(kind, std::move(view), doc);
    frame->CanClose = [this](CChildFrame* f) {
        if (IsRunning()) return false;
        COrventDoc* d = f->Document();
        // The last window of a chart takes the chart with it: ask first.
        if (d && ChildFrames(d).size() == 1) return m_app.SaveModified(*d);
        return true;
    };
    connect(frame, &CChildFrame::captionWanted, this,
            [this, frame] { UpdateFrameTitles(frame->Document()); });
    COrventDoc* docPtr = &doc;
    connect(frame, &QObject::destroyed, this, [this, docPtr] {
        // Queued: the frame's views are still being taken down.
        QTimer::singleShot(0, this, [this, docPtr] {
            m_app.DocumentWindowClosed(docPtr);
            UpdateTitle();
            if (ChildFrames().empty()) SetMenus(false);
        });
    });
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { UpdateTitle(); });
    m_mdi->addSubWindow(frame);
    // Before the window is first shown its client area is not laid out yet.
    const QSize area = isVisible() ? m_mdi->viewport()->size() : size() - QSize(8, 110);
    if (kind == ViewKind::Chart)
        frame->resize(std::max(320, area.width() * 3 / 5), std::max(240, area.height() * 7 / 10));
    else
        frame->resize(std::max(300, area.width() / 2), std::max(220, area.height() / 2));
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    m_lastChild = frame;
    if (initialUpdate) raw->OnInitialUpdate();
    UpdateFrameTitles(&doc);
    SetMenus(true);
    return frame;
}

void CMainFrame::CloseDocumentWindows(COrventDoc& doc) {
    for (CChildFrame* f : ChildFrames(&doc)) {
        m_mdi->removeSubWindow(f);
        delete f;
    }
    if (ChildFrames().empty()) SetMenus(false);
    UpdateTitle();
}

void CMainFrame::UpdateFrameTitles(const COrventDoc* doc) {
    if (!doc) return;
    const std::vector<CChildFrame*> frames = ChildFrames(doc);
    int n = 0;
    for (CChildFrame* f : frames)
        f->UpdateFrameTitle(frames.size() > 1 ? ++n : 0);
    UpdateTitle();
}

void CMainFrame::UpdateTitle() {
    QString title = QString::fromUtf8(kFrameTitle);
    // A maximised document window adds its own caption, " - [caption]", to the frame's title.
    CChildFrame* active = ActiveChildFrame();
    if (COrventDoc* doc = ActiveDocument(); doc && !(active && active->isMaximized()))
        title += QStringLiteral(" - ") + QString::fromStdString(doc->GetTitle());
    setWindowTitle(title);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (auto* f = qobject_cast<CChildFrame*>(window)) m_lastChild = f;
    if (qobject_cast<CRunChild*>(window)) return;
    SetMenus(!ChildFrames().empty());
    UpdateTitle();
    UpdateCommandUI();
}

// ---- Commands ---------------------------------------------------------------------------------

namespace {
// The chart view of a pane, or null for another kind of window.
COrventView* ChartOf(CViewHost* host) {
    return host && host->Kind() == ViewKind::Chart ? static_cast<COrventView*>(host->View()) : nullptr;
}

// Cut, Copy, Paste and Delete act on the pane's selected block.
void EditChart(CViewHost* host, int id) {
    COrventView* chart = ChartOf(host);
    if (!chart) return;
    switch (id) {
    case ID_EDIT_CUT:
        chart->OnEditCut();
        break;
    case ID_EDIT_COPY:
        chart->OnEditCopy();
        break;
    case ID_EDIT_PASTE:
        chart->OnEditPaste();
        break;
    case ID_DELETE_BLOCK:
        chart->OnEditDelete();
        break;
    default:
        break;
    }
    host->UpdateCursor();
}
} // namespace

void CMainFrame::OnCommand(int id) {
    if (m_contextHelp) {
        LeaveContextHelp();
        if (id != ID_CONTEXT_HELP) Platform().Windows().ShowHelp(0x10000 + id);
        return;
    }
    COrventDoc* doc = ActiveDocument();
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + COrventApp::kRecentCount) {
        const QStringList recent = m_app.RecentFiles();
        const int i = id - ID_FILE_MRU_FILE1;
        if (i < recent.size()) m_app.OpenDocument(recent[i]);
        return;
    }
    if (FindBlockTypeByCommand(id)) {
        OnInsert(id);
        return;
    }
    switch (id) {
    case ID_FILE_NEW:
        m_app.NewDocument();
        break;
    case ID_FILE_OPEN:
        m_app.PromptOpen();
        break;
    case ID_FILE_CLOSE:
        if (doc) m_app.CloseDocument(*doc);
        break;
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
        if (doc) m_app.SaveDocument(*doc, id == ID_FILE_SAVE_AS);
        break;
    case ID_PRINT_TO_FILE:
        OnPrintToFile();
        break;
    case ID_FILE_PRINT:
        if (CViewHost* host = ActiveViewHost(); host && !IsRunning()) kintra::FilePrint(*host, this);
        break;
    case ID_FILE_PRINT_PREVIEW:
        if (CViewHost* host = ActiveViewHost(); host && !IsRunning())
            kintra::FilePrintPreview(*host, this, m_app.PreviewPages);
        break;
    case ID_FILE_PRINT_SETUP:
        kintra::FilePrintSetup(this);
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
    case ID_DELETE_BLOCK:
        if (!IsRunning()) EditChart(ActiveViewHost(), id);
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case ID_VIEW_TOOLBAR:
    case ID_BAR_DISPLAY:
    case ID_BAR_MATH:
    case ID_BAR_TRANSCENDENTAL:
    case ID_BAR_TIME:
    case ID_BAR_LOGIC:
    case ID_BAR_GENERATORS:
    case ID_BAR_NONLINEAR:
    case ID_BAR_MISC:
        if (QToolBar* bar = Bar(id)) bar->setVisible(bar->isHidden());
        break;
    case ID_RUN:
        OnRun(false);
        break;
    case ID_INITIALIZE:
        OnRun(true);
        break;
    case ID_TERMINATE_RUN:
    case ID_STOP_RUN:
        if (m_runningDoc)
            m_runningDoc->OnTerminateRun();
        else if (doc)
            doc->OnTerminateRun();
        break;
    case ID_OPEN_CHART:
        OnOpenWindow(ViewKind::Chart);
        break;
    case ID_OPEN_GRAPH:
        OnOpenWindow(ViewKind::Graph);
        break;
    case ID_OPEN_LIST:
        OnOpenWindow(ViewKind::List);
        break;
    case ID_PREFERENCES:
        if (doc) {
            doc->OnPreferences();
            UpdateFrameTitles(doc);
        }
        break;
    case ID_DEBUG_SETTINGS:
        if (doc) doc->OnDebugSettings();
        break;
    case ID_VIEW_PARAMETERS:
        if (CViewHost* host = ActiveViewHost(); host && host->Kind() == ViewKind::Chart) {
            ChartWindows().RunViewingProperties(*static_cast<COrventView*>(host->View()));
            UpdateFrameTitles(host->Document());
        } else if (host && host->Kind() == ViewKind::Graph) {
            ViewWindows().RunGraphProperties(*static_cast<CGraphBase*>(host->View()));
            UpdateFrameTitles(host->Document());
        } else if (host && host->Kind() == ViewKind::List) {
            ViewWindows().RunListParameters(*static_cast<CListBase*>(host->View()));
            UpdateFrameTitles(host->Document());
        }
        break;
    case ID_WINDOW_CASCADE:
        m_mdi->cascadeSubWindows();
        break;
    case ID_WINDOW_TILE_HORZ:
        m_mdi->tileSubWindows();
        break;
    case ID_WINDOW_ARRANGE: {
        // Minimised windows in a row along the bottom of the client area.
        int x = 0;
        for (QMdiSubWindow* w : m_mdi->subWindowList())
            if (w->isMinimized()) {
                w->move(x, m_mdi->viewport()->height() - w->height());
                x += w->width();
            }
        break;
    }
    case ID_WINDOW_SPLIT:
        if (CChildFrame* f = ActiveChildFrame(); f && f->Splitter()) f->Splitter()->ToggleSplit();
        break;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        if (CChildFrame* f = ActiveChildFrame(); f && f->Splitter())
            f->Splitter()->NextPane(id == ID_NEXT_PANE);
        break;
    case ID_HELP_INDEX:
        OnHelp(true);
        break;
    case ID_HELP:
        OnHelp(false);
        break;
    case ID_HELP_USING:
        CHelpWindow::Instance().ShowUsingHelp();
        break;
    case ID_CONTEXT_HELP:
        EnterContextHelp();
        break;
    case ID_APP_ABOUT: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    default:
        break;
    }
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI() {
    COrventDoc* doc = ActiveDocument();
    CViewHost* host = ActiveViewHost();
    const bool running = IsRunning();
    const bool chartActive = host && host->Kind() == ViewKind::Chart;
    auto enable = [this](int id, bool on) {
        if (QAction* a = Action(id)) a->setEnabled(on);
    };
    auto check = [this](int id, bool on) {
        if (QAction* a = Action(id)) a->setChecked(on);
    };
    for (int id : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_PREFERENCES, ID_DEBUG_SETTINGS})
        enable(id, doc && !running);
    enable(ID_RUN, doc && !running);
    enable(ID_INITIALIZE, doc && !running);
    enable(ID_TERMINATE_RUN, running);
    check(ID_RUN, running && m_runningDoc && m_runningDoc->InitializeOnly == 0);
    check(ID_INITIALIZE, running && m_runningDoc && m_runningDoc->InitializeOnly != 0);
    check(ID_TERMINATE_RUN, running);
    enable(ID_PRINT_TO_FILE, host && host->Kind() == ViewKind::List);
    enable(ID_WINDOW_SPLIT, ActiveChildFrame() && ActiveChildFrame()->Splitter());
    // Commands nothing answers: shown, not answered.
    for (int id : {ID_EDIT_UNDO, ID_NO_HANDLER_32825, ID_UNUSED_BUTTON})
        enable(id, false);
    enable(ID_FILE_PRINT, host && !running);
    enable(ID_FILE_PRINT_PREVIEW, host && !running);
    enable(ID_FILE_PRINT_SETUP, !running);
    // The Edit commands and the palette buttons follow the active chart pane's editing.
    const COrventView* chart = running ? nullptr : ChartOf(host);
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_DELETE_BLOCK})
        enable(id, chart && chart->CanCutCopyDelete());
    enable(ID_EDIT_PASTE, chart && chart->CanPaste());
    // The active window's viewing properties: chart, graph or list.
    enable(ID_VIEW_PARAMETERS, host && !running);
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (types[i].CommandId == kClockCommandId) continue;
        enable(types[i].CommandId, chartActive && !running);
        check(types[i].CommandId, chart && chart->IsInsertChecked(types[i].CommandId));
    }
    check(ID_VIEW_STATUS_BAR, !statusBar()->isHidden());
    for (const auto& [id, bar] : m_bars)
        check(id, !bar->isHidden());
}

void CMainFrame::OnInsert(int commandId) {
    COrventDoc* doc = ActiveDocument();
    CViewHost* host = ActiveViewHost();
    const CBlockTypeInfo* type = FindBlockTypeByCommand(commandId);
    if (!doc || !type || !host || host->Kind() != ViewKind::Chart) return;
    // The block waits for a click on a grid point.
    if (COrventView* chart = ChartOf(host)) chart->OnInsert(commandId);
    host->UpdateCursor();
}

void CMainFrame::OnOpenWindow(ViewKind kind) {
    COrventDoc* doc = ActiveDocument();
    if (!doc) {
        Platform().Messages().MessageBox("Command failed.", kAppTitle, MB_OK, MB_ICONWARNING);
        return;
    }
    // The open windows are part of the chart file.
    doc->SetModifiedFlag();
    CView* view = nullptr;
    switch (kind) {
    case ViewKind::Chart:
        view = ModelWindows().OpenChartWindow(*doc);
        break;
    case ViewKind::Graph:
        view = ModelWindows().OpenGraphWindow(*doc);
        break;
    case ViewKind::List:
        view = ModelWindows().OpenListWindow(*doc);
        break;
    }
    (void)view; // the host has already said so when it failed
}

void CMainFrame::OnHelp(bool index) {
    CViewHost* host = ActiveViewHost();
    int context = 0;
    if (host) {
        // The chart window answers only the index; F1 there does nothing.
        if (!index && host->Kind() == ViewKind::Chart) return;
        context = HelpContextOf(host->Kind());
    }
    Platform().Windows().ShowHelp(context);
}

void CMainFrame::OnPrintToFile() {
    CViewHost* host = ActiveViewHost();
    auto* list = host ? dynamic_cast<CListBase*>(host->View()) : nullptr;
    if (!list) return;
    QFileDialog dialog(this, QStringLiteral("Print to File"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("Printer Files (*.prn)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("prn"));
    dialog.selectFile(QString::fromStdString(list->DefaultPrintFileName()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    // A file that cannot be written gets nothing, and a message says why.
    list->ExportToFile(PathToNative(dialog.selectedFiles().front()));
}

// ---- The run ----------------------------------------------------------------------------------

void CMainFrame::OnRun(bool initializeOnly) {
    COrventDoc* doc = ActiveDocument();
    if (!doc || IsRunning()) return;
    m_runningDoc = doc;
    if (initializeOnly) {
        // The initialization is over before anything could be shown.
        doc->OnInitialize();
        m_runningDoc = nullptr;
        UpdateCommandUI();
        return;
    }
    doc->RunSimulation();
    m_runningDoc = nullptr;
    UpdateCommandUI();
}

CView* CMainFrame::OpenRunWindow(COrventDoc& doc) {
    if (m_runChild && m_runChild->isVisible()) return nullptr;
    // The run window must not take the place of the window the run was started from.
    m_runReturn = ActiveChildFrame();
    // One run window serves every run; it is made on the first and hidden between runs, so that
    // a run pays little for it.
    if (!m_runChild) {
        m_runChild = new CRunChild;
        m_runChild->setAttribute(Qt::WA_ShowWithoutActivating);
        m_runChild->setAttribute(Qt::WA_DeleteOnClose, false);
        m_mdi->addSubWindow(m_runChild);
    }
    CRunChild* child = m_runChild;
    child->View()->Attach(doc);
    child->setGeometry(50, 50, 150, 100);
    child->setWindowTitle(QStringLiteral("Time"));
    // Beside a maximised document window the area would maximise the run window too, leaving it
    // without its frame and caption and hiding the window the run was started from.
    const bool dontMaximize = m_mdi->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    child->show();
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, dontMaximize);
    child->raise();
    if (!m_runningDoc) m_runningDoc = &doc;
    child->View()->OnInitialUpdate();

    // Only the run window (and what the run asks in dialogs) takes input until the run ends;
    // the other windows wait and are repainted at its end.
    m_runFilter = std::make_unique<CRunInputFilter>(doc, child);
    if (QToolBar* display = Bar(ID_BAR_DISPLAY))
        m_runFilter->AllowWidget(display->widgetForAction(Action(ID_TERMINATE_RUN)));
    qApp->installEventFilter(m_runFilter.get());
    CViewHost::SetPaintingSuspended(true);
    // Only the run commands change while the run proceeds.
    Action(ID_RUN)->setChecked(doc.InitializeOnly == 0);
    Action(ID_TERMINATE_RUN)->setEnabled(true);
    Action(ID_TERMINATE_RUN)->setChecked(true);
    Action(ID_RUN)->setEnabled(false);
    Action(ID_INITIALIZE)->setEnabled(false);
    child->View()->repaint();
    m_runPaintClock.start();
    if (OnRunWindowPainted) OnRunWindowPainted(*child);
    return child->View();
}

void CMainFrame::RunWindowStep(COrventDoc&) {
    if (!m_runChild || !m_runChild->isVisible() || m_runPaintClock.elapsed() < kRunPaintInterval) return;
    m_runPaintClock.restart();
    m_runChild->View()->repaint();
    if (OnRunWindowPainted) OnRunWindowPainted(*m_runChild);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CMainFrame::CloseRunWindow(COrventDoc& doc) {
    if (m_runFilter) {
        qApp->removeEventFilter(m_runFilter.get());
        m_runFilter.reset();
    }
    if (m_runChild) {
        m_runChild->hide();
        m_runChild->View()->Detach();
    }
    doc.RunWindow = nullptr;
    CViewHost::SetPaintingSuspended(false);
    // Every window shows the finished run.
    for (CChildFrame* f : ChildFrames())
        for (CViewHost* h : f->Panes())
            h->Invalidate();
    if (m_runReturn) {
        m_lastChild = m_runReturn;
        m_mdi->setActiveSubWindow(m_runReturn);
    }
    m_runReturn = nullptr;
}

// ---- Help -------------------------------------------------------------------------------------

void CMainFrame::EnterContextHelp() {
    if (m_contextHelp) return;
    m_contextHelp = true;
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
}

void CMainFrame::LeaveContextHelp() {
    if (!m_contextHelp) return;
    m_contextHelp = false;
    QApplication::restoreOverrideCursor();
}

int CMainFrame::ContextHelpAt(QWidget* widget) const {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* button = qobject_cast<QToolButton*>(w)) {
            if (QAction* a = button->defaultAction()) return 0x10000 + a->data().toInt();
        }
        if (auto* host = qobject_cast<CViewHost*>(w)) return HelpContextOf(host->Kind());
    }
    return 0;
}

// ---- Events -----------------------------------------------------------------------------------

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int light = key == Qt::Key_CapsLock     ? 0
                          : key == Qt::Key_NumLock    ? 1
                          : key == Qt::Key_ScrollLock ? 2
                                                      : -1;
        if (light >= 0 && !static_cast<QKeyEvent*>(event)->isAutoRepeat() && watched->isWidgetType()) {
            m_keyStates[light] = !m_keyStates[light];
            UpdateIndicators();
        }
        if (m_contextHelp && key == Qt::Key_Escape) {
            LeaveContextHelp();
            return true;
        }
    }
    if (m_contextHelp && event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        // Menus answer through the command they would run.
        if (!qobject_cast<QMenu*>(w) && !qobject_cast<QMenuBar*>(w)) {
            const int context = ContextHelpAt(w);
            LeaveContextHelp();
            Platform().Windows().ShowHelp(context);
            return true;
        }
    }
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (IsRunning() || !m_app.CloseAllDocuments()) {
        event->ignore();
        return;
    }
    SaveBarState();
    SavePlacement();
    event->accept();
}

namespace {
// The chart files among dropped things.
QStringList DroppedCharts(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = LocalFileOf(url);
        if (path.endsWith(QStringLiteral(".cht"), Qt::CaseInsensitive)) paths << path;
    }
    return paths;
}
} // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!IsRunning() && !DroppedCharts(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedCharts(event->mimeData());
    if (paths.isEmpty() || IsRunning()) return;
    event->acceptProposedAction();
    for (const QString& path : paths)
        m_app.OpenDocument(path);
}

// ---- Arrangement and placement ----------------------------------------------------------------

void CMainFrame::LoadBarState() {
    BarState state;
    if (!ReadBarState(Platform().Settings(), kBarPrefix, state)) return;
    // Qt floats a tool bar only through its own record of the arrangement; the docked bars are
    // then laid out again from the stored rows below.
    auto floating = [&state](int id) {
        auto it = state.bars.find(id);
        return it != state.bars.end() && it->second.floating;
    };
    if (std::any_of(state.bars.begin(), state.bars.end(), [](const auto& b) { return b.second.floating; }) &&
        !state.toolkitLayout.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state.toolkitLayout)));
    std::vector<QToolBar*> placed;
    for (auto& [id, bar] : m_bars) {
        if (floating(id) && bar->isFloating()) {
            const BarState::Bar& b = state.bars[id];
            QPoint at(b.x, b.y);
            // A palette stored on a screen that is no longer there comes back on this one.
            if (!QGuiApplication::screenAt(at + QPoint(8, 8))) {
                const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
                const QRect free = s ? s->availableGeometry() : QRect(0, 0, 640, 480);
                at.setX(std::clamp(at.x(), free.left(), std::max(free.left(), free.right() - bar->width())));
                at.setY(std::clamp(at.y(), free.top(), std::max(free.top(), free.bottom() - bar->height())));
            }
            bar->move(at);
            placed.push_back(bar);
            continue;
        }
        removeToolBar(bar);
    }
    bool firstInArea[4] = {true, true, true, true};
    for (const BarState::Dock& dock : state.docks) {
        const Qt::ToolBarArea area = AreaOfDock(dock.dockId);
        const int a = dock.dockId - kDockTopId;
        for (const std::vector<int>& row : dock.rows) {
            bool rowStarted = false;
            for (int id : row) {
                QToolBar* bar = Bar(id);
                if (!bar || std::find(placed.begin(), placed.end(), bar) != placed.end()) continue;
                if (!rowStarted && !firstInArea[a]) addToolBarBreak(area);
                addToolBar(area, bar);
                rowStarted = true;
                firstInArea[a] = false;
                placed.push_back(bar);
            }
        }
    }
    // Bars the stored arrangement does not place go on a row of their own at the top.
    bool breakDone = firstInArea[0];
    for (const PaletteInfo& palette : Palettes()) {
        QToolBar* bar = Bar(palette.id);
        if (std::find(placed.begin(), placed.end(), bar) != placed.end()) continue;
        if (!breakDone) {
            addToolBarBreak(Qt::TopToolBarArea);
            breakDone = true;
        }
        addToolBar(Qt::TopToolBarArea, bar);
    }
    for (auto& [id, bar] : m_bars) {
        auto it = state.bars.find(id);
        bar->setVisible(it == state.bars.end() || it->second.visible);
    }
    statusBar()->setVisible(state.statusBarVisible);
}

void CMainFrame::SaveBarState() {
    BarState state;
    const QSize screen = this->screen() ? this->screen()->size() : QSize();
    state.screenWidth = screen.width();
    state.screenHeight = screen.height();
    state.statusBarVisible = !statusBar()->isHidden();
    for (Qt::ToolBarArea area :
         {Qt::TopToolBarArea, Qt::BottomToolBarArea, Qt::LeftToolBarArea, Qt::RightToolBarArea}) {
        std::vector<QToolBar*> bars;
        for (const PaletteInfo& palette : Palettes())
            if (toolBarArea(Bar(palette.id)) == area && !Bar(palette.id)->isFloating())
                bars.push_back(Bar(palette.id));
        if (bars.empty()) continue;
        const bool horizontal = area == Qt::TopToolBarArea || area == Qt::BottomToolBarArea;
        // Rows (columns at the sides) by their offset across the dock, bars by their place along it.
        std::sort(bars.begin(), bars.end(), [horizontal](QToolBar* a, QToolBar* b) {
            const int ra = horizontal ? a->y() : a->x(), rb = horizontal ? b->y() : b->x();
            if (ra != rb) return ra < rb;
            return (horizontal ? a->x() : a->y()) < (horizontal ? b->x() : b->y());
        });
        BarState::Dock dock;
        dock.dockId = DockOfArea(area);
        int lastRow = INT_MIN;
        for (QToolBar* bar : bars) {
            const int r = horizontal ? bar->y() : bar->x();
            if (dock.rows.empty() || r != lastRow) dock.rows.emplace_back();
            dock.rows.back().push_back(bar->property("barId").toInt());
            lastRow = r;
        }
        state.docks.push_back(dock);
    }
    for (const PaletteInfo& palette : Palettes()) {
        QToolBar* bar = Bar(palette.id);
        BarState::Bar b;
        b.id = palette.id;
        b.x = bar->isFloating() ? bar->pos().x() : bar->x();
        b.y = bar->isFloating() ? bar->pos().y() : bar->y();
        b.visible = !bar->isHidden();
        b.floating = bar->isFloating();
        state.bars[palette.id] = b;
    }
    state.toolkitLayout = saveState().toBase64().toStdString();
    std::vector<int> order;
    for (const BarSpec& b : DefaultArrangementOrder())
        order.push_back(b.id);
    std::sort(order.begin(), order.end(), [](int a, int b) {
        auto index = [](int id) {
            for (const PaletteInfo& p : Palettes())
                if (p.id == id) return p.sectionIndex;
            return 0;
        };
        return index(a) < index(b);
    });
    WriteBarState(Platform().Settings(), kBarPrefix, state, order);
}

void CMainFrame::SavePlacement() {
    FramePlacement p;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    p.flags = isMaximized() ? kPlaceRestoreToMaximized : 0;
    p.showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    Platform().Settings().WriteProfileString("Settings", "MainFramePos", FormatPlacement(p));
}

void CMainFrame::InitialShow(int requestedShow) {
    FramePlacement p;
    const std::string text = Platform().Settings().GetProfileString("Settings", "MainFramePos", "");
    if (ParsePlacement(text, p) && p.right - p.left >= 100 && p.bottom - p.top >= 100) {
        setGeometry(p.left, p.top, p.right - p.left, p.bottom - p.top);
        if (ResolveShowState(p, requestedShow) == kShowMaximized)
            showMaximized();
        else
            showNormal();
    } else if (requestedShow == kShowMaximized) {
        showMaximized();
    } else {
        show();
    }
    activateWindow();
}
