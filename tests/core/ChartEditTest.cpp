// Editing a chart with clicks in logical units on a real document: placing, connecting, moving,
// the Block Editor, the Edit commands and the clicks that must be ignored.

#include "chart/ChartEdit.h"
#include "ChartTestSupport.h"
#include "blocks/Catalogue.h"
#include "blocks/FunctionGenerator.h"
#include "model/ClockBlock.h"

namespace {

constexpr int kGain = BlockCommand::Gain;         // 1 input
constexpr int kDivide = BlockCommand::Divide;     // 2 inputs
constexpr int kSum = BlockCommand::Sum;           // 3 inputs
constexpr int kConstant = BlockCommand::Constant; // no input
constexpr int kSine = BlockCommand::Sine;
constexpr int kQuit = BlockCommand::Quit; // no output
constexpr int kFunctionGenerator = BlockCommand::FunctionGenerator;

class ChartEditTest : public ChartTest {
  protected:
    ChartEditTest() {
        SetClipboardBlock(nullptr);
        doc.SetModifiedFlag(false);
    }
    ~ChartEditTest() override { SetClipboardBlock(nullptr); }

    CPoint GridPoint(int column, int row) const { return view.CellCentre(column, row); }
    // Half way between two grid points: on no block and no port.
    CPoint EmptyPoint() const {
        const CPoint p = GridPoint(3, -3);
        return {p.x + view.CellWidth / 2, p.y - view.CellHeight / 2};
    }

    // A block of the insert command's type, placed at (column, row) with two clicks' worth of
    // editing: the command, then the grid point.
    CBlock* Insert(int command, int column, int row) {
        EXPECT_TRUE(view.OnInsert(command));
        view.OnLButtonDown(GridPoint(column, row));
        CBlock* b = doc.FindBlockAt(column, row);
        EXPECT_NE(b, nullptr);
        return b;
    }

    // The middle of a port's hit area: 13 bitmap units beside the centre, level with its line.
    CPoint PortPoint(const CBlock& b, int port) const {
        int slot = -1;
        for (int s = 0; s < 4; ++s)
            if (PortOfSlot(b, s) == port) slot = s;
        EXPECT_GE(slot, 0);
        const bool right = (port == 0) != (b.Invert != 0);
        const CPoint c = view.CellCentre(b.Position.x, b.Position.y);
        return {c.x + view.Mag(right ? 13 : -13), c.y + view.Mag(11 - kPortOffset[slot])};
    }

    // A connection drawn with two clicks, from port `fromPort` of `a` to port `toPort` of `b`.
    void Link(CBlock* a, int fromPort, CBlock* b, int toPort) {
        view.OnLButtonDown(PortPoint(*a, fromPort));
        view.OnLButtonDown(PortPoint(*b, toPort));
    }

    std::size_t BlockCount() const { return doc.Blocks.size(); }
};

// ---- Placing ---------------------------------------------------------------------------------

TEST_F(ChartEditTest, InsertArmsThePaletteBlockAndAClickOnAGridPointPlacesIt) {
    ASSERT_TRUE(view.OnInsert(kGain));
    EXPECT_TRUE(view.Placing);
    EXPECT_TRUE(view.ShowsPlacingCursor());
    ASSERT_NE(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.PendingBlock->TypeId, BlockType::Gain);
    EXPECT_EQ(view.ActiveInsertId, kGain);
    EXPECT_EQ(view.LastInsertId, kGain);
    EXPECT_TRUE(view.IsInsertChecked(kGain));
    EXPECT_FALSE(view.IsInsertChecked(kSine));

    const std::size_t before = BlockCount();
    view.OnLButtonDown(GridPoint(2, -1));
    CBlock* gain = doc.FindBlockAt(2, -1);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->TypeName, "Gain");
    EXPECT_EQ(BlockCount(), before + 1);
    EXPECT_EQ(doc.Blocks.back().get(), gain);
    EXPECT_FALSE(view.Placing);
    EXPECT_FALSE(view.ShowsPlacingCursor());
    EXPECT_FALSE(view.IsInsertChecked(kGain));
    EXPECT_EQ(doc.PendingBlock, nullptr);
    EXPECT_TRUE(doc.IsModified());
    // The view has grown to take the new column in.
    EXPECT_EQ(view.MaxColumn, 2);
    EXPECT_EQ(view.MinRow, -1);
}

TEST_F(ChartEditTest, TheClockAndUnknownCommandsAreNoInsertCommands) {
    EXPECT_FALSE(view.OnInsert(kClockCommandId));
    EXPECT_FALSE(view.OnInsert(12345));
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(doc.PendingBlock, nullptr);
}

