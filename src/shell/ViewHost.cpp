#include "ViewHost.h"

#include "CommandIds.h"

#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "render/QtDeviceContext.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

namespace {
bool g_paintingSuspended = false;

ViewWindow* const kNoWindow = nullptr;

// Cursor 140: the cross-hair shown while a block waits for its grid point; hotspot at its centre.
const QCursor& PlacingCursor() {
    static const QCursor cursor = [] {
        QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer svg(QStringLiteral(":/pictures/140.svg"));
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        return QCursor(QPixmap::fromImage(image), 16, 16);
    }();
    return cursor;
}

void AttachWindow(CView* view, ViewWindow* window) {
    if (auto* chart = dynamic_cast<COrventView*>(view))
        chart->SetWindow(window);
    else if (auto* output = dynamic_cast<CTemplateView*>(view))
        output->SetWindow(window);
}
} // namespace

std::unique_ptr<CView> CreateCoreView(ViewKind kind) {
    switch (kind) {
    case ViewKind::Chart:
        return std::make_unique<COrventView>();
    case ViewKind::Graph:
        return std::make_unique<CGraphBase>();
    case ViewKind::List:
        return std::make_unique<CListBase>();
    }
    return nullptr;
}

int HelpContextOf(ViewKind kind) {
    switch (kind) {
    case ViewKind::Chart:
        return 121;
    case ViewKind::Graph:
        return 122;
    case ViewKind::List:
        return 123;
    }
    return 0;
}

CViewHost::CViewHost(ViewKind kind, std::unique_ptr<CView> view, COrventDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_kind(kind), m_view(std::move(view)), m_doc(&doc) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    // Split panes keep their scroll bars so that the split boxes stay reachable.
    const Qt::ScrollBarPolicy policy =
        kind == ViewKind::Graph ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    doc.AddView(m_view.get());
    AttachWindow(m_view.get(), this);
}

CViewHost::~CViewHost() {
    AttachWindow(m_view.get(), kNoWindow);
    m_view.reset();
}

double CViewHost::PixelsPerUnit() const {
    return logicalDpiX() / 100.0;
}

QPoint CViewHost::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CViewHost::SetScrollPosition(const QPoint& pos) {
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

CRect CViewHost::ClientRect() const {
    const double ppu = PixelsPerUnit();
    const QPoint s = ScrollPosition();
    const int w = static_cast<int>(viewport()->width() / ppu);
    const int h = static_cast<int>(viewport()->height() / ppu);
    return {s.x(), -s.y(), s.x() + w, -s.y() - h};
}

std::unique_ptr<DeviceContext> CViewHost::GetDC() {
    return std::make_unique<QtDeviceContext>(viewport(), viewport()->size(), ScrollPosition(),
                                             PixelsPerUnit());
}

void CViewHost::SetScrollSizes(CSize total, CSize page, CSize line) {
    m_total = {std::max(0, std::abs(total.cx)), std::max(0, std::abs(total.cy))};
    m_page = {std::abs(page.cx), std::abs(page.cy)};
    m_line = {std::abs(line.cx), std::abs(line.cy)};
    UpdateScrollBars();
}

void CViewHost::UpdateScrollBars() {
    const double ppu = PixelsPerUnit();
    const int visibleX = static_cast<int>(viewport()->width() / ppu);
    const int visibleY = static_cast<int>(viewport()->height() / ppu);
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, m_total.cx - visibleX));
    v->setRange(0, std::max(0, m_total.cy - visibleY));
    h->setPageStep(std::max(1, m_page.cx > 0 ? m_page.cx : visibleX * 9 / 10));
    v->setPageStep(std::max(1, m_page.cy > 0 ? m_page.cy : visibleY * 9 / 10));
    h->setSingleStep(std::max(1, m_line.cx > 0 ? m_line.cx : visibleX / 10));
    v->setSingleStep(std::max(1, m_line.cy > 0 ? m_line.cy : visibleY / 10));
}

void CViewHost::Invalidate() {
    if (!g_paintingSuspended) viewport()->update();
}

void CViewHost::SetCaption(const std::string& caption) {
    const QString c = QString::fromStdString(caption);
    if (c == m_caption) return;
    m_caption = c;
    emit captionChanged();
}

void CViewHost::SetPaintingSuspended(bool suspended) {
    g_paintingSuspended = suspended;
}
bool CViewHost::PaintingSuspended() {
    return g_paintingSuspended;
}

