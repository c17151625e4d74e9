#include "BlockTestSupport.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using Logic = BlockRun;

// A gate on three inputs; kOpen leaves an input unconnected.
double Gate(BlockRun& t, int code, std::vector<double> inputs, std::array<double, 3> gains = {1, 1, 1}) {
    CBlock* g = t.WithInputs(code, inputs);
    g->Params = gains;
    t.doc.RunSimulation();
    return g->HistoryValues().front();
}

constexpr int AND = BlockType::And, XOR = BlockType::ExclusiveOr, IOR = BlockType::InclusiveOr;

TEST_F(Logic, AndIsTrueWhenEveryConnectedInputIsAboveZero) {
    EXPECT_EQ(Gate(*this, AND, {}), 0.0) << "no input";
    EXPECT_EQ(Gate(*this, AND, {kOpen, 3}), 1.0);
    EXPECT_EQ(Gate(*this, AND, {kOpen, 3, -1}), 0.0);
    EXPECT_EQ(Gate(*this, AND, {0, 3, 3}), 0.0) << "zero is false";
    EXPECT_EQ(Gate(*this, AND, {1, -2, 1}, {1, -1, 1}), 1.0) << "a negative gain inverts the sense";
    EXPECT_EQ(Gate(*this, AND, {1, 1, 1}, {1, 1, 0}), 0.0);
}

TEST_F(Logic, ExclusiveOrStopsAtTheSecondTrueInput) {
    EXPECT_EQ(Gate(*this, XOR, {}), 0.0);
    EXPECT_EQ(Gate(*this, XOR, {1, 0, 1}), 0.0);
    EXPECT_EQ(Gate(*this, XOR, {1, 1, 1}), 0.0) << "input 3 is not examined after two true inputs";
    EXPECT_EQ(Gate(*this, XOR, {kOpen, kOpen, 1}), 1.0);
    EXPECT_EQ(Gate(*this, XOR, {0, 1, 0}), 1.0);
    EXPECT_EQ(Gate(*this, XOR, {0, 1, 1}), 0.0);
    EXPECT_EQ(Gate(*this, XOR, {1, kOpen, kOpen}), 1.0);
    EXPECT_EQ(Gate(*this, XOR, {1, 1, 1}, {1, -1, 1}), 0.0) << "true, false, true";
}

TEST_F(Logic, InclusiveOr) {
    EXPECT_EQ(Gate(*this, IOR, {}), 0.0);
    EXPECT_EQ(Gate(*this, IOR, {0, 0, 0}), 0.0);
    EXPECT_EQ(Gate(*this, IOR, {kOpen, kOpen, 0.5}), 1.0);
    EXPECT_EQ(Gate(*this, IOR, {-1, 0, 0}, {-1, 1, 1}), 1.0);
    EXPECT_EQ(Gate(*this, IOR, {1, 1, 1}, {0, 0, 0}), 0.0);
}

TEST_F(Logic, RelayPassesOffWhenTheSwitchEqualsTheTest) {
    CBlock* equal = WithInputs(BlockType::Relay, {10, 20, 1});
    CBlock* above = WithInputs(BlockType::Relay, {10, 20, 1.5});
    CBlock* byTest = WithInputs(BlockType::Relay, {10, 20, 1.5});
    byTest->Params[0] = 2;
    doc.RunSimulation();
    EXPECT_EQ(equal->HistoryValues().front(), 20.0);
    EXPECT_EQ(above->HistoryValues().front(), 10.0);
    EXPECT_EQ(byTest->HistoryValues().front(), 20.0);
}

TEST_F(Logic, QuitEndsTheRunSilentlyOnceTheInputFallsBelowTheLimit) {
    // Input 1 - t: below the limit 0.45 first at t = 0.6.
    CBlock* falling = WithInputs(BlockType::Sum, {kOpen, 1});
    falling->Inputs[0] = doc.Clock();
    falling->Params[0] = -1;
    CBlock* quit = Add(BlockType::Quit);
    quit->Inputs[0] = falling;
    quit->Params[1] = 0.45;
    doc.RunSimulation();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    ASSERT_EQ(Times().size(), 7u);
    EXPECT_DOUBLE_EQ(Times().back(), 0.6);
    EXPECT_EQ(falling->HistorySize(), 7u);
}