TEST_F(ChartEditTest, AClickSnapsToTheNearestGridPointWithinTheTolerance) {
    NoTexts();
    ASSERT_EQ(view.CellWidth, 47);
    const CPoint p = GridPoint(2, -2);
    ASSERT_TRUE(view.OnInsert(kGain));
    // 12 units right is too far from any point; 11 units up is too.
    view.OnLButtonDown({p.x + 12, p.y});
    view.OnLButtonDown({p.x, p.y + 11});
    EXPECT_TRUE(view.Placing);
    EXPECT_EQ(doc.FindBlockAt(2, -2), nullptr);
    // 10 units right places at that point.
    view.OnLButtonDown({p.x + 10, p.y - 10});
    EXPECT_NE(doc.FindBlockAt(2, -2), nullptr);
    EXPECT_FALSE(view.Placing);
    // 37 units right is 10 units left of the next column's point.
    ASSERT_TRUE(view.OnInsert(kGain));
    view.OnLButtonDown({p.x + 37, p.y});
    EXPECT_NE(doc.FindBlockAt(3, -2), nullptr);
    // And the same downwards: 37 units below is the next row.
    ASSERT_TRUE(view.OnInsert(kGain));
    view.OnLButtonDown({p.x, p.y - view.CellHeight + 10});
    EXPECT_NE(doc.FindBlockAt(2, -3), nullptr);
}

TEST_F(ChartEditTest, OccupiedCellsAndPointsOutsideTheGridAreRefusedAndPlacingGoesOn) {
    NoTexts();
    // A block no one sees holds its cell all the same.
    CBlock* hidden = Add(4, -4);
    hidden->TypeName = "Dummy";
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(view.OnInsert(kGain));
    const std::size_t before = BlockCount();
    // The Clock's cell.
    view.OnLButtonDown(GridPoint(0, 0));
    // Column -1 and row 1, near the window's left and top edges.
    view.OnLButtonDown(GridPoint(-1, 0));
    view.OnLButtonDown(GridPoint(0, 1));
    view.OnLButtonDown({GridPoint(-1, -1).x + 5, GridPoint(-1, -1).y});
    EXPECT_EQ(BlockCount(), before);
    EXPECT_TRUE(view.Placing);
    EXPECT_FALSE(doc.IsModified());
    view.OnLButtonDown(GridPoint(4, -4));
    EXPECT_EQ(doc.FindBlockAt(4, -4), hidden);
    EXPECT_TRUE(view.Placing);
    // The block still waiting goes where there is room.
    view.OnLButtonDown(GridPoint(0, -1));
    ASSERT_NE(doc.FindBlockAt(0, -1), nullptr);
    EXPECT_EQ(doc.FindBlockAt(0, -1)->TypeName, "Gain");
}

TEST_F(ChartEditTest, AClickOnEmptyChartAfterPlacingArmsAnotherBlockOfThatType) {
    Insert(kGain, 1, 0);
    view.OnLButtonDown(EmptyPoint());
    EXPECT_TRUE(view.Placing);
    EXPECT_TRUE(view.IsInsertChecked(kGain));
    ASSERT_NE(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.PendingBlock->TypeId, BlockType::Gain);
    view.OnLButtonDown(GridPoint(2, 0));
    ASSERT_NE(doc.FindBlockAt(2, 0), nullptr);
    EXPECT_EQ(doc.FindBlockAt(2, 0)->TypeName, "Gain");
    EXPECT_NE(doc.FindBlockAt(1, 0), doc.FindBlockAt(2, 0));
}

TEST_F(ChartEditTest, WithoutAnInsertCommandAClickOnEmptyChartDoesNothing) {
    view.OnLButtonDown(EmptyPoint());
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(doc.PendingBlock, nullptr);
    // A new pane has used no insert command: another's blocks do not re-arm it.
    Insert(kGain, 1, 0);
    COrventView pane;
    doc.AddView(&pane);
    pane.OnInitialUpdate();
    pane.OnLButtonDown(EmptyPoint());
    EXPECT_FALSE(pane.Placing);
    doc.RemoveView(&pane);
}

TEST_F(ChartEditTest, ANewInsertCommandReplacesTheBlockStillWaiting) {
    ASSERT_TRUE(view.OnInsert(kGain));
    ASSERT_TRUE(view.OnInsert(kSine));
    EXPECT_TRUE(view.IsInsertChecked(kSine));
    EXPECT_FALSE(view.IsInsertChecked(kGain));
    view.OnLButtonDown(GridPoint(1, -1));
    ASSERT_NE(doc.FindBlockAt(1, -1), nullptr);
    EXPECT_EQ(doc.FindBlockAt(1, -1)->TypeName, "Sine");
}

// ---- The pending block and the right button ---------------------------------------------------

TEST_F(ChartEditTest, TheRightButtonDropsABlockStillWaitingButNeverAPlacedOne) {
    ASSERT_TRUE(view.OnInsert(kGain));
    view.OnRButtonDown(GridPoint(1, 0));
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.FindBlockAt(1, 0), nullptr);

    // Placed, re-armed, then cancelled: the placed Gain stays, whole, in the document.
    CBlock* gain = Insert(kGain, 1, 0);
    view.OnLButtonDown(EmptyPoint());
    ASSERT_TRUE(view.Placing);
    view.OnRButtonDown(EmptyPoint());
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.FindBlockAt(1, 0), gain);
    EXPECT_EQ(gain->TypeName, "Gain");
    // Cancelled: empty chart arms nothing more until the next insert command.
    view.OnLButtonDown(EmptyPoint());
    EXPECT_FALSE(view.Placing);
}

