#include "BlockTestSupport.h"
#include "blocks/NonLinearBlocks.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using NonLinear = BlockRun;

double Single(BlockRun& t, int code, double input, std::array<double, 3> params = {1, 1, 1},
              std::vector<double> more = {}) {
    std::vector<double> inputs{input};
    inputs.insert(inputs.end(), more.begin(), more.end());
    CBlock* b = t.WithInputs(code, inputs);
    b->Params = params;
    t.doc.RunSimulation();
    return b->HistoryValues().front();
}

constexpr int BANG = BlockType::Bang, NEGCLIP = BlockType::NegativeClip, POSCLIP = BlockType::PositiveClip,
              LIMITER = BlockType::Limiter, DEAD = BlockType::DeadSpace;

TEST_F(NonLinear, BangAndClips) {
    EXPECT_EQ(Single(*this, BANG, 0), 0.0);
    EXPECT_EQ(Single(*this, BANG, -0.001), -1.0);
    EXPECT_EQ(Single(*this, BANG, 3, {-1, 1, 1}), -1.0);
    EXPECT_EQ(Single(*this, NEGCLIP, 0), 0.0);
    EXPECT_EQ(Single(*this, NEGCLIP, -3), 0.0);
    EXPECT_EQ(Single(*this, NEGCLIP, 2), 2.0);
    EXPECT_EQ(Single(*this, NEGCLIP, -2, {-3, 1, 1}), 6.0);
    EXPECT_EQ(Single(*this, POSCLIP, -3), -3.0);
    EXPECT_EQ(Single(*this, POSCLIP, 2), 0.0);
    EXPECT_EQ(Single(*this, POSCLIP, 2, {-3, 1, 1}), -6.0);
}

TEST_F(NonLinear, LimiterHoldsTheGainedInputBetweenItsBounds) {
    EXPECT_EQ(Single(*this, LIMITER, 7, {1, 5, -5}), 5.0);
    EXPECT_EQ(Single(*this, LIMITER, -9, {1, 5, -5}), -5.0);
    EXPECT_EQ(Single(*this, LIMITER, 3, {2, 5, -5}), 5.0) << "the gain applies before limiting";
    EXPECT_EQ(Single(*this, LIMITER, 7, {1, 1, 1}), 7.0) << "equal bounds: a plain gain";
    EXPECT_EQ(Single(*this, LIMITER, 7, {1, -5, 5}), 7.0) << "reversed bounds: no limiting";
    EXPECT_EQ(Single(*this, LIMITER, 7, {1, 5, -5}, {6, kOpen}), 6.0) << "input 2 replaces the maximum";
    EXPECT_EQ(Single(*this, LIMITER, -9, {1, 5, -5}, {kOpen, -2}), -2.0) << "input 3 replaces the minimum";
}

TEST_F(NonLinear, DeadSpaceIsFlatInsideTheBandAndContinuousAtItsEdges) {
    EXPECT_EQ(Single(*this, DEAD, 0.5, {0, 1, -1}), 0.0);
    EXPECT_EQ(Single(*this, DEAD, 3, {0, 1, -1}), 2.0);
    EXPECT_EQ(Single(*this, DEAD, -4, {0, 1, -1}), -3.0);
    EXPECT_EQ(Single(*this, DEAD, 1, {0.5, 1, -1}), 0.5);
    EXPECT_EQ(Single(*this, DEAD, 3, {0.5, 1, -1}), 2.5);
    EXPECT_EQ(Single(*this, DEAD, -4, {0.5, 1, -1}), -2.5);
    EXPECT_EQ(Single(*this, DEAD, 3, {0.5, 1, 1}), 3.5) << "no band: input plus the dead-zone value";
    EXPECT_EQ(Single(*this, DEAD, 3, {0, 1, -1}, {2.5, kOpen}), 0.5) << "input 2 replaces the upper bound";
    EXPECT_EQ(Single(*this, DEAD, -4, {0, 1, -1}, {kOpen, -3}), -1.0) << "input 3 replaces the lower bound";
}

