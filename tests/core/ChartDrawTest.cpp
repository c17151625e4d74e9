#include "ChartTestSupport.h"

#include <climits>

namespace {

using ChartDraw = ChartTest;

// The recorded stems (black fills) and arrowheads of the port marks, in drawing order.
struct Mark {
    CRect stem;
    CRect head;
    bool mirrored;
};
std::vector<Mark> Marks(const RecordingDC& dc) {
    std::vector<Mark> out;
    const auto& ops = dc.Ops();
    for (std::size_t i = 0; i + 1 < ops.size(); ++i)
        if (ops[i].kind == RecordedOp::FillRect && ops[i + 1].kind == RecordedOp::Picture &&
            ops[i + 1].pictureId == kPortMarkPicture)
            out.push_back({ops[i].rect, ops[i + 1].rect, ops[i + 1].mirrored});
    return out;
}

TEST_F(ChartDraw, HoldingPointsCoverColumnsZeroToFiveAndRowsZeroToMinusFive) {
    NoTexts();
    Draw();
    const auto points = dc.OpsOf(RecordedOp::Rectangle);
    ASSERT_EQ(points.size(), 36u);
    EXPECT_EQ(points.front()->rect, (CRect{36, -29, 40, -33}));
    EXPECT_EQ(points.back()->rect,
              (CRect{38 + 5 * 47 - 2, -(31 + 5 * 39) + 2, 38 + 5 * 47 + 2, -(31 + 5 * 39) - 2}));
    EXPECT_EQ(points.front()->brushColor, RGB(255, 0, 0));
    EXPECT_EQ(points.front()->penColor, RGB(255, 0, 0));
    EXPECT_EQ(points.front()->penWidth, 0);

    view.HoldSize = 4;
    view.HoldColor = RGB(0, 128, 0);
    Draw();
    EXPECT_EQ(dc.OpsOf(RecordedOp::Rectangle).front()->rect, (CRect{34, -27, 42, -35}));
    EXPECT_EQ(dc.OpsOf(RecordedOp::Rectangle).front()->brushColor, RGB(0, 128, 0));

    view.DisplayMode = 1;
    Draw();
    EXPECT_EQ(dc.OpsOf(RecordedOp::Rectangle).front()->brushColor, RGB(0, 0, 0));

    view.HoldDisplay = 0;
    Draw();
    EXPECT_TRUE(dc.OpsOf(RecordedOp::Rectangle).empty());
}

TEST_F(ChartDraw, PortMarksSitOnTheirSlotsOnEitherSide) {
    NoTexts();
    doc.Blocks[0]->ShowValue = 0; // keep the Clock's mark out of the way
    Add(1, -1, 1);
    Draw();
    // Centre (85, -70); slot 2 of the input at the centre height, the output 4 units higher.
    auto marks = Marks(dc);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].stem, (CRect{73, -70, 74, -71}));
    EXPECT_EQ(marks[0].head, (CRect{70, -68, 73, -73}));
    EXPECT_FALSE(marks[0].mirrored);
    EXPECT_EQ(marks[1].stem, (CRect{98, -66, 99, -67}));
    EXPECT_EQ(marks[1].head, (CRect{99, -64, 102, -69}));
    EXPECT_FALSE(marks[1].mirrored);

    doc.Blocks.back()->Invert = 1;
    Draw();
    marks = Marks(dc);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].stem, (CRect{97, -70, 98, -71}));
    EXPECT_EQ(marks[0].head, (CRect{98, -68, 101, -73}));
    EXPECT_TRUE(marks[0].mirrored);
    EXPECT_EQ(marks[1].stem, (CRect{73, -66, 74, -67}));
    EXPECT_EQ(marks[1].head, (CRect{70, -64, 73, -69}));
    EXPECT_TRUE(marks[1].mirrored);
}

