// The Graph window's settings, record, first display, block removal and scales.

#include "views/GraphView.h"
#include "TestSupport.h"
#include "platform/Archive.h"
#include "platform/DeviceContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

struct ItemSpec {
    const char* name;
    int kind;
    int id;
};

class GraphViewTest : public ::testing::Test {
  protected:
    GraphViewTest() {
        doc.OnNewDocument();
        doc.AddView(&graph);
    }

    // A block at (x, 0) whose history is `values`; the Clock gets as many samples.
    PassBlock* WithHistory(int x, std::vector<double> values) {
        PassBlock* b = Place(doc, x, 0);
        b->Name = "P" + std::to_string(x);
        doc.Clock()->SetHistory(std::vector<double>(values.size(), 0.0));
        b->SetHistory(std::move(values));
        return b;
    }

    TestPlatform platform;
    COrventDoc doc;
    CGraphBase graph;
};

// Where LastTrace stands in a record written with the built-in fonts.
constexpr std::size_t kLastTraceOffset = 4 * 32 + 3 * (28 + 1 + 15) + 8;

std::vector<double> Ramp(double from, double to) {
    std::vector<double> v;
    for (double x = from; x <= to; x += 1.0)
        v.push_back(x);
    return v;
}

// Adds one sample to a block's recorded history, as a run's refresh finds it.
void Append(CBlock& block, double value) {
    std::vector<double> values = block.HistoryValues();
    values.push_back(value);
    block.SetHistory(std::move(values));
}

} // namespace

TEST_F(GraphViewTest, SettingsListsHaveTheirItemsInFileOrder) {
    const std::vector<std::vector<ItemSpec>> expected = {
        {{"Axis Color", SK_COLOR, 1073},
         {"Axis High", SK_REAL, 1085},
         {"Axis Low", SK_REAL, 1084},
         {"Axis Fixed", SK_FLAG, 1086},
         {"Axis Width", SK_INTEGER, 1070},
         {"Axis Grids", SK_CHOICE, 1229}},
        {{"Graph1 Color", SK_COLOR, 1066},
         {"Graph1 High", SK_REAL, 1079},
         {"Graph1 Low", SK_REAL, 1078},
         {"Graph1 Fixed", SK_FLAG, 1081},
         {"Graph1 Width", SK_INTEGER, 1076},
         {"Graph1 Locn", SK_CHOICE, 1054}},
        {{"Graph2 Color", SK_COLOR, 1068},
         {"Graph2 High", SK_REAL, 1105},
         {"Graph2 Low", SK_REAL, 1104},
         {"Graph2 Fixed", SK_FLAG, 1118},
         {"Graph2 Width", SK_INTEGER, 1102},
         {"Graph2 Locn", SK_CHOICE, 1233}},
        {{"Graph3 Color", SK_COLOR, 1069},
         {"Graph3 High", SK_REAL, 1113},
         {"Graph3 Low", SK_REAL, 1112},
         {"Graph3 Fixed", SK_FLAG, 1109},
         {"Graph3 Width", SK_INTEGER, 1103},
         {"Graph3 Locn", SK_CHOICE, 1235}},
        {{"LabelsFont", SK_FONT, 1074},
         {"LegendsFont", SK_FONT, 1075},
         {"NotesFont", SK_FONT, 1095},
         {"NotesColor", SK_COLOR, -1095},
         {"DisplayNotes", SK_FLAG, 1097}},
    };
    const COLORREF colors[4] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    for (std::size_t l = 0; l < expected.size(); ++l) {
        const CSettingList& list = graph.Settings[l];
        EXPECT_EQ(list.Section(), "GraphView");
        EXPECT_EQ(list.ListVersion(), 100.0);
        ASSERT_EQ(list.GetSize(), expected[l].size()) << "list " << l;
        for (std::size_t i = 0; i < expected[l].size(); ++i) {
            CSettingItem& item = list[i];
            SCOPED_TRACE(expected[l][i].name);
            EXPECT_EQ(item.Name(), expected[l][i].name);
            EXPECT_EQ(item.Kind(), expected[l][i].kind);
            EXPECT_EQ(item.ControlId(), expected[l][i].id);
            EXPECT_EQ(item.IntroducedVersion(), 100.0);
            EXPECT_EQ(item.RetiredVersion(), 0.0);
            if (item.Kind() == SK_INTEGER) {
                EXPECT_EQ(*item.MinimumAs<int>(), 0);
                EXPECT_EQ(*item.MaximumAs<int>(), 99);
            }
            if (item.Kind() == SK_REAL) {
                EXPECT_EQ(*item.MinimumAs<double>(), 0.0);
                EXPECT_EQ(*item.MaximumAs<double>(), 0.0);
                EXPECT_EQ(*item.DefaultAs<double>(), 0.0);
            }
        }
        if (l < 4) {
            EXPECT_EQ(*list[0].DefaultAs<COLORREF>(), colors[l]);
        }
    }
    // Factory defaults in the members.
    EXPECT_EQ(graph.Color, (std::array<COLORREF, 4>{0x000000, 0x0000FF, 0x00FF00, 0xFF0000}));
    EXPECT_EQ(graph.Width, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(graph.Grids, 0);
    EXPECT_EQ(graph.LabelsFont, DefaultLogFont());
    EXPECT_EQ(graph.DisplayNotes, 0);
    EXPECT_EQ(graph.LastTrace, 0);
}

TEST_F(GraphViewTest, MembersStartFromTheStoredDefaultsAndTheWindowTextColour) {
    platform.store.WriteProfileInt("GraphView", "Graph2 ColorRed", 12);
    platform.store.WriteProfileString("GraphView", "Axis High", "5.000000e+001");
    platform.store.WriteProfileInt("GraphView", "LegendsFont.Height", -20);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    SetSysColor(COLOR_WINDOWTEXT, RGB(1, 2, 3));
    CGraphBase g;
    SetSysColor(COLOR_WINDOWTEXT, text);
    EXPECT_EQ(g.Color[2], RGB(12, 255, 0));
    EXPECT_EQ(g.High[0], 50.0);
    EXPECT_EQ(g.LegendsFont.lfHeight, -20);
    EXPECT_EQ(g.NotesColor, RGB(1, 2, 3));
}

TEST_F(GraphViewTest, FirstDisplayShowsTheClockAgainstItself) {
    Place(doc, 1, 0);
    graph.OnInitialUpdate();
    EXPECT_EQ(graph.Traces[0], doc.Clock());
    EXPECT_EQ(graph.Traces[1], doc.Clock());
    EXPECT_EQ(graph.Traces[2], nullptr);
    EXPECT_EQ(graph.LastTrace, 1);

    // Traces already set are kept.
    CGraphBase other;
    doc.AddView(&other);
    CBlock* b = doc.Blocks.back().get();
    other.Traces = {b, b, nullptr, nullptr};
    other.LastTrace = 1;
    other.OnInitialUpdate();
    EXPECT_EQ(other.Traces[0], b);
}

TEST_F(GraphViewTest, RecordCarriesLastTracePlusOneReferences) {
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, -3);
    graph.Traces = {doc.Clock(), a, b, nullptr};
    graph.LastTrace = 2;
    graph.GraphTitle = "T";
    graph.GraphNotes = "N";
    CArchive out;
    graph.Serialize(out);
    const auto& bytes = out.Bytes();
    ASSERT_EQ(bytes.size(), kLastTraceOffset + 4 + 3 * 8 + 2 + 2);
    CArchive in{std::vector<std::uint8_t>(bytes.begin() + kLastTraceOffset, bytes.end())};
    EXPECT_EQ(in.ReadInt32(), 2);
    for (CPoint p : {CPoint{0, 0}, CPoint{1, 0}, CPoint{2, -3}}) {
        EXPECT_EQ(in.ReadInt32(), p.x);
        EXPECT_EQ(in.ReadInt32(), p.y);
    }
    EXPECT_EQ(in.ReadString(), "T");
    EXPECT_EQ(in.ReadString(), "N");
}

