// The main window: its creation, the document windows it holds, closing, and the chart files
// dropped on it. The menus, bars, commands, run window and help have files of their own.

#include "MainFrame.h"

#include "platform/Platform.h"

#include "ChildFrame.h"
#include "NativePath.h"
#include "RunWindow.h"
#include "model/OrventDoc.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMimeData>
#include <QTimer>
#include <algorithm>

namespace {
const char* const kFrameTitle = "Kintra, The Analog Simulator";
} // namespace

// ---- Creation ---------------------------------------------------------------------------------

CMainFrame::CMainFrame(AppServices& app) : m_app(app) {
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

    m_commands = CommandTable();
    CreateActions();
    CreateMenus();
    CreateStatusBar();
    CreateBars();

    SetMenus(false);
    // Key lights and context help watch every window's input.
    qApp->installEventFilter(this);

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        if (!IsRunning()) UpdateCommandUI();
    });
    idle->start(250);
    UpdateCommandUI();
    return true;
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
        // Any other window's close can be undone.
        if (d) {
            static const char* const kNames[] = {"Close Chart", "Close Graph", "Close List"};
            f->RecordCloseAs(kNames[static_cast<int>(f->Kind())], d->Snapshot());
        }
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
    const QSize area = ClientAreaSize();
    if (kind == ViewKind::Chart)
        frame->resize(std::max(320, area.width() * 3 / 5), std::max(240, area.height() * 7 / 10));
    else
        frame->resize(std::max(300, area.width() / 2), std::max(220, area.height() / 2));
    frame->show();
    // The cascade may have put it partly outside: it comes fully inside the main window.
    if (!frame->isMaximized()) {
        const QRect g = frame->geometry();
        const WindowRect fit = FitInside({g.x(), g.y(), g.width(), g.height()}, area.width(), area.height());
        frame->setGeometry(fit.x, fit.y, fit.width, fit.height);
    }
    m_mdi->setActiveSubWindow(frame);
    m_lastChild = frame;
    if (initialUpdate) raw->OnInitialUpdate();
    UpdateFrameTitles(&doc);
    SetMenus(true);
    return frame;
}

QSize CMainFrame::ClientAreaSize() const {
    // Before the window is first shown its client area is not laid out yet.
    return isVisible() ? m_mdi->viewport()->size() : size() - QSize(8, 110);
}

namespace {
constexpr const char* kPlacementSection = "Chart Windows";
}

void CMainFrame::SaveWindowPlacements(COrventDoc& doc, const std::string& path) {
    std::vector<ChildPlacement> windows;
    for (CChildFrame* f : ChildFrames(&doc)) {
        const QRect g = f->geometry();
        windows.push_back({{g.x(), g.y(), g.width(), g.height()},
                           f->isMaximized()   ? 1
                           : f->isMinimized() ? 2
                                              : 0});
    }
    if (windows.empty()) return;
    Platform().Settings().WriteProfileString(kPlacementSection, PlacementKey(path),
                                             FormatChildPlacements(windows));
}

void CMainFrame::RestoreWindowPlacements(COrventDoc& doc, const std::string& path) {
    std::vector<ChildPlacement> windows;
    const std::string text =
        Platform().Settings().GetProfileString(kPlacementSection, PlacementKey(path), "");
    const std::vector<CChildFrame*> frames = ChildFrames(&doc);
    if (!ParseChildPlacements(text, windows) || windows.size() != frames.size()) return;
    const QSize area = ClientAreaSize();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        CChildFrame* f = frames[i];
        const WindowRect r = FitInside(windows[i].rect, area.width(), area.height());
        f->showNormal();
        f->setGeometry(r.x, r.y, r.width, r.height);
        if (windows[i].state == 1)
            f->showMaximized();
        else if (windows[i].state == 2)
            f->showMinimized();
    }
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

// ---- Events -----------------------------------------------------------------------------------

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    TrackKeyLights(watched, event);
    return FilterContextHelp(watched, event);
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