TEST_F(ChartDraw, InputSlotsByInputCountAndMagnification) {
    NoTexts();
    doc.Blocks[0]->ShowValue = 0;
    PassBlock* b = Add(1, -1, 2);
    b->ShowValue = 0;
    Draw();
    auto marks = Marks(dc);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].stem.top, -70 + 8); // slot 1
    EXPECT_EQ(marks[1].stem.top, -70 - 8); // slot 3

    b->InputsShown = 3;
    Draw();
    marks = Marks(dc);
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks[0].stem.top, -70); // slots 2, 1, 3
    EXPECT_EQ(marks[1].stem.top, -62);
    EXPECT_EQ(marks[2].stem.top, -78);

    b->InputsShown = 1;
    view.MagBmp = 2.0;
    Draw();
    // Cells 79 x 63, origins 54 and 55: centre (133, -118).
    marks = Marks(dc);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].stem, (CRect{109, -118, 111, -120}));
    EXPECT_EQ(marks[0].head, (CRect{103, -114, 109, -124}));
}

TEST_F(ChartDraw, AtFirstMarkBesideTheOutputEdge) {
    NoTexts();
    PassBlock* b = Add(1, -1, 0);
    b->AtFirst = 1;
    Draw();
    auto bars = dc.PicturesOf(kAtFirstPicture);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0]->rect, (CRect{98, -74, 100, -82}));
    b->Invert = 1;
    view.MagBmp = 2.0;
    Draw();
    bars = dc.PicturesOf(kAtFirstPicture);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0]->rect, (CRect{133 - 26, -118 - 8, 133 - 22, -118 - 24}));
}

TEST_F(ChartDraw, PicturesStretchedFromTheirCornerInvertedWhenSelected) {
    NoTexts();
    PassBlock* b = Add(1, -1);
    Draw();
    // Only the Clock and the new block: the companions are never drawn.
    ASSERT_EQ(dc.OpsOf(RecordedOp::Picture).size() - Marks(dc).size(), 2u);
    auto pictures = dc.PicturesOf(b->ColorImage);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->rect, (CRect{74, -59, 98, -83}));
    EXPECT_EQ(pictures[0]->pictureMode, PictureMode::Plain);
    EXPECT_EQ(dc.PicturesOf(175).at(0)->pictureMode, PictureMode::Plain);

    view.SelectedBlock = b;
    view.MagBmp = 2.0;
    Draw();
    pictures = dc.PicturesOf(b->ColorImage);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->rect, (CRect{111, -96, 159, -144}));
    EXPECT_EQ(pictures[0]->pictureMode, PictureMode::Inverted);
    EXPECT_EQ(dc.PicturesOf(175).at(0)->pictureMode, PictureMode::Plain);

    view.DisplayMode = 1;
    Draw();
    EXPECT_TRUE(dc.PicturesOf(b->ColorImage).empty());
    EXPECT_EQ(dc.PicturesOf(b->MonoImage).size(), 1u);
    EXPECT_EQ(dc.PicturesOf(675).size(), 1u);
}

TEST_F(ChartDraw, NamesBelowAndValuesAboveThePicture) {
    PassBlock* b = Add(1, -1);
    b->Value = 1.5;
    doc.Blocks[0]->Value = -0.0025;
    view.ChartClr = RGB(0, 0, 128);
    Draw();
    // Cells 92 x 73, origins 61 and 48: centre (153, -121).
    auto name = dc.TextsOf(b->Name);
    ASSERT_EQ(name.size(), 1u);
    EXPECT_EQ(name[0]->x, 153);
    EXPECT_EQ(name[0]->y, -121 - 13 - 1);
    EXPECT_EQ(name[0]->flags, TA_CENTER | TA_TOP);
    EXPECT_EQ(name[0]->textColor, RGB(0, 0, 128));
    auto value = dc.TextsOf("1.500e+000");
    ASSERT_EQ(value.size(), 1u);
    EXPECT_EQ(value[0]->x, 153);
    EXPECT_EQ(value[0]->y, -121 + 11 + 1);
    EXPECT_EQ(value[0]->flags, TA_CENTER | TA_BOTTOM);
    EXPECT_EQ(dc.TextsOf("-2.500e-003").size(), 1u);
    EXPECT_TRUE(dc.TextsOf("ClockError").empty());

    view.DisplayMode = 1;
    view.ValueDisplay = 0;
    Draw();
    EXPECT_EQ(dc.TextsOf(b->Name).at(0)->textColor, RGB(0, 0, 0));
    EXPECT_TRUE(dc.TextsOf("1.500e+000").empty());
}