TEST_F(GraphViewTest, LoadingResolvesLastMatchAndLeavesUnmatchedTracesEmpty) {
    PassBlock* first = Place(doc, 1, 0);
    PassBlock* second = Place(doc, 1, 0);
    graph.Traces = {doc.Clock(), first, doc.Clock(), nullptr};
    graph.LastTrace = 2;
    CArchive out;
    graph.Serialize(out);
    std::vector<std::uint8_t> bytes = out.TakeBytes();
    // Graph 2's reference points at an empty cell.
    const std::size_t refs = kLastTraceOffset + 4;
    std::int32_t x = 40;
    std::memcpy(bytes.data() + refs + 16, &x, 4);

    CGraphBase loaded;
    doc.AddView(&loaded);
    loaded.OnInitialUpdate();
    CArchive in{bytes};
    loaded.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(loaded.LastTrace, 2);
    EXPECT_EQ(loaded.Traces[0], doc.Clock());
    EXPECT_EQ(loaded.Traces[1], second);
    EXPECT_EQ(loaded.Traces[2], nullptr);
    EXPECT_EQ(loaded.Traces[3], nullptr);
    loaded.RecomputeScales(); // an empty trace reads as zeros
}

TEST_F(GraphViewTest, LoadingRefusesATraceCountOutsideZeroToThree) {
    CArchive out;
    graph.Serialize(out);
    std::vector<std::uint8_t> bytes = out.TakeBytes();
    const std::size_t last = kLastTraceOffset;
    for (std::int32_t bad : {4, -1}) {
        std::memcpy(bytes.data() + last, &bad, 4);
        CArchive in{bytes};
        CGraphBase g;
        doc.AddView(&g);
        try {
            g.Serialize(in);
            FAIL() << bad;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::BadData);
        }
    }
}

// ---- Block removal -------------------------------------------------------------------------

