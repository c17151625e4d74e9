#include "TestSupport.h"
#include "blocks/Catalogue.h"
#include "model/ClockBlock.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

namespace {

// Records every update a document sends.
class RecordingView : public CView {
  public:
    struct Update {
        long hint;
        const CBlock* object;
        bool stillListed;
    };
    void OnUpdate(CView*, long hint, UpdateObject object) override {
        auto* doc = static_cast<COrventDoc*>(GetDocument());
        const CBlock* block = object.As<CBlock>();
        bool listed = false;
        for (const auto& b : doc->Blocks)
            if (b.get() == block) listed = true;
        updates.push_back({hint, block, listed});
    }
    std::vector<Update> updates;
};

TEST(Document, AnUpdateObjectAnswersOnlyForTheTypeItWasGiven) {
    int number = 3;
    const UpdateObject ofInt(&number), none(nullptr);
    EXPECT_EQ(ofInt.As<int>(), &number);
    EXPECT_EQ(ofInt.As<CBlock>(), nullptr) << "another type is never taken for a block";
    EXPECT_TRUE(ofInt);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.As<CBlock>(), nullptr);
}

TEST(Document, ANewChartHoldsTheClockAndItsCompanions) {
    TestPlatform platform;
    COrventDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(doc.Blocks.size(), 3u);
    auto* clock = dynamic_cast<CClockBlock*>(doc.Blocks[0].get());
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->Name, "Clock");
    EXPECT_EQ(clock->Position, (CPoint{0, 0}));
    EXPECT_EQ(clock->LineColor, RGB(0, 0, 255));
    EXPECT_EQ(clock->Params, (std::array<double, 3>{1e-7, 0.1, 1.0}));
    EXPECT_EQ(clock->HelpId, BlockCommand::Clock + 0x10000);
    EXPECT_EQ(clock->MonoImage, 675);
    EXPECT_EQ(doc.Blocks[1].get(), clock->ErrorCompanion);
    EXPECT_EQ(doc.Blocks[2].get(), clock->CountCompanion);
    EXPECT_EQ(doc.Blocks[1]->Name, "ClockError");
    EXPECT_EQ(doc.Blocks[1]->Position, (CPoint{-500, 0}));
    EXPECT_EQ(doc.Blocks[2]->Name, "ClockCount");
    EXPECT_EQ(doc.Blocks[2]->Position, (CPoint{0, 500}));
    EXPECT_EQ(doc.Blocks[2]->TypeName, "Dummy");
    EXPECT_EQ(doc.Blocks[2]->Kind, BK_COMPANION);
    EXPECT_EQ(doc.Blocks[1]->LineColor, 0u) << "companions get no colour from the cycle";
    EXPECT_EQ(doc.CompanionBlocks, (std::vector<CBlock*>{doc.Blocks[1].get(), doc.Blocks[2].get()}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.PendingBlock, nullptr);
    EXPECT_EQ(doc.Stopped, 1);
}

TEST(Document, PlacedBlocksTakeTheColourCycleCountingEveryListedBlock) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    RecordingView view;
    doc.AddView(&view);
    PassBlock* first = Place(doc, 1, 0);
    EXPECT_EQ(first->LineColor, RGB(0, 255, 255)) << "fourth in Blocks: cyan";
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(view.updates.size(), 2u);
    EXPECT_EQ(view.updates[0].hint, 5);
    EXPECT_EQ(view.updates[1].hint, 1);
    EXPECT_EQ(view.updates[1].object, first);
    Place(doc, 2, 0);
    Place(doc, 3, 0);
    PassBlock* seventh = Place(doc, 4, 0);
    PassBlock* eighth = Place(doc, 5, 0);
    EXPECT_EQ(seventh->LineColor, RGB(0, 0, 0));
    EXPECT_EQ(eighth->LineColor, RGB(0, 0, 255));
    doc.RemoveView(&view);
}