TEST_F(ChartDraw, LinesInTheSourceColourOrBlack) {
    NoTexts();
    PassBlock* a = Add(1, 0, 0);
    PassBlock* b = Add(2, 0, 1);
    Connect(a, b);
    view.LineWidth = 3;
    Draw();
    auto lines = dc.OpsOf(RecordedOp::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<CPoint> expected{{117, -31}, {113, -31}, {113, -31},
                                       {113, -27}, {113, -27}, {100, -27}};
    EXPECT_EQ(lines[0]->points, expected);
    EXPECT_EQ(lines[0]->penColor, a->LineColor);
    EXPECT_EQ(lines[0]->penWidth, 3);
    view.DisplayMode = 1;
    Draw();
    EXPECT_EQ(dc.OpsOf(RecordedOp::Polyline).at(0)->penColor, RGB(0, 0, 0));
}

// A damaged record can put a track at the very end of the coordinate range; the line still runs
// through the window from its input and is drawn.
TEST_F(ChartDraw, ALineOutToTheEndOfTheCoordinateRangeIsStillDrawn) {
    NoTexts();
    view.LineWidth = 99;
    view.DeltaVert = 1;
    PassBlock* a = Add(1, 0, 0);
    PassBlock* b = Add(2, 0, 1, 1);
    b->Inputs[0] = a;
    view.RecalcLayout(&dc);
    const long long spacing = view.DeltaVert + view.LineWidth;
    const long long start = view.XOrigin + 2LL * view.CellWidth + view.CellWidth / 2;
    b->RouteRecord[0].v = {static_cast<int>((INT_MAX - start) / spacing), ROUTE_VERTICAL, 0, 0};
    doc.ComputeRoute(b, 0, view.LineGeometry());
    ASSERT_GT(doc.RoutePoints[1].x, INT_MAX - view.LineWidth);
    Draw();
    EXPECT_EQ(dc.OpsOf(RecordedOp::Polyline).size(), 1u);
}

TEST_F(ChartDraw, AnUnroutableLineShowsTheSourceLabelAtBothEnds) {
    NoTexts();
    PassBlock* a = Add(1, 0, 0);
    PassBlock* b = Add(3, -2, 1);
    b->Inputs[0] = a;
    b->RouteRecord[0].v = {ROUTE_UNROUTABLE, 0, 0, 0};
    a->LineLabel = "a";
    Draw();
    EXPECT_TRUE(dc.OpsOf(RecordedOp::Polyline).empty());
    auto labels = dc.TextsOf("a");
    ASSERT_EQ(labels.size(), 2u);
    // Input end (164, -109): to its left, one gap between, centred on the line end.
    EXPECT_EQ(labels[0]->x, 163);
    EXPECT_EQ(labels[0]->y, -109 + 6);
    EXPECT_EQ(labels[0]->flags, TA_RIGHT | TA_TOP);
    // Output end (100, -27): to its right.
    EXPECT_EQ(labels[1]->x, 101);
    EXPECT_EQ(labels[1]->y, -27 + 6);
    EXPECT_EQ(labels[1]->flags, TA_LEFT | TA_TOP);

    a->Invert = 1;
    b->Invert = 1;
    Draw();
    labels = dc.TextsOf("a");
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0]->x, 38 + 3 * 47 + 15 + 1);
    EXPECT_EQ(labels[0]->flags, TA_LEFT | TA_TOP);
    EXPECT_EQ(labels[1]->x, 38 + 47 - 15 - 1);
    EXPECT_EQ(labels[1]->flags, TA_RIGHT | TA_TOP);
}