// Input 3 - |6t - 3|: rises from 0 to 3 over the first half of the run, then falls back to 0.
CBlock* Triangle(BlockRun& t) {
    CBlock* ramp = t.WithInputs(BlockType::Sum, {kOpen, -3});
    ramp->Inputs[0] = t.doc.Clock();
    ramp->Params[0] = 6;
    CBlock* magnitude = t.Add(BlockType::Absolute);
    magnitude->Inputs[0] = ramp;
    CBlock* tri = t.WithInputs(BlockType::Sum, {kOpen, 3});
    tri->Inputs[0] = magnitude;
    tri->Params[0] = -1;
    return tri;
}

TEST_F(NonLinear, BackLashHoldsInsideThePlayAndFollowsTheBandEdgeBeyond) {
    SetClock(1e-7, 0.0625, 1.0);
    CBlock* input = Triangle(*this);
    CBlock* lash = Add(BlockType::BackLash);
    lash->Inputs[0] = input;
    lash->Params = {1, 2, 0};
    doc.RunSimulation();
    ASSERT_EQ(lash->HistorySize(), 17u);
    for (std::size_t i = 0; i < 17; ++i) {
        const double x = input->HistoryValues()[i];
        const double expected = i <= 8 ? std::max(0.0, x - 2) : std::min(1.0, x);
        EXPECT_DOUBLE_EQ(lash->HistoryValues()[i], expected) << "step " << i << ", input " << x;
    }
    EXPECT_EQ(lash->HistoryValues()[8], 1.0) << "input 3 drags the output to 1";
}

TEST_F(NonLinear, BackLashSplitsThePlayByItsDistribution) {
    SetClock(1e-7, 0.0625, 1.0);
    CBlock* input = Triangle(*this);
    CBlock* centred = Add(BlockType::BackLash);
    centred->Inputs = {input, Constant(-2), Constant(0.5)}; // width |−2|, starting at 0.5
    centred->Params = {0, 7, 9};
    CBlock* clamped = Add(BlockType::BackLash);
    clamped->Inputs[0] = input;
    clamped->Params = {5, 2, 0};
    CBlock* clampedLow = Add(BlockType::BackLash);
    clampedLow->Inputs[0] = input;
    clampedLow->Params = {-7, 2, 0};
    doc.RunSimulation();
    EXPECT_EQ(clamped->Params[0], 1.0) << "the distribution is clamped in place";
    EXPECT_EQ(clampedLow->Params[0], -1.0);
    // Distribution 0: the play lies half above, half below the state.
    double state = 0.5;
    for (std::size_t i = 0; i < centred->HistorySize(); ++i) {
        const double x = input->HistoryValues()[i];
        if (x > state + 1)
            state = x - 1;
        else if (x < state - 1)
            state = x + 1;
        EXPECT_DOUBLE_EQ(centred->HistoryValues()[i], state) << "step " << i;
    }
    // Distribution -1: the whole play lies below the state, so a rising input drags it at once.
    double low = 0;
    for (std::size_t i = 0; i < clampedLow->HistorySize(); ++i) {
        const double x = input->HistoryValues()[i];
        if (x > low)
            low = x;
        else if (x < low - 2)
            low = x + 2;
        EXPECT_DOUBLE_EQ(clampedLow->HistoryValues()[i], low) << "step " << i;
    }
}

TEST_F(NonLinear, BackLashStoresItsStateAfterTheCommonRecord) {
    CBlock* lash = Add(BlockType::BackLash);
    auto* typed = dynamic_cast<CBackLashBlock*>(lash);
    ASSERT_NE(typed, nullptr);
    typed->BacklashState = -2.25;
    CArchive out;
    lash->Serialize(out);
    CArchive common;
    lash->SerializeCommon(common);
    ASSERT_EQ(out.Bytes().size(), common.Bytes().size() + 8);
    auto copy = doc.CreateBlock(BlockType::BackLash);
    RoundTrip(*lash, *copy);
    EXPECT_EQ(dynamic_cast<CBackLashBlock&>(*copy).BacklashState, -2.25);
    for (int code : {BANG, NEGCLIP, POSCLIP, LIMITER, DEAD}) {
        CBlock* b = Add(code);
        CArchive a, c;
        b->Serialize(a);
        b->SerializeCommon(c);
        EXPECT_EQ(a.Bytes(), c.Bytes()) << code;
    }
}

} // namespace