TEST_F(ChartEditTest, DeletingOrCuttingThePlacedBlockLeavesOnlyItsTypeForReArming) {
    CBlock* gain = Insert(kGain, 1, 0);
    view.OnRButtonDown(GridPoint(1, 0));
    ASSERT_EQ(view.SelectedBlock, gain);
    view.OnEditDelete();
    EXPECT_EQ(doc.FindBlockAt(1, 0), nullptr);
    // Re-arming still works and makes a fresh block.
    view.OnLButtonDown(EmptyPoint());
    ASSERT_TRUE(view.Placing);
    view.OnLButtonDown(GridPoint(1, 0));
    CBlock* again = doc.FindBlockAt(1, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->TypeName, "Gain");

    view.OnRButtonDown(GridPoint(1, 0));
    view.OnEditCut();
    EXPECT_EQ(doc.FindBlockAt(1, 0), nullptr);
    view.OnLButtonDown(EmptyPoint());
    ASSERT_TRUE(view.Placing);
    view.OnRButtonDown(EmptyPoint());
    EXPECT_EQ(doc.PendingBlock, nullptr);
}

// ---- Connections -----------------------------------------------------------------------------

TEST_F(ChartEditTest, EveryInputOfEveryShapeConnectsFromEitherEnd) {
    for (int command : {kGain, kDivide, kSum}) {
        for (int invert : {0, 1}) {
            for (bool outputFirst : {true, false}) {
                SCOPED_TRACE(testing::Message()
                             << command << " invert " << invert << " output first " << outputFirst);
                COrventDoc d;
                COrventView v;
                d.AddView(&v);
                d.OnNewDocument();
                ASSERT_TRUE(v.OnInsert(kConstant));
                v.OnLButtonDown(v.CellCentre(0, -1));
                ASSERT_TRUE(v.OnInsert(command));
                v.OnLButtonDown(v.CellCentre(2, -2));
                CBlock* source = d.FindBlockAt(0, -1);
                CBlock* target = d.FindBlockAt(2, -2);
                ASSERT_TRUE(source && target);
                target->Invert = invert;
                auto portPoint = [&](const CBlock& b, int port) {
                    int slot = -1;
                    for (int s = 0; s < 4; ++s)
                        if (PortOfSlot(b, s) == port) slot = s;
                    const bool right = (port == 0) != (b.Invert != 0);
                    const CPoint c = v.CellCentre(b.Position.x, b.Position.y);
                    return CPoint{c.x + (right ? 13 : -13), c.y + 11 - kPortOffset[slot]};
                };
                for (int input = 1; input <= target->InputsShown; ++input) {
                    d.SetModifiedFlag(false);
                    if (outputFirst) {
                        v.OnLButtonDown(portPoint(*source, 0));
                        EXPECT_TRUE(v.Connecting);
                        v.OnLButtonDown(portPoint(*target, input));
                    } else {
                        v.OnLButtonDown(portPoint(*target, input));
                        v.OnLButtonDown(portPoint(*source, 0));
                    }
                    EXPECT_FALSE(v.Connecting);
                    EXPECT_EQ(target->Inputs[input - 1], source) << "input " << input;
                    EXPECT_TRUE(d.IsModified());
                    // Routed: a searched line, not a stale record.
                    EXPECT_NE(target->RouteRecord[input - 1], CRouteRecord{}) << "input " << input;
                }
                for (int i = target->InputsShown; i < 3; ++i)
                    EXPECT_EQ(target->Inputs[i], nullptr);
                EXPECT_EQ(source->Inputs, (std::array<CBlock*, 3>{}));
            }
        }
    }
}

TEST_F(ChartEditTest, NeighboursFacingEachOtherGetAStraightLine) {
    CBlock* source = Insert(kConstant, 1, -1);
    CBlock* target = Insert(kGain, 2, -1);
    Link(target, 1, source, 0);
    ASSERT_EQ(target->Inputs[0], source);
    EXPECT_EQ(target->RouteRecord[0].v[0], ROUTE_DIRECT);
}

TEST_F(ChartEditTest, ConnectionsThatCannotBeMadeLeaveTheRubberBandWhereItIs) {
    CBlock* a = Insert(kConstant, 0, -1);
    CBlock* b = Insert(kConstant, 0, -2);
    CBlock* sum = Insert(kSum, 2, -1);
    CBlock* gain = Insert(kGain, 2, -2);
    doc.SetModifiedFlag(false);

    // Output to output, input to input, a block's input to its own output, empty chart.
    view.OnLButtonDown(PortPoint(*a, 0));
    ASSERT_TRUE(view.Connecting);
    EXPECT_EQ(view.FirstPick, (PortPick{a, 0}));
    view.OnLButtonDown(PortPoint(*b, 0));
    view.OnLButtonDown(EmptyPoint());
    view.OnLButtonDown(GridPoint(2, -1)); // the Sum's body, not a port
    EXPECT_TRUE(view.Connecting);
    view.OnRButtonDown(EmptyPoint());
    EXPECT_FALSE(view.Connecting);

    view.OnLButtonDown(PortPoint(*sum, 1));
    view.OnLButtonDown(PortPoint(*gain, 1));
    view.OnLButtonDown(PortPoint(*sum, 2));
    view.OnLButtonDown(PortPoint(*gain, 0));
    // Two inputs in a row were ignored; the output ends the connection at the Sum's first input.
    EXPECT_FALSE(view.Connecting);
    EXPECT_EQ(sum->Inputs[0], gain);
    // A block cannot feed itself.
    view.OnLButtonDown(PortPoint(*sum, 0));
    view.OnLButtonDown(PortPoint(*sum, 2));
    EXPECT_TRUE(view.Connecting);
    EXPECT_EQ(sum->Inputs[1], nullptr);
    view.OnRButtonDown(EmptyPoint());
    EXPECT_EQ(gain->Inputs[0], nullptr);
    EXPECT_EQ(a->Inputs[0], nullptr);
    EXPECT_EQ(b->Inputs[0], nullptr);
}

