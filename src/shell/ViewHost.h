#pragma once
// The widget that shows one core view: it scrolls in the view's logical units (0.01 inch, y
// upwards), paints through a device context on a QPainter, and is the view's window.

#include "platform/DeviceContext.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

class CView;
class COrventDoc;

enum class ViewKind { Chart, Graph, List };

// A new core view of that kind, not yet on a document.
std::unique_ptr<CView> CreateCoreView(ViewKind kind);
// The help context of a kind of window.
int HelpContextOf(ViewKind kind);

class CViewHost : public QAbstractScrollArea, public ViewWindow {
    Q_OBJECT
  public:
    // Takes the view over; it is added to `doc`, and told about its window.
    CViewHost(ViewKind kind, std::unique_ptr<CView> view, COrventDoc& doc, QWidget* parent = nullptr);
    ~CViewHost() override;

    ViewKind Kind() const { return m_kind; }
    CView* View() const { return m_view.get(); }
    COrventDoc* Document() const { return m_doc; }

    // ---- ViewWindow ----
    std::unique_ptr<DeviceContext> GetDC() override;
    void SetScrollSizes(CSize total, CSize page, CSize line) override;
    void Invalidate() override;
    void SetCaption(const std::string& caption) override;

    // Pixels per logical unit on this screen.
    double PixelsPerUnit() const;
    // Scroll position in logical units (x to the right, y downwards from the top).
    QPoint ScrollPosition() const;
    void SetScrollPosition(const QPoint& pos);
    CSize ScrollTotal() const { return m_total; }
    // The view's window in logical units: what GetClientRect reports.
    CRect ClientRect() const;

    // While a run proceeds no view window paints; the run repaints them all at its end.
    static void SetPaintingSuspended(bool suspended);
    static bool PaintingSuspended();
    // Paints the window now even while a run suspends painting: the run's refresh shows the
    // graphs and lists growing and the charts' values changing. A graph whose scales held adds
    // only the new samples to its picture; a list whose shown rows were already full is left as
    // it is; a chart draws its values again and nothing else.
    void RepaintDuringRun();
    // The picture the window shows (as last painted), without painting it again.
    const QImage& Picture() const { return m_picture; }
    // How many of those refreshes were served by adding to the picture (for the tests).
    int AppendedRepaints() const { return m_appendedRepaints; }

    // The caption the view asked for (empty: the standard caption).
    const QString& Caption() const { return m_caption; }

    // Renders the view into an image of the viewport's size (for looking at the result).
    QImage Render();
    // The same picture as an SVG document, drawn by the same code.
    QByteArray RenderSvg();

    // A chart window shows the placing cursor while a block waits to be placed, else the arrow.
    void UpdateCursor();
    // The tooltip at a point of the viewport: a chart's block or port there, else empty.
    QString ToolTipAt(const QPoint& pos) const;
    // The help context for F1: in a chart the page of the block under the mouse, else the
    // window's own.
    int HelpContextAtCursor() const;

  signals:
    void captionChanged();
    void focused(CViewHost* host);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    void UpdateScrollBars();
    void Relayout();
    void Paint(QPainter& painter, const QRect& dirty);
    // The logical point under a point of the viewport.
    CPoint LogicalAt(const QPoint& pos) const;
    // Follows the mouse for the highlighted port (a point outside the chart clears it).
    void UpdateHover(const CPoint& point);
    // The pixels the rubber band of a connection being drawn covers (empty when there is none).
    QRect RubberBandRect() const;
    // A graph window: the point of the viewport as fractions of the plot as last drawn.
    QPointF PlotFraction(const QPoint& pos) const;
    // A graph window: the read-out of the samples nearest to the mouse, in the frame's status
    // bar and as marks over the plot (a point outside the plot clears them).
    void UpdateReadout(const QPoint& pos);
    // What the picture was drawn from, after a paint of the whole window; cleared by a partial one.
    void NoteFullPicture();
    // A graph's refresh that draws only the samples recorded since the picture was drawn; false
    // when the picture cannot be completed that way (scales, layout or window changed).
    bool AppendNewSamples();
    // The graph's LiveDrawKey with the window's size and scroll position.
    std::vector<std::uint64_t> LiveKey() const;

    // A graph window's zoom drags: a rubber band (left button) or a pan (middle, or Shift+left).
    enum class GraphDrag { None, Band, Pan };
    GraphDrag m_drag = GraphDrag::None;
    QPoint m_dragStart;
    QPoint m_dragNow;
    std::vector<QPoint> m_marks; // device points of the read-out's samples

    ViewKind m_kind;
    std::unique_ptr<CView> m_view;
    COrventDoc* m_doc;
    CSize m_total{0, 0};
    CSize m_page{0, 0};
    CSize m_line{0, 0};
    QString m_caption;
    QImage m_picture; // what the window shows
    bool m_paintDuringRun = false;
    // The picture's origin: the key it was drawn at and the samples (graph) or rows (list) in it.
    std::vector<std::uint64_t> m_pictureKey;
    int m_pictureSamples = -1;
    int m_appendedRepaints = 0;
};