TEST(Document, DeletingABlockDisconnectsEveryInputItFedAfterTellingTheViews) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    RecordingView view;
    doc.AddView(&view);
    PassBlock* source = Place(doc, 1, 0);
    PassBlock* sink = Place(doc, 2, 0);
    sink->Inputs = {source, doc.Clock(), source};
    doc.SetModifiedFlag(false);
    view.updates.clear();
    doc.DeleteBlock(source);
    EXPECT_EQ(sink->Inputs[0], nullptr);
    EXPECT_EQ(sink->Inputs[1], doc.Clock());
    EXPECT_EQ(sink->Inputs[2], nullptr);
    ASSERT_EQ(view.updates.size(), 1u);
    EXPECT_EQ(view.updates[0].hint, -1);
    EXPECT_TRUE(view.updates[0].stillListed) << "views hear of the deletion before the block leaves";
    EXPECT_EQ(doc.Blocks.size(), 4u);
    EXPECT_TRUE(doc.IsModified());
    // The Clock and its companions cannot be deleted.
    doc.DeleteBlock(doc.Clock());
    doc.DeleteBlock(doc.Blocks[1].get());
    EXPECT_EQ(doc.Blocks.size(), 4u);
    doc.RemoveView(&view);
}

TEST(Document, CopyBlockSettingsCopiesWhatTheUserSetButNoLinksPlaceOrHistory) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    a->Name = "Tank";
    a->LineLabel = "c";
    a->Notes = "level";
    a->Invert = 1;
    a->AtFirst = 1;
    a->Params = {2, 3, 4};
    a->Inputs[0] = doc.Clock();
    a->SetHistory({1, 2});
    COLORREF bColor = b->LineColor;
    doc.CopyBlockSettings(*a, *b);
    EXPECT_EQ(b->Name, "Tank");
    EXPECT_EQ(b->LineLabel, "c");
    EXPECT_EQ(b->LineColor, a->LineColor);
    EXPECT_NE(b->LineColor, bColor);
    EXPECT_EQ(b->Notes, "level");
    EXPECT_EQ(b->Invert, 1);
    EXPECT_EQ(b->Params, a->Params);
    EXPECT_EQ(b->AtFirst, 1);
    EXPECT_EQ(b->Inputs[0], nullptr);
    EXPECT_TRUE(b->HistoryValues().empty());
    EXPECT_EQ(b->Position, (CPoint{2, 0}));
}