TEST_F(ChartEditTest, AConnectedInputCannotBePicked) {
    CBlock* a = Insert(kConstant, 0, -1);
    CBlock* b = Insert(kConstant, 0, -2);
    CBlock* gain = Insert(kGain, 2, -1);
    Link(a, 0, gain, 1);
    ASSERT_EQ(gain->Inputs[0], a);
    // Neither as the first end nor as the second; the click is not one on empty chart either.
    view.OnLButtonDown(PortPoint(*gain, 1));
    EXPECT_FALSE(view.Connecting);
    EXPECT_FALSE(view.Placing);
    view.OnLButtonDown(PortPoint(*b, 0));
    ASSERT_TRUE(view.Connecting);
    view.OnLButtonDown(PortPoint(*gain, 1));
    EXPECT_TRUE(view.Connecting);
    EXPECT_EQ(gain->Inputs[0], a);
}

TEST_F(ChartEditTest, AnInputConnectedInAnotherPaneMeanwhileIsNotConnectedTwice) {
    CBlock* a = Insert(kConstant, 0, -1);
    CBlock* b = Insert(kConstant, 0, -2);
    CBlock* gain = Insert(kGain, 2, -1);
    COrventView pane;
    doc.AddView(&pane);
    pane.OnInitialUpdate();
    view.OnLButtonDown(PortPoint(*gain, 1));
    ASSERT_TRUE(view.Connecting);
    pane.OnLButtonDown(PortPoint(*a, 0));
    pane.OnLButtonDown(PortPoint(*gain, 1));
    ASSERT_EQ(gain->Inputs[0], a);
    view.OnLButtonDown(PortPoint(*b, 0));
    EXPECT_EQ(gain->Inputs[0], a);
    EXPECT_TRUE(view.Connecting);
    EXPECT_EQ(view.FirstPick, (PortPick{gain, 1}));
    doc.RemoveView(&pane);
}

TEST_F(ChartEditTest, PortHitAreasFollowTheMagnification) {
    view.MagBmp = 2.5;
    view.RecalcLayout(&dc);
    CBlock* gain = Insert(kGain, 1, -1);
    const CPoint c = view.CellCentre(1, -1);
    PortPick pick;
    // The output: x from 27 (11 x 2.5, cut) up to 40, y from 2 up to 17 (slot 0: 1 .. 7 x 2.5).
    EXPECT_TRUE(view.HitTestPort({c.x + 27, c.y + 2}, pick));
    EXPECT_EQ(pick, (PortPick{gain, 0}));
    EXPECT_TRUE(view.HitTestPort({c.x + 39, c.y + 16}, pick));
    EXPECT_FALSE(view.HitTestPort({c.x + 40, c.y + 10}, pick));
    EXPECT_FALSE(view.HitTestPort({c.x + 26, c.y + 10}, pick));
    EXPECT_FALSE(view.HitTestPort({c.x + 30, c.y + 17}, pick));
    EXPECT_FALSE(view.HitTestPort({c.x + 30, c.y + 1}, pick));
    EXPECT_EQ(pick, PortPick{});
    // The one input of a Gain is in slot 2: y from -3 x 2.5 = -7 up to 3 x 2.5 = 7.
    EXPECT_TRUE(view.HitTestPort({c.x - 40, c.y - 7}, pick));
    EXPECT_EQ(pick, (PortPick{gain, 1}));
    EXPECT_FALSE(view.HitTestPort({c.x - 41, c.y}, pick));
    EXPECT_FALSE(view.HitTestPort({c.x - 27, c.y}, pick));
    // The rubber band starts at the line end of the port: 15 x 2.5 = 37 beside the centre.
    EXPECT_TRUE(view.HitTestPort({c.x - 30, c.y}, pick));
    EXPECT_EQ(view.Anchor, (CPoint{c.x - 37, c.y + 0}));
    // Inverted, the sides change places.
    gain->Invert = 1;
    EXPECT_TRUE(view.HitTestPort({c.x - 30, c.y + 10}, pick));
    EXPECT_EQ(pick, (PortPick{gain, 0}));
    EXPECT_EQ(view.Anchor, (CPoint{c.x - 37, c.y + 10}));
    EXPECT_TRUE(view.HitTestPort({c.x + 30, c.y}, pick));
    EXPECT_EQ(pick, (PortPick{gain, 1}));
}

