#include "model/HistoryTable.h"
#include "BlockTestSupport.h"
#include "blocks/TimeBlocks.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

// Random tables against plain columns: rows beyond the reserve (in small growth chunks), trims
// at any point, rows appended after a trim, and never more than 8.5 bytes per value once trimmed.
TEST(HistoryTable, RowsReadBackAsWrittenHoweverTheTableGrew) {
    std::mt19937 rng(4);
    for (int round = 0; round < 300; ++round) {
        CHistoryTable table(1 + rng() % 24);
        const std::size_t columns = 1 + rng() % 5;
        table.Reset(columns, rng() % 10);
        std::vector<std::vector<double>> expected(columns);
        const int rows = static_cast<int>(rng() % 60);
        for (int r = 0; r < rows; ++r) {
            if (rng() % 8 == 0) table.Trim();
            double* row = table.AppendRow();
            for (std::size_t c = 0; c < columns; ++c)
                expected[c].push_back(row[c] = static_cast<double>(rng()));
        }
        table.Trim();
        ASSERT_EQ(table.Rows(), static_cast<std::size_t>(rows));
        for (std::size_t c = 0; c < columns; ++c) {
            std::vector<double> column(expected[c].size());
            table.CopyColumn(c, 0, column.size(), column.data());
            ASSERT_EQ(column, expected[c]) << "round " << round << ", column " << c;
            for (std::size_t r = 0; r < column.size(); ++r)
                ASSERT_EQ(table.At(r, c), expected[c][r]);
        }
        if (rows > 0) {
            EXPECT_LE(static_cast<double>(table.CapacityBytes()), 8.5 * rows * static_cast<double>(columns))
                << "round " << round;
        }
    }
}

struct RecordedRun : BlockRun {};

// A run's table beside histories of other lengths (a constant records once, a block placed
// after the run has none): the chart's image carries each as it is, and comes back the same.
TEST_F(RecordedRun, HistoriesOfEveryLengthSaveAndComeBackUnchanged) {
    CBlock* x = Add(BlockType::Integrate);
    CBlock* back = WithInputs(BlockType::Gain, {kOpen});
    back->Inputs[0] = x;
    back->Params[0] = -1;
    x->Inputs = {back, Constant(2), nullptr};
    CBlock* delay = Add(BlockType::Delay);
    delay->Inputs[0] = x;
    delay->Params[1] = 0.25;
    CBlock* decay = Add(BlockType::Decay);
    doc.RunSimulation();
    ASSERT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    CBlock* late = Add(BlockType::Gain);
    // Blocks are found again by their cells.
    std::map<std::pair<int, int>, std::vector<double>> before;
    for (const auto& b : doc.Blocks)
        before[{b->Position.x, b->Position.y}] = b->HistoryValues();
    EXPECT_EQ(x->HistorySize(), 11u);
    EXPECT_EQ(decay->HistorySize(), 11u);
    EXPECT_EQ(x->Inputs[1]->HistorySize(), 1u);
    EXPECT_EQ(late->HistorySize(), 0u);
    EXPECT_EQ(static_cast<CDelayBlock*>(delay)->InputHistory, x->HistoryValues());

    const std::vector<std::uint8_t> image = doc.Snapshot();
    doc.RestoreSnapshot(image);
    EXPECT_EQ(doc.Snapshot(), image);
    ASSERT_EQ(doc.Blocks.size(), before.size());
    for (const auto& b : doc.Blocks)
        EXPECT_EQ(b->HistoryValues(), (before[{b->Position.x, b->Position.y}])) << b->Name;
}

// A run stopped early gives back the room it reserved for the steps it did not reach.
TEST_F(RecordedRun, TheTableHoldsAtMostEightAndAHalfBytesPerRecordedValue) {
    CBlock* falling = WithInputs(BlockType::Sum, {kOpen, 1});
    falling->Inputs[0] = doc.Clock();
    falling->Params[0] = -1;
    CBlock* quit = Add(BlockType::Quit);
    quit->Inputs[0] = falling;
    for (double limit : {-1e9, 0.45}) {
        quit->Params[1] = limit;
        SetClock(1e-3, 0.001, 10.0);
        doc.RunSimulation();
        const CHistoryTable& table = doc.HistoryTable();
        EXPECT_EQ(table.Rows(), limit < 0 ? 10001u : 551u);
        EXPECT_LE(static_cast<double>(table.CapacityBytes()),
                  8.5 * static_cast<double>(table.Rows() * table.Columns()));
    }
}

} // namespace
