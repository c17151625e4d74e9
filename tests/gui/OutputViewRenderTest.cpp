// The Graph and List windows of the example charts drawn through the Qt device context into
// images, offscreen. The pictures land in KINTRA_RENDER_DIR for people to look at; the tests check
// what a picture shows for sure: traces in their colours inside the plot, the axes where the
// layout puts them, ink where labels, legends, names and values stand, the frozen first column.

#include "ViewHost.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/Platform.h"
#include "render/QtDeviceContext.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

QString RenderPath(const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/%1").arg(QLatin1String(name));
}

template <typename T> std::vector<T*> ViewsOf(const COrventDoc& doc) {
    std::vector<T*> out;
    for (CView* v : doc.Views())
        if (auto* t = dynamic_cast<T*>(v)) out.push_back(t);
    return out;
}

class OutputRender : public ::testing::Test {
  protected:
    OutputRender() : scope(&store, &messages, &windows) {
        QImage probe(1, 1, QImage::Format_RGB32);
        ppu = QtDeviceContext::PixelsPerUnit(probe);
    }
    ~OutputRender() override {
        graphHost.reset();
        if (doc) kintra::CloseChartDocument(std::move(doc));
    }

    void Open(const char* example) {
        doc = kintra::OpenChartDocument(std::string(KINTRA_SOURCE_DIR "/examples/") + example);
        ASSERT_TRUE(doc) << example;
        ASSERT_FALSE(doc->Clock()->HistoryValues().empty()) << example << " carries no run";
    }

    // A 640 x 400 graph window (graphHost) with the settings of the chart's first graph, shown and
    // initially updated.
    CGraphBase& ShowFirstGraph() {
        CGraphBase& loaded = *ViewsOf<CGraphBase>(*doc).front();
        auto view = std::make_unique<CGraphBase>();
        CGraphBase& graph = *view;
        graphHost = std::make_unique<CViewHost>(ViewKind::Graph, std::move(view), *doc);
        loaded.CopySettingsTo(graph);
        graphHost->resize(640, 400);
        graphHost->show();
        graph.OnInitialUpdate();
        return graph;
    }

    // The view drawn into a window of w x h pixels (the screen's resolution), saved as `file`.
    QImage Render(CView& view, int w, int h, const char* file) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            QtDeviceContext dc(painter, image.size(), QPoint(0, 0), ppu, image.rect());
            view.OnDraw(dc);
        }
        if (file) image.save(RenderPath(file));
        return image;
    }

    QPoint Pixel(int x, int y) const {
        return {static_cast<int>(std::lround(x * ppu)), static_cast<int>(std::lround(-y * ppu))};
    }
    // Pixels of the logical box (left, top, right, bottom; y upwards) that satisfy `test`.
    template <typename F> int Count(const QImage& image, CRect box, F test) const {
        const QPoint a = Pixel(box.left, box.top);
        const QPoint b = Pixel(box.right, box.bottom);
        int n = 0;
        for (int py = std::max(0, a.y()); py <= std::min(image.height() - 1, b.y()); ++py)
            for (int px = std::max(0, a.x()); px <= std::min(image.width() - 1, b.x()); ++px)
                if (test(image.pixelColor(px, py))) ++n;
        return n;
    }
    // Pixels clearly darker than the white background (text of any colour, lines).
    int Ink(const QImage& image, CRect box) const {
        return Count(image, box, [](const QColor& c) { return c.lightness() < 180; });
    }
    int OfColour(const QImage& image, CRect box, COLORREF colour) const {
        const QColor want = QtDeviceContext::ColorOf(colour);
        return Count(image, box, [&](const QColor& c) {
            return std::abs(c.red() - want.red()) < 60 && std::abs(c.green() - want.green()) < 60 &&
                   std::abs(c.blue() - want.blue()) < 60;
        });
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    HeadlessWindowHost windows;
    std::unique_ptr<CViewHost> graphHost;
    ScopedPlatform scope;
    std::unique_ptr<COrventDoc> doc;
    double ppu = 0.96;
};

} // namespace