TEST_F(ChartEditTest, BlocksWithoutAPortThereOfferNone) {
    CBlock* constant = Insert(kConstant, 1, -1);
    CBlock* quit = Insert(kQuit, 3, -1);
    PortPick pick;
    ASSERT_EQ(constant->InputsShown, 0);
    const CPoint k = view.CellCentre(1, -1);
    for (int y : {4, 8, 0, -8})
        EXPECT_FALSE(view.HitTestPort({k.x - 13, k.y + y}, pick));
    EXPECT_TRUE(view.HitTestPort({k.x + 13, k.y + 4}, pick));
    ASSERT_EQ(quit->ShowValue, 0);
    const CPoint c = view.CellCentre(3, -1);
    EXPECT_FALSE(view.HitTestPort({c.x + 13, c.y + 4}, pick));
    EXPECT_TRUE(view.HitTestPort(PortPoint(*quit, 1), pick));
}

TEST_F(ChartEditTest, TheRubberBandFollowsTheMouseInTheInvertingMode) {
    CBlock* a = Insert(kConstant, 1, -1);
    const CPoint start = PortPoint(*a, 0);
    // No band, nothing moves.
    EXPECT_FALSE(view.OnMouseMove({start.x + 50, start.y}));
    view.OnLButtonDown(start);
    const CPoint c = view.CellCentre(1, -1);
    EXPECT_EQ(view.Anchor, (CPoint{c.x + 15, c.y + 4}));
    EXPECT_EQ(view.End, view.Anchor);
    EXPECT_TRUE(view.OnMouseMove({start.x + 50, start.y - 20}));
    EXPECT_FALSE(view.OnMouseMove({start.x + 50, start.y - 20}));
    dc.Clear();
    view.DrawRubberBand(dc);
    ASSERT_EQ(dc.Ops().size(), 2u);
    EXPECT_EQ(dc.Ops()[0].kind, RecordedOp::MoveTo);
    EXPECT_EQ(dc.Ops()[0].x, view.Anchor.x);
    EXPECT_EQ(dc.Ops()[1].kind, RecordedOp::LineTo);
    EXPECT_EQ(dc.Ops()[1].x, start.x + 50);
    EXPECT_EQ(dc.Ops()[1].y, start.y - 20);
    EXPECT_EQ(dc.Ops()[1].drawMode, DrawMode::Invert);
    view.OnRButtonDown(EmptyPoint());
    dc.Clear();
    view.DrawRubberBand(dc);
    EXPECT_TRUE(dc.Ops().empty());
}

// ---- Selecting, moving, editing --------------------------------------------------------------

TEST_F(ChartEditTest, TheRightButtonSelectsAndClearsAndTheSelectionIsDrawnInverted) {
    CBlock* gain = Insert(kGain, 1, -1);
    const CPoint c = GridPoint(1, -1);
    const int g = view.Mag(11);
    // The body is the open square 11 units around the centre.
    view.OnRButtonDown({c.x + g, c.y});
    EXPECT_EQ(view.SelectedBlock, nullptr);
    view.OnRButtonDown({c.x + g - 1, c.y - g + 1});
    EXPECT_EQ(view.SelectedBlock, gain);
    EXPECT_TRUE(view.CanCutCopyDelete());
    Draw();
    bool inverted = false;
    for (const RecordedOp& op : dc.Ops())
        if (op.kind == RecordedOp::Picture && op.pictureId == gain->ColorImage)
            inverted = op.pictureMode == PictureMode::Inverted;
    EXPECT_TRUE(inverted);
    // Placing and connecting leave the selection alone.
    Insert(kSine, 3, -1);
    EXPECT_EQ(view.SelectedBlock, gain);
    view.OnRButtonDown(EmptyPoint());
    EXPECT_EQ(view.SelectedBlock, nullptr);
    EXPECT_FALSE(view.CanCutCopyDelete());
}

