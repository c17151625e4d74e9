// The Graph window's drawing through the recording device context: margins, axes, ticks and grid
// lines, tick labels, legends, notes and trace points for known histories, printing, and values
// from damaged files. The recording context's fonts are h units tall and (h + 1) / 2 wide per
// character, so a 13-unit label "+X.X" is 28 x 13.

#include "TestSupport.h"
#include "platform/RecordingDC.h"
#include "platform/Text.h"
#include "views/GraphView.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

struct Segment {
    int x1, y1, x2, y2;
    COLORREF color;
    int width;
};

// Every straight line drawn by MoveTo/LineTo, with the pen it was drawn with.
std::vector<Segment> Segments(const RecordingDC& dc) {
    std::vector<Segment> out;
    int x = 0;
    int y = 0;
    for (const RecordedOp& op : dc.Ops()) {
        if (op.kind == RecordedOp::MoveTo) {
            x = op.x;
            y = op.y;
        } else if (op.kind == RecordedOp::LineTo) {
            out.push_back({x, y, op.x, op.y, op.penColor, op.penWidth});
            x = op.x;
            y = op.y;
        }
    }
    return out;
}

bool HasSegment(const std::vector<Segment>& segments, int x1, int y1, int x2, int y2) {
    for (const Segment& s : segments)
        if (s.x1 == x1 && s.y1 == y1 && s.x2 == x2 && s.y2 == y2) return true;
    return false;
}

// Texts drawn in a rectangle, in order.
std::vector<const RecordedOp*> TextsIn(const RecordingDC& dc, COLORREF color) {
    std::vector<const RecordedOp*> out;
    for (const RecordedOp& op : dc.Ops())
        if (op.kind == RecordedOp::DrawTextOp && op.textColor == color) out.push_back(&op);
    return out;
}

class GraphDrawTest : public ::testing::Test {
  protected:
    GraphDrawTest() {
        doc.OnNewDocument();
        doc.AddView(&graph);
        // Eleven samples: the Clock runs 0..10.
        doc.Clock()->SetHistory({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    }

    PassBlock* WithHistory(int x, std::vector<double> values, const char* name) {
        PassBlock* b = Place(doc, x, 0);
        b->Name = name;
        b->SetHistory(std::move(values));
        return b;
    }

    std::vector<double> Times(double factor) const {
        std::vector<double> v;
        for (double t : doc.Clock()->HistoryValues())
            v.push_back(t * factor);
        return v;
    }

    // Draws into a 1000 x 800 window.
    void Draw() {
        dc.Clear();
        graph.OnDraw(dc);
    }

    TestPlatform platform;
    COrventDoc doc;
    CGraphBase graph;
    RecordingDC dc{CRect{0, 0, 1000, -800}};
};

} // namespace

TEST_F(GraphDrawTest, OneGraphAgainstTheClock) {
    PassBlock* a = WithHistory(1, Times(5.0), "P1"); // 0..50
    doc.Clock()->Name = "Clock";
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.RecomputeScales();
    Draw();

    // Label columns "+X.X" are 28 x 13; TickLength 13, Gap 3.
    EXPECT_EQ(graph.LabelSize[0], (CSize{28, 13}));
    EXPECT_EQ(graph.LabelSize[1], (CSize{28, 13}));
    EXPECT_EQ(graph.LeftMargin, 3 + 3 + 28);
    EXPECT_EQ(graph.RightMargin, 28 / 2 + 3); // room for half of the last X label
    EXPECT_EQ(graph.BottomMargin, 3 + 38);    // Gap + trunc(1.5 x 13 + 2 x 3 + 13)
    EXPECT_EQ(graph.TopMargin, 9);
    const int left = 34, right = 1000 - 17, top = -9, bottom = -759;
    const int plotWidth = right - left, plotHeight = top - bottom;

    // The axes: up the left, along the bottom; no right axis without a right scale.
    const auto segments = Segments(dc);
    EXPECT_TRUE(HasSegment(segments, left, top, left, bottom));
    EXPECT_TRUE(HasSegment(segments, left, bottom, right, bottom));
    EXPECT_FALSE(HasSegment(segments, right, bottom, right, top));
    // Ten X ticks up from the axis and ten left ticks rightward from it, TickLength long.
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE(k);
        const int x = left + plotWidth * k / 10;
        const int y = bottom + plotHeight * k / 10;
        EXPECT_TRUE(HasSegment(segments, x, bottom, x, bottom + 13));
        EXPECT_TRUE(HasSegment(segments, left, y, left + 13, y));
    }
    for (const Segment& s : segments) {
        EXPECT_EQ(s.color, graph.Color[0]);
        EXPECT_EQ(s.width, 0);
    }