TEST(Document, MovingTheClockTakesItsCompanionsAlongOntoFreeCellsOnly) {
    struct Case {
        const char* what;
        CPoint from;
        CPoint to;
        bool moves;
    };
    // Blocks stand at (0, -1) and (2, 0).
    const Case cases[] = {
        {"to a free cell", {0, 0}, {3, -2}, true},
        {"back onto its own Count companion's cell", {0, -500}, {0, 0}, true},
        {"onto a block", {0, 0}, {2, 0}, false},
        {"with Error onto a block", {0, 0}, {500, -1}, false},
        {"with Count onto a block", {0, 0}, {2, -500}, false},
        {"with Error onto the cell that means no block", {0, 0}, {401, -99}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestPlatform platform;
        COrventDoc doc;
        doc.OnNewDocument();
        auto* clock = static_cast<CClockBlock*>(doc.Clock());
        Place(doc, 0, -1);
        PassBlock* other = Place(doc, 2, 0);
        if (!(c.from == clock->Position)) {
            ASSERT_TRUE(doc.MoveBlock(clock, c.from.x, c.from.y));
        }
        doc.SetModifiedFlag(false);
        EXPECT_EQ(doc.MoveBlock(clock, c.to.x, c.to.y), c.moves);
        EXPECT_EQ(doc.IsModified(), c.moves);
        const CPoint at = c.moves ? c.to : c.from;
        EXPECT_EQ(clock->Position, at);
        EXPECT_EQ(clock->ErrorCompanion->Position, (CPoint{at.x - 500, at.y}));
        EXPECT_EQ(clock->CountCompanion->Position, (CPoint{at.x, at.y + 500}));
        // No other block may take a companion's cell.
        EXPECT_FALSE(doc.MoveBlock(other, at.x, at.y + 500));
    }
}

TEST(Document, ModelSettingsStartFromTheStoreAndPreferencesApplyThem) {
    TestPlatform platform;
    platform.store.WriteProfileInt("Model", "VertLines", 3);
    platform.store.WriteProfileString("Model", "MaxSteps", "2.500000e+002");
    COrventDoc doc;
    EXPECT_EQ(doc.VertLines, 3);
    EXPECT_EQ(doc.HorizLines, 5);
    EXPECT_EQ(doc.MaxSort, 500);
    EXPECT_EQ(doc.MaxSteps, 250.0);
    ASSERT_EQ(doc.ModelSettings.GetSize(), 6u);
    EXPECT_EQ(doc.ModelSettings[5].Name(), "MaxSteps");
    EXPECT_EQ(doc.ModelSettings[5].IntroducedVersion(), 102.0);

    doc.OnNewDocument();
    doc.CDocument::SetTitle("Chart1");
    doc.OnPreferences(); // cancelled
    EXPECT_FALSE(doc.IsModified());
    platform.windows.modelEdit = [](CSettingList& working, std::string& title) {
        *working.FindValue<int>(1196) = 20;
        *working.FindValue<int>(1198) = 1;
        title = "Tank";
    };
    doc.OnPreferences();
    EXPECT_EQ(doc.MaxSort, 20);
    EXPECT_EQ(doc.IntStyle, 1);
    EXPECT_EQ(doc.Title, "Tank");
    EXPECT_EQ(doc.GetTitle(), "Tank");
    EXPECT_TRUE(doc.IsModified());
    doc.SetTitle("tank.cht");
    EXPECT_EQ(doc.GetTitle(), "Tank") << "a model title wins over the file name";
    platform.windows.modelEdit = [](CSettingList&, std::string& title) { title.clear(); };
    doc.OnPreferences();
    EXPECT_EQ(doc.GetTitle(), "tank.cht") << "no model title: the chart's own title again";
}

TEST(Document, ModelSettingsFromADamagedStoreAreBroughtIntoRange) {
    TestPlatform platform;
    platform.store.WriteProfileInt("Model", "VertLines", 2147483647);
    platform.store.WriteProfileInt("Model", "HorizLines", -3);
    platform.store.WriteProfileInt("Model", "MaxSort", -1);
    platform.store.WriteProfileInt("Model", "IntStyle", 99);
    platform.store.WriteProfileString("Model", "MaxSteps", "nan");
    COrventDoc doc;
    EXPECT_EQ(doc.VertLines, 99);
    EXPECT_EQ(doc.HorizLines, 1);
    EXPECT_EQ(doc.MaxSort, 0);
    EXPECT_EQ(doc.IntStyle, 0);
    EXPECT_EQ(doc.MaxSteps, 100.0);

    // Recall in the dialog brings the same values back; OK applies nothing out of range.
    doc.OnNewDocument();
    platform.windows.modelEdit = [](CSettingList& working, std::string&) { working.Recall(); };
    doc.OnPreferences();
    EXPECT_EQ(doc.IntStyle, 0);
    EXPECT_EQ(doc.MaxSteps, 100.0);
    EXPECT_EQ(doc.VertLines, 99);
}

TEST(Block, ResolveInputTakesTheFirstBlockAtThePosition) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    PassBlock* a = Place(doc, 1, 0);
    PassBlock* twin = Place(doc, 1, 0);
    PassBlock* sink = Place(doc, 2, 0);
    EXPECT_TRUE(sink->ResolveInput(1, 0, 1));
    EXPECT_EQ(sink->Inputs[1], a);
    EXPECT_NE(sink->Inputs[1], twin);
    EXPECT_TRUE(sink->ResolveInput(-500, 0, 0));
    EXPECT_EQ(sink->Inputs[0], doc.Blocks[1].get());
    EXPECT_FALSE(sink->ResolveInput(7, 7, 0));
    EXPECT_EQ(sink->Inputs[0], doc.Blocks[1].get()) << "a failed match leaves the input as it was";
    EXPECT_TRUE(sink->ResolveInput(-99, -99, 0));
    EXPECT_EQ(sink->Inputs[0], nullptr);
}

// A chart host that only records what blocks ask of it.
struct RecordingHost : CBlockHost {
    CBlock* FindBlockAt(int, int) const override { return nullptr; }
    void BlockEdited(CBlock& block, bool reroute) override { edits.push_back({&block, reroute}); }
    void MarkModified() override {}
    void AdoptCompanion(std::unique_ptr<CBlock> companion) override {
        adopted.push_back(std::move(companion));
    }
    void RunTimeError(const std::string&) override {}
    void RequestStop() override {}
    std::vector<std::pair<CBlock*, bool>> edits;
    std::vector<std::unique_ptr<CBlock>> adopted;
};