TEST_F(ChartEditTest, TheSelectedBlockIsPickedUpAndDroppedOnAFreeGridPointWithItsLinesRerouted) {
    CBlock* source = Insert(kConstant, 1, -1);
    CBlock* gain = Insert(kGain, 2, -1);
    CBlock* sink = Insert(kGain, 3, -1);
    Link(source, 0, gain, 1);
    Link(gain, 0, sink, 1);
    ASSERT_EQ(gain->RouteRecord[0].v[0], ROUTE_DIRECT);
    ASSERT_EQ(sink->RouteRecord[0].v[0], ROUTE_DIRECT);
    doc.SetModifiedFlag(false);

    view.OnRButtonDown(GridPoint(2, -1));
    view.OnLButtonDown(GridPoint(2, -1));
    EXPECT_EQ(view.MovingBlock, gain);
    EXPECT_TRUE(view.Placing);
    EXPECT_TRUE(view.ShowsPlacingCursor());
    // Its own cell and the Clock's are taken.
    view.OnLButtonDown(GridPoint(2, -1));
    view.OnLButtonDown(GridPoint(0, 0));
    EXPECT_EQ(gain->Position, (CPoint{2, -1}));
    EXPECT_TRUE(view.Placing);

    view.OnLButtonDown(GridPoint(2, -3));
    EXPECT_EQ(gain->Position, (CPoint{2, -3}));
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(view.MovingBlock, nullptr);
    EXPECT_EQ(view.SelectedBlock, nullptr);
    EXPECT_TRUE(doc.IsModified());
    // Both of its lines now run through the tracks, and it is still wired the same.
    EXPECT_EQ(gain->Inputs[0], source);
    EXPECT_EQ(sink->Inputs[0], gain);
    EXPECT_NE(gain->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_NE(sink->RouteRecord[0].v[0], ROUTE_DIRECT);
    EXPECT_EQ(view.MinRow, -3);

    // The Clock takes its companions along. Its Count then stands on the chart, where it holds
    // its cell but answers no click.
    auto* clock = static_cast<CClockBlock*>(doc.Clock());
    view.OnRButtonDown(GridPoint(0, 0));
    view.OnLButtonDown(GridPoint(0, 0));
    view.OnLButtonDown(GridPoint(1, -500));
    EXPECT_EQ(clock->ErrorCompanion->Position, (CPoint{-499, -500}));
    EXPECT_EQ(clock->CountCompanion->Position, (CPoint{1, 0}));
    view.OnLButtonDown(PortPoint(*clock->CountCompanion, 0));
    view.OnRButtonDown(GridPoint(1, 0));
    EXPECT_FALSE(view.Connecting);
    EXPECT_EQ(view.SelectedBlock, nullptr);
}

TEST_F(ChartEditTest, TheRightButtonPutsAPickedUpBlockBackWhereItWas) {
    CBlock* gain = Insert(kGain, 2, -1);
    const std::size_t before = BlockCount();
    view.OnRButtonDown(GridPoint(2, -1));
    view.OnLButtonDown(GridPoint(2, -1));
    ASSERT_EQ(view.MovingBlock, gain);
    view.OnRButtonDown(GridPoint(4, -4));
    EXPECT_FALSE(view.Placing);
    EXPECT_EQ(view.MovingBlock, nullptr);
    EXPECT_EQ(BlockCount(), before);
    EXPECT_EQ(doc.FindBlockAt(2, -1), gain);
    // Still selected: a left click picks it up again.
    EXPECT_EQ(view.SelectedBlock, gain);
}

TEST_F(ChartEditTest, ALeftClickOnAnyOtherBlockOpensTheBlockEditor) {
    CBlock* gain = Insert(kGain, 1, -1);
    platform.windows.editorEdit = [](CBlockEditorData& d) { d.Name = "Amplifier"; };
    doc.SetModifiedFlag(false);
    view.OnLButtonDown(GridPoint(1, -1));
    EXPECT_EQ(platform.windows.editorShown.Block, gain);
    EXPECT_EQ(gain->Name, "Amplifier");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(view.Placing);
    // The Clock too: it is only protected from the Edit commands.
    view.OnLButtonDown(GridPoint(0, 0));
    EXPECT_EQ(platform.windows.editorShown.TypeName, "Clock");
}

// ---- Cut, copy, paste, delete ----------------------------------------------------------------

TEST_F(ChartEditTest, CopyAndPasteMakeANewBlockWithTheSettingsButNoConnections) {
    CBlock* source = Insert(kConstant, 0, -1);
    CBlock* gain = Insert(kGain, 1, -1);
    Link(source, 0, gain, 1);
    gain->Name = "Amplifier";
    gain->Params = {2.5, 3.0, 4.0};
    gain->Notes = "twice and a half";
    gain->Invert = 1;
    gain->LineLabel = "k";

    EXPECT_FALSE(view.CanPaste());
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnEditCopy();
    CBlock* clip = ClipboardBlock();
    ASSERT_NE(clip, nullptr);
    EXPECT_NE(clip, gain);
    EXPECT_EQ(clip->TypeId, gain->TypeId);
    EXPECT_EQ(clip->Name, "Amplifier");
    EXPECT_EQ(clip->Document, nullptr);
    EXPECT_EQ(clip->Inputs[0], nullptr);
    EXPECT_TRUE(view.CanPaste());
    // Copy leaves the chart as it was.
    EXPECT_EQ(doc.FindBlockAt(1, -1), gain);
    EXPECT_EQ(view.SelectedBlock, gain);

    const int active = view.ActiveInsertId;
    view.OnEditPaste();
    EXPECT_TRUE(view.Placing);
    EXPECT_EQ(view.ActiveInsertId, active);
    EXPECT_FALSE(view.CanPaste());
    view.OnLButtonDown(GridPoint(3, -3));
    CBlock* pasted = doc.FindBlockAt(3, -3);
    ASSERT_NE(pasted, nullptr);
    EXPECT_NE(pasted, clip);
    EXPECT_EQ(pasted->TypeName, "Gain");
    EXPECT_EQ(pasted->Name, "Amplifier 2");
    EXPECT_EQ(pasted->Params, (std::array<double, 3>{2.5, 3.0, 4.0}));
    EXPECT_EQ(pasted->Notes, "twice and a half");
    EXPECT_EQ(pasted->Invert, 1);
    EXPECT_EQ(pasted->LineLabel, "k");
    EXPECT_EQ(pasted->Inputs[0], nullptr);
    EXPECT_EQ(pasted->Document, &doc);
    // The clipboard keeps its block for more pastes.
    EXPECT_EQ(ClipboardBlock(), clip);
    EXPECT_TRUE(view.CanPaste());
}

TEST_F(ChartEditTest, PlacedAndPastedBlocksGetNamesNoOtherBlockHas) {
    EXPECT_EQ(Insert(kGain, 1, -1)->Name, "Gain");
    EXPECT_EQ(Insert(kGain, 2, -1)->Name, "Gain 2");
    CBlock* third = Insert(kGain, 3, -1);
    EXPECT_EQ(third->Name, "Gain 3");
    view.OnRButtonDown(GridPoint(3, -1));
    view.OnEditCopy();
    view.OnEditPaste();
    view.OnLButtonDown(GridPoint(4, -1));
    EXPECT_EQ(doc.FindBlockAt(4, -1)->Name, "Gain 4") << "the stem of the copied name, numbered on";
    // A name the user types stays as typed, even one another block has.
    platform.windows.editorEdit = [](CBlockEditorData& d) { d.Name = "Gain"; };
    third->EditProperties();
    EXPECT_EQ(third->Name, "Gain");

    const std::string longName(kMaxBlockNameLength, 'a');
    int column = 1;
    for (const std::string& name :
         {std::string("7"), std::string("Wave 2"), std::string("Wave 10"), std::string("Wave"), longName})
        Insert(kSine, column++, -2)->Name = name;
    const std::pair<std::string, std::string> table[] = {
        {"Gain", "Gain 3"},    {"Gain 2", "Gain 3"},
        {"Sine", "Sine"},      {"7", "7 2"},
        {"Wave 10", "Wave 3"}, {"Wave", "Wave 3"},
        {" 2", " 2"},          {longName, std::string(33, 'a') + " 2"},
    };
    for (const auto& [name, unique] : table)
        EXPECT_EQ(doc.UniqueBlockName(name), unique) << name;
}

TEST_F(ChartEditTest, ARefusedRunSelectsTheBlockItsMessageNames) {
    CBlock* a = Insert(kGain, 1, -1);
    CBlock* b = Insert(kGain, 2, -1);
    CBlock* open = Insert(kGain, 3, -1);
    Link(a, 0, b, 1);
    Link(b, 0, a, 1);
    view.OnRButtonDown(GridPoint(2, -1));
    ASSERT_EQ(view.SelectedBlock, b);
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text.rfind("A Gain block, Gain 3, ", 0), 0u);
    EXPECT_EQ(view.SelectedBlock, open);

    Link(b, 0, open, 1);
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 2u);
    EXPECT_EQ(platform.messages.shown[1].text,
              "Sort Failure\nThese blocks form a loop that cannot be put in order: Gain, Gain 2.");
    EXPECT_EQ(view.SelectedBlock, a);

    // Placing a block, the chart keeps to it.
    ASSERT_TRUE(view.OnInsert(kSine));
    doc.UpdateAllViews(nullptr, HINT_SELECT_BLOCK, b);
    EXPECT_EQ(view.SelectedBlock, a);
    EXPECT_TRUE(view.Placing);
}