TEST_F(GraphViewTest, RemovingGraphOneMovesTheOthersUpAndResetsSlotThree) {
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    PassBlock* c = Place(doc, 3, 0);
    graph.Traces = {doc.Clock(), a, b, c};
    graph.LastTrace = 3;
    graph.High = {1, 10, 20, 30};
    graph.Low = {0, -10, -20, -30};
    graph.Fixed = {0, 1, 0, 1};
    graph.Width = {0, 1, 2, 3};
    graph.Locn = {0, 1, 2, 1};
    graph.Color[3] = RGB(7, 7, 7);
    // Stop the scales from rewriting the ranges: no samples and every range non-empty.
    doc.DeleteBlock(a);

    EXPECT_EQ(graph.LastTrace, 2);
    EXPECT_EQ(graph.Traces[1], b);
    EXPECT_EQ(graph.Traces[2], c);
    EXPECT_EQ(graph.Traces[3], nullptr);
    EXPECT_EQ(graph.Fixed[1], 0);
    EXPECT_EQ(graph.Width[1], 2);
    EXPECT_EQ(graph.Locn[1], 0);
    EXPECT_EQ(graph.Fixed[2], 1);
    EXPECT_EQ(graph.Width[2], 3);
    EXPECT_EQ(graph.Locn[2], 0);
    EXPECT_EQ(graph.High[2], 30.0);
    EXPECT_EQ(graph.Low[2], -30.0);
    // Slot 3 is back at its factory defaults, colour included; colours stay with their slots.
    EXPECT_EQ(graph.Color[3], 0xFF0000u);
    EXPECT_EQ(graph.Width[3], 0);
    EXPECT_EQ(graph.Fixed[3], 0);
    EXPECT_EQ(graph.Locn[3], 0);
    EXPECT_EQ(graph.High[3], 0.0);
    EXPECT_EQ(graph.Color[1], 0x0000FFu);
}

TEST_F(GraphViewTest, RemovalOfGraphTwoThreeAndTheXSource) {
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    PassBlock* c = Place(doc, 3, 0);
    PassBlock* x = Place(doc, 4, 0);
    graph.Traces = {x, a, b, c};
    graph.LastTrace = 3;
    doc.DeleteBlock(c);
    EXPECT_EQ(graph.LastTrace, 2);
    EXPECT_EQ(graph.Traces[3], nullptr);

    graph.Traces[3] = nullptr;
    doc.DeleteBlock(b);
    EXPECT_EQ(graph.LastTrace, 1);
    EXPECT_EQ(graph.Traces[2], nullptr);

    doc.DeleteBlock(x);
    EXPECT_EQ(graph.Traces[0], doc.Clock());
    EXPECT_EQ(graph.Traces[1], a);

    // The same block in graphs 1 and 2 and as the X source.
    PassBlock* d = Place(doc, 5, 0);
    PassBlock* e = Place(doc, 6, 0);
    graph.Traces = {d, d, d, e};
    graph.LastTrace = 3;
    doc.DeleteBlock(d);
    EXPECT_EQ(graph.LastTrace, 1);
    EXPECT_EQ(graph.Traces[0], doc.Clock());
    EXPECT_EQ(graph.Traces[1], e);
    EXPECT_EQ(graph.Traces[2], nullptr);
    EXPECT_EQ(graph.Traces[3], nullptr);
}

TEST_F(GraphViewTest, RemovingTheOnlyGraphLeavesTheClockAndTheAxes) {
    PassBlock* a = Place(doc, 1, 0);
    Place(doc, 2, 0);
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    doc.DeleteBlock(a);
    EXPECT_EQ(graph.LastTrace, 0);
    EXPECT_EQ(graph.Traces[1], doc.Clock()) << "never the block on its way out";
    // LastTrace never drops below 0.
    PassBlock* b = Place(doc, 3, 0);
    graph.Traces = {doc.Clock(), b, nullptr, nullptr};
    graph.LastTrace = 0;
    doc.DeleteBlock(b);
    EXPECT_EQ(graph.LastTrace, 0);
}

TEST_F(GraphViewTest, CopySettingsToGivesTracesAndSettingsButNotTexts) {
    PassBlock* a = Place(doc, 1, 0);
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.Color[1] = RGB(1, 1, 1);
    graph.Grids = 2;
    graph.LegendsFont.lfHeight = -30;
    graph.GraphTitle = "mine";
    CGraphBase other;
    graph.CopySettingsTo(other);
    EXPECT_EQ(other.Traces, graph.Traces);
    EXPECT_EQ(other.LastTrace, 1);
    EXPECT_EQ(other.Color[1], RGB(1, 1, 1));
    EXPECT_EQ(other.Grids, 2);
    EXPECT_EQ(other.LegendsFont.lfHeight, -30);
    EXPECT_EQ(other.GraphTitle, "");
}

// ---- Scales --------------------------------------------------------------------------------