TEST_F(OutputRender, SpringMassGraphShowsItsTraceInsideTheAxes) {
    Open("spring-mass.cht");
    const auto graphs = ViewsOf<CGraphBase>(*doc);
    ASSERT_FALSE(graphs.empty());
    CGraphBase& graph = *graphs.front();
    const QImage image = Render(graph, 760, 480, "graph-spring-mass.png");
    const int w = static_cast<int>(760 / ppu);
    const int h = static_cast<int>(480 / ppu);
    const CRect plot{graph.LeftMargin, -graph.TopMargin, w - graph.RightMargin, -(h - graph.BottomMargin)};
    ASSERT_GT(plot.Width(), 300);
    ASSERT_GT(plot.Height(), 200);

    // The axes: the left one and the X axis in the axis colour.
    EXPECT_GT(
        OfColour(image, {plot.left - 1, plot.top - 20, plot.left + 1, plot.bottom + 20}, graph.Color[0]),
        100);
    EXPECT_GT(
        OfColour(image, {plot.left + 20, plot.bottom + 1, plot.right - 20, plot.bottom - 1}, graph.Color[0]),
        200);
    // Every graph draws inside the plot in its colour.
    for (int k = 1; k <= graph.LastTrace; ++k) {
        SCOPED_TRACE(k);
        EXPECT_GT(
            OfColour(image, {plot.left + 2, plot.top - 2, plot.right - 2, plot.bottom + 2}, graph.Color[k]),
            100);
    }
    // Tick labels left of the plot and under it, legends at the bottom.
    EXPECT_GT(Ink(image, {0, plot.top + 10, plot.left - 2, plot.bottom - 10}), 50);
    EXPECT_GT(Ink(image, {plot.left - 20, plot.bottom - 2, plot.right + 20, plot.bottom - 25}), 50);
    EXPECT_GT(Ink(image, {0, -h + 25, w, -h}), 30);
}

TEST_F(OutputRender, GraphsOfTheOtherExamples) {
    const char* const examples[] = {"van-der-pol.cht", "predator-prey.cht", "pulse-lag.cht",
                                    "function-lookup.cht"};
    int shown = 0;
    for (const char* example : examples) {
        SCOPED_TRACE(example);
        Open(example);
        int n = 0;
        for (CGraphBase* graph : ViewsOf<CGraphBase>(*doc)) {
            const std::string file = std::string("graph-") +
                                     std::string(example).substr(0, std::strlen(example) - 4) + "-" +
                                     std::to_string(++n) + ".png";
            const QImage image = Render(*graph, 760, 480, file.c_str());
            // Ink of the first graph's colour somewhere in the plot.
            EXPECT_GT(OfColour(image,
                               {graph->LeftMargin + 2, -graph->TopMargin - 2, 790 - graph->RightMargin,
                                -(500 - graph->BottomMargin)},
                               graph->Color[1]),
                      50);
            ++shown;
        }
        kintra::CloseChartDocument(std::move(doc));
    }
    EXPECT_GE(shown, 5);
}

