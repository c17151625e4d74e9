// Undo and Redo: random edits through the chart's own commands, taken back and made again, must
// give charts that save byte for byte as before; the history's bounds and the modified mark.

#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/ChartDocument.h"
#include "model/ChartHistory.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

class HistoryTest : public ::testing::Test {
  protected:
    // Windows without a display whose Block Editor and Model Properties answer OK with a change.
    class Windows : public HeadlessWindowHost {
      public:
        bool RunBlockEditor(CBlockEditorData& data) override {
            data.Name += "x";
            data.Notes += "n";
            data.ParamTexts[0] = "2.5";
            return true;
        }
        bool RunModelProperties(CSettingList&, std::string& title) override {
            title += "t";
            return true;
        }
    };

    HistoryTest() : scope(&store, &messages, &windows) {
        RegisterBlockTypes();
        doc = kintra::NewChartDocument();
    }
    ~HistoryTest() override { kintra::CloseChartDocument(std::move(doc)); }

    COrventView& Chart() const { return *static_cast<COrventView*>(doc->GetChartView()); }
    CPoint Cell(int column, int row) const { return Chart().CellCentre(column, row); }
    CPoint PortPoint(const CBlock& b, int port) const {
        int slot = -1;
        for (int s = 0; s < 4; ++s)
            if (PortOfSlot(b, s) == port) slot = s;
        const bool right = (port == 0) != (b.Invert != 0);
        const CPoint c = Cell(b.Position.x, b.Position.y);
        return {c.x + Chart().Mag(right ? 13 : -13), c.y + Chart().Mag(11 - kPortOffset[slot])};
    }
    // A block the user can pick: neither the Clock nor a companion.
    CBlock* SomeBlock(std::mt19937& rng) const {
        std::vector<CBlock*> blocks;
        for (const auto& b : doc->Blocks)
            if (b.get() != doc->Clock() && b->Kind != BK_COMPANION) blocks.push_back(b.get());
        if (blocks.empty()) return nullptr;
        return blocks[std::uniform_int_distribution<std::size_t>(0, blocks.size() - 1)(rng)];
    }
    std::vector<CView*> OutputViews() const {
        std::vector<CView*> out;
        for (CView* v : doc->Views())
            if (v != doc->GetChartView()) out.push_back(v);
        return out;
    }

    // One edit of the kind `kind`, made as the window makes it.
    void Edit(int kind, std::mt19937& rng) {
        COrventView& chart = Chart();
        const int column = std::uniform_int_distribution<int>(1, 8)(rng);
        const int row = -std::uniform_int_distribution<int>(0, 6)(rng);
        CBlock* block = SomeBlock(rng);
        switch (kind) {
        case 0: { // place
            static const int kCommands[] = {BlockCommand::Constant, BlockCommand::Sine, BlockCommand::Gain};
            chart.OnInsert(kCommands[std::uniform_int_distribution<int>(0, 2)(rng)]);
            chart.OnLButtonDown(Cell(column, row));
            break;
        }
        case 1: // move: select, pick up, drop
            if (!block) return;
            chart.OnRButtonDown(Cell(block->Position.x, block->Position.y));
            chart.OnLButtonDown(Cell(block->Position.x, block->Position.y));
            chart.OnLButtonDown(Cell(column, row));
            break;
        case 2: { // connect an output to a free input
            CBlock* to = SomeBlock(rng);
            if (!block || !to || to == block || to->InputsShown < 1 || to->Inputs[0]) return;
            chart.OnLButtonDown(PortPoint(*block, 0));
            chart.OnLButtonDown(PortPoint(*to, 1));
            break;
        }
        case 3: // delete or cut
            if (!block) return;
            chart.OnRButtonDown(Cell(block->Position.x, block->Position.y));
            if (rng() % 2)
                chart.OnEditDelete();
            else
                chart.OnEditCut();
            break;
        case 4: // paste what was cut
            chart.OnEditPaste();
            chart.OnLButtonDown(Cell(column, row));
            break;
        case 5: // the Block Editor's OK
            if (!block) return;
            chart.OnLButtonDown(Cell(block->Position.x, block->Position.y));
            break;
        case 6:
            doc->OnPreferences();
            break;
        case 7: { // Chart Viewing Properties
            CChartChange change(doc.get(), "Chart Properties");
            chart.LinesX += 1;
            chart.ChartNotes += "c";
            break;
        }
        case 8: { // open a graph or a list and change it
            CChartChange change(doc.get(), "Open");
            if (rng() % 2) {
                auto* graph = static_cast<CGraphBase*>(windows.OpenGraphWindow(*doc));
                graph->GraphTitle = "g";
                graph->Traces[1] = block;
            } else {
                auto* list = static_cast<CListBase*>(windows.OpenListWindow(*doc));
                list->ListTitle = "l";
                list->Columns = {doc->Clock(), block};
            }
            break;
        }
        case 9: { // close an output window
            const std::vector<CView*> views = OutputViews();
            if (views.empty()) return;
            const Bytes before = doc->Snapshot();
            windows.CloseWindow(*views[rng() % views.size()]);
            doc->RecordChange("Close", before);
            break;
        }
        case 10:
            doc->OnRun();
            break;
        default:
            doc->OnInitialize();
            break;
        }
        // A half-made edit is given up, as the right button does.
        if (chart.Placing || chart.Connecting) chart.OnRButtonDown(Cell(20, -20));
    }