TEST_F(GraphViewTest, ScalesRoundOutwardToWholeUnits) {
    PassBlock* a = WithHistory(1, Ramp(0, 50));
    graph.Traces = {a, a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.RecomputeScales();
    EXPECT_EQ(graph.Exponent[1], 1);
    EXPECT_EQ(graph.LowUnits[1], 0.0);
    EXPECT_EQ(graph.HighUnits[1], 5.0);
    EXPECT_EQ(graph.TickCount[1], 10);
    EXPECT_EQ(graph.Decimals[1], 1);
    EXPECT_EQ(graph.High[1], 50.0);
    EXPECT_EQ(graph.Low[1], 0.0);
    EXPECT_EQ(graph.Side[1], 1);
    EXPECT_EQ(graph.LeftTicks, 10);
    EXPECT_EQ(graph.XTicks, 10);

    a->SetHistory(Ramp(-3, 97));
    doc.Clock()->SetHistory(std::vector<double>(a->HistorySize(), 0.0));
    graph.RecomputeScales();
    EXPECT_EQ(graph.Exponent[1], 2);
    EXPECT_EQ(graph.LowUnits[1], -1.0);
    EXPECT_EQ(graph.HighUnits[1], 1.0);
    EXPECT_EQ(graph.TickCount[1], 10);
    EXPECT_EQ(graph.Decimals[1], 2);
    EXPECT_EQ(graph.Low[1], -10.0);
    EXPECT_EQ(graph.High[1], 100.0);

    a->SetHistory(std::vector<double>(a->HistorySize(), 4.0));
    graph.RecomputeScales();
    EXPECT_EQ(graph.Low[1], 4.0);
    EXPECT_EQ(graph.High[1], 5.0);

    // A fixed range keeps its ends, rounded outward.
    graph.Fixed[1] = 1;
    graph.Low[1] = -0.25;
    graph.High[1] = 7.5;
    graph.RecomputeScales();
    EXPECT_EQ(graph.Low[1], -1.0);
    EXPECT_EQ(graph.High[1], 8.0);
    EXPECT_EQ(graph.TickCount[1], 9);
}

TEST_F(GraphViewTest, AnEmptyRangeBeforeTheFirstRunShowsLowToLowPlusOne) {
    graph.OnInitialUpdate();
    EXPECT_EQ(graph.SampleCount, 0);
    EXPECT_EQ(graph.Low[0], 0.0);
    EXPECT_EQ(graph.High[0], 1.0);
    EXPECT_EQ(graph.Exponent[0], 0);
    EXPECT_EQ(graph.XTicks, 10);
    graph.Fixed[1] = 1;
    graph.Low[1] = graph.High[1] = -3.0;
    graph.RecomputeScales();
    EXPECT_EQ(graph.Low[1], -3.0);
    EXPECT_EQ(graph.High[1], -2.0);
}

TEST_F(GraphViewTest, ValuesOutsideTheNumbersLeaveFiniteScales) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const std::vector<double>& values : std::vector<std::vector<double>>{
             {inf, -inf}, {nan, nan, nan}, {1e308, -1e308}, {5e-324, 0.0}, {1.0, nan, inf}}) {
        PassBlock* a = WithHistory(static_cast<int>(doc.Blocks.size()), values);
        graph.Traces = {a, a, a, a};
        graph.LastTrace = 3;
        graph.Fixed = {};
        graph.RecomputeScales();
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(std::isfinite(graph.HighUnits[i]));
            EXPECT_TRUE(std::isfinite(graph.LowUnits[i]));
            EXPECT_GE(graph.TickCount[i], 1);
            EXPECT_LE(graph.TickCount[i], 12);
        }
    }
    // Fixed ranges and fonts straight from a file.
    graph.Fixed = {1, 1, 1, 1};
    graph.High = {nan, inf, -inf, 0.0};
    graph.Low = {nan, -inf, inf, 0.0};
    graph.LegendsFont.lfHeight = std::numeric_limits<std::int32_t>::min();
    graph.Locn = {9, -4, 77, 12345};
    graph.RecomputeScales();
    EXPECT_GE(graph.TickLength, 0);
}

TEST_F(GraphViewTest, InfiniteSamplesLeaveTheRangeToTheFiniteOnes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> values;
        double low, high;
    };
    // A run that diverges keeps the scale of its finite part; with none, 0..1.
    for (const Case& c : {Case{{0, 10, 20, inf, inf}, 0, 20}, Case{{-inf, 5, 50, inf}, 0, 50},
                          Case{{inf, -inf, inf}, 0, 1}}) {
        std::vector<double> withNan = c.values;
        std::replace_if(
            withNan.begin(), withNan.end(), [](double v) { return std::isinf(v); }, nan);
        for (const std::vector<double>& values : {c.values, withNan}) {
            PassBlock* a = WithHistory(static_cast<int>(doc.Blocks.size()), values);
            graph.Traces = {a, a, nullptr, nullptr};
            graph.LastTrace = 1;
            graph.RecomputeScales();
            for (int i = 0; i < 2; ++i) {
                EXPECT_EQ(graph.Low[i], c.low) << c.values[0];
                EXPECT_EQ(graph.High[i], c.high) << c.values[0];
            }
        }
    }
}

TEST_F(GraphViewTest, FixedWithLowNotBelowHighIsIgnoredAndDropped) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PassBlock* a = WithHistory(1, Ramp(0, 50));
    for (auto [low, high] : {std::pair{5.0, 5.0}, {7.0, 3.0}, {nan, 1.0}, {-inf, inf}}) {
        graph.Traces = {a, a, nullptr, nullptr};
        graph.LastTrace = 1;
        graph.Fixed = {1, 1, 0, 0};
        graph.Low = {low, low, 0, 0};
        graph.High = {high, high, 0, 0};
        // As the window does after loading its record.
        CArchive out;
        graph.Serialize(out);
        CArchive in{out.TakeBytes()};
        graph.Serialize(in);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(graph.Fixed[i], 0) << low << " " << high;
            EXPECT_EQ(graph.Low[i], 0.0);
            EXPECT_EQ(graph.High[i], 50.0);
        }
    }
}

