#include "BlockTestSupport.h"
#include "blocks/TimeBlocks.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using TimeBlocks = BlockRun;

// ---- Decay ----

TEST_F(TimeBlocks, DecayFollowsTheExactApproachWhateverTheErrorLimit) {
    for (double errorLimit : {1e-7, 1e-2, 0.5}) {
        SetClock(errorLimit, 0.1, 3.0);
        CBlock* decay = Add(BlockType::Decay); // asymptote 1, rate 1, initial 0
        doc.RunSimulation();
        ASSERT_EQ(decay->HistorySize(), 31u);
        for (std::size_t i = 0; i < 31; ++i)
            EXPECT_NEAR(decay->HistoryValues()[i], 1 - std::exp(-Times()[i]), 1e-15)
                << "error limit " << errorLimit;
        doc.DeleteBlock(decay);
    }
}

TEST_F(TimeBlocks, DecayRestartsFromTheLastRecordTowardAMovingAsymptote) {
    // Asymptote 2t (from input 1), rate -0.5 (the magnitude counts), initial value 3 (input 3).
    CBlock* asymptote = Add(BlockType::Gain);
    asymptote->Inputs[0] = doc.Clock();
    asymptote->Params[0] = 2;
    CBlock* decay = Add(BlockType::Decay);
    decay->Inputs = {asymptote, Constant(-0.5), Constant(3)};
    decay->Params = {100, 100, 100};
    doc.RunSimulation();
    ASSERT_EQ(decay->HistorySize(), 11u);
    EXPECT_EQ(decay->HistoryValues()[0], 3.0);
    for (std::size_t i = 1; i < 11; ++i) {
        const double last = decay->HistoryValues()[i - 1];
        const double a = asymptote->HistoryValues()[i];
        const double f = (Times()[i] - Times()[i - 1]) / 0.5;
        EXPECT_DOUBLE_EQ(decay->HistoryValues()[i], last + (a - last) * (1 - std::exp(-f))) << "step " << i;
    }
}

TEST_F(TimeBlocks, DecayJumpsToTheAsymptoteForAZeroOrVeryFastRate) {
    CBlock* zero = Add(BlockType::Decay);
    zero->Params = {4, 0, -1};
    CBlock* fast = Add(BlockType::Decay);
    fast->Params = {4, 1e-5, -1}; // dt / |R| = 10000 > 660
    // From a NaN start only the jump reaches the asymptote; the formula keeps the NaN.
    CBlock* fastFromNaN = Add(BlockType::Decay);
    fastFromNaN->Params = {4, 1e-5, std::nan("")};
    CBlock* slowFromNaN = Add(BlockType::Decay);
    slowFromNaN->Params = {4, 0.1 / 600, std::nan("")}; // dt / |R| ≈ 600
    doc.RunSimulation();
    std::vector<double> expected(11, 4.0);
    expected[0] = -1.0;
    EXPECT_EQ(zero->HistoryValues(), expected);
    EXPECT_EQ(fast->HistoryValues(), expected);
    EXPECT_EQ(fastFromNaN->HistoryValues()[1], 4.0);
    EXPECT_TRUE(std::isnan(slowFromNaN->HistoryValues()[1]));
}

// ---- Delay ----

TEST_F(TimeBlocks, DelayOfAStraightLineIsTheLineShifted) {
    SetClock(1e-7, 0.1, 30.0);
    CBlock* delay = Add(BlockType::Delay);
    delay->Inputs[0] = doc.Clock();
    delay->Params = {1, 0.25, 1};
    doc.RunSimulation();
    ASSERT_EQ(delay->HistorySize(), 301u);
    EXPECT_EQ(delay->HistoryValues()[0], 1.0) << "the initial value until the delay has passed";
    EXPECT_EQ(delay->HistoryValues()[1], 1.0);
    EXPECT_EQ(delay->HistoryValues()[2], 1.0);
    for (std::size_t i = 3; i < 301; ++i)
        EXPECT_NEAR(delay->HistoryValues()[i], Times()[i] - 0.25, 1e-12) << "step " << i;
    auto* typed = dynamic_cast<CDelayBlock*>(delay);
    EXPECT_EQ(typed->InputHistory, Times()) << "input 1 is sampled at every output step";
}

TEST_F(TimeBlocks, DelayWithoutDelayPassesTheInputAndBeforeItsTimeGivesTheInitialValue) {
    CBlock* none = Add(BlockType::Delay);
    none->Inputs[0] = doc.Clock();
    none->Params[1] = 0;
    CBlock* negative = Add(BlockType::Delay);
    negative->Inputs = {doc.Clock(), Constant(-1), nullptr}; // input 2 replaces the delay
    CBlock* late = Add(BlockType::Delay);
    late->Inputs[0] = doc.Clock();
    late->Params[1] = 5;
    CBlock* lateInput = Add(BlockType::Delay);
    lateInput->Inputs = {doc.Clock(), nullptr, Constant(-8)};
    lateInput->Params = {1, 5, 2};
    doc.RunSimulation();
    EXPECT_EQ(none->HistoryValues(), Times());
    EXPECT_EQ(negative->HistoryValues(), Times());
    EXPECT_EQ(late->HistoryValues(), std::vector<double>(11, 1.0));
    EXPECT_EQ(lateInput->HistoryValues(), std::vector<double>(11, -8.0));
}