TEST(Block, AsksItsChartToRerouteOnlyWhenItsFacingChangedAndHandsOverTheCompanions) {
    TestPlatform platform;
    RecordingHost host;
    CClockBlock clock(175, &host, kClockCommandId, kClockTypeId);
    clock.CreateCompanions();
    clock.CreateCompanions(); // once only
    ASSERT_EQ(host.adopted.size(), 2u);
    EXPECT_EQ(host.adopted[0].get(), clock.ErrorCompanion);
    EXPECT_EQ(host.adopted[1].get(), clock.CountCompanion);

    CBlockEditorData data = clock.MakeEditorData();
    data.Name = "Tick";
    clock.ApplyEditorData(data);
    data.Invert = 1;
    clock.ApplyEditorData(data);
    ASSERT_EQ(host.edits.size(), 2u);
    EXPECT_EQ(host.edits[0], std::make_pair(static_cast<CBlock*>(&clock), false));
    EXPECT_EQ(host.edits[1], std::make_pair(static_cast<CBlock*>(&clock), true));
    EXPECT_EQ(clock.ErrorCompanion->Name, "TickError") << "the Clock renames its companions on OK";
}

TEST(Block, HistoryRecordsAndAnswersOutsideTheRangeWithZero) {
    TestPlatform platform;
    COrventDoc doc;
    PassBlock b(&doc);
    for (int i = 0; i < 1000; ++i) {
        b.Value = i;
        b.RecordValue();
    }
    EXPECT_EQ(b.GetHistoryAt(999), 999.0);
    EXPECT_EQ(b.GetHistoryAt(1000), 0.0);
    EXPECT_EQ(b.GetHistoryAt(-1), 0.0);
    b.ClearHistory();
    EXPECT_TRUE(b.HistoryValues().empty());
    EXPECT_EQ(b.GetHistoryAt(0), 0.0);
}

TEST(Block, CommonRecordRoundTripsAndReportsUnmatchedInputs) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    PassBlock* src = Place(doc, 3, -2);
    PassBlock* b = Place(doc, 4, -2);
    b->Name = "Valve";
    b->LineLabel = "a";
    b->Notes = std::string(300, 'n');
    b->Invert = 1;
    b->Inputs = {src, nullptr, doc.Clock()};
    b->Params = {0.5, -2, 1e300};
    b->RouteRecord[0].v = {1, -2, 3, -4};
    b->SetHistory({0.0, 0.25, -1.5});
    CArchive out;
    b->SerializeCommon(out);
    const auto& bytes = out.Bytes();
    // Name, label, colour, notes (0xFF + 16-bit length), flags, three inputs, history.
    EXPECT_EQ(bytes.size(), (1 + 5) + (1 + 1) + 4 + (3 + 300) + 4 + 4 + 3 * (8 + 8 + 16) + 4 + 3 * 8u);
    EXPECT_EQ(bytes[6 + 2 + 4], 0xFF);

    PassBlock copy(&doc);
    CArchive in(out.Bytes());
    copy.SerializeCommon(in);
    EXPECT_EQ(copy.Name, "Valve");
    EXPECT_EQ(copy.Notes, b->Notes);
    EXPECT_EQ(copy.Inputs, b->Inputs);
    EXPECT_EQ(copy.Params, b->Params);
    EXPECT_EQ(copy.RouteRecord[0], b->RouteRecord[0]);
    EXPECT_EQ(copy.HistoryValues(), b->HistoryValues());
    EXPECT_TRUE(platform.messages.shown.empty());

    // The source is gone: the input loads unconnected with a message, and loading goes on.
    doc.DeleteBlock(src);
    PassBlock orphan(&doc);
    CArchive again(out.Bytes());
    orphan.SerializeCommon(again);
    EXPECT_EQ(orphan.Inputs[0], nullptr);
    EXPECT_EQ(orphan.Inputs[2], doc.Clock());
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Unable to find a match for input 1 of block 'Valve'.");
    EXPECT_EQ(platform.messages.shown[0].caption, "Load Error");
    EXPECT_EQ(orphan.HistorySize(), 3u);
}