TEST_F(OutputRender, GraphWithNotesGridsAndThreeScales) {
    Open("van-der-pol.cht");
    CGraphBase& graph = *ViewsOf<CGraphBase>(*doc).front();
    // X against time; graph 1 on the left, graph 2 opposite, graph 3 with graph 1.
    CBlock* x = nullptr;
    CBlock* y = nullptr;
    CBlock* damping = nullptr;
    for (const auto& b : doc->Blocks) {
        if (b->Name == "x") x = b.get();
        if (b->Name == "y") y = b.get();
        if (b->Name == "Damping") damping = b.get();
    }
    ASSERT_TRUE(x && y && damping);
    graph.Traces = {doc->Clock(), x, y, damping};
    graph.LastTrace = 3;
    graph.Locn = {0, 0, 2, 1};
    graph.Grids = 3;
    graph.Width = {0, 2, 2, 0};
    graph.DisplayNotes = 1;
    graph.GraphNotes =
        "Van der Pol oscillator, mu = 1.5: x'' - mu (1 - x^2) x' + x = 0. The grid follows the "
        "left scale and the time ticks; the right scale belongs to the second graph.";
    graph.RecomputeScales();
    const QImage image = Render(graph, 760, 520, "graph-notes-grids.png");
    EXPECT_EQ(graph.Side[2], -1);
    EXPECT_GT(graph.RightTicks, 0);
    // The notes are ink at the top, above the plot.
    EXPECT_GT(graph.NotesHeight, 0);
    EXPECT_GT(Ink(image, {0, 0, 790, -graph.NotesHeight}), 100);
    // A vertical grid line half-way along the X axis runs from the axis to the top of the plot.
    const int w = static_cast<int>(760 / ppu);
    const int h = static_cast<int>(520 / ppu);
    const int plotWidth = w - graph.RightMargin - graph.LeftMargin;
    const int mid = graph.LeftMargin + plotWidth * (graph.XTicks / 2) / graph.XTicks;
    const int light = Count(
        image, {mid - 1, -graph.TopMargin - 3, mid + 1, -(h - graph.BottomMargin) + 3},
        [](const QColor& c) { return c.lightness() > 150 && c.lightness() < 230 && c.saturation() < 30; });
    EXPECT_GT(light, 100);
}

TEST_F(OutputRender, SpringMassListShowsNamesValuesAndTheFrozenColumn) {
    Open("spring-mass.cht");
    const auto lists = ViewsOf<CListBase>(*doc);
    ASSERT_FALSE(lists.empty());
    CListBase& list = *lists.front();
    ASSERT_GE(list.Columns.size(), 2u);
    const QImage image = Render(list, 760, 480, "list-spring-mass.png");
    const int cw = list.CellWidth;
    const int rh = list.RowHeight;
    // Header names and the first rows of values in every shown cell.
    const int cells = std::min<int>(static_cast<int>(list.Columns.size()), static_cast<int>(760 / ppu) / cw);
    for (int i = 0; i < cells; ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(Ink(image, {i * cw + 2, 0, (i + 1) * cw - 2, -rh}), 10);
        EXPECT_GT(Ink(image, {i * cw + 2, -rh - 1, (i + 1) * cw, -3 * rh}), 20);
    }
    // The frozen column's edge and the line under the header.
    EXPECT_GT(Ink(image, {cw + 1, -2 * rh, cw + 3, -10 * rh}), 5 * rh);
    EXPECT_GT(Ink(image, {cw + 10, -rh + 1, 2 * cw, -rh - 1}), cw / 2);
}

