#include "ChildFrame.h"

#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "views/ListView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
// The small handle at the end of a pane's scroll bar; dragging it into the window splits it.
class CSplitBox : public QWidget {
  public:
    CSplitBox(CChartSplitter* splitter, Qt::Orientation orientation)
        : m_splitter(splitter), m_orientation(orientation) {
        setCursor(orientation == Qt::Vertical ? Qt::SplitVCursor : Qt::SplitHCursor);
        setFixedSize(orientation == Qt::Vertical ? QSize(16, 7) : QSize(7, 16));
        setToolTip(QStringLiteral("Drag to split the window"));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        m_band = new QRubberBand(QRubberBand::Line, m_splitter);
        Track(e->globalPosition().toPoint());
        m_band->show();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (m_band) Track(e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!m_band) return;
        delete m_band;
        m_band = nullptr;
        const QPoint p = m_splitter->mapFromGlobal(e->globalPosition().toPoint());
        if (m_orientation == Qt::Vertical) {
            if (p.y() > CChartSplitter::kMinPane && p.y() < m_splitter->height() - CChartSplitter::kMinPane)
                m_splitter->SplitRow(p.y());
        } else if (p.x() > CChartSplitter::kMinPane &&
                   p.x() < m_splitter->width() - CChartSplitter::kMinPane) {
            m_splitter->SplitColumn(p.x());
        }
    }

  private:
    void Track(const QPoint& global) {
        const QPoint p = m_splitter->mapFromGlobal(global);
        if (m_orientation == Qt::Vertical)
            m_band->setGeometry(0, std::clamp(p.y(), 0, m_splitter->height()) - 2, m_splitter->width(), 4);
        else
            m_band->setGeometry(std::clamp(p.x(), 0, m_splitter->width()) - 2, 0, 4, m_splitter->height());
    }

    CChartSplitter* m_splitter;
    Qt::Orientation m_orientation;
    QRubberBand* m_band = nullptr;
};

} // namespace

// ---- CChildFrame ------------------------------------------------------------------------------

CChildFrame::CChildFrame(ViewKind kind, std::unique_ptr<CView> view, COrventDoc& doc, QWidget* parent)
    : QMdiSubWindow(parent), m_kind(kind), m_doc(&doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/app/kintra.svg")));
    if (kind == ViewKind::Graph) {
        m_single = new CViewHost(kind, std::move(view), doc, this);
        connect(m_single, &CViewHost::captionChanged, this, &CChildFrame::captionWanted);
        setWidget(m_single);
    } else {
        m_splitter = new CChartSplitter(kind, std::move(view), doc, this);
        connect(m_splitter, &CChartSplitter::panesChanged, this, [this] {
            for (CViewHost* h : Panes()) {
                disconnect(h, &CViewHost::captionChanged, this, nullptr);
                connect(h, &CViewHost::captionChanged, this, &CChildFrame::captionWanted);
            }
        });
        connect(m_splitter->FirstPane(), &CViewHost::captionChanged, this, &CChildFrame::captionWanted);
        setWidget(m_splitter);
    }
}

CChildFrame::~CChildFrame() {
    if (!m_recordClose || !m_doc) return;
    // The panes and their views go first, so the document no longer shows them.
    delete widget();
    m_doc->RecordChange(m_closeLabel, std::move(m_closeBefore));
}

void CChildFrame::RecordCloseAs(std::string label, std::vector<std::uint8_t> before) {
    m_recordClose = true;
    m_closeLabel = std::move(label);
    m_closeBefore = std::move(before);
}

CViewHost* CChildFrame::FirstPane() const {
    return m_single ? m_single : m_splitter->FirstPane();
}
CView* CChildFrame::FirstView() const {
    return FirstPane() ? FirstPane()->View() : nullptr;
}

CViewHost* CChildFrame::ActivePane() const {
    const QWidget* focus = QApplication::focusWidget();
    for (CViewHost* h : Panes())
        if (focus && (focus == h || h->isAncestorOf(focus))) return h;
    return FirstPane();
}