void CViewHost::RepaintDuringRun() {
    if (auto* chart = dynamic_cast<COrventView*>(m_view.get())) {
        // A chart shows its blocks' values as they change; nothing else of it moves.
        if (m_picture.isNull() || !chart->ValueDisplay || !chart->GetDocument()) return;
        {
            QPainter painter(&m_picture);
            QtDeviceContext dc(painter, viewport()->size(), ScrollPosition(), PixelsPerUnit(),
                               viewport()->rect());
            chart->DrawLiveValues(dc);
        }
        viewport()->repaint();
        return;
    }
    if (m_kind == ViewKind::Graph && !m_marks.empty()) {
        // The read-out's marks stood on the samples before the run: the first refresh drops them.
        m_marks.clear();
        m_pictureKey.clear();
    }
    if (m_kind == ViewKind::Graph && AppendNewSamples()) {
        ++m_appendedRepaints;
        return;
    }
    if (auto* list = dynamic_cast<CListBase*>(m_view.get()); list && !m_picture.isNull()) {
        // New rows below the window's last line change nothing in it (the scroll bar follows
        // by itself).
        const int rows = list->RowCount();
        if (rows >= m_pictureSamples && list->ShownRowsEnd >= 0 && m_pictureSamples >= list->ShownRowsEnd &&
            LiveKey() == m_pictureKey) {
            ++m_appendedRepaints;
            return;
        }
    }
    m_paintDuringRun = true;
    viewport()->repaint();
    m_paintDuringRun = false;
}

std::vector<std::uint64_t> CViewHost::LiveKey() const {
    std::vector<std::uint64_t> key;
    if (const auto* graph = dynamic_cast<const CGraphBase*>(m_view.get())) key = graph->LiveDrawKey();
    const QPoint scroll = ScrollPosition();
    for (int v : {viewport()->width(), viewport()->height(), scroll.x(), scroll.y()})
        key.push_back(static_cast<std::uint64_t>(static_cast<std::int64_t>(v)));
    return key;
}

void CViewHost::NoteFullPicture() {
    m_pictureKey.clear();
    m_pictureSamples = -1;
    if (!m_view || !m_view->GetDocument()) return;
    if (const auto* graph = dynamic_cast<const CGraphBase*>(m_view.get())) {
        m_pictureKey = LiveKey();
        m_pictureSamples = graph->SampleCount;
    } else if (const auto* list = dynamic_cast<const CListBase*>(m_view.get())) {
        m_pictureKey = LiveKey();
        m_pictureSamples = list->RowCount();
    }
}

bool CViewHost::AppendNewSamples() {
    auto* graph = dynamic_cast<CGraphBase*>(m_view.get());
    // A zoom band lies over the traces: that picture is drawn whole.
    if (!graph || m_picture.isNull() || m_pictureKey.empty() || m_drag != GraphDrag::None) return false;
    const int samples = graph->SampleCount;
    if (samples < m_pictureSamples || LiveKey() != m_pictureKey) return false;
    if (samples == m_pictureSamples) return true;
    const QRect all = viewport()->rect();
    QRect changed;
    {
        QPainter painter(&m_picture);
        QtDeviceContext dc(painter, viewport()->size(), ScrollPosition(), PixelsPerUnit(), all);
        graph->DrawNewSamples(dc, m_pictureSamples);
        // The traces are clipped to the plot and one unit around it; a wide pen reaches a little
        // beyond.
        const CRect& plot = graph->PlotRect;
        const int pen = static_cast<int>(std::ceil(50 * PixelsPerUnit())) + 2;
        changed = dc.ToDevice(CRect{plot.left - 1, plot.top + 1, plot.right + 1, plot.bottom - 1})
                      .adjusted(-pen, -pen, pen, pen)
                      .intersected(all);
    }
    m_pictureSamples = samples;
    viewport()->repaint(changed);
    return true;
}

void CViewHost::Relayout() {
    if (auto* chart = dynamic_cast<COrventView*>(m_view.get())) chart->RecalcLayout();
    UpdateScrollBars();
}

