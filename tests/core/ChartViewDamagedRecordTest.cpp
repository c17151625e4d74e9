#include "ChartTestSupport.h"
#include "platform/Archive.h"

#include <climits>
#include <cmath>

namespace {

using ChartViewDamagedRecord = ChartTest;

// A chart view record whose sizes no dialog would let through (a damaged or hostile file) is
// brought back into a drawable range, and the layout stays finite.
TEST_F(ChartViewDamagedRecord, ExtremeSizesAreClampedAndLayoutStaysFinite) {
    PassBlock* far = Add(99999, -99999);
    (void)far;
    view.LinesX = INT_MAX;
    view.LinesY = INT_MIN;
    view.MagBmp = std::nan("");
    view.ChartLf.lfHeight = INT_MIN;
    view.NotesLf.lfHeight = INT_MAX;
    view.HoldSize = -7;
    CArchive out;
    view.Serialize(out);

    COrventView loaded;
    doc.AddView(&loaded);
    CArchive in(out.Bytes());
    loaded.Serialize(in);
    EXPECT_EQ(loaded.LinesX, 5000);
    EXPECT_EQ(loaded.LinesY, 0);
    EXPECT_EQ(loaded.MagBmp, 1.0);
    EXPECT_EQ(loaded.ChartLf.lfHeight, -1000);
    EXPECT_EQ(loaded.NotesLf.lfHeight, 1000);
    EXPECT_EQ(loaded.HoldSize, 1);
    loaded.RecalcLayout(&dc);
    EXPECT_GT(loaded.TotalWidth, 0);
    EXPECT_GT(loaded.TotalHeight, 0);
    doc.RemoveView(&loaded);
}

TEST_F(ChartViewDamagedRecord, SettingsWithinTheDialogBoundsAreKept) {
    view.LinesX = 40;
    view.MagBmp = 2.5;
    view.ChartLf.lfHeight = -24;
    CArchive out;
    view.Serialize(out);
    COrventView loaded;
    doc.AddView(&loaded);
    CArchive in(out.Bytes());
    loaded.Serialize(in);
    EXPECT_EQ(loaded.LinesX, 40);
    EXPECT_EQ(loaded.MagBmp, 2.5);
    EXPECT_EQ(loaded.ChartLf.lfHeight, -24);
    doc.RemoveView(&loaded);
}

} // namespace
