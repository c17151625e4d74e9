// Editing a chart in the program with real mouse events on its window: palette buttons, clicks
// on grid points and ports, the right button, the Edit commands. Pictures of the steps go to
// KINTRA_RENDER_DIR for people to look at.

#include "CommandIds.h"
#include "QtDeviceContext.h"
#include "ShellSupport.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kGain = BlockCommand::Gain;
constexpr int kConstant = BlockCommand::Constant;

QString RenderPath(const char* name) {
    QDir().mkpath(QStringLiteral(KINTRA_RENDER_DIR));
    return QStringLiteral(KINTRA_RENDER_DIR "/%1").arg(QLatin1String(name));
}

class EditTest : public ShellTest {
  protected:
    void SetUp() override {
        Start();
        doc = App().Documents().front().get();
        host = Frame().ActiveViewHost();
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(host->Kind(), ViewKind::Chart);
        view = static_cast<COrventView*>(host->View());
        QCoreApplication::processEvents();
    }

    // The window pixel of a point in the chart's logical units.
    QPoint Pixel(CPoint p) const {
        const QtDeviceContext dc(host->viewport(), host->ScrollPosition(), host->PixelsPerUnit());
        return dc.ToDevice(p.x, p.y);
    }
    void Click(CPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(host->viewport(), button, Qt::NoModifier, Pixel(p));
    }
    void MoveTo(CPoint p) { QTest::mouseMove(host->viewport(), Pixel(p)); }
    CPoint GridPoint(int column, int row) const { return view->CellCentre(column, row); }
    // The middle of the output (port 0) or of a one-input block's input (port 1).
    CPoint PortPoint(int column, int row, int port) const {
        const CPoint c = view->CellCentre(column, row);
        return port == 0 ? CPoint{c.x + view->Mag(13), c.y + view->Mag(4)} : CPoint{c.x - view->Mag(13), c.y};
    }

    QToolButton* PaletteButton(int command) {
        for (const PaletteInfo& palette : Palettes())
            if (QToolBar* bar = Frame().Bar(palette.id))
                if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(Frame().Action(command))))
                    return b;
        return nullptr;
    }
    // A palette button pressed, then a click on the grid point.
    CBlock* PlaceWithPalette(int command, int column, int row) {
        QToolButton* button = PaletteButton(command);
        EXPECT_NE(button, nullptr);
        if (!button) return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        Click(GridPoint(column, row));
        return doc->FindBlockAt(column, row);
    }
    bool Enabled(int id) {
        Frame().UpdateCommandUI();
        return Frame().Action(id)->isEnabled();
    }

    COrventDoc* doc = nullptr;
    CViewHost* host = nullptr;
    COrventView* view = nullptr;
};

