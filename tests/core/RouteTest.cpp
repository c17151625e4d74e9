#include "ChartTestSupport.h"

#include <climits>

namespace {

using Route = ChartTest;
using Points = std::array<CPoint, 6>;

Points Reference(COrventDoc& doc, const CBlock* b, int input = 0) {
    doc.ComputeRoute(b, input);
    return doc.RoutePoints;
}

TEST_F(Route, NeighboursFacingEachOtherTakeTheDirectRoute) {
    PassBlock* s = Add(2, 0, 0);
    PassBlock* b = Add(3, 0, 1);
    Connect(s, b);
    EXPECT_EQ(b->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_EQ(Reference(doc, b),
              (Points{{{160, -25}, {156, -25}, {156, -25}, {156, -21}, {156, -21}, {140, -21}}}));

    // Both inverted: the source stands to the right.
    PassBlock* si = Add(5, -1, 0, 1);
    PassBlock* bi = Add(4, -1, 1, 1);
    Connect(si, bi);
    EXPECT_EQ(bi->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_EQ(Reference(doc, bi)[1].x, 25 + 200 + 15 + 4);

    // Only one of the two inverted: no direct route.
    PassBlock* c = Add(7, -3, 0, 1);
    PassBlock* d = Add(8, -3, 1);
    Connect(c, d);
    EXPECT_NE(d->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(Route, ASharedGutterGivesAVerticalRouteNearestTheSourceFirst) {
    PassBlock* s = Add(2, 0, 0);
    PassBlock* b = Add(3, -2, 1);
    Connect(s, b);
    EXPECT_EQ(b->RouteRecord[0].v[0], -2);
    EXPECT_EQ(b->RouteRecord[0].v[1], ROUTE_VERTICAL);
    EXPECT_EQ(Reference(doc, b),
              (Points{{{160, -125}, {146, -125}, {146, -125}, {146, -21}, {146, -21}, {140, -21}}}));

    // A second source into the same gutter, overlapping: the next track.
    PassBlock* s2 = Add(2, -1, 0);
    PassBlock* b2 = Add(3, -3, 1);
    Connect(s2, b2);
    EXPECT_EQ(b2->RouteRecord[0].v[0], -1);
    EXPECT_EQ(b2->RouteRecord[0].v[1], ROUTE_VERTICAL);

    // An inverted source opens into its left gutter and starts from the other end.
    PassBlock* s3 = Add(6, 0, 0, 1);
    PassBlock* b3 = Add(6, -2, 1);
    Connect(s3, b3);
    EXPECT_EQ(b3->RouteRecord[0].v[0], 2);
    EXPECT_EQ(b3->RouteRecord[0].v[1], ROUTE_VERTICAL);
}

TEST_F(Route, TheGeneralSearchStartsBesideTheSource) {
    PassBlock* s = Add(1, 0, 0);
    PassBlock* b = Add(3, 0, 1);
    Connect(s, b);
    EXPECT_EQ(b->RouteRecord[0].v, (std::array<std::int32_t, 4>{2, 0, 2, -2}));
    EXPECT_EQ(Reference(doc, b),
              (Points{{{160, -25}, {154, -25}, {154, -49}, {96, -49}, {96, -21}, {90, -21}}}));

    // Source below the destination: the gap just above the source, lowest gap track first.
    PassBlock* s2 = Add(1, -4, 0);
    PassBlock* b2 = Add(4, -1, 1);
    Connect(s2, b2);
    EXPECT_EQ(b2->RouteRecord[0].v, (std::array<std::int32_t, 4>{2, -3, -2, -2}));

    // Source above: the gap just below the source.
    PassBlock* s3 = Add(6, -1, 0);
    PassBlock* b3 = Add(8, -4, 1, 1);
    Connect(s3, b3);
    EXPECT_EQ(b3->RouteRecord[0].v, (std::array<std::int32_t, 4>{-2, -1, 2, -2}));
    const Points p = Reference(doc, b3);
    EXPECT_EQ(p[1].x, 25 + 400 - 4 + 25) << "an inverted destination opens to the right";
}

TEST_F(Route, LinesOfOneSourceShareTracksOthersMoveAside) {
    PassBlock* s = Add(1, 0, 0);
    PassBlock* b1 = Add(3, 0, 1);
    PassBlock* b2 = Add(4, 0, 1);
    Connect(s, b1);
    Connect(s, b2);
    // Same source track and gap track: the two lines run together from the source.
    EXPECT_EQ(b2->RouteRecord[0].v, (std::array<std::int32_t, 4>{2, 0, 2, -2}));

    PassBlock* t = Add(2, 0, 0);
    PassBlock* b3 = Add(4, -2, 1);
    Connect(t, b3);
    // Gap 0 at track +2 is taken along the way by s's lines; t's line must not run on it.
    EXPECT_TRUE(doc.IsRouteFree(b3, 0));
    const Points p = Reference(doc, b3);
    const Points q = Reference(doc, b2);
    EXPECT_FALSE(p[2].y == q[2].y && std::min(p[2].x, p[3].x) <= std::max(q[2].x, q[3].x));
}

TEST_F(Route, OneTrackPerGutterLeavesTheSecondLineUnroutableWithALabel) {
    doc.VertLines = 1;
    doc.HorizLines = 1;
    PassBlock* s1 = Add(0, -1, 0);
    PassBlock* b1 = Add(1, -3, 1);
    Connect(s1, b1);
    EXPECT_EQ(b1->RouteRecord[0].v[1], ROUTE_VERTICAL);
    EXPECT_EQ(b1->RouteRecord[0].v[0], 0);

    PassBlock* s2 = Add(0, -2, 0);
    PassBlock* b2 = Add(1, -4, 1);
    Connect(s2, b2);
    EXPECT_EQ(b2->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Vertical Line Not Available");
    EXPECT_EQ(platform.messages.shown[0].caption, "Line Error");
    EXPECT_EQ(platform.messages.shown[0].buttons, MB_OK);
    EXPECT_EQ(s2->LineLabel, "a");
    EXPECT_EQ(doc.NextLabel, 98);

    // A general line through gutter 2 that another source's line already uses.
    PassBlock* s3 = Add(0, 0, 0);
    PassBlock* b3 = Add(2, 0, 2);
    Connect(s3, b3, 0);
    EXPECT_NE(b3->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    PassBlock* s5 = Add(0, -5, 0);
    b3->Inputs[1] = s5;
    doc.RouteInput(b3, 1);
    EXPECT_EQ(b3->RouteRecord[1].v[0], ROUTE_UNROUTABLE);
    EXPECT_EQ(platform.messages.shown.back().text, "General Line Not Available");
    EXPECT_EQ(s5->LineLabel, "b");

    // A labelled source keeps its letter.
    PassBlock* b4 = Add(1, -6, 1);
    Connect(s2, b4);
    EXPECT_EQ(b4->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    EXPECT_EQ(s2->LineLabel, "a");
    EXPECT_EQ(doc.NextLabel, 99);
}

TEST_F(Route, UnroutableLinesTakeNoRoom) {
    doc.VertLines = 1;
    doc.HorizLines = 1;
    PassBlock* s1 = Add(0, -1, 0);
    PassBlock* b1 = Add(1, -3, 1);
    b1->Inputs[0] = s1;
    b1->RouteRecord[0].v = {ROUTE_UNROUTABLE, ROUTE_VERTICAL, 0, 0};
    PassBlock* s2 = Add(0, -2, 0);
    PassBlock* b2 = Add(1, -4, 1);
    Connect(s2, b2);
    EXPECT_EQ(b2->RouteRecord[0].v[0], 0);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(Route, OverlapsCollideCrossingsAndOneSourceDoNot) {
    // Vertical-only lines in gutter 1 (x 50), track 0.
    PassBlock* s1 = Add(0, 0, 0);
    PassBlock* b1 = Add(1, -2, 1);
    b1->Inputs[0] = s1;
    b1->RouteRecord[0].v = {0, ROUTE_VERTICAL, 0, 0}; // y -125 .. -21
    PassBlock* s2 = Add(0, -3, 0);
    PassBlock* b2 = Add(1, -5, 1);
    b2->Inputs[0] = s2;
    b2->RouteRecord[0].v = {0, ROUTE_VERTICAL, 0, 0}; // y -275 .. -171
    EXPECT_TRUE(doc.IsRouteFree(b2, 0));
    EXPECT_TRUE(doc.IsRouteFree(b1, 0));
    s2->Position = {0, -2}; // now up to -121: overlapping
    EXPECT_FALSE(doc.IsRouteFree(b2, 0));
    EXPECT_FALSE(doc.IsRouteFree(b1, 0));
    s2->Position = {0, -3};

    // A horizontal run across gutter 1 at y -103 crosses b1's line: allowed.
    PassBlock* s3 = Add(0, -1, 0, 1);
    PassBlock* b3 = Add(3, -1, 1);
    b3->Inputs[0] = s3;
    b3->RouteRecord[0].v = {0, -1, 0, 0};
    const Points p = Reference(doc, b3);
    EXPECT_EQ(p[2].y, -103);
    EXPECT_EQ(p[2].x, 150);
    EXPECT_EQ(p[3].x, 0);
    EXPECT_TRUE(doc.IsRouteFree(b3, 0));

    // A line of the same source may lie on b1's exactly.
    b2->Inputs[0] = s1;
    EXPECT_TRUE(doc.IsRouteFree(b2, 0));
}

TEST_F(Route, TouchingRunsCollide) {
    // Two general lines along gap -1 on the same track: one ends at x = 50 (gutter 1) and the
    // other starts there.
    PassBlock* s1 = Add(0, 0, 0);
    PassBlock* b1 = Add(2, -2, 1);
    b1->Inputs[0] = s1;
    b1->RouteRecord[0].v = {0, -1, 0, 0}; // from gutter 1 (x 50) to gutter 2 (x 100)
    PassBlock* s2 = Add(2, 0, 0);
    PassBlock* b2 = Add(4, -2, 1);
    b2->Inputs[0] = s2;
    b2->RouteRecord[0].v = {0, -1, 0, -25}; // from x 25+100+25-50 = 100 to gutter 4 (x 200)
    const Points p = Reference(doc, b2);
    ASSERT_EQ(p[3].x, 100);
    EXPECT_FALSE(doc.IsRouteFree(b2, 0));
    b2->RouteRecord[0].v = {0, -1, 0, -24}; // starts at 102: no contact
    EXPECT_TRUE(doc.IsRouteFree(b2, 0));
}

TEST_F(Route, ViewGeometryFollowsMagnificationAndSpacing) {
    NoTexts();
    PassBlock* s = Add(1, 0, 0);
    PassBlock* b = Add(3, 0, 1);
    Connect(s, b); // {2, 0, 2, -2}
    view.MagBmp = 2.0;
    view.DeltaVert = 3;
    view.DeltaHoriz = 4;
    view.LineWidth = 2;
    view.ValueDisplay = 1;
    view.RecalcLayout(&dc);
    const int w = view.CellWidth, h = view.CellHeight, xo = view.XOrigin, yo = view.YOrigin;
    doc.ComputeRoute(b, 0, view.LineGeometry());
    const Points& p = doc.RoutePoints;
    EXPECT_EQ(p[0], (CPoint{xo + 3 * w - 30, 0 - yo}));
    EXPECT_EQ(p[5], (CPoint{xo + w + 30, 8 - yo}));
    EXPECT_EQ(p[1].x, xo + 3 * w + 5 * 2 - w / 2);
    EXPECT_EQ(p[2].y, 6 * 2 - h / 2 - yo - view.LabelOffset);
    EXPECT_LT(view.LabelOffset, 0);
    EXPECT_EQ(p[3].x, xo + w + 5 * -2 + w / 2);
    // The stored record never changes with the view.
    EXPECT_EQ(b->RouteRecord[0].v, (std::array<std::int32_t, 4>{2, 0, 2, -2}));
}

TEST_F(Route, DebugStepShowsEveryCandidateUntilCancelled) {
    doc.RouteDebug = 1;
    PassBlock* s = Add(2, 0, 0);
    PassBlock* other = Add(2, -1, 0);
    PassBlock* b0 = Add(3, -2, 1);
    b0->Inputs[0] = other;
    b0->RouteRecord[0].v = {-2, ROUTE_VERTICAL, 0, 0};
    PassBlock* b = Add(3, -3, 1);
    platform.messages.answers = {IDOK};
    Connect(s, b);
    // Track -2 collides with other's line, track -1 is free: two candidates shown.
    ASSERT_EQ(platform.messages.shown.size(), 2u);
    EXPECT_EQ(platform.messages.shown[0].text, "Check this out!");
    EXPECT_EQ(platform.messages.shown[0].caption, "Vertical Line");
    EXPECT_EQ(platform.messages.shown[0].buttons, MB_OKCANCEL);
    EXPECT_EQ(b->RouteRecord[0].v[0], -1);
    EXPECT_EQ(doc.RouteDebug, 1);

    platform.messages.shown.clear();
    platform.messages.answers = {IDCANCEL};
    PassBlock* g = Add(6, 0, 0);
    PassBlock* gb = Add(8, 0, 1);
    Connect(g, gb);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].caption, "General Line");
    EXPECT_EQ(doc.RouteDebug, 0);
}

TEST_F(Route, RerouteBlockFollowsAMoveAndAMirror) {
    PassBlock* s = Add(1, 0, 0);
    PassBlock* b = Add(3, 0, 1);
    PassBlock* c = Add(5, 0, 1);
    Connect(s, b);
    Connect(b, c);
    b->Position = {2, 0};
    doc.RerouteBlock(b);
    EXPECT_EQ(b->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_EQ(c->RouteRecord[0].v[1], 0) << "b's output line is searched again";

    // Mirroring in the Block Editor reroutes through the document.
    platform.windows.editorEdit = [](CBlockEditorData& d) { d.Invert = 1; };
    b->EditProperties();
    EXPECT_EQ(b->Invert, 1);
    EXPECT_NE(b->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_NE(b->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
}

// A record read from a damaged file may hold any track or gap: its line lands far off, saturated,
// and the search for other lines goes on around it.
TEST_F(Route, DamagedRecordsSaturateInsteadOfOverflowing) {
    PassBlock* s = Add(1, 0, 0);
    PassBlock* b = Add(3, -2, 1);
    b->Inputs[0] = s;
    b->RouteRecord[0].v = {INT_MAX, INT_MIN, INT_MAX, INT_MIN};
    const Points general = Reference(doc, b);
    EXPECT_EQ(general[1].x, INT_MAX);
    EXPECT_EQ(general[2].y, INT_MIN);
    EXPECT_EQ(general[3].x, INT_MIN);
    b->RouteRecord[0].v = {INT_MIN, ROUTE_VERTICAL, 0, 0};
    EXPECT_EQ(Reference(doc, b)[1].x, INT_MIN);

    PassBlock* t = Add(1, -1, 0);
    PassBlock* c = Add(3, -3, 1);
    Connect(t, c);
    EXPECT_NE(c->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
}

} // namespace