    MemorySettingsStore store;
    RecordingMessageHost messages;
    Windows windows;
    ScopedPlatform scope;
    std::unique_ptr<COrventDoc> doc;
};

// After any sequence of edits, undoing them one by one passes through every chart on the way
// back to the first, and redoing them all gives the last; the windows follow.
TEST_F(HistoryTest, UndoingAndRedoingRandomEditsGivesEveryChartOnTheWayByteForByte) {
    std::size_t runs = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        std::vector<Bytes> states{doc->Snapshot()};
        std::vector<std::size_t> viewCounts{doc->Views().size()};
        for (int i = 0; i < 60; ++i) {
            const std::size_t steps = doc->History.UndoCount();
            Edit(static_cast<int>(rng() % 12), rng);
            if (doc->History.UndoCount() == steps) continue;
            ASSERT_EQ(doc->History.UndoCount(), steps + 1) << "seed " << seed;
            runs += doc->History.UndoLabel() == "Run";
            states.push_back(doc->Snapshot());
            viewCounts.push_back(doc->Views().size());
        }
        for (std::size_t k = states.size() - 1; k > 0; --k) {
            ASSERT_TRUE(doc->Undo()) << "seed " << seed;
            ASSERT_EQ(doc->Snapshot(), states[k - 1]) << "seed " << seed << ", step " << k;
            ASSERT_EQ(doc->Views().size(), viewCounts[k - 1]);
        }
        EXPECT_FALSE(doc->Undo());
        while (doc->Redo()) {
        }
        ASSERT_EQ(doc->Snapshot(), states.back()) << "seed " << seed;
        // The next seed starts from this chart, with a history of its own.
        doc->History.Clear();
    }
    EXPECT_GT(runs, 0u);
}