    // X labels 0.0 .. 1.0 (the Clock reads in tens) centred under the ticks, one Gap below.
    const auto xLabels = TextsIn(dc, graph.Color[0]);
    ASSERT_EQ(xLabels.size(), 12u); // 11 labels and the legend
    for (int k = 0; k <= 10; ++k) {
        SCOPED_TRACE(k);
        const int x = left + plotWidth * k / 10;
        EXPECT_EQ(xLabels[k]->text, FormatString("%4.1f", k / 10.0));
        EXPECT_EQ(xLabels[k]->rect, (CRect{x - 14, bottom - 3, x + 14, bottom - 16}));
        EXPECT_TRUE(xLabels[k]->flags & DT_CENTER);
    }
    // Graph 1's labels 0.0 .. 5.0 in its colour, centred on the left ticks, one Gap left of the axis.
    const auto yLabels = TextsIn(dc, graph.Color[1]);
    ASSERT_EQ(yLabels.size(), 12u);
    for (int k = 0; k <= 10; ++k) {
        SCOPED_TRACE(k);
        const int y = bottom + plotHeight * k / 10;
        EXPECT_EQ(yLabels[k]->text, FormatString("%4.1f", k * 0.5));
        EXPECT_EQ(yLabels[k]->rect, (CRect{3, y + 6, 31, y + 6 - 13}));
    }
    // Legends: two cells of 500 at the bottom, one Gap above the edge.
    EXPECT_EQ(xLabels[11]->text, "Clock  E +1");
    EXPECT_EQ(xLabels[11]->rect, (CRect{0, -797 + 13, 500, -797}));
    EXPECT_EQ(yLabels[11]->text, "P1  E +1");
    EXPECT_EQ(yLabels[11]->rect, (CRect{500, -797 + 13, 1000, -797}));

