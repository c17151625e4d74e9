// The main window's tool bars (the "Main" bar and the eight block palettes) and status bar, their
// arrangement as the settings store keeps it, and the window's placement.

#include "MainFrame.h"

#include "CommandIds.h"
#include "model/BlockTypes.h"
#include "platform/Platform.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <climits>
#include <string_view>
#include <utility>

namespace {
const char* const kBarPrefix = "General";

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

namespace {
// A block palette: the insert commands of the types the block table puts on it, in the order of
// their buttons.
std::vector<int> BlockButtons(const char* palette) {
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    std::vector<std::pair<int, int>> placed;
    for (std::size_t i = 0; i < count; ++i)
        if (std::string_view(types[i].Palette) == palette)
            placed.emplace_back(types[i].Button, types[i].CommandId);
    std::sort(placed.begin(), placed.end());
    std::vector<int> buttons;
    for (const auto& [button, command] : placed)
        buttons.push_back(command);
    return buttons;
}

std::vector<int> Joined(std::vector<int> first, std::initializer_list<int> more) {
    first.insert(first.end(), more);
    return first;
}
} // namespace

const std::vector<PaletteInfo>& Palettes() {
    static const std::vector<PaletteInfo> bars = {
        {"Main",
         kMainBarId,
         2,
         {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
          0, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_APP_ABOUT, ID_CONTEXT_HELP}},
        {"Math", ID_BAR_MATH, 4, BlockButtons("Math")},
        {"Time", ID_BAR_TIME, 5, BlockButtons("Time")},
        {"Transcendental", ID_BAR_TRANSCENDENTAL, 6, BlockButtons("Transcendental")},
        // Terminate Run joins Run and Initialize so that a run can be stopped from the palette.
        {"Display",
         ID_BAR_DISPLAY,
         3,
         {ID_OPEN_CHART, ID_OPEN_GRAPH, ID_OPEN_LIST, ID_VIEW_PARAMETERS, ID_PREFERENCES, ID_RUN,
          ID_INITIALIZE, ID_TERMINATE_RUN}},
        {"Logic", ID_BAR_LOGIC, 8, BlockButtons("Logic")},
        {"Generators", ID_BAR_GENERATORS, 9, BlockButtons("Generators")},
        {"Non-Linear", ID_BAR_NONLINEAR, 10, BlockButtons("Non-Linear")},
        {"Miscellaneous", ID_BAR_MISC, 7, Joined(BlockButtons("Miscellaneous"), {ID_UNUSED_BUTTON})},
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

void CMainFrame::CreateBars() {
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
    m_ready = new QLabel(QString::fromStdString(kintra::CommandPrompt(ID_IDLE_MESSAGE)), bar);
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
    m_keyStates[0] = ReadLed("capslock");
    m_keyStates[1] = ReadLed("numlock");
    m_keyStates[2] = ReadLed("scrolllock");
    UpdateIndicators();
}

void CMainFrame::UpdateIndicators() {
    for (int i = 0; i < 3; ++i) {
        // A light that is off leaves its pane empty.
        const char* const names[3] = {"CAP", "NUM", "SCRL"};
        m_indicators[i]->setText(m_keyStates[i] ? QString::fromLatin1(names[i]) : QString());
    }
}

void CMainFrame::TrackKeyLights(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int light = key->key() == Qt::Key_CapsLock     ? 0
                      : key->key() == Qt::Key_NumLock    ? 1
                      : key->key() == Qt::Key_ScrollLock ? 2
                                                         : -1;
    if (light >= 0 && !key->isAutoRepeat() && watched->isWidgetType()) {
        m_keyStates[light] = !m_keyStates[light];
        UpdateIndicators();
    }
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