TEST_F(ChartEditTest, APastedFunctionGeneratorHasTheTableAndInitializeMarkOfTheCopiedOne) {
    auto* original = static_cast<CFunctionGeneratorBlock*>(Insert(kFunctionGenerator, 1, -1));
    original->SetOrdinates({0.0, 0.25, 1.0, 2.25});
    original->AtFirst = 1;
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnEditCopy();
    original->SetOrdinates({5.0}); // later changes stay out of the clipboard
    view.OnEditPaste();
    view.OnLButtonDown(GridPoint(2, -2));
    auto* pasted = dynamic_cast<CFunctionGeneratorBlock*>(doc.FindBlockAt(2, -2));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->Ordinates, (std::vector<double>{0.0, 0.25, 1.0, 2.25}));
    EXPECT_EQ(pasted->AtFirst, 1);
}

TEST_F(ChartEditTest, PasteIsRefusedWhileABlockWaits) {
    CBlock* gain = Insert(kGain, 1, -1);
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnEditCopy();
    ASSERT_TRUE(view.OnInsert(kSine));
    view.OnEditPaste();
    ASSERT_NE(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.PendingBlock->TypeName, "Sine");
    (void)gain;
}

TEST_F(ChartEditTest, CutTakesTheBlockToTheClipboardAndDisconnectsWhatItFed) {
    CBlock* gain = Insert(kGain, 1, -1);
    CBlock* sink = Insert(kGain, 3, -1);
    Link(gain, 0, sink, 1);
    gain->Name = "Amplifier";
    doc.SetModifiedFlag(false);
    const std::size_t before = BlockCount();
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnEditCut();
    EXPECT_EQ(BlockCount(), before - 1);
    EXPECT_EQ(doc.FindBlockAt(1, -1), nullptr);
    EXPECT_EQ(sink->Inputs[0], nullptr);
    EXPECT_EQ(view.SelectedBlock, nullptr);
    EXPECT_FALSE(view.CanCutCopyDelete());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_NE(ClipboardBlock(), nullptr);
    EXPECT_EQ(ClipboardBlock()->Name, "Amplifier");
    // Saved and pasted back, into a cell of its own.
    view.OnEditPaste();
    view.OnLButtonDown(GridPoint(1, -1));
    ASSERT_NE(doc.FindBlockAt(1, -1), nullptr);
    EXPECT_EQ(doc.FindBlockAt(1, -1)->Name, "Amplifier");
}