TEST_F(GraphViewTest, GraphsShareOrSplitTheSideScales) {
    PassBlock* a = WithHistory(1, Ramp(0, 50));
    PassBlock* b = WithHistory(2, Ramp(0, 50));
    PassBlock* c = WithHistory(3, Ramp(0, 3));
    doc.Clock()->SetHistory(std::vector<double>(51, 0.0)); // c reads 0.0 past its end
    graph.Traces = {a, a, b, c};
    graph.LastTrace = 3;
    graph.Locn = {0, 0, 0, 0};
    // Graph 2 has graph 1's tick count: it joins the left scale.
    graph.RecomputeScales();
    EXPECT_EQ(graph.Side[1], 1);
    EXPECT_EQ(graph.Side[2], 2);
    EXPECT_EQ(graph.LeftTicks, 10);
    // Graph 3 (12 ticks for a span of 3) takes the free right side.
    EXPECT_EQ(graph.TickCount[3], 12);
    EXPECT_EQ(graph.Side[3], -1);
    EXPECT_EQ(graph.RightTicks, 12);

    // Graph 2 opposite graph 1, graph 3 best fit with both sides taken: it joins the left.
    graph.Locn = {0, 0, 2, 0};
    graph.RecomputeScales();
    EXPECT_EQ(graph.Side[2], -1);
    EXPECT_EQ(graph.RightTicks, 10);
    EXPECT_EQ(graph.Side[3], 2);
    EXPECT_EQ(graph.TickCount[3], graph.LeftTicks);

    // Graph 3 with graph 2 that already shares graph 1's scale: the third on that side.
    graph.Locn = {0, 1, 1, 2};
    graph.RecomputeScales();
    EXPECT_EQ(graph.Side[1], -1);
    EXPECT_EQ(graph.Side[2], -2);
    EXPECT_EQ(graph.Side[3], -3);
    EXPECT_EQ(graph.TickCount[3], graph.TickCount[1]);
}

// A zoomed range at any magnitude, either sign: the scale covers it, stays tight, has 7 to 12
// ticks and labels every tick exactly with its decimals.
TEST(GraphZoomScale, CoversTheRangeTightlyWithExactTickLabels) {
    const double ranges[][2] = {{0.0, 1.0},   {1e-9, 1e9},          {-1e-9, 1e-9},       {-5.3, -5.1},
                                {-9e8, -2e8}, {1000.123, 1000.127}, {3e-12, 7e-12},      {-0.001, 5.0},
                                {1.0, 9.99},  {-1e300, 1e300},      {123456.0, 123456.5}};
    for (const auto& r : ranges) {
        SCOPED_TRACE(testing::Message() << r[0] << " .. " << r[1]);
        const AxisScale s = ZoomedAxisScale(r[0], r[1]);
        const double unit = std::pow(10.0, s.Exponent);
        const double shown = (s.HighUnits - s.LowUnits) * unit;
        EXPECT_LE(s.LowUnits * unit, r[0] * (1 + 1e-12 * (r[0] > 0 ? 1 : -1)));
        EXPECT_GE(s.HighUnits * unit, r[1] * (1 - 1e-12 * (r[1] > 0 ? 1 : -1)));
        EXPECT_LE(shown, 3.0 * (r[1] - r[0]));
        EXPECT_GE(s.Ticks, 7);
        EXPECT_LE(s.Ticks, 12);
        EXPECT_LE(s.Decimals, 9);
        // Labels are short: the larger end needs at most two digits before the point.
        EXPECT_LT(std::max(std::fabs(s.LowUnits), std::fabs(s.HighUnits)), 100.0);
        const double scale = std::pow(10.0, s.Decimals);
        for (int k = 0; k <= s.Ticks; ++k) {
            const double tick = (s.LowUnits + k * (s.HighUnits - s.LowUnits) / s.Ticks) * scale;
            EXPECT_NEAR(tick, std::round(tick), 1e-6 * std::max(1.0, std::fabs(tick))) << "tick " << k;
        }
    }
}

