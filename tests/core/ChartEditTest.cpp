// Editing a chart with clicks in logical units on a real document: placing, connecting, moving,
// the Block Editor, the Edit commands and the clicks that must be ignored.

#include "ChartEditFixture.h"

namespace {

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

} // namespace
