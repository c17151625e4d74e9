// Cut, copy, paste and delete on a real document, and that nothing keeps a deleted block.

#include "ChartEditFixture.h"

namespace {

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