TEST(Block, AHugeHistoryCountFailsWithoutAllocating) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    PassBlock* b = Place(doc, 1, 0);
    CArchive out;
    b->SerializeCommon(out);
    auto bytes = out.Bytes();
    bytes[bytes.size() - 4] = 0xFF;
    bytes[bytes.size() - 3] = 0xFF;
    bytes[bytes.size() - 2] = 0xFF;
    bytes[bytes.size() - 1] = 0x7F;
    PassBlock copy(&doc);
    CArchive in(bytes);
    EXPECT_THROW(copy.SerializeCommon(in), CArchiveException);
}

TEST(Block, EditorOkAppliesTheEntriesInOrder) {
    TestPlatform platform;
    COrventDoc doc;
    doc.OnNewDocument();
    RecordingView view;
    doc.AddView(&view);
    PassBlock* src = Place(doc, 1, 0);
    PassBlock* b = Place(doc, 2, 0);
    b->Inputs = {src, doc.Clock(), src};
    b->Params = {1.5, 2, 1e-9};
    b->Value = 123456.789;
    doc.SetModifiedFlag(false);

    b->EditProperties(); // cancelled: nothing changes
    const CBlockEditorData& shown = platform.windows.editorShown;
    EXPECT_EQ(shown.InputNames[0], "Sum");
    EXPECT_EQ(shown.InputNames[1], "Clock");
    EXPECT_EQ(shown.ParamTexts[0], "1.5");
    EXPECT_EQ(shown.ParamTexts[2], "1e-09");
    EXPECT_EQ(shown.CurrentValue, "1.2346e+05");
    EXPECT_FALSE(doc.IsModified());

    platform.windows.editorEdit = [](CBlockEditorData& d) {
        d.Name = std::string(40, 'N');
        d.ParamTexts = {"2.5*2", "abc", " -3e2"}; // the editor refuses "abc"; alone, it changes nothing
        d.InputNames[1].clear();                  // what "X" does
        d.InputCleared[1] = true;
        d.Notes = "note";
        d.LineColor = RGB(1, 2, 3);
    };
    view.updates.clear();
    b->EditProperties();
    EXPECT_EQ(b->Name, std::string(35, 'N'));
    EXPECT_EQ(b->Params, (std::array<double, 3>{5.0, 2.0, -300.0}));
    EXPECT_EQ(b->Inputs[0], src);
    EXPECT_EQ(b->Inputs[1], nullptr);
    EXPECT_EQ(b->Inputs[2], src);
    EXPECT_EQ(b->Notes, "note");
    EXPECT_EQ(b->LineColor, RGB(1, 2, 3));
    EXPECT_TRUE(doc.IsModified());
    ASSERT_FALSE(view.updates.empty());
    EXPECT_EQ(view.updates.back().hint, 0);

    // Renaming the Clock renames its companions at once.
    platform.windows.editorEdit = [](CBlockEditorData& d) { d.Name = "Time"; };
    doc.Clock()->EditProperties();
    EXPECT_EQ(doc.Blocks[1]->Name, "TimeError");
    EXPECT_EQ(doc.Blocks[2]->Name, "TimeCount");
    doc.RemoveView(&view);
}

TEST(Catalogue, CodesMapToTypesAndTheFactoryMakesTheClock) {
    TestPlatform platform;
    std::size_t n = 0;
    const CBlockTypeInfo* all = BlockTypes(n);
    EXPECT_EQ(n, 43u);
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_GE(all[i].TypeId, kFirstTypeCode);
        EXPECT_LE(all[i].TypeId, kLastTypeCode);
        EXPECT_NE(all[i].TypeId, 61622);
        EXPECT_NE(all[i].TypeId, 61627);
        EXPECT_NE(all[i].TypeId, 61629);
    }
    EXPECT_EQ(FindBlockType(BlockType::Gain)->ImageId, 257);
    EXPECT_EQ(FindBlockTypeByCommand(BlockCommand::Integrate)->TypeId, BlockType::Integrate);
    COrventDoc doc;
    EXPECT_EQ(doc.CreateBlock(61627), nullptr);
    EXPECT_EQ(doc.CreateBlock(61585), nullptr);
    auto clock = doc.CreateBlock(BlockType::Clock);
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->TypeName, "Clock");
    EXPECT_EQ(clock->InputsShown, 0);
}

} // namespace