    // The trace: one polyline through every sample, clipped to the plot.
    const auto lines = dc.OpsOf(RecordedOp::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    const auto& p = lines[0]->points;
    ASSERT_EQ(p.size(), 11u);
    for (int j = 0; j < 11; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(p[j].x, static_cast<int>(j / 10.0 * plotWidth + left));
        EXPECT_EQ(p[j].y, -static_cast<int>(759 - (j * 0.5) / 5.0 * plotHeight));
    }
    EXPECT_EQ(lines[0]->penColor, graph.Color[1]);
}

TEST_F(GraphDrawTest, SideScalesStackTheirLabelColumnsOutward) {
    PassBlock* a = WithHistory(1, Times(5.0), "A");    // 0..50: 10 ticks, 1 decimal
    PassBlock* b = WithHistory(2, Times(0.3), "B");    // 0..3: 12 ticks, 2 decimals
    PassBlock* c = WithHistory(3, Times(-100.0), "C"); // -1000..0
    graph.Traces = {doc.Clock(), a, b, c};
    graph.LastTrace = 3;
    graph.Locn = {0, 0, 2, 1}; // graph 2 opposite 1, graph 3 with 1
    graph.Width = {0, 2, 3, 5};
    graph.RecomputeScales();
    ASSERT_EQ(graph.Side[2], -1);
    ASSERT_EQ(graph.Side[3], 2);
    ASSERT_EQ(graph.RightTicks, 12);
    Draw();

    const int w1 = graph.LabelSize[1].cx, w2 = graph.LabelSize[2].cx, w3 = graph.LabelSize[3].cx;
    EXPECT_EQ(w2, 5 * 7); // "+X.XX"
    EXPECT_EQ(graph.LeftMargin, 3 + (3 + w1) + (3 + w3));
    EXPECT_EQ(graph.RightMargin, 3 + (3 + w2));
    const int left = graph.LeftMargin, right = 1000 - graph.RightMargin;
    const int top = -graph.TopMargin, bottom = -(800 - graph.BottomMargin);

    // A right axis with twelve marks pointing into the plot.
    const auto segments = Segments(dc);
    EXPECT_TRUE(HasSegment(segments, right, bottom, right, top));
    for (int k = 1; k <= 12; ++k) {
        const int y = bottom + (top - bottom) * k / 12;
        EXPECT_TRUE(HasSegment(segments, right, y, right - 13, y)) << k;
    }
    // Graph 1's column next to the axis, graph 3's beyond it; graph 2's right of the plot.
    const auto first = TextsIn(dc, graph.Color[1]);
    const auto second = TextsIn(dc, graph.Color[2]);
    const auto third = TextsIn(dc, graph.Color[3]);
    ASSERT_EQ(first.size(), 12u);
    ASSERT_EQ(second.size(), 14u);
    ASSERT_EQ(third.size(), 12u);
    EXPECT_EQ(first[0]->rect.right, left - 3);
    EXPECT_EQ(first[0]->rect.left, left - 3 - w1);
    EXPECT_EQ(third[0]->rect.right, left - 3 - w1 - 3);
    EXPECT_EQ(second[0]->rect.left, right + 3);
    EXPECT_EQ(second[0]->rect.right, right + 3 + w2);
    // Their values: graph 2 0.00 .. 3.00 in twelve steps; graph 3 shares the left ticks with its
    // own range and labels.
    EXPECT_EQ(second[0]->text, " 0.00");
    EXPECT_EQ(second[1]->text, " 0.25");
    EXPECT_EQ(second[12]->text, " 3.00");
    EXPECT_EQ(third[0]->text, "-1.0");
    EXPECT_EQ(third[10]->text, " 0.0"); // the top of the range is ceil(-0.0): no minus sign
    EXPECT_EQ(third[11]->text, "C  E +3");
    // Legends in four cells of 250.
    EXPECT_EQ(second[13]->rect.left, 500);
    EXPECT_EQ(third[11]->rect.left, 750);

    // Each trace in its colour and width.
    const auto lines = dc.OpsOf(RecordedOp::Polyline);
    ASSERT_EQ(lines.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(lines[k]->penColor, graph.Color[k + 1]);
        EXPECT_EQ(lines[k]->penWidth, graph.Width[k + 1]);
    }
    // Graph 3 falls from the top of its scale (0) to its bottom (-1000).
    EXPECT_EQ(lines[2]->points.front().y, top);
    EXPECT_EQ(lines[2]->points.back().y, bottom);
}

TEST_F(GraphDrawTest, GridLinesRunAcrossThePlotInAShadeOfTheAxisColour) {
    PassBlock* a = WithHistory(1, Times(1.0), "A");
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.Grids = 3;
    graph.Width[0] = 4;
    graph.RecomputeScales();
    Draw();
    const int left = graph.LeftMargin, right = 1000 - graph.RightMargin;
    const int top = -graph.TopMargin, bottom = -(800 - graph.BottomMargin);
    const auto segments = Segments(dc);
    const COLORREF shade = RGB(191, 191, 191); // black over white
    int grid = 0;
    for (const Segment& s : segments)
        if (s.color == shade) {
            ++grid;
            EXPECT_EQ(s.width, 0);
            EXPECT_TRUE((s.x1 == s.x2 && s.y1 == bottom && s.y2 == top) ||
                        (s.y1 == s.y2 && s.x1 == left && s.x2 == right));
        }
    EXPECT_EQ(grid, graph.XTicks + graph.LeftTicks);
    // The tick marks stay, in the axis pen, drawn over the grid.
    const int x = left + (right - left) / 2;
    EXPECT_TRUE(HasSegment(segments, x, bottom, x, bottom + 13));
    EXPECT_EQ(segments.back().color, graph.Color[0]);
    EXPECT_EQ(segments.back().width, 4);

    // Horizontal lines only.
    graph.Grids = 1;
    Draw();
    grid = 0;
    for (const Segment& s : Segments(dc))
        if (s.color == shade) {
            ++grid;
            EXPECT_EQ(s.y1, s.y2);
        }
    EXPECT_EQ(grid, graph.LeftTicks);

    // Printed in black and white, everything is black, the grid included.
    doc.PrintMode = 1;
    dc.SetPrinting(true);
    graph.Grids = 3;
    Draw();
    for (const Segment& s : Segments(dc))
        EXPECT_EQ(s.color, RGB(0, 0, 0));
    for (const RecordedOp* op : dc.OpsOf(RecordedOp::DrawTextOp))
        EXPECT_EQ(op->textColor, RGB(0, 0, 0));
    for (const RecordedOp* op : dc.OpsOf(RecordedOp::Polyline))
        EXPECT_EQ(op->penColor, RGB(0, 0, 0));
}

TEST_F(GraphDrawTest, NotesAboveThePlotPushItDown) {
    PassBlock* a = WithHistory(1, Times(1.0), "A");
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.GraphNotes = "The notes of this graph are long enough to need more than one line in a window "
                       "of a thousand units, so they wrap.\nA second paragraph.";
    graph.NotesFont.lfHeight = -20; // 10 units a character, 20 a line
    graph.NotesColor = RGB(1, 2, 3);
    graph.RecomputeScales();
    Draw();
    EXPECT_EQ(graph.NotesHeight, 0); // not shown
    EXPECT_EQ(graph.TopMargin, 9);
    EXPECT_TRUE(dc.OpsOf(RecordedOp::Text).empty());

    graph.DisplayNotes = 1;
    Draw();
    const auto notes = dc.OpsOf(RecordedOp::Text);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(graph.NotesHeight, 3 * 20);
    EXPECT_EQ(graph.TopMargin, 9 + 60);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i]->y, -20 * static_cast<int>(i));
        EXPECT_EQ(notes[i]->x, 3);
        EXPECT_EQ(notes[i]->textColor, RGB(1, 2, 3));
        EXPECT_LE(static_cast<int>(notes[i]->text.size()) * 10, 1000 - 6);
    }
    EXPECT_EQ(notes[2]->text, "A second paragraph.");
    // The plot starts under them.
    EXPECT_TRUE(
        HasSegment(Segments(dc), graph.LeftMargin, -69, graph.LeftMargin, -(800 - graph.BottomMargin)));
}