TEST_F(ChartEditTest, DeleteLeavesTheClipboardAlone) {
    CBlock* sine = Insert(kSine, 1, -1);
    CBlock* gain = Insert(kGain, 2, -1);
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnEditCopy();
    CBlock* clip = ClipboardBlock();
    view.OnRButtonDown(GridPoint(2, -1));
    view.OnEditDelete();
    EXPECT_EQ(doc.FindBlockAt(2, -1), nullptr);
    EXPECT_EQ(ClipboardBlock(), clip);
    EXPECT_EQ(ClipboardBlock()->TypeName, "Sine");
    EXPECT_EQ(doc.FindBlockAt(1, -1), sine);
    (void)gain;
}

TEST_F(ChartEditTest, TheClockCanBeNeitherCutCopiedNorDeleted) {
    const std::size_t before = BlockCount();
    view.OnRButtonDown(GridPoint(0, 0));
    ASSERT_EQ(view.SelectedBlock, doc.Clock());
    // The commands are offered, and do nothing.
    EXPECT_TRUE(view.CanCutCopyDelete());
    view.OnEditCopy();
    EXPECT_EQ(ClipboardBlock(), nullptr);
    view.OnEditCut();
    view.OnEditDelete();
    EXPECT_EQ(BlockCount(), before);
    EXPECT_EQ(doc.Clock()->TypeName, "Clock");
    EXPECT_EQ(view.SelectedBlock, doc.Clock());
    EXPECT_EQ(ClipboardBlock(), nullptr);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ChartEditTest, TheClipboardBelongsToNoChartAndOutlivesTheOneItCameFrom) {
    {
        COrventDoc other;
        COrventView otherView;
        other.AddView(&otherView);
        other.OnNewDocument();
        ASSERT_TRUE(otherView.OnInsert(kSine));
        otherView.OnLButtonDown(otherView.CellCentre(1, 0));
        other.FindBlockAt(1, 0)->Name = "Carrier";
        otherView.OnRButtonDown(otherView.CellCentre(1, 0));
        otherView.OnEditCopy();
        other.RemoveView(&otherView);
    }
    ASSERT_NE(ClipboardBlock(), nullptr);
    EXPECT_TRUE(view.CanPaste());
    view.OnEditPaste();
    view.OnLButtonDown(GridPoint(1, 0));
    ASSERT_NE(doc.FindBlockAt(1, 0), nullptr);
    EXPECT_EQ(doc.FindBlockAt(1, 0)->Name, "Carrier");
    EXPECT_EQ(doc.FindBlockAt(1, 0)->Document, &doc);
}

// ---- Nothing keeps a deleted block -----------------------------------------------------------

TEST_F(ChartEditTest, DeletingTheFirstEndOfAConnectionEndsTheConnection) {
    CBlock* gain = Insert(kGain, 1, -1);
    CBlock* sink = Insert(kGain, 3, -1);
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnLButtonDown(PortPoint(*gain, 0));
    ASSERT_TRUE(view.Connecting);
    view.OnEditDelete();
    EXPECT_FALSE(view.Connecting);
    EXPECT_EQ(view.FirstPick, PortPick{});
    // The click that would have ended it starts a new one instead.
    view.OnLButtonDown(PortPoint(*sink, 1));
    EXPECT_TRUE(view.Connecting);
    EXPECT_EQ(view.FirstPick, (PortPick{sink, 1}));
}

TEST_F(ChartEditTest, DeletingAPickedUpBlockEndsThePlacing) {
    CBlock* gain = Insert(kGain, 1, -1);
    view.OnRButtonDown(GridPoint(1, -1));
    view.OnLButtonDown(GridPoint(1, -1));
    ASSERT_EQ(view.MovingBlock, gain);
    const std::size_t before = BlockCount();
    view.OnEditDelete();
    EXPECT_EQ(view.MovingBlock, nullptr);
    EXPECT_FALSE(view.Placing);
    view.OnLButtonDown(GridPoint(2, -2));
    EXPECT_EQ(BlockCount(), before - 1);
    EXPECT_EQ(doc.FindBlockAt(2, -2), nullptr);
}

TEST_F(ChartEditTest, ABlockDeletedThroughAnotherPaneLeavesThisOneClean) {
    CBlock* gain = Insert(kGain, 1, -1);
    COrventView pane;
    doc.AddView(&pane);
    pane.OnInitialUpdate();
    view.OnRButtonDown(GridPoint(1, -1));
    pane.OnRButtonDown(pane.CellCentre(1, -1));
    view.OnLButtonDown(PortPoint(*gain, 0));
    ASSERT_TRUE(view.Connecting);
    pane.OnEditDelete();
    EXPECT_EQ(view.SelectedBlock, nullptr);
    EXPECT_FALSE(view.Connecting);
    EXPECT_EQ(view.FirstPick, PortPick{});
    doc.RemoveView(&pane);
}

} // namespace