// The view paints into an image kept for the window, which is then copied to the screen; while
// a run proceeds the window shows that image as it was when the run began.
void CViewHost::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize pixels = viewport()->size() * ratio;
    if (!g_paintingSuspended || m_paintDuringRun || m_picture.isNull()) {
        if (m_picture.size() != pixels) {
            m_picture = QImage(pixels, QImage::Format_RGB32);
            m_picture.setDevicePixelRatio(ratio);
        }
        // A run's refresh draws the whole picture, also where other windows cover the window (the
        // paint event leaves that part out), so that the next refreshes can add to it.
        const QRect area = m_paintDuringRun ? viewport()->rect() : dirty;
        QPainter painter(&m_picture);
        painter.setClipRect(area);
        Paint(painter, area);
        if (area.contains(viewport()->rect()))
            NoteFullPicture();
        else
            m_pictureKey.clear();
    }
    QPainter screen(viewport());
    screen.drawImage(
        QRectF(dirty), m_picture,
        QRectF(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio, dirty.height() * ratio));
}

void CViewHost::Paint(QPainter& painter, const QRect& dirty) {
    const QColor window = palette().color(QPalette::Base);
    painter.fillRect(dirty, window);
    if (!m_view || !m_view->GetDocument()) return;
    QtDeviceContext dc(painter, viewport()->size(), ScrollPosition(), PixelsPerUnit(), dirty);
    m_view->OnDraw(dc);
    // Drawn over the freshly painted chart, so inverting the pixels shows it.
    if (auto* chart = dynamic_cast<COrventView*>(m_view.get())) {
        chart->DrawHoverPort(dc);
        chart->DrawRubberBand(dc);
    }
    if (m_kind == ViewKind::Graph) {
        // The read-out's cross-hairs and the rubber band of a zoom, drawn over the plot.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::Text), 1));
        for (const QPoint& p : m_marks) {
            painter.drawLine(p.x() - 7, p.y(), p.x() + 7, p.y());
            painter.drawLine(p.x(), p.y() - 7, p.x(), p.y() + 7);
            painter.drawEllipse(p, 3, 3);
        }
        if (m_drag == GraphDrag::Band) {
            painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DashLine));
            painter.drawRect(QRect(m_dragStart, m_dragNow).normalized());
        }
        painter.restore();
    }
}

QImage CViewHost::Render() {
    QImage image(viewport()->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter, image.rect());
    return image;
}

QByteArray CViewHost::RenderSvg() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(viewport()->size());
    svg.setViewBox(QRect(QPoint(0, 0), viewport()->size()));
    svg.setResolution(logicalDpiX());
    svg.setTitle(m_caption);
    QPainter painter(&svg);
    Paint(painter, QRect(QPoint(0, 0), viewport()->size()));
    painter.end();
    return buffer.data();
}

void CViewHost::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (window()->isMinimized()) return;
    Relayout();
}

void CViewHost::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (m_kind == ViewKind::Chart) Relayout();
    Invalidate();
    emit focused(this);
}

void CViewHost::scrollContentsBy(int, int) {
    Invalidate();
}