TEST_F(ChartDraw, NotesAtTheTopKeepTheirColourOnScreenInMonochrome) {
    view.NotesDisplay = 1;
    view.NotesClr = RGB(0, 0, 255);
    view.DisplayMode = 1;
    view.ChartNotes = "one two three four five six";
    view.NotesLf.lfHeight = -10;
    dc.SetClient({0, 0, 55, -400});
    Draw();
    auto first = dc.TextsOf("one two");
    auto third = dc.TextsOf("five six");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(first[0]->x, 10);
    EXPECT_EQ(first[0]->y, 0);
    EXPECT_EQ(third[0]->y, -20);
    EXPECT_EQ(first[0]->textColor, RGB(0, 0, 255));
}

TEST_F(ChartDraw, PrintingDropsHoldingPointsAndPrintsBlackWhenAskedTo) {
    PassBlock* a = Add(1, 0, 0);
    PassBlock* b = Add(2, 0, 1);
    Connect(a, b);
    view.NotesDisplay = 1;
    view.NotesClr = RGB(0, 0, 255);
    view.ChartNotes = "note";
    RecordingDC printer({0, 0, 800, -1054}, true);
    view.RecalcLayout(&printer);
    view.Paginate();
    view.OnDraw(printer);
    EXPECT_TRUE(printer.OpsOf(RecordedOp::Rectangle).empty());
    EXPECT_EQ(printer.PicturesOf(b->ColorImage).size(), 2u) << "two blocks of the same type";
    EXPECT_EQ(printer.TextsOf("note").at(0)->textColor, RGB(0, 0, 255));
    EXPECT_EQ(printer.TextsOf("note").at(0)->y, -2 * view.TextHeight);
    // The grid moves down two text lines below the header.
    const int centreY = -view.YOrigin - 2 * view.TextHeight;
    EXPECT_EQ(printer.PicturesOf(b->ColorImage).at(0)->rect.top, centreY + 11);
    EXPECT_EQ(printer.TextsOf("Page 1 of 1").size(), 0u) << "one page has no label";

    doc.PrintMode = 1;
    printer.Clear();
    view.OnDraw(printer);
    EXPECT_EQ(printer.PicturesOf(b->MonoImage).size(), 2u);
    EXPECT_EQ(printer.TextsOf("note").at(0)->textColor, RGB(0, 0, 0));
    for (const RecordedOp* op : printer.OpsOf(RecordedOp::LineTo))
        EXPECT_EQ(op->penColor, RGB(0, 0, 0));
    EXPECT_FALSE(printer.OpsOf(RecordedOp::LineTo).empty());
}

TEST(ChartPages, LabelsAndPagePlacement) {
    TestPlatform platform;
    COrventView view;
    view.PagesDown = 3;
    view.PagesAcross = 2;
    view.CurrentPageRow = 2;
    view.CurrentPageColumn = 2;
    EXPECT_EQ(view.FormatPageLabel(), "Page 2B of 3B");
    view.PagesAcross = 1;
    EXPECT_EQ(view.FormatPageLabel(), "Page 2 of 3");
    view.PagesDown = 1;
    EXPECT_EQ(view.FormatPageLabel(), "");

    view.ColumnsPerPage = 4;
    view.RowsFirstPage = 10;
    view.RowsPerPage = 12;
    view.CurrentPageColumn = 3;
    view.CurrentPageRow = 2;
    EXPECT_TRUE(view.IsOnCurrentPage(8, -10));
    EXPECT_FALSE(view.IsOnCurrentPage(7, -10));
    EXPECT_FALSE(view.IsOnCurrentPage(8, -9));
    EXPECT_TRUE(view.IsOnCurrentPage(11, -21));
    EXPECT_FALSE(view.IsOnCurrentPage(8, -22));
    view.CurrentPageRow = 3;
    EXPECT_TRUE(view.IsOnCurrentPage(8, -22));
}

} // namespace