TEST_F(Logic, QuitComparesInputTimesGainWithItsLimit) {
    struct Case {
        double input, gain, limitParam, limitInput;
        bool stops;
    } cases[] = {
        {0.5, 1, 1, kOpen, true}, {1.0, 1, 1, kOpen, false}, {0.5, 2, 1, kOpen, false},
        {3, 1, 1, 5, true},       {3, 1, 5, 2, false},       {std::nan(""), 1, 1, kOpen, true},
    };
    for (const Case& c : cases) {
        COrventDoc d;
        d.OnNewDocument();
        auto add = [&](int code) {
            d.PendingBlock = d.CreateBlock(code);
            CBlock* b = d.PendingBlock.get();
            d.PlaceBlock(static_cast<int>(d.Blocks.size()), 0);
            return b;
        };
        CBlock* in = add(BlockType::Constant);
        in->Params[0] = c.input;
        CBlock* quit = add(BlockType::Quit);
        quit->Inputs[0] = in;
        quit->Params = {c.gain, c.limitParam, 1};
        if (!std::isnan(c.limitInput)) {
            CBlock* limit = add(BlockType::Constant);
            limit->Params[0] = c.limitInput;
            quit->Inputs[1] = limit;
        }
        d.RunSimulation();
        EXPECT_EQ(d.Clock()->HistorySize() < 11u, c.stops) << c.input << " x " << c.gain;
    }
}

TEST_F(Logic, ZeroOrderHoldTakesSamplesAboveTheLimitAndKeepsThemInParameterTwo) {
    // Sample 10 sin(2πt), limit 4, initial value -7.
    CBlock* sine = Add(BlockType::Sine);
    sine->Inputs[0] = doc.Clock();
    sine->Params[0] = 2 * 3.141592653589793;
    CBlock* sample = Add(BlockType::Gain);
    sample->Inputs[0] = sine;
    sample->Params[0] = 10;
    CBlock* hold = Add(BlockType::ZeroOrderHold);
    hold->Inputs = {sample, Constant(-1), nullptr};
    hold->Params = {-7, 99, 4};
    doc.RunSimulation();
    ASSERT_EQ(hold->HistorySize(), 11u);
    double held = -7;
    for (std::size_t i = 0; i < 11; ++i) {
        if (4 < sample->HistoryValues()[i]) held = sample->HistoryValues()[i];
        EXPECT_EQ(hold->HistoryValues()[i], held) << "step " << i;
    }
    EXPECT_EQ(hold->Params[1], held) << "the hold lives in parameter 2";
    EXPECT_GT(held, 4.0);
    EXPECT_EQ(hold->Params[0], -7.0);

    // The limit input replaces parameter 3; a sample equal to the limit is not taken.
    const std::vector<double> samples = sample->HistoryValues();
    hold->Inputs[2] = Constant(*std::max_element(samples.begin(), samples.end()));
    doc.RunSimulation();
    EXPECT_EQ(hold->HistoryValues(), std::vector<double>(11, -7.0))
        << "the next run starts from the initial value";
}

TEST_F(Logic, ZeroOrderHoldWithFixedSamples) {
    CBlock* above = WithInputs(BlockType::ZeroOrderHold, {5, 0, kOpen});
    above->Params[2] = 4;
    CBlock* below = WithInputs(BlockType::ZeroOrderHold, {3, 0, kOpen});
    below->Params = {2, 5, 4};
    doc.RunSimulation();
    EXPECT_EQ(above->HistoryValues(), std::vector<double>(11, 5.0));
    EXPECT_EQ(above->Params[1], 5.0);
    EXPECT_EQ(below->HistoryValues(), std::vector<double>(11, 2.0)) << "holds its initial value";
}

} // namespace