void CViewHost::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    QAbstractScrollArea::mousePressEvent(event);
    if (m_kind == ViewKind::Graph && !g_paintingSuspended) {
        const bool pan = event->button() == Qt::MiddleButton ||
                         (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
        if (pan || event->button() == Qt::LeftButton) {
            m_drag = pan ? GraphDrag::Pan : GraphDrag::Band;
            m_dragStart = m_dragNow = event->position().toPoint();
        }
        event->accept();
        return;
    }
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (!chart || !chart->GetDocument() || g_paintingSuspended) return;
    const QtDeviceContext dc(viewport(), viewport()->size(), ScrollPosition(), PixelsPerUnit());
    const CPoint point = dc.ToLogical(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        chart->OnLButtonDown(point);
    else if (event->button() == Qt::RightButton)
        chart->OnRButtonDown(point);
    UpdateCursor();
}

// The second press of a double click is no click of its own for the chart (it would open a
// block's editor twice).
void CViewHost::mouseDoubleClickEvent(QMouseEvent* event) {
    if (auto* graph = dynamic_cast<CGraphBase*>(m_view.get()); graph && !g_paintingSuspended) {
        m_drag = GraphDrag::None;
        graph->ResetZoom();
        UpdateReadout(event->position().toPoint());
        event->accept();
        return;
    }
    if (m_kind == ViewKind::Chart) {
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CViewHost::mouseMoveEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseMoveEvent(event);
    UpdateCursor();
    if (auto* graph = dynamic_cast<CGraphBase*>(m_view.get()); graph && !g_paintingSuspended) {
        const QPoint pos = event->position().toPoint();
        if (m_drag == GraphDrag::Pan) {
            const QPointF from = PlotFraction(m_dragNow);
            const QPointF to = PlotFraction(pos);
            graph->PanBy(to.x() - from.x(), to.y() - from.y());
        }
        m_dragNow = pos;
        UpdateReadout(pos);
        viewport()->update();
        event->accept();
        return;
    }
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (!chart || g_paintingSuspended) return;
    UpdateHover(LogicalAt(event->position().toPoint()));
    if (!chart->Connecting) return;
    const QRect before = RubberBandRect();
    const QtDeviceContext dc(viewport(), viewport()->size(), ScrollPosition(), PixelsPerUnit());
    if (!chart->OnMouseMove(dc.ToLogical(event->position().toPoint()))) return;
    // Only the old and the new line are painted again.
    viewport()->update(before);
    viewport()->update(RubberBandRect());
}

void CViewHost::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    auto* graph = dynamic_cast<CGraphBase*>(m_view.get());
    if (!graph || m_drag == GraphDrag::None) return;
    const GraphDrag drag = m_drag;
    m_drag = GraphDrag::None;
    const QPoint pos = event->position().toPoint();
    // A band of a few pixels is a click, not a zoom.
    if (drag == GraphDrag::Band && !g_paintingSuspended && std::abs(pos.x() - m_dragStart.x()) > 3 &&
        std::abs(pos.y() - m_dragStart.y()) > 3) {
        const QPointF a = PlotFraction(m_dragStart);
        const QPointF b = PlotFraction(pos);
        graph->ZoomTo(a.x(), b.x(), a.y(), b.y());
    }
    UpdateReadout(pos);
    viewport()->update();
    event->accept();
}

void CViewHost::wheelEvent(QWheelEvent* event) {
    auto* graph = dynamic_cast<CGraphBase*>(m_view.get());
    if (!graph || g_paintingSuspended) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        const QPointF f = PlotFraction(event->position().toPoint());
        // One notch of the wheel shows a fifth less (or a quarter more) about the mouse.
        graph->ZoomAbout(f.x(), f.y(), std::pow(0.8, delta / 120.0));
        UpdateReadout(event->position().toPoint());
    }
    event->accept();
}

void CViewHost::contextMenuEvent(QContextMenuEvent* event) {
    auto* graph = dynamic_cast<CGraphBase*>(m_view.get());
    if (!graph || g_paintingSuspended) {
        QAbstractScrollArea::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    const QPointF f = PlotFraction(event->pos());
    menu.addAction(QStringLiteral("Zoom &In"), this, [this, graph, f] {
        graph->ZoomStep(f.x(), f.y(), 0.5);
        viewport()->update();
    });
    menu.addAction(QStringLiteral("Zoom &Out"), this, [this, graph, f] {
        graph->ZoomStep(f.x(), f.y(), 2.0);
        viewport()->update();
    });
    QAction* normal = menu.addAction(QStringLiteral("&Normal Scales\tHome"), this, [this, graph] {
        graph->ResetZoom();
        viewport()->update();
    });
    normal->setEnabled(graph->IsZoomed());
    menu.addSeparator();
    QAction* keep = menu.addAction(QStringLiteral("&Keep Earlier Runs"), this, [this, graph](bool on) {
        graph->SetKeepEarlierRuns(on);
        viewport()->update();
    });
    keep->setCheckable(true);
    keep->setChecked(graph->KeepEarlierRuns);
    QAction* clear = menu.addAction(QStringLiteral("C&lear Earlier Runs"), this, [this, graph] {
        graph->ClearEarlierRuns();
        viewport()->update();
    });
    clear->setEnabled(!graph->EarlierRuns.empty());
    // The frame's own commands act on the active window: the one clicked becomes it, also where
    // the press gave it no focus (an inactive top-level window, a keyboard-opened menu elsewhere).
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            if (QMdiArea* area = sub->mdiArea(); area && area->activeSubWindow() != sub)
                area->setActiveSubWindow(sub);
            break;
        }
    setFocus(Qt::PopupFocusReason);
    if (QWidget* frame = window()) {
        bool separated = false;
        for (int id : {ID_FILE_EXPORT, ID_EDIT_COPY}) {
            if (auto* action = frame->findChild<QAction*>(QStringLiteral("action%1").arg(id))) {
                if (!separated) menu.addSeparator();
                separated = true;
                menu.addAction(action);
            }
        }
    }
    menu.exec(event->globalPos());
    event->accept();
}