TEST_F(GraphDrawTest, BeforeTheFirstRunTheAxesShowLowToLowPlusOne) {
    doc.Clock()->SetHistory({});
    graph.OnInitialUpdate();
    Draw();
    EXPECT_TRUE(dc.OpsOf(RecordedOp::Polyline).empty());
    EXPECT_EQ(dc.TextsOf(" 0.0").size(), 2u); // X and graph 1 both start at 0.0
    EXPECT_EQ(dc.TextsOf(" 1.0").size(), 2u);
    EXPECT_EQ(dc.TextsOf(" 0.5").size(), 2u);

    // One sample: still no line, the ranges as stored.
    doc.Clock()->SetHistory({0.0});
    graph.OnUpdate(nullptr, 0, nullptr);
    Draw();
    EXPECT_TRUE(dc.OpsOf(RecordedOp::Polyline).empty());
}

TEST_F(GraphDrawTest, TickLabelAndLegendTexts) {
    graph.Decimals = {0, 1, 2, 3};
    EXPECT_EQ(graph.FormatTickLabel(5.0, 0), " 5");
    EXPECT_EQ(graph.FormatTickLabel(0.5, 1), " 0.5");
    EXPECT_EQ(graph.FormatTickLabel(-0.25, 2), "-0.25");
    EXPECT_EQ(graph.FormatTickLabel(0.125, 3), " 0.125");
    EXPECT_EQ(graph.FormatTickLabel(-0.0, 1), " 0.0");
    EXPECT_EQ(graph.FormatTickLabel(-0.333, 0), " 0");
    EXPECT_EQ(graph.FormatTickLabel(-0.04, 1), " 0.0");
    EXPECT_EQ(graph.FormatTickLabel(-0.06, 1), "-0.1");
    EXPECT_EQ(graph.FormatTickLabel(-10.0, 0), "-10");
    EXPECT_EQ(graph.FormatTickLabel(std::numeric_limits<double>::quiet_NaN(), 1), " 0.0");

    PassBlock* a = WithHistory(1, {}, "Speed");
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.Exponent = {0, -3, 12, 0};
    EXPECT_EQ(graph.LegendText(1), "Speed  E -3");
    EXPECT_EQ(graph.LegendText(2), "  E+12");
}

