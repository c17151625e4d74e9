#pragma once
// Helpers of the block tests: a new chart to place real blocks on, constant sources and the
// output times of a run.

#include "TestSupport.h"
#include "model/BlockTypes.h"
#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

struct BlockRun : ::testing::Test {
    TestPlatform platform;
    COrventDoc doc;
    int nextColumn = 1;

    void SetUp() override { doc.OnNewDocument(); }

    // Places a new block of that type code on the next free column of row 0.
    CBlock* Add(int code) {
        doc.PendingBlock = doc.CreateBlock(code);
        CBlock* b = doc.PendingBlock.get();
        EXPECT_NE(b, nullptr) << "type code " << code;
        doc.PlaceBlock(nextColumn++, 0);
        return b;
    }
    // A Constant block holding v.
    CBlock* Constant(double v) {
        CBlock* c = Add(BlockType::Constant);
        c->Params[0] = v;
        return c;
    }
    // A block of type `code` with its inputs wired to constants (NaN leaves an input open).
    CBlock* WithInputs(int code, std::vector<double> inputs) {
        std::vector<CBlock*> sources;
        for (double v : inputs)
            sources.push_back(std::isnan(v) ? nullptr : Constant(v));
        CBlock* b = Add(code);
        for (std::size_t i = 0; i < sources.size(); ++i)
            b->Inputs[i] = sources[i];
        return b;
    }
    void SetClock(double errorLimit, double interval, double time) {
        doc.Clock()->Params = {errorLimit, interval, time};
    }
    // The output times of the last run, as the Clock recorded them.
    std::vector<double> Times() const { return doc.Clock()->HistoryValues(); }
};

constexpr double kOpen = std::numeric_limits<double>::quiet_NaN();

// Stores a block's record, then reads it back into `target` (another block of the same type).
inline void RoundTrip(CBlock& source, CBlock& target) {
    CArchive out;
    source.Serialize(out);
    CArchive in(out.TakeBytes());
    target.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u) << "the record was read to its end";
}