QPointF CViewHost::PlotFraction(const QPoint& pos) const {
    const auto* graph = dynamic_cast<const CGraphBase*>(m_view.get());
    if (!graph) return {};
    const CRect plot = graph->PlotRect;
    const CPoint p = LogicalAt(pos);
    const double w = plot.Width();
    const double h = plot.Height();
    return {w > 0 ? (p.x - plot.left) / w : 0.0, h > 0 ? (p.y - plot.bottom) / h : 0.0};
}

void CViewHost::UpdateReadout(const QPoint& pos) {
    const auto* graph = dynamic_cast<const CGraphBase*>(m_view.get());
    if (!graph) return;
    const bool hadMarks = !m_marks.empty();
    m_marks.clear();
    const QPointF f = PlotFraction(pos);
    QString text;
    if (f.x() >= 0 && f.x() <= 1 && f.y() >= 0 && f.y() <= 1 && !g_paintingSuspended) {
        const auto samples = graph->NearestSamples(f.x(), f.y());
        const QtDeviceContext dc(viewport(), viewport()->size(), ScrollPosition(), PixelsPerUnit());
        for (const auto& s : samples)
            m_marks.push_back(dc.ToDevice(s.At.x, s.At.y));
        text = QString::fromStdString(graph->ReadoutText(samples));
    }
    if (auto* frame = qobject_cast<QMainWindow*>(window()); frame && frame->statusBar()) {
        if (!text.isEmpty())
            frame->statusBar()->showMessage(text);
        else if (hadMarks)
            frame->statusBar()->clearMessage();
    }
    if (hadMarks || !m_marks.empty()) viewport()->update();
}

QRect CViewHost::RubberBandRect() const {
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (!chart || !chart->Connecting) return {};
    const QtDeviceContext dc(viewport(), viewport()->size(), ScrollPosition(), PixelsPerUnit());
    return QRect(dc.ToDevice(chart->Anchor.x, chart->Anchor.y), dc.ToDevice(chart->End.x, chart->End.y))
        .normalized()
        .adjusted(-2, -2, 2, 2);
}

void CViewHost::UpdateCursor() {
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (chart && chart->ShowsPlacingCursor())
        viewport()->setCursor(PlacingCursor());
    else
        viewport()->unsetCursor();
}

CPoint CViewHost::LogicalAt(const QPoint& pos) const {
    const QtDeviceContext dc(viewport(), viewport()->size(), ScrollPosition(), PixelsPerUnit());
    return dc.ToLogical(pos);
}

void CViewHost::UpdateHover(const CPoint& point) {
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (!chart || !chart->GetDocument()) return;
    if (chart->SetHoverPoint(point)) viewport()->update();
}

QString CViewHost::ToolTipAt(const QPoint& pos) const {
    // A graph's shortened legend shows its full text.
    if (auto* graph = dynamic_cast<CGraphBase*>(m_view.get()); graph && !g_paintingSuspended)
        return QString::fromStdString(graph->LegendTipAt(LogicalAt(pos)));
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (!chart || !chart->GetDocument() || g_paintingSuspended) return {};
    return QString::fromStdString(chart->TipAt(LogicalAt(pos)));
}

int CViewHost::HelpContextAtCursor() const {
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
    if (chart && chart->GetDocument() && viewport()->rect().contains(pos)) {
        if (const CBlock* block = chart->HitTestBlock(LogicalAt(pos)); block && block->HelpId)
            return block->HelpId;
    }
    return HelpContextOf(m_kind);
}

// Escape gives up a block waiting to be placed or a connection begun, as the right button does.
void CViewHost::keyPressEvent(QKeyEvent* event) {
    if (auto* graph = dynamic_cast<CGraphBase*>(m_view.get());
        graph && event->key() == Qt::Key_Home && !g_paintingSuspended) {
        graph->ResetZoom();
        viewport()->update();
        event->accept();
        return;
    }
    auto* chart = dynamic_cast<COrventView*>(m_view.get());
    if (event->key() == Qt::Key_Escape && chart && !g_paintingSuspended && chart->CancelEditing()) {
        UpdateCursor();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool CViewHost::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = ToolTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    if (event->type() == QEvent::Leave) {
        UpdateHover({-1000000, 1000000});
        if (m_kind == ViewKind::Graph) UpdateReadout({-1, -1});
    }
    return QAbstractScrollArea::viewportEvent(event);
}
