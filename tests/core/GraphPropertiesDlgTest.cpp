// The graph's property sheet driven through a map of controls.

#include "views/GraphPropertiesDlg.h"
#include "TestSupport.h"
#include "platform/DataExchange.h"
#include "platform/Text.h"
#include "views/GraphView.h"

#include <gtest/gtest.h>

using Sheet = CGraphPropertySheet;

namespace {

class GraphSheetTest : public ::testing::Test {
  protected:
    GraphSheetTest() {
        doc.OnNewDocument();
        doc.AddView(&graph);
        graph.OnInitialUpdate();
        for (int x = 1; x <= 3; ++x) {
            PassBlock* b = Place(doc, x, 0);
            b->Name = FormatString("P%d", x);
            blocks.push_back(b);
        }
    }
    double Real(int id) { return std::stod(dx.texts.at(id)); }

    TestPlatform platform;
    COrventDoc doc;
    CGraphBase graph;
    std::vector<PassBlock*> blocks;
    MapDataExchange dx;
};

TEST_F(GraphSheetTest, NewGraphShowsTheClockAndTheDependentControlsDisabled) {
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    EXPECT_EQ(sheet.Caption(), "Graph");
    // The Clock's companions are computed at the start: they are not offered.
    for (CBlock* b : sheet.Candidates)
        EXPECT_FALSE(b->AtFirst);
    EXPECT_EQ(sheet.SelectedIndex(Sheet::PAGE_X), 0);
    EXPECT_EQ(sheet.SelectedIndex(Sheet::PAGE_GRAPH1), 0);
    EXPECT_EQ(sheet.SelectedIndex(Sheet::PAGE_GRAPH2), -1);
    EXPECT_EQ(sheet.SelectedIndex(Sheet::PAGE_GRAPH3), -1);
    EXPECT_FALSE(dx.enabled[Sheet::IDC_G1_CLEAR]);
    EXPECT_FALSE(dx.enabled[Sheet::IDC_G3_BLOCKS]);
    EXPECT_FALSE(dx.enabled[Sheet::IDC_APPLY_NOW]);
    EXPECT_FALSE(dx.visible[Sheet::IDC_X_CLEAR]);

    const int p2 = static_cast<int>(std::find(sheet.Candidates.begin(), sheet.Candidates.end(), blocks[1]) -
                                    sheet.Candidates.begin());
    sheet.OnSelectBlock(dx, Sheet::PAGE_GRAPH2, p2);
    EXPECT_TRUE(dx.enabled[Sheet::IDC_G1_CLEAR]);
    EXPECT_TRUE(dx.enabled[Sheet::IDC_G3_BLOCKS]);
    EXPECT_TRUE(dx.enabled[Sheet::IDC_APPLY_NOW]);
    EXPECT_EQ(graph.Traces[2], nullptr) << "nothing reaches the graph before Apply";
}

TEST_F(GraphSheetTest, ClearOnGraph1MovesGraphs2And3Up) {
    graph.Traces = {doc.Clock(), blocks[0], blocks[1], blocks[2]};
    graph.LastTrace = 3;
    graph.Width[2] = 4;
    graph.Locn[1] = 1;
    graph.Color[3] = RGB(1, 2, 3);
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    dx.texts[IDC_GRAPH2_HIGH] = "7";
    dx.texts[IDC_GRAPH2_LOW] = "-7";
    sheet.OnCommand(dx, Sheet::IDC_G1_CLEAR);
    EXPECT_EQ(sheet.Chosen[1], blocks[1]);
    EXPECT_EQ(sheet.Chosen[2], blocks[2]);
    EXPECT_EQ(sheet.Chosen[3], nullptr);
    // Graph 1 took graph 2's range and width (as typed) and its scale went back to the left.
    EXPECT_EQ(Real(IDC_GRAPH1_HIGH), 7.0);
    EXPECT_EQ(Real(IDC_GRAPH1_LOW), -7.0);
    EXPECT_EQ(dx.texts[IDC_GRAPH1_WIDTH], "4");
    EXPECT_EQ(dx.radios[IDC_GRAPH1_LOCN], 0);
    // Graph 2 took everything of graph 3, colour included; graph 3 is back to factory values.
    EXPECT_EQ(*sheet.Working[2].FindValue<COLORREF>(IDC_GRAPH2_COLOR), RGB(1, 2, 3));
    EXPECT_EQ(*sheet.Working[3].FindValue<COLORREF>(IDC_GRAPH3_COLOR), RGB(0, 0, 255));
    EXPECT_TRUE(dx.enabled[Sheet::IDC_APPLY_NOW]);

    ASSERT_TRUE(sheet.OnOK(dx));
    EXPECT_EQ(graph.Traces[1], blocks[1]);
    EXPECT_EQ(graph.Traces[2], blocks[2]);
    EXPECT_EQ(graph.Traces[3], nullptr);
    EXPECT_EQ(graph.LastTrace, 2);
    EXPECT_EQ(graph.Width[1], 4);
    EXPECT_EQ(graph.Color[2], RGB(1, 2, 3));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(GraphSheetTest, ClearOnGraph2And3) {
    graph.Traces = {doc.Clock(), blocks[0], blocks[1], blocks[2]};
    graph.LastTrace = 3;
    graph.Width[3] = 6;
    graph.Fixed[3] = 1;
    graph.High[3] = 9;
    graph.Low[3] = 2;
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    sheet.OnCommand(dx, Sheet::IDC_G2_CLEAR);
    EXPECT_EQ(sheet.Chosen[2], blocks[2]);
    EXPECT_EQ(sheet.Chosen[3], nullptr);
    EXPECT_EQ(dx.texts[IDC_GRAPH2_WIDTH], "6");
    EXPECT_EQ(Real(IDC_GRAPH2_HIGH), 9.0);
    EXPECT_EQ(Real(IDC_GRAPH2_LOW), 2.0);
    EXPECT_EQ(dx.checks[IDC_GRAPH2_FIXED], 0) << "graph 2's list was reset before taking graph 3's range";
    EXPECT_EQ(dx.texts[IDC_GRAPH3_WIDTH], "0");

    sheet.OnCommand(dx, Sheet::IDC_G3_CLEAR); // nothing left on graph 3
    EXPECT_EQ(sheet.Chosen[2], blocks[2]);
    sheet.OnCommand(dx, Sheet::IDC_G2_CLEAR);
    EXPECT_EQ(sheet.Chosen[2], nullptr);
    EXPECT_FALSE(dx.enabled[Sheet::IDC_G1_CLEAR]);
    sheet.OnCommand(dx, Sheet::IDC_G1_CLEAR); // disabled rule holds in the logic too
    EXPECT_EQ(sheet.Chosen[1], blocks[0]);
}

TEST_F(GraphSheetTest, FixedNeedsLowBelowHighOnEveryPage) {
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    dx.texts[IDC_GRAPH2_LOW] = "5";
    dx.texts[IDC_GRAPH2_HIGH] = "5";
    dx.checks[IDC_GRAPH2_FIXED] = 1;
    sheet.OnCommand(dx, IDC_GRAPH2_FIXED);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Fixed is ignored if Low is not less than High");
    EXPECT_EQ(platform.messages.shown[0].buttons, MB_OK);
    EXPECT_EQ(dx.checks[IDC_GRAPH2_FIXED], 0);
    EXPECT_FALSE(sheet.Modified);

    dx.texts[IDC_GRAPH2_HIGH] = "6";
    dx.checks[IDC_GRAPH2_FIXED] = 1;
    sheet.OnCommand(dx, IDC_GRAPH2_FIXED);
    EXPECT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(dx.checks[IDC_GRAPH2_FIXED], 1);
    EXPECT_TRUE(sheet.Modified);

    // The X axis follows the same rule.
    dx.texts[IDC_AXIS_LOW] = "3";
    dx.texts[IDC_AXIS_HIGH] = "1";
    dx.checks[IDC_AXIS_FIXED] = 1;
    sheet.OnCommand(dx, IDC_AXIS_FIXED);
    EXPECT_EQ(platform.messages.shown.size(), 2u);
    EXPECT_EQ(dx.checks[IDC_AXIS_FIXED], 0);

    // A range edited after the box was ticked is checked again on OK.
    dx.texts[IDC_GRAPH2_HIGH] = "4";
    ASSERT_TRUE(sheet.OnOK(dx));
    EXPECT_EQ(platform.messages.shown.size(), 3u);
    EXPECT_EQ(graph.Fixed[0], 0);
    EXPECT_EQ(graph.Fixed[2], 0);
}

TEST_F(GraphSheetTest, ApplyShiftsAndCompactsTheTraces) {
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    auto index = [&](CBlock* b) {
        return static_cast<int>(std::find(sheet.Candidates.begin(), sheet.Candidates.end(), b) -
                                sheet.Candidates.begin());
    };
    // Graph 3 chosen while graph 2 is empty moves to graph 2.
    sheet.OnSelectBlock(dx, Sheet::PAGE_GRAPH3, index(blocks[2]));
    dx.texts[IDC_GRAPH3_WIDTH] = "5";
    ASSERT_TRUE(sheet.OnCommand(dx, Sheet::IDC_APPLY_NOW));
    EXPECT_EQ(graph.Traces[2], blocks[2]);
    EXPECT_EQ(graph.Traces[3], nullptr);
    EXPECT_EQ(graph.Width[2], 5);
    EXPECT_EQ(graph.LastTrace, 2);
    EXPECT_EQ(sheet.SelectedIndex(Sheet::PAGE_GRAPH2), index(blocks[2])) << "the pages follow the move";
    EXPECT_FALSE(dx.enabled[Sheet::IDC_APPLY_NOW]);

    // Graph 1 left empty takes the next graph; an empty X source falls back to the Clock.
    sheet.OnSelectBlock(dx, Sheet::PAGE_GRAPH1, -1);
    sheet.OnSelectBlock(dx, Sheet::PAGE_X, -1);
    ASSERT_TRUE(sheet.OnApply(dx));
    EXPECT_EQ(graph.Traces[0], doc.Clock());
    EXPECT_EQ(graph.Traces[1], blocks[2]);
    EXPECT_EQ(graph.Traces[2], nullptr);
    EXPECT_EQ(graph.LastTrace, 1);
}

TEST_F(GraphSheetTest, ResetShowsFactoryValuesButTheAutomaticRanges) {
    doc.Clock()->SetHistory({0.0, 1.0, 2.0});
    blocks[0]->SetHistory({-3.0, 40.0, 12.0});
    graph.Traces[1] = blocks[0];
    graph.LabelsFont.lfHeight = -30;
    graph.Width[1] = 3;
    graph.Fixed[2] = 1;
    graph.High[2] = 8.0;
    graph.RecomputeScales();
    const double autoHigh = graph.High[1];
    const double autoLow = graph.Low[1];
    ASSERT_GT(autoHigh, 0.0);
    ASSERT_LT(autoLow, 0.0);

    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    dx.texts[Sheet::IDC_MISC_TITLE] = "Run 1";
    sheet.OnCommand(dx, Sheet::IDC_MISC_RESET);
    EXPECT_EQ(sheet.Working[4].FindValue<LOGFONT>(IDC_GRAPH_LABELS_FONT)->lfHeight, -13);
    EXPECT_EQ(dx.texts[IDC_GRAPH1_WIDTH], "0");
    EXPECT_EQ(Real(IDC_GRAPH1_HIGH), autoHigh);
    EXPECT_EQ(Real(IDC_GRAPH1_LOW), autoLow);
    // Graph 2 is fixed in the graph: its factory range is shown.
    EXPECT_EQ(Real(IDC_GRAPH2_HIGH), 0.0);
    EXPECT_TRUE(dx.enabled[Sheet::IDC_APPLY_NOW]);
    EXPECT_EQ(graph.Width[1], 3) << "Reset alone changes nothing in the graph";

    // Update stores what every page shows as the user's defaults; Recall brings them back.
    dx.texts[IDC_GRAPH3_WIDTH] = "7";
    sheet.OnCommand(dx, Sheet::IDC_MISC_UPDATE);
    dx.texts[IDC_GRAPH3_WIDTH] = "2";
    sheet.OnCommand(dx, Sheet::IDC_MISC_RECALL);
    EXPECT_EQ(dx.texts[IDC_GRAPH3_WIDTH], "7");
    EXPECT_EQ(graph.Width[3], 0);

    ASSERT_TRUE(sheet.OnOK(dx));
    EXPECT_EQ(graph.Width[3], 7);
    EXPECT_EQ(graph.GraphTitle, "Run 1");
}

TEST_F(GraphSheetTest, RefusedTextAppliesNothing) {
    Sheet sheet(graph);
    sheet.OnInitDialog(dx);
    dx.texts[IDC_GRAPH1_WIDTH] = "100";
    dx.texts[Sheet::IDC_MISC_TITLE] = "Changed";
    EXPECT_FALSE(sheet.OnOK(dx));
    EXPECT_EQ(graph.Width[1], 0);
    EXPECT_EQ(graph.GraphTitle, "");
    dx.texts[IDC_GRAPH1_WIDTH] = "99";
    dx.texts[Sheet::IDC_MISC_TITLE] = std::string(29, 'x');
    EXPECT_FALSE(sheet.OnOK(dx));
    EXPECT_EQ(graph.Width[1], 0);
}

} // namespace