TEST_F(GraphViewTest, ZoomFollowsTheViewAndNeverReachesTheRecord) {
    PassBlock* a = WithHistory(1, Ramp(0, 100));
    std::vector<double> times(a->HistorySize());
    for (std::size_t i = 0; i < times.size(); ++i)
        times[i] = static_cast<double>(i) * 0.1;
    doc.Clock()->SetHistory(times);
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    graph.RecomputeScales();
    CArchive before;
    graph.Serialize(before);
    const auto high = graph.High;
    const auto low = graph.Low;

    // The middle of both axes: X 2.5..7.5 and Y 25..75.
    ASSERT_TRUE(graph.ZoomTo(0.25, 0.75, 0.25, 0.75));
    EXPECT_TRUE(graph.IsZoomed());
    EXPECT_DOUBLE_EQ(graph.ValueAt(0, 0.0), 2.0);
    EXPECT_DOUBLE_EQ(graph.ValueAt(0, 1.0), 8.0);
    EXPECT_DOUBLE_EQ(graph.ValueAt(1, 0.0), 20.0);
    EXPECT_DOUBLE_EQ(graph.ValueAt(1, 1.0), 80.0);
    EXPECT_EQ(graph.XTicks, graph.TickCount[0]);
    EXPECT_EQ(graph.LeftTicks, graph.TickCount[1]);
    // A run or any other update keeps the zoom, and the record keeps the recorded ranges.
    graph.OnUpdate(nullptr, 0, nullptr);
    EXPECT_DOUBLE_EQ(graph.ValueAt(1, 1.0), 80.0);
    EXPECT_EQ(graph.High, high);
    EXPECT_EQ(graph.Low, low);
    CArchive zoomed;
    graph.Serialize(zoomed);
    EXPECT_EQ(zoomed.Bytes(), before.Bytes());

    // The wheel narrows the range about the point under the mouse (the ends still round
    // outward to whole steps); a pan moves the range by the dragged part.
    const double x = graph.ValueAt(0, 0.3);
    const double width = graph.ValueAt(0, 1.0) - graph.ValueAt(0, 0.0);
    ASSERT_TRUE(graph.ZoomAbout(0.3, 0.5, 0.5));
    EXPECT_LT(graph.ValueAt(0, 1.0) - graph.ValueAt(0, 0.0), width);
    EXPECT_LT(graph.ValueAt(0, 0.0), x);
    EXPECT_GT(graph.ValueAt(0, 1.0), x);
    const double y0 = graph.ValueAt(1, 0.0);
    const double y1 = graph.ValueAt(1, 1.0);
    ASSERT_TRUE(graph.PanBy(0.0, 0.5));
    EXPECT_NEAR(graph.ValueAt(1, 0.0), y0 - 0.5 * (y1 - y0), 0.1 * (y1 - y0));
    // Many small steps of a drag there and back leave the range where it was.
    const double back0 = graph.ValueAt(1, 0.0);
    const double back1 = graph.ValueAt(1, 1.0);
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(graph.PanBy(0.0, 0.01));
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(graph.PanBy(0.0, -0.01));
    EXPECT_NEAR(graph.ValueAt(1, 0.0), back0, 1e-9);
    EXPECT_NEAR(graph.ValueAt(1, 1.0), back1, 1e-9);

    // Too fine a zoom, or none at all, is refused and leaves the view as it was.
    const double shownLow = graph.ValueAt(1, 0.0);
    EXPECT_FALSE(graph.ZoomTo(0.5, 0.5, 0.2, 0.8));
    EXPECT_FALSE(graph.ZoomAbout(0.5, 0.5, 1e-12));
    EXPECT_EQ(graph.ValueAt(1, 0.0), shownLow);

    graph.ResetZoom();
    EXPECT_FALSE(graph.IsZoomed());
    EXPECT_EQ(graph.ValueAt(1, 1.0), 100.0);
    EXPECT_EQ(graph.ValueAt(0, 1.0), 10.0);

    // The menu's Zoom In and Out always change every axis, wherever the ends round to (half of
    // 0..20 about 9.8 rounds out to 0..20 again).
    {
        auto doubled = doc.Clock()->HistoryValues();
        for (double& t : doubled)
            t *= 2.0;
        doc.Clock()->SetHistory(doubled);
    }
    graph.RecomputeScales();
    for (const double f : {0.5, 0.49, 0.03}) {
        ASSERT_TRUE(graph.ZoomStep(f, f, 0.5));
        EXPECT_LT(graph.ValueAt(0, 1.0) - graph.ValueAt(0, 0.0), 20.0) << f;
        EXPECT_LT(graph.ValueAt(1, 1.0) - graph.ValueAt(1, 0.0), 100.0) << f;
        ASSERT_TRUE(graph.ZoomStep(f, f, 2.0));
        ASSERT_TRUE(graph.ZoomStep(f, f, 2.0));
        EXPECT_GT(graph.ValueAt(0, 1.0) - graph.ValueAt(0, 0.0), 20.0) << f;
        graph.ResetZoom();
    }
}

TEST(GraphNearestSample, WeighsTheAxesByTheirPixelsAndSkipsNonNumbers) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> xs{0.0, 1.0, 2.0, nan, 4.0};
    const std::vector<double> ys{0.0, 100.0, 0.0, 0.0, 0.0};
    const auto x = [&](int j) { return xs[static_cast<std::size_t>(j)]; };
    const auto y = [&](int j) { return ys[static_cast<std::size_t>(j)]; };
    struct Case {
        double px, py, xPixels, yPixels;
        int count, expected;
    };
    const Case cases[] = {
        {1.1, 50.0, 100.0, 0.01, 5, 1}, // y weighs little: the nearest in x
        {1.1, 40.0, 0.01, 100.0, 5, 2}, // x weighs little: the nearest in y, then in x
        {3.1, 0.0, 1.0, 1.0, 5, 4},     // the sample that is no number is passed over
        {3.0, 0.0, 1.0, 1.0, 4, 2},     {0.0, 0.0, 1.0, 1.0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestSample(c.count, x, y, c.px, c.py, c.xPixels, c.yPixels), c.expected) << c.px;
}