TEST_F(OutputRender, ListInItsWindowScrollsWithTheFirstColumnFrozen) {
    Open("spring-mass.cht");
    CListBase& loaded = *ViewsOf<CListBase>(*doc).front();
    auto view = std::make_unique<CListBase>();
    CListBase* list = view.get();
    CViewHost host(ViewKind::List, std::move(view), *doc);
    loaded.CopySettingsTo(*list);
    // Narrow enough to scroll sideways: the frozen column and one more.
    list->Extra = 2;
    list->MeasureCells();
    host.resize(3 * static_cast<int>(list->CellWidth * host.PixelsPerUnit()) + 60, 300);
    host.show();
    list->OnInitialUpdate();
    ASSERT_GE(list->Columns.size(), 3u);
    // The window knows the table's size: one more column than there are and three more rows.
    EXPECT_EQ(host.ScrollTotal().cx, static_cast<int>(list->Columns.size() + 1) * list->CellWidth);
    EXPECT_EQ(host.ScrollTotal().cy, list->RowHeight * (list->RowCount() + 3));
    EXPECT_GT(host.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(host.verticalScrollBar()->maximum(), 0);

    const QImage before = host.Render();
    before.save(RenderPath("list-window.png"));
    host.SetScrollPosition(QPoint(list->CellWidth, 20 * list->RowHeight));
    const QImage after = host.Render();
    after.save(RenderPath("list-window-scrolled.png"));
    // The first cell shows the same column; the second one has moved on by one column.
    const int cellPixels = static_cast<int>(list->CellWidth * host.PixelsPerUnit());
    const int rowPixels = static_cast<int>(list->RowHeight * host.PixelsPerUnit());
    EXPECT_EQ(before.copy(0, 0, cellPixels, rowPixels), after.copy(0, 0, cellPixels, rowPixels));
    EXPECT_NE(before.copy(cellPixels + 4, 0, cellPixels - 4, rowPixels),
              after.copy(cellPixels + 4, 0, cellPixels - 4, rowPixels));
}

TEST_F(OutputRender, GraphInItsWindowNeverScrolls) {
    Open("spring-mass.cht");
    CGraphBase* graph = &ShowFirstGraph();
    CViewHost& host = *graphHost;
    EXPECT_EQ(host.ScrollTotal(), (CSize{1, 1}));
    EXPECT_EQ(host.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(host.verticalScrollBar()->maximum(), 0);
    const QImage image = host.Render();
    image.save(RenderPath("graph-window.png"));
    EXPECT_GT(OfColour(image, {graph->LeftMargin + 2, -graph->TopMargin - 2, 600, -300}, graph->Color[1]),
              50);
}

// The mouse and keys of a graph window: a rubber band zooms into the dragged region, a Shift+drag
// pans, the wheel zooms about the mouse, Home returns to the recorded scales; hovering marks the
// nearest samples. None of it reaches the chart's record.
TEST_F(OutputRender, GraphZoomsPansAndReadsOutWithTheMouse) {
    Open("spring-mass.cht");
    CGraphBase* graph = &ShowFirstGraph();
    CViewHost& host = *graphHost;
    host.Render();
    CArchive before;
    graph->Serialize(before);
    const QtDeviceContext dc(host.viewport(), host.viewport()->size(), host.ScrollPosition(),
                             host.PixelsPerUnit());
    const QRect plot = dc.ToDevice(graph->PlotRect).normalized();
    ASSERT_GT(plot.width(), 200);
    const auto at = [&](double fx, double fy) {
        return QPoint(plot.left() + static_cast<int>(fx * plot.width()),
                      plot.bottom() - static_cast<int>(fy * plot.height()));
    };
    const double x1 = graph->ValueAt(0, 1.0);
    const double yLow = graph->ValueAt(1, 0.0);
    const double yHigh = graph->ValueAt(1, 1.0);

    QWidget* vp = host.viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at(0.2, 0.3));
    QTest::mouseMove(vp, at(0.5, 0.7));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at(0.5, 0.7));
    ASSERT_TRUE(graph->IsZoomed());
    EXPECT_LT(graph->ValueAt(0, 1.0), 0.75 * x1);
    EXPECT_GT(graph->ValueAt(1, 0.0), yLow);
    EXPECT_LT(graph->ValueAt(1, 1.0), yHigh);
    // The hover marks land on the plot and the picture shows the zoomed range.
    QTest::mouseMove(vp, at(0.5, 0.5));
    const QImage zoomed = host.Render();
    zoomed.save(RenderPath("graph-zoomed.png"));
    EXPECT_GT(OfColour(zoomed,
                       {graph->PlotRect.left + 2, graph->PlotRect.top - 2, graph->PlotRect.right - 2,
                        graph->PlotRect.bottom + 2},
                       graph->Color[1]),
              20);

    const double shownLow = graph->ValueAt(0, 0.0);
    QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, at(0.5, 0.5));
    QTest::mouseMove(vp, at(0.8, 0.5));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ShiftModifier, at(0.8, 0.5));
    EXPECT_LT(graph->ValueAt(0, 0.0), shownLow);

    const double width = graph->ValueAt(0, 1.0) - graph->ValueAt(0, 0.0);
    QWheelEvent wheel(QPointF(at(0.5, 0.5)), QPointF(vp->mapToGlobal(at(0.5, 0.5))), {}, {0, 240},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &wheel);
    EXPECT_LT(graph->ValueAt(0, 1.0) - graph->ValueAt(0, 0.0), width);

    CArchive after;
    graph->Serialize(after);
    EXPECT_EQ(after.Bytes(), before.Bytes());

    QTest::keyClick(&host, Qt::Key_Home);
    EXPECT_FALSE(graph->IsZoomed());
    EXPECT_EQ(graph->ValueAt(0, 1.0), x1);
}