std::vector<CViewHost*> CChildFrame::Panes() const {
    if (m_single) return {m_single};
    return m_splitter->Panes();
}

void CChildFrame::UpdateFrameTitle(int windowNumber) {
    // The first pane's view decides the caption of the window.
    QString text;
    for (CViewHost* h : Panes())
        if (!h->Caption().isEmpty()) {
            text = h->Caption();
            break;
        }
    m_titleText = text;
    if (!text.isEmpty()) {
        setWindowTitle(text);
        return;
    }
    QString title = QString::fromStdString(m_doc->GetTitle());
    if (windowNumber > 0) title += QStringLiteral(":%1").arg(windowNumber);
    setWindowTitle(title);
}

void CChildFrame::CloseSilently() {
    m_silent = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    // The main window may refuse (the user cancelled saving the chart).
    if (!m_silent && CanClose && !CanClose(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

// ---- CChartSplitter ---------------------------------------------------------------------------

CChartSplitter::CChartSplitter(ViewKind kind, std::unique_ptr<CView> first, COrventDoc& doc, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_doc(&doc) {
    m_rows = new QSplitter(Qt::Vertical, this);
    m_rows->setChildrenCollapsible(true);
    m_rows->setHandleWidth(5);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_rows);
    auto* row = new QSplitter(Qt::Horizontal, m_rows);
    row->setChildrenCollapsible(true);
    row->setHandleWidth(5);
    m_rowSplitters.push_back(row);
    auto* host = new CViewHost(kind, std::move(first), doc, row);
    row->addWidget(host);
    m_panes.push_back({host});
    connect(m_rows, &QSplitter::splitterMoved, this, [this] { CheckCollapsed(); });
    connect(row, &QSplitter::splitterMoved, this, [this, row] {
        SyncColumns(row);
        CheckCollapsed();
    });
    AddSplitBoxes();
}

CViewHost* CChartSplitter::Pane(int row, int column) const {
    if (row < 0 || row >= Rows() || column < 0 || column >= Columns()) return nullptr;
    return m_panes[row][column];
}

std::vector<CViewHost*> CChartSplitter::Panes() const {
    std::vector<CViewHost*> out;
    for (const auto& r : m_panes)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

// A new pane: one more view of the same kind on the document, which takes the first pane's
// settings before its initial update.
CViewHost* CChartSplitter::MakePane() {
    std::unique_ptr<CView> view = CreateCoreView(m_kind);
    CView* raw = view.get();
    auto* host = new CViewHost(m_kind, std::move(view), *m_doc);
    CView* first = FirstPane()->View();
    if (auto* chart = dynamic_cast<COrventView*>(first))
        chart->CopySettingsTo(*static_cast<COrventView*>(raw));
    else if (auto* list = dynamic_cast<CListBase*>(first))
        list->CopySettingsTo(*static_cast<CListBase*>(raw));
    raw->OnInitialUpdate();
    return host;
}

bool CChartSplitter::SplitRow(int pixel) {
    if (Rows() >= kMaxRows) return false;
    auto* row = new QSplitter(Qt::Horizontal);
    row->setChildrenCollapsible(true);
    row->setHandleWidth(5);
    std::vector<CViewHost*> panes;
    for (int c = 0; c < Columns(); ++c) {
        CViewHost* host = MakePane();
        row->addWidget(host);
        panes.push_back(host);
    }
    m_rows->addWidget(row);
    m_rowSplitters.push_back(row);
    m_panes.push_back(panes);
    connect(row, &QSplitter::splitterMoved, this, [this, row] {
        SyncColumns(row);
        CheckCollapsed();
    });
    const int total = m_rows->height();
    m_rows->setSizes({pixel, std::max(kMinPane, total - pixel - m_rows->handleWidth())});
    SyncColumns(m_rowSplitters.front());
    AddSplitBoxes();
    emit panesChanged();
    return true;
}

bool CChartSplitter::SplitColumn(int pixel) {
    if (Columns() >= kMaxColumns) return false;
    for (int r = 0; r < Rows(); ++r) {
        CViewHost* host = MakePane();
        m_rowSplitters[r]->addWidget(host);
        m_panes[r].push_back(host);
    }
    const int total = width();
    m_rowSplitters.front()->setSizes({pixel, std::max(kMinPane, total - pixel - m_rows->handleWidth())});
    SyncColumns(m_rowSplitters.front());
    AddSplitBoxes();
    emit panesChanged();
    return true;
}

void CChartSplitter::RemoveRow(int row) {
    if (row <= 0 || row >= Rows()) return;
    for (CViewHost* h : m_panes[row])
        delete h;
    delete m_rowSplitters[row];
    m_panes.erase(m_panes.begin() + row);
    m_rowSplitters.erase(m_rowSplitters.begin() + row);
    AddSplitBoxes();
    emit panesChanged();
}

void CChartSplitter::RemoveColumn(int column) {
    if (column <= 0 || column >= Columns()) return;
    for (int r = 0; r < Rows(); ++r) {
        delete m_panes[r][column];
        m_panes[r].erase(m_panes[r].begin() + column);
    }
    AddSplitBoxes();
    emit panesChanged();
}

void CChartSplitter::ToggleSplit() {
    if (Rows() > 1 || Columns() > 1) {
        RemoveColumn(1);
        RemoveRow(1);
        return;
    }
    SplitColumn(width() / 2);
    SplitRow(height() / 2);
}

void CChartSplitter::NextPane(bool forward) {
    const std::vector<CViewHost*> panes = Panes();
    if (panes.size() < 2) return;
    const QWidget* focus = QApplication::focusWidget();
    int current = 0;
    for (std::size_t i = 0; i < panes.size(); ++i)
        if (focus && (focus == panes[i] || panes[i]->isAncestorOf(focus))) current = static_cast<int>(i);
    const int n = static_cast<int>(panes.size());
    panes[(current + (forward ? 1 : n - 1)) % n]->setFocus(Qt::TabFocusReason);
}

void CChartSplitter::SyncColumns(QSplitter* source) {
    if (m_syncing) return;
    m_syncing = true;
    const QList<int> sizes = source->sizes();
    for (QSplitter* s : m_rowSplitters)
        if (s != source && s->count() == source->count()) s->setSizes(sizes);
    m_syncing = false;
}

// A pane dragged down to nothing goes away; the first pane's row and column always stay, so a
// collapsed first row or column gives its place to the other.
void CChartSplitter::CheckCollapsed() {
    if (m_syncing) return;
    if (Rows() > 1) {
        const QList<int> sizes = m_rows->sizes();
        if (sizes.size() > 1 && (sizes[0] < kMinPane || sizes[1] < kMinPane)) {
            RemoveRow(1);
            return;
        }
    }
    if (Columns() > 1) {
        const QList<int> sizes = m_rowSplitters.front()->sizes();
        if (sizes.size() > 1 && (sizes[0] < kMinPane || sizes[1] < kMinPane)) RemoveColumn(1);
    }
}

void CChartSplitter::AddSplitBoxes() {
    CViewHost* first = FirstPane();
    if (!first) return;
    // Boxes live on the first pane's scroll bars while that direction is not split yet.
    for (QWidget* w : first->scrollBarWidgets(Qt::AlignTop))
        w->deleteLater();
    for (QWidget* w : first->scrollBarWidgets(Qt::AlignLeft))
        w->deleteLater();
    if (Rows() < kMaxRows) first->addScrollBarWidget(new CSplitBox(this, Qt::Vertical), Qt::AlignTop);
    if (Columns() < kMaxColumns)
        first->addScrollBarWidget(new CSplitBox(this, Qt::Horizontal), Qt::AlignLeft);
}