TEST_F(GraphDrawTest, LongLegendsGiveWayInTheMiddleAndKeepTheirExponents) {
    // RecordingDC: every character is w units wide.
    dc.SelectFont(DrawableFont(graph.LegendsFont));
    const int w = dc.GetTextExtent("X").cx;
    const struct {
        std::string name;
        int chars; // room, in characters
        std::string shown;
    } cases[] = {
        {"Speed", 11, "Speed  E -3"},                                             // fits: unchanged
        {"Damping", 12, "Da...g  E -3"},                                          // 13 > 12: the middle goes
        {"Damping", 11, "D...g  E -3"},                                           // one character fewer
        {"\xc3\xa9t\xc3\xa9s\xc3\xa9t\xc3\xa9", 11, "\xc3\xa9...\xc3\xa9  E -3"}, // whole characters only
        {"Damping", 9, "...  E -3"}, // not one character of the name
        {"Damping", 5, "  E -3"},    // the exponent still shows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " in " + std::to_string(c.chars));
        EXPECT_EQ(ElideMiddle(dc, c.name, "  E -3", c.chars * w), c.shown);
    }

    // Drawn: three graphs with long names share the strip; each legend stays within its cell with
    // its exponent, and the full text is the tip over a shortened one.
    const std::string longName(60, 'Q');
    PassBlock* a = WithHistory(1, Times(5.0), longName.c_str());
    PassBlock* b = WithHistory(2, Times(5.0), "P2");
    graph.Traces = {doc.Clock(), a, b, nullptr};
    graph.LastTrace = 2;
    graph.RecomputeScales();
    Draw();
    const auto legends = TextsIn(dc, graph.Color[1]);
    ASSERT_FALSE(legends.empty());
    const RecordedOp* legend = legends.back();
    EXPECT_LE(static_cast<int>(Utf8Length(legend->text)) * w, legend->rect.Width());
    EXPECT_NE(legend->text.find("..."), std::string::npos);
    EXPECT_EQ(legend->text.substr(legend->text.size() - 6), graph.LegendText(1).substr(60));
    const CPoint inside{legend->rect.left + 1, legend->rect.top - 1};
    EXPECT_EQ(graph.LegendTipAt(inside), graph.LegendText(1));
    EXPECT_EQ(graph.LegendTipAt({legend->rect.left + 1, legend->rect.top + 5}), "");
    EXPECT_EQ(TextsIn(dc, graph.Color[2]).back()->text, graph.LegendText(2)); // short: whole
    EXPECT_EQ(graph.LegendTipAt({graph.LegendRects[2].left + 1, graph.LegendRects[2].top - 1}), "");
}