// The Delay of t² (a Multiply of the clock by itself) at the step `at` of a run with output
// interval 1/8.
double DelayOfSquare(BlockRun& t, double delay, std::size_t at) {
    t.SetClock(1e-7, 0.125, 2.0);
    CBlock* square = t.Add(BlockType::Multiply);
    square->Inputs = {t.doc.Clock(), t.doc.Clock(), nullptr};
    CBlock* d = t.Add(BlockType::Delay);
    d->Inputs[0] = square;
    d->Params[1] = delay;
    t.doc.RunSimulation();
    return d->HistoryValues().at(at);
}

TEST_F(TimeBlocks, DelayEqualToTheTimeInterpolatesToTheFirstSample) {
    // t = 0.25 = D: a straight line between the first sample and the present, at its start.
    SetClock(1e-7, 0.125, 1.0);
    CBlock* shifted = WithInputs(BlockType::Sum, {kOpen, 5});
    shifted->Inputs[0] = doc.Clock();
    CBlock* d = Add(BlockType::Delay);
    d->Inputs[0] = shifted;
    d->Params = {1, 0.25, 1};
    doc.RunSimulation();
    EXPECT_EQ(d->HistoryValues()[1], 1.0);
    EXPECT_EQ(d->HistoryValues()[2], 5.0) << "not the initial value";
}

TEST_F(TimeBlocks, DelayEarlyInTheRunDrawsALineFromTheFirstSampleToThePresent) {
    // D = 1/16 at t = 1/8: one sample before, one point after → a line from (0, 0) to
    // (1/8, 1/64), read at 1/16.
    EXPECT_DOUBLE_EQ(DelayOfSquare(*this, 0.0625, 1), 0.0078125);
}

TEST_F(TimeBlocks, DelayFitsThreePointsWithThePresentAsTheLast) {
    // D = 1/16 at t = 1/4: samples at 0 and 1/8 and the present (1/4, 1/16). The natural spline
    // through three equally spaced points of t² has curvature 3 in the middle, so at 3/16 it
    // gives 2.3125 h² with h = 1/8.
    EXPECT_DOUBLE_EQ(DelayOfSquare(*this, 0.0625, 2), 2.3125 * 0.015625);
}

TEST_F(TimeBlocks, DelayFitsFourPointsAroundTheDelayedTime) {
    // D = 3/16 at t = 1/2: samples at 1/8, 1/4, 3/8 and the present (1/2). The natural spline
    // through four equally spaced points of t² (x = 1..4 h) has curvature 12/5 at both inner
    // points, so halfway between 1/4 and 3/8 it gives 6.2 h².
    EXPECT_DOUBLE_EQ(DelayOfSquare(*this, 0.1875, 4), 6.2 * 0.015625);
}

TEST_F(TimeBlocks, DelayUsesOnlyRecordedSamplesOnceThePresentIsFarEnough) {
    // D = 5/8 at t = 1: samples 2, 3 before t - D = 3/8 = sample 3, and 4, 5 after. The
    // spline passes through its points, so the value is exactly the sample at 3/8.
    EXPECT_DOUBLE_EQ(DelayOfSquare(*this, 0.625, 8), 0.140625);
}

TEST_F(TimeBlocks, DelayStoresItsInputSamplesAfterTheCommonRecord) {
    CBlock* d = Add(BlockType::Delay);
    auto& typed = dynamic_cast<CDelayBlock&>(*d);
    typed.InputHistory = {1.5, -2, 3e10};
    CArchive out, common;
    d->Serialize(out);
    d->SerializeCommon(common);
    EXPECT_EQ(out.Bytes().size(), common.Bytes().size() + 4 + 3 * 8);
    auto copy = doc.CreateBlock(BlockType::Delay);
    RoundTrip(*d, *copy);
    EXPECT_EQ(dynamic_cast<CDelayBlock&>(*copy).InputHistory, typed.InputHistory);

    // A sample count larger than the rest of the record is refused before anything is allocated.
    std::vector<std::uint8_t> bytes = common.Bytes();
    for (std::uint8_t b : {0xFF, 0xFF, 0xFF, 0x0F})
        bytes.push_back(b);
    CArchive bad(bytes);
    EXPECT_THROW(copy->Serialize(bad), CArchiveException);
}

TEST_F(TimeBlocks, ANewRunForgetsTheSamplesOfTheLastOne) {
    CBlock* d = Add(BlockType::Delay);
    d->Inputs[0] = doc.Clock();
    doc.RunSimulation();
    doc.RunSimulation();
    EXPECT_EQ(dynamic_cast<CDelayBlock&>(*d).InputHistory.size(), 11u);
    EXPECT_EQ(d->HistorySize(), 11u);
}

TEST_F(TimeBlocks, IntegrateAndDecayStoreOnlyTheCommonRecord) {
    for (int code : {BlockType::Decay, BlockType::Integrate}) {
        CBlock* b = Add(code);
        CArchive a, c;
        b->Serialize(a);
        b->SerializeCommon(c);
        EXPECT_EQ(a.Bytes(), c.Bytes()) << code;
    }
}

} // namespace