// Each kind of edit is one step named after what it did and the block it did it to.
TEST_F(HistoryTest, EachEditIsOneStepNamedAfterIt) {
    COrventView& chart = Chart();
    chart.OnInsert(BlockCommand::Gain);
    chart.OnLButtonDown(Cell(2, -1));
    CBlock* gain = doc->FindBlockAt(2, -1);
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(doc->History.UndoLabel(), "Place Gain");
    chart.OnRButtonDown(Cell(2, -1));
    chart.OnLButtonDown(Cell(2, -1));
    chart.OnLButtonDown(Cell(3, -1));
    EXPECT_EQ(doc->History.UndoLabel(), "Move Gain");
    chart.OnLButtonDown(PortPoint(*doc->Clock(), 0));
    chart.OnLButtonDown(PortPoint(*gain, 1));
    EXPECT_EQ(doc->History.UndoLabel(), "Connect Gain");
    chart.OnLButtonDown(Cell(3, -1));
    EXPECT_EQ(doc->History.UndoLabel(), "Edit Gain");
    doc->OnRun();
    EXPECT_EQ(doc->History.UndoLabel(), "Run");
    const std::size_t recorded = doc->Clock()->HistorySize();
    ASSERT_GT(recorded, 0u);
    chart.OnRButtonDown(Cell(3, -1));
    chart.OnEditCut();
    EXPECT_EQ(doc->History.UndoLabel(), "Cut Gainx");
    chart.OnEditPaste();
    chart.OnLButtonDown(Cell(4, -2));
    EXPECT_EQ(doc->History.UndoLabel(), "Paste Gainx");
    EXPECT_EQ(doc->History.UndoCount(), 7u);
    // A refused move or a cancelled dialog is no step.
    chart.OnRButtonDown(Cell(4, -2));
    chart.OnLButtonDown(Cell(4, -2));
    chart.OnLButtonDown(Cell(0, 0));
    EXPECT_EQ(doc->History.UndoCount(), 7u);

    // Undoing the cut brings the block back with its line and its place; undoing the run the
    // histories before it.
    ASSERT_TRUE(doc->Undo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->History.RedoLabel(), "Cut Gainx");
    CBlock* back = doc->FindBlockAt(3, -1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Name, "Gainx");
    EXPECT_EQ(back->Inputs[0], doc->Clock());
    EXPECT_EQ(doc->Clock()->HistorySize(), recorded);
    ASSERT_TRUE(doc->Undo());
    EXPECT_TRUE(doc->Clock()->HistoryValues().empty());
    ASSERT_TRUE(doc->Redo());
    EXPECT_EQ(doc->Clock()->HistorySize(), recorded);
}

// Undoing back to the chart as saved clears the modified mark; leaving it sets it again.
TEST_F(HistoryTest, TheModifiedMarkFollowsTheSavedState) {
    const std::string path = ::testing::TempDir() + "history-saved.cht";
    doc->OnPreferences();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    doc->OnPreferences();
    doc->OnPreferences();
    EXPECT_TRUE(doc->IsModified());
    const struct {
        bool undo;
        bool modified;
    } steps[] = {{true, true}, {true, false}, {true, true}, {false, false}, {false, true}, {true, false}};
    for (const auto& s : steps) {
        ASSERT_TRUE(s.undo ? doc->Undo() : doc->Redo());
        EXPECT_EQ(doc->IsModified(), s.modified);
    }
    std::remove(path.c_str());
}

// The history keeps at most its step count and its byte budget, save the step next to the
// chart in each direction; a new change drops what could be redone.
TEST(ChartHistory, KeepsItsBoundsAndForgetsTheRedoStepsOnAChange) {
    CChartHistory small(100);
    for (int i = 0; i < 5; ++i)
        small.Record("big", Bytes(60, static_cast<std::uint8_t>(i)));
    EXPECT_EQ(small.UndoCount(), 1u); // only the newest, over the budget on its own
    EXPECT_EQ(small.TakeUndo(Bytes(70, 9)), Bytes(60, 4));
    EXPECT_EQ(small.RedoCount(), 1u);
    EXPECT_EQ(small.RedoLabel(), "big");
    small.Record("one", Bytes(10));
    EXPECT_FALSE(small.CanRedo());
    EXPECT_LE(small.Size(), 100u);

    CChartHistory many;
    for (std::size_t i = 0; i < CChartHistory::kMaxSteps + 50; ++i)
        many.Record("step", Bytes(8));
    EXPECT_EQ(many.UndoCount(), CChartHistory::kMaxSteps);
    EXPECT_EQ(many.Size(), 8 * CChartHistory::kMaxSteps);
}

} // namespace