TEST_F(GraphDrawTest, AnXAxisEndingOnRoundingDustKeepsItsWholeUnits) {
    // 600 output steps of 0.05 end a little above 30.
    std::vector<double> t;
    double now = 0.0;
    for (int i = 0; i <= 600; ++i, now += 0.05)
        t.push_back(now);
    ASSERT_GT(t.back(), 30.0);
    doc.Clock()->SetHistory(t);
    graph.OnInitialUpdate();
    EXPECT_EQ(graph.High[0], 30.0);
    EXPECT_EQ(graph.HighUnits[0], 3.0);
    EXPECT_EQ(graph.XTicks, 12);
    // A range that really is longer still grows.
    t.push_back(30.01);
    doc.Clock()->SetHistory(t);
    graph.RecomputeScales();
    EXPECT_EQ(graph.High[0], 40.0);
}

TEST_F(GraphDrawTest, PrintingOnAPortraitPageUsesItsUpperHalfUnderAHeader) {
    PassBlock* a = WithHistory(1, Times(1.0), "A");
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.RecomputeScales();
    graph.GraphTitle = "Step";
    graph.PrintDate = "12/09/26";
    doc.SetTitle("tank.cht");
    doc.SetPathName("/home/u/tank.cht");
    for (const CRect& sheet : {CRect{0, 0, 800, -1054}, CRect{0, 0, 1054, -800}}) {
        RecordingDC page(sheet, true);
        graph.OnDraw(page);
        const int t = RecordingDC::FontUnits(DrawableFont(graph.LegendsFont));
        const int pageHeight = std::abs(sheet.Height());
        // Header and footer as on a chart's pages; no page label on a single page.
        std::vector<std::pair<std::string, CRect>> texts;
        for (const RecordedOp* op : page.OpsOf(RecordedOp::DrawTextOp))
            texts.emplace_back(op->text, op->rect);
        const CRect header{10, -t, sheet.right - 10, -2 * t};
        const CRect footer{10, -pageHeight + 2 * t, sheet.right - 10, -pageHeight + t};
        EXPECT_EQ(texts[0], std::make_pair(std::string("tank.cht : Step"), header));
        EXPECT_EQ(texts[1], std::make_pair(std::string(), header));
        EXPECT_EQ(texts[2], std::make_pair(std::string("/home/u/tank.cht"), footer));
        EXPECT_EQ(texts[3], std::make_pair(std::string("12/09/26"), footer));
        // The graph fills the band between them, or its upper half on a portrait page.
        int height = pageHeight - 5 - 4 * t;
        if (sheet.Width() < pageHeight) height /= 2;
        const int top = -5 - 2 * t;
        const int bottom = top - (height - graph.BottomMargin);
        EXPECT_TRUE(
            HasSegment(Segments(page), graph.LeftMargin, top - graph.TopMargin, graph.LeftMargin, bottom))
            << sheet.Width();
        // Colours stay when the model does not print in black and white.
        EXPECT_EQ(page.OpsOf(RecordedOp::Polyline).front()->penColor, graph.Color[1]);
    }
}