// With Keep Earlier Runs on, the run before the last one stays behind it, faded and labelled.
TEST_F(OutputRender, GraphKeepsTheEarlierRunFadedBehindTheNewOne) {
    Open("spring-mass.cht");
    CGraphBase* graph = &ShowFirstGraph();
    CViewHost& host = *graphHost;
    graph->SetKeepEarlierRuns(true);
    CBlock* changed = nullptr;
    for (const auto& b : doc->Blocks)
        if (b.get() != doc->Clock() && b->ParamsShown > 0 && b->Params[0] != 0.0) changed = b.get();
    ASSERT_TRUE(changed);
    doc->RunSimulation();
    changed->Params[0] *= 1.5;
    doc->RunSimulation();
    // The run the file carried and the first run here.
    ASSERT_EQ(graph->EarlierRuns.size(), 2u);
    EXPECT_NE(graph->EarlierRuns[1].Label.find(changed->Name + ".p1 = "), std::string::npos);
    const QImage image = host.Render();
    image.save(RenderPath("graph-earlier-run.png"));
    const COLORREF c = graph->Color[1];
    const COLORREF faded = RGB((GetRValue(c) + 255) / 2, (GetGValue(c) + 255) / 2, (GetBValue(c) + 255) / 2);
    EXPECT_GT(OfColour(image,
                       {graph->PlotRect.left + 2, graph->PlotRect.top - 2, graph->PlotRect.right - 2,
                        graph->PlotRect.bottom + 2},
                       faded),
              30);
}

// A legend too long for its place is shortened in the middle; resting the mouse on it shows the
// whole legend as a tool tip, and nowhere else does the graph show one.
TEST_F(OutputRender, AShortenedLegendShowsItsFullTextAsAToolTip) {
    Open("spring-mass.cht");
    CGraphBase* graph = &ShowFirstGraph();
    CViewHost& host = *graphHost;
    ASSERT_GE(graph->LastTrace, 1);
    graph->Traces[1]->Name = "A block name far too long for its legend to show it whole";
    const QImage image = host.Render();
    image.save(RenderPath("graph-elided-legend.png"));
    ASSERT_TRUE(graph->LegendElided[1]);
    ASSERT_FALSE(graph->LegendElided[0]);
    const QtDeviceContext dc(host.viewport(), host.viewport()->size(), host.ScrollPosition(),
                             host.PixelsPerUnit());
    const auto centre = [&](const CRect& r) { return dc.ToDevice(r).normalized().center(); };
    const struct {
        QPoint at;
        QString tip;
    } cases[] = {
        {centre(graph->LegendRects[1]), QString::fromStdString(graph->LegendText(1))},
        {centre(graph->LegendRects[0]), QString()},
        {centre(graph->PlotRect), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(host.ToolTipAt(c.at).toStdString(), c.tip.toStdString()) << c.at.x() << "," << c.at.y();
    // Shown by the window's tool tip event.
    QHelpEvent event(QEvent::ToolTip, cases[0].at, host.viewport()->mapToGlobal(cases[0].at));
    QApplication::sendEvent(host.viewport(), &event);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), cases[0].tip.toStdString());
    QToolTip::hideText();
}