TEST_F(GraphViewTest, ReadOutGivesEachGraphsNearestSampleInFullPrecision) {
    PassBlock* a = WithHistory(1, {0.0, 0.1, 0.30000000000000004, 0.2});
    PassBlock* b = Place(doc, 2, 0);
    b->Name = "B";
    b->SetHistory({-1.0, 1.0 / 3.0, -1.0, -1.0});
    doc.Clock()->SetHistory({0.0, 1.0, 2.0, 3.0});
    graph.Traces = {doc.Clock(), a, b, nullptr};
    graph.LastTrace = 2;
    graph.RecomputeScales();
    graph.PlotRect = {0, 100, 300, 0};
    // Half way across, high up: each graph's nearest sample on the screen, not in time alone.
    const auto samples = graph.NearestSamples(0.5, 0.9);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[0].Index, 2);
    EXPECT_EQ(samples[1].Index, 1);
    EXPECT_EQ(samples[0].At.x, 200);
    EXPECT_EQ(graph.ReadoutText(samples),
              "P1 = 0.30000000000000004 at t = 2    B = 0.3333333333333333 at t = 1");
    // Against another X source, its value too.
    graph.Traces[0] = b;
    graph.RecomputeScales();
    const auto phase = graph.NearestSamples(1.0, 1.0);
    ASSERT_EQ(phase.size(), 2u);
    EXPECT_EQ(graph.ReadoutText({phase[0]}), "P1 = 0.1 at t = 1, B = 0.3333333333333333");
}

// Earlier runs: none kept unless asked; each new run turns what was shown into an earlier run
// labelled with the parameters it changed; at most five; a deleted block leaves the kept values
// and drops out of the labels; reading the graph again forgets them; nothing reaches the record.
TEST_F(GraphViewTest, EarlierRunsAreKeptLabelledBoundedAndNeverWritten) {
    PassBlock* a = WithHistory(1, {1.0, 2.0});
    PassBlock* other = Place(doc, 2, 0);
    other->Name = "Damping";
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    auto run = [&](double value, double damping) {
        if (other) other->Params[0] = damping;
        ++doc.RunSerial;
        a->SetHistory({value, value + 1.0});
        graph.OnUpdate(nullptr, 0, nullptr);
    };
    run(5.0, 0.4);
    run(6.0, 0.5);
    EXPECT_TRUE(graph.EarlierRuns.empty());

    graph.SetKeepEarlierRuns(true);
    run(7.0, 0.6);
    ASSERT_EQ(graph.EarlierRuns.size(), 1u);
    EXPECT_EQ(graph.EarlierRuns[0].Label, "Damping.p1 = 0.5");
    EXPECT_EQ(graph.EarlierRuns[0].Y[1], (std::vector<double>{6.0, 7.0}));
    run(8.0, 0.6);
    EXPECT_EQ(graph.EarlierRuns.back().Label, "earlier run");
    for (int i = 0; i < 6; ++i)
        run(10.0 + i, 1.0 + i);
    ASSERT_EQ(graph.EarlierRuns.size(), CGraphBase::kMaxEarlierRuns);
    EXPECT_EQ(graph.EarlierRuns.front().Y[1].front(), 10.0);
    EXPECT_EQ(graph.EarlierRuns.back().Y[1].front(), 14.0);

    CArchive out;
    graph.Serialize(out);
    CGraphBase plain;
    doc.AddView(&plain);
    plain.Traces = graph.Traces;
    plain.LastTrace = 1;
    plain.RecomputeScales();
    CArchive expected;
    plain.Serialize(expected);
    EXPECT_EQ(out.Bytes(), expected.Bytes());

    doc.DeleteBlock(other);
    other = nullptr;
    run(20.0, 0.0);
    EXPECT_EQ(graph.EarlierRuns.back().Label, "earlier run");
    EXPECT_EQ(graph.EarlierRuns.back().Y[1].front(), 15.0);

    CArchive in{out.Bytes()};
    graph.Serialize(in);
    EXPECT_TRUE(graph.EarlierRuns.empty());
    run(21.0, 0.0);
    EXPECT_TRUE(graph.EarlierRuns.empty());
    doc.RemoveView(&plain);
}