TEST_F(GraphDrawTest, ValuesAndSettingsFromADamagedFileDrawWithinBounds) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PassBlock* a = WithHistory(1, {0, 1, nan, 3, inf, 5, -inf, 7, 1e308, -1e308, 10}, "A");
    PassBlock* b = WithHistory(2, {nan, nan, nan}, "B");
    doc.Clock()->SetHistory({0, 1, 2, 3, 4, nan, 6, 7, 8, 9, 10});
    graph.Traces = {doc.Clock(), a, b, a};
    graph.LastTrace = 3;
    graph.Width = {-5, 1000, INT_MAX, INT_MIN};
    graph.Locn = {0, 77, -3, 12345};
    graph.Grids = -1;
    graph.Decimals = {99, -4, 1000, 7};
    graph.LabelsFont.lfHeight = INT_MIN;
    graph.LegendsFont.lfHeight = INT_MAX;
    graph.NotesFont.lfHeight = INT_MIN;
    graph.DisplayNotes = 1;
    graph.GraphNotes = std::string(5000, 'x');
    graph.RecomputeScales();
    for (const CRect& client : {CRect{0, 0, 1000, -800}, CRect{0, 0, 3, -2}, CRect{0, 0, 0, 0}}) {
        RecordingDC small(client);
        graph.OnDraw(small);
        for (const RecordedOp& op : small.Ops()) {
            EXPECT_LT(std::abs(op.x), 100000000);
            EXPECT_LT(std::abs(op.y), 100000000);
            EXPECT_GE(op.penWidth, 0);
            EXPECT_LE(op.penWidth, 99);
            EXPECT_LE(std::abs(op.font.lfHeight), 1000);
            for (const CPoint& p : op.points) {
                EXPECT_LE(std::abs(p.x), 4000000);
                EXPECT_LE(std::abs(p.y), 4000000);
            }
        }
    }
    // A sample that is no number breaks the line instead of drawing it anywhere.
    graph.LabelsFont = graph.LegendsFont = graph.NotesFont = DefaultLogFont();
    graph.Width = {0, 0, 0, 0};
    graph.LastTrace = 1;
    graph.DisplayNotes = 0;
    graph.Fixed[1] = 1;
    graph.Low[1] = 0.0;
    graph.High[1] = 10.0;
    graph.RecomputeScales();
    Draw();
    const auto lines = dc.OpsOf(RecordedOp::Polyline);
    // Sample 2 has no value, 4 and 6 infinite ones and sample 5 no time: samples 0-1 and 7-10
    // remain (sample 3 stands alone).
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->points.size(), 2u);
    EXPECT_EQ(lines[1]->points.size(), 4u);
}

TEST_F(GraphDrawTest, LabelsOfASharedScaleStateItsTicks) {
    // Graph 1 owns the left scale (ten ticks), graph 2 the right one (twelve). Graph 3, of every
    // span from 1 to 10 units, joins one of them: "With 1", "With 2", or "Best Fit", which takes a
    // scale of its own tick count or else falls back to the left one.
    PassBlock* a = WithHistory(1, Times(5.0), "A");
    PassBlock* b = WithHistory(2, Times(0.3), "B");
    PassBlock* c = WithHistory(3, {}, "C");
    for (int span = 1; span <= 10; ++span)
        for (int locn : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "span " << span << ", location " << locn);
            c->SetHistory(Times(span / 10.0));
            graph.Traces = {doc.Clock(), a, b, c};
            graph.LastTrace = 3;
            graph.Locn = {0, 0, 2, locn};
            graph.RecomputeScales();
            Draw();
            const int count = graph.Side[3] > 0 ? graph.LeftTicks : graph.RightTicks;
            ASSERT_GE(std::abs(graph.Side[3]), 2);
            const auto labels = TextsIn(dc, graph.Color[3]);
            ASSERT_EQ(labels.size(), static_cast<std::size_t>(count) + 2); // and the legend
            const double low = graph.LowUnits[3], high = graph.HighUnits[3];
            for (int k = 0; k <= count; ++k)
                EXPECT_NEAR(std::stod(labels[k]->text), low + k * (high - low) / count, 1e-9) << k;
            // The scale still holds every sample.
            EXPECT_LE(low, 0.0);
            EXPECT_GE(high * std::pow(10.0, graph.Exponent[3]), span - 1e-9);
        }
}