TEST_F(EditTest, APaletteButtonArmsTheBlockAndAClickOnTheChartPlacesIt) {
    QToolButton* button = PaletteButton(kGain);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(view->Placing);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(kGain)->isChecked());
    EXPECT_FALSE(Frame().Action(kConstant)->isChecked());
    MoveTo(GridPoint(3, -2));
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(host->viewport()->cursor().hotSpot(), QPoint(16, 16));
    host->viewport()->cursor().pixmap().scaled(128, 128).save(RenderPath("edit-placing-cursor.png"));
    host->Render().save(RenderPath("edit-placing.png"));

    Click(GridPoint(3, -2));
    CBlock* gain = doc->FindBlockAt(3, -2);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->TypeName, "Gain");
    EXPECT_FALSE(view->Placing);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::ArrowCursor);
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().Action(kGain)->isChecked());

    // A click on empty chart arms another Gain; the right button puts it away again.
    Click({GridPoint(5, -5).x + view->CellWidth / 2, GridPoint(5, -5).y});
    EXPECT_TRUE(view->Placing);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().Action(kGain)->isChecked());
    Click(GridPoint(5, -5), Qt::RightButton);
    EXPECT_FALSE(view->Placing);
    EXPECT_EQ(doc->PendingBlock, nullptr);
    EXPECT_EQ(doc->FindBlockAt(3, -2), gain);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditTest, TwoClicksOnPortsConnectTwoBlocks) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    CBlock* gain = PlaceWithPalette(kGain, 3, -2);
    ASSERT_TRUE(source && gain);

    Click(PortPoint(1, -1, 0));
    ASSERT_TRUE(view->Connecting);
    MoveTo({GridPoint(2, -2).x, GridPoint(2, -2).y});
    EXPECT_NE(view->End, view->Anchor);
    // The rubber band shows between the port and the mouse.
    const QImage band = host->Render();
    band.save(RenderPath("edit-connecting.png"));
    const QPoint mid = (Pixel(view->Anchor) + Pixel(view->End)) / 2;
    int dark = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (qGray(band.pixel(mid + QPoint(dx, dy))) < 128) ++dark;
    EXPECT_GT(dark, 0);

    Click(PortPoint(3, -2, 1));
    EXPECT_FALSE(view->Connecting);
    EXPECT_EQ(gain->Inputs[0], source);
    EXPECT_NE(gain->RouteRecord[0].v[0], ROUTE_UNROUTABLE);
    host->Render().save(RenderPath("edit-connected.png"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EditTest, TheSelectedBlockMovesAndIsDeletedWithTheEditMenu) {
    CBlock* source = PlaceWithPalette(kConstant, 1, -1);
    CBlock* gain = PlaceWithPalette(kGain, 2, -1);
    Click(PortPoint(1, -1, 0));
    Click(PortPoint(2, -1, 1));
    ASSERT_EQ(gain->Inputs[0], source);

    EXPECT_FALSE(Enabled(ID_DELETE_BLOCK));
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    Click(GridPoint(2, -1), Qt::RightButton);
    EXPECT_EQ(view->SelectedBlock, gain);
    EXPECT_TRUE(Enabled(ID_DELETE_BLOCK));
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    EXPECT_TRUE(Enabled(ID_EDIT_COPY));
    host->Render().save(RenderPath("edit-selected.png"));

    // Picked up, then dropped two rows down: the line follows it.
    Click(GridPoint(2, -1));
    EXPECT_EQ(view->MovingBlock, gain);
    EXPECT_EQ(host->viewport()->cursor().shape(), Qt::BitmapCursor);
    Click(GridPoint(3, -3));
    EXPECT_EQ(gain->Position, (CPoint{3, -3}));
    EXPECT_EQ(gain->Inputs[0], source);
    EXPECT_NE(gain->RouteRecord[0].v[0], ROUTE_DIRECT);
    host->Render().save(RenderPath("edit-moved.png"));

    // Copy, then Delete from the menu: the Gain and its line go, the clipboard keeps a Gain.
    Click(GridPoint(3, -3), Qt::RightButton);
    Frame().Action(ID_EDIT_COPY)->trigger();
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    const std::size_t before = doc->Blocks.size();
    Frame().Action(ID_DELETE_BLOCK)->trigger();
    EXPECT_EQ(doc->Blocks.size(), before - 1);
    EXPECT_EQ(doc->FindBlockAt(3, -3), nullptr);
    EXPECT_EQ(view->SelectedBlock, nullptr);
    EXPECT_FALSE(Enabled(ID_DELETE_BLOCK));

    // Paste places a fresh Gain with the next click.
    Frame().Action(ID_EDIT_PASTE)->trigger();
    EXPECT_TRUE(view->Placing);
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    Click(GridPoint(4, -1));
    ASSERT_NE(doc->FindBlockAt(4, -1), nullptr);
    EXPECT_EQ(doc->FindBlockAt(4, -1)->TypeName, "Gain");
    EXPECT_EQ(doc->FindBlockAt(4, -1)->Inputs[0], nullptr);
    SetClipboardBlock(nullptr);
}

TEST_F(EditTest, TheDeleteKeyDeletesTheSelectedBlockButNotTheClock) {
    CBlock* gain = PlaceWithPalette(kGain, 2, -2);
    ASSERT_NE(gain, nullptr);
    doc->SetModifiedFlag(false);
    const std::size_t before = doc->Blocks.size();
    Click(GridPoint(0, 0), Qt::RightButton);
    ASSERT_EQ(view->SelectedBlock, doc->Clock());
    Frame().UpdateCommandUI();
    QTest::keyClick(host->viewport(), Qt::Key_Delete);
    Frame().Action(ID_EDIT_CUT)->trigger();
    EXPECT_EQ(doc->Blocks.size(), before);
    EXPECT_EQ(doc->Clock()->TypeName, "Clock");
    EXPECT_FALSE(doc->IsModified());

    Click(GridPoint(2, -2), Qt::RightButton);
    ASSERT_EQ(view->SelectedBlock, gain);
    Frame().UpdateCommandUI();
    QTest::keyClick(host->viewport(), Qt::Key_Delete);
    EXPECT_EQ(doc->Blocks.size(), before - 1);
    EXPECT_EQ(doc->FindBlockAt(2, -2), nullptr);
    EXPECT_TRUE(doc->IsModified());
}

} // namespace