// The earlier runs follow their blocks: a traced block deleted between runs takes its faded
// trace along and the others move up with their slots; a run left without traces goes. An
// Initialize between runs records nothing and adds no earlier run of its own.
TEST_F(GraphViewTest, EarlierRunsFollowTheirBlocksThroughADeletionAndAnInitialize) {
    PassBlock* a = WithHistory(1, {1.0, 2.0});
    PassBlock* b = Place(doc, 2, 0);
    graph.Traces = {doc.Clock(), a, b, nullptr};
    graph.LastTrace = 2;
    auto run = [&](double value) {
        ++doc.RunSerial;
        doc.Clock()->SetHistory({0.0, 1.0});
        for (CBlock* block : {static_cast<CBlock*>(a), static_cast<CBlock*>(b)})
            if (block) block->SetHistory({value, block == a ? value + 1.0 : value - 1.0});
        graph.OnUpdate(nullptr, 0, nullptr);
    };
    run(5.0);
    graph.SetKeepEarlierRuns(true);
    run(6.0);
    ASSERT_EQ(graph.EarlierRuns.size(), 1u);
    EXPECT_EQ(graph.EarlierRuns[0].Y[2], (std::vector<double>{5.0, 4.0}));

    doc.DeleteBlock(a);
    a = nullptr;
    ASSERT_EQ(graph.Traces[1], b);
    ASSERT_EQ(graph.EarlierRuns.size(), 1u);
    EXPECT_EQ(graph.EarlierRuns[0].Y[1], (std::vector<double>{5.0, 4.0}));
    EXPECT_TRUE(graph.EarlierRuns[0].Y[2].empty());
    // The run shown when the block went is kept the same way by the next run.
    run(7.0);
    ASSERT_EQ(graph.EarlierRuns.size(), 2u);
    EXPECT_EQ(graph.EarlierRuns[1].Y[1], (std::vector<double>{6.0, 5.0}));

    // Initialize: the histories emptied, nothing recorded.
    ++doc.RunSerial;
    doc.Clock()->SetHistory({});
    b->SetHistory({});
    graph.OnUpdate(nullptr, HINT_REDRAW, nullptr);
    run(8.0);
    ASSERT_EQ(graph.EarlierRuns.size(), 3u);
    EXPECT_EQ(graph.EarlierRuns[2].Y[1], (std::vector<double>{7.0, 6.0}));

    // The last traced block gone: graph 1 shows the Clock, and no earlier run has a trace left.
    doc.DeleteBlock(b);
    b = nullptr;
    EXPECT_TRUE(graph.EarlierRuns.empty());
}

// The recorded scales at any magnitude and either sign: they cover the samples, cut them into 7
// to 12 ticks and label every tick exactly. While a run grows the records, each refresh reads
// only the new samples and gives the scales a full reading gives; a new run starts afresh.
TEST_F(GraphViewTest, RecordedScalesCoverAnyRangeAndFollowAGrowingRun) {
    PassBlock* a = WithHistory(1, {});
    graph.Traces = {doc.Clock(), a, nullptr, nullptr};
    graph.LastTrace = 1;
    const double ranges[][2] = {{1e-9, 1e9},    {-5.3, -5.1},  {-9e8, -2e8}, {-1e-9, -3e-10},
                                {3e-12, 7e-12}, {-0.001, 5.0}, {0.0, 1.0},   {-1e300, 1e300}};
    // The run kept for the overlay grows with the refreshes too.
    graph.SetKeepEarlierRuns(true);
    std::vector<double> previous;
    for (const auto& r : ranges) {
        SCOPED_TRACE(testing::Message() << r[0] << " .. " << r[1]);
        previous = a->HistoryValues();
        ++doc.RunSerial;
        a->SetHistory({});
        doc.Clock()->SetHistory({});
        for (int j = 0; j <= 40; ++j) {
            // Samples swinging across the range, reaching its ends last.
            const double f = j % 2 == 0 ? 0.5 * j / 40.0 : 1.0 - 0.5 * j / 40.0;
            Append(*a, j == 40 ? r[0] : j == 39 ? r[1] : r[0] + f * (r[1] - r[0]));
            Append(*doc.Clock(), j);
            graph.OnUpdate(nullptr, HINT_HISTORIES_GREW, nullptr);
            if (j == 0) {
                if (!previous.empty()) {
                    EXPECT_EQ(graph.EarlierRuns.back().Y[1], previous);
                }
                continue; // one sample: the range stored last
            }
            CGraphBase fresh;
            doc.AddView(&fresh);
            fresh.Traces = graph.Traces;
            fresh.LastTrace = 1;
            fresh.RecomputeScales();
            doc.RemoveView(&fresh);
            ASSERT_EQ(graph.LowUnits, fresh.LowUnits) << j;
            ASSERT_EQ(graph.HighUnits, fresh.HighUnits) << j;
            ASSERT_EQ(graph.Exponent, fresh.Exponent) << j;
        }
        const double unit = std::pow(10.0, graph.Exponent[1]);
        EXPECT_LE(graph.LowUnits[1] * unit, r[0] * (1 + 1e-12 * (r[0] > 0 ? 1 : -1)));
        EXPECT_GE(graph.HighUnits[1] * unit, r[1] * (1 - 1e-12 * (r[1] > 0 ? 1 : -1)));
        EXPECT_GE(graph.TickCount[1], 7);
        EXPECT_LE(graph.TickCount[1], 12);
        const double scale = std::pow(10.0, graph.Decimals[1]);
        for (int k = 0; k <= graph.TickCount[1]; ++k) {
            const double tick =
                (graph.LowUnits[1] + k * (graph.HighUnits[1] - graph.LowUnits[1]) / graph.TickCount[1]) *
                scale;
            EXPECT_NEAR(tick, std::round(tick), 1e-6 * std::max(1.0, std::fabs(tick))) << "tick " << k;
        }
    }
}
