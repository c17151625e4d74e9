#include "BlockTestSupport.h"
#include "blocks/ArithmeticBlocks.h"
#include "blocks/TimeBlocks.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Arithmetic = BlockRun;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST_F(Arithmetic, SumAddsConnectedInputsTimesTheirGainsInInputOrder) {
    CBlock* none = Add(BlockType::Sum);
    CBlock* gap = WithInputs(BlockType::Sum, {2, kOpen, 5});
    gap->Params = {1, 9, -1};
    // 1e16 + 1 rounds back to 1e16, so only the order 1, 2, 3 gives 0.
    CBlock* order = WithInputs(BlockType::Sum, {1e16, 1, -1e16});
    CBlock* withTime = Add(BlockType::Sum);
    withTime->Inputs[0] = doc.Clock();
    withTime->Params[0] = 3;
    doc.RunSimulation();
    EXPECT_EQ(none->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(gap->HistoryValues().front(), -3.0) << "parameter 2 is ignored while input 2 is empty";
    EXPECT_EQ(order->HistoryValues().front(), 0.0);
    ASSERT_EQ(withTime->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i)
        EXPECT_EQ(withTime->HistoryValues()[i], Times()[i] * 3);
}

TEST_F(Arithmetic, MultiplyFoldsInputIntoTheRunningValueBeforeTheGain) {
    CBlock* none = Add(BlockType::Multiply);
    CBlock* plain = WithInputs(BlockType::Multiply, {4, 5, 6});
    plain->Params = {2, 3, 0.5};
    // (1e300 × 1e10) overflows before the gain 1e-10 could bring it back.
    CBlock* order = WithInputs(BlockType::Multiply, {1e10, 1e300});
    order->Params = {1, 1e-10, 1};
    CBlock* gap = WithInputs(BlockType::Multiply, {kOpen, 3, kOpen});
    gap->Params = {0, 2, 0};
    doc.RunSimulation();
    EXPECT_EQ(none->HistoryValues().front(), 1.0);
    EXPECT_EQ(plain->HistoryValues().front(), 360.0);
    EXPECT_EQ(order->HistoryValues().front(), kInf);
    EXPECT_EQ(gap->HistoryValues().front(), 6.0) << "the gains of empty inputs take no part";
}

TEST_F(Arithmetic, DivideByAZeroInputStopsTheRunAndKeepsTheLastValue) {
    // Denominator t - 0.5 reaches exactly 0 at the sixth output step (0.5 is reached exactly
    // by adding 0.1 five times).
    CBlock* shift = WithInputs(BlockType::Sum, {kOpen, -0.5});
    shift->Inputs[0] = doc.Clock();
    CBlock* divide = Add(BlockType::Divide);
    divide->Inputs = {Constant(6), shift, nullptr};
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Divide by zero in block Divide at time 0.5");
    EXPECT_EQ(platform.messages.shown[0].caption, "RunTime Error");
    EXPECT_EQ(platform.messages.shown[0].buttons, MB_OK);
    EXPECT_EQ(platform.messages.shown[0].icon, MB_ICONERROR);
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Failed);
    ASSERT_EQ(divide->HistorySize(), 6u) << "the failing step is still recorded";
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(divide->HistoryValues()[i], 6.0 / (Times()[i] - 0.5));
    EXPECT_EQ(divide->HistoryValues()[5], divide->HistoryValues()[4]);
    EXPECT_EQ(doc.Stopped, 1);
}

TEST_F(Arithmetic, DivideNamesTheBlockAndFormatsTheTimeWithSixDigits) {
    CBlock* divide = Add(BlockType::Divide);
    divide->Name = "Ratio";
    // The denominator is the integer part of 4t - 2: -2, -1, -1, then -0.0 at t = 0.375.
    CBlock* scaled = WithInputs(BlockType::Sum, {kOpen, -2.0});
    scaled->Inputs[0] = doc.Clock();
    scaled->Params[0] = 4.0;
    CBlock* trunc = Add(BlockType::Integer);
    trunc->Inputs[0] = scaled;
    divide->Inputs = {Constant(1), trunc, nullptr};
    SetClock(1e-7, 0.125, 2.0);
    doc.RunSimulation();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, "Divide by zero in block Ratio at time 0.375");
}

TEST_F(Arithmetic, AZeroGainDenominatorIsNotReported) {
    CBlock* zeroOverZero = WithInputs(BlockType::Divide, {0, 0});
    zeroOverZero->Params[1] = 0;
    CBlock* sixOverZero = WithInputs(BlockType::Divide, {6, 0});
    sixOverZero->Params[1] = 0;
    CBlock* underflow = WithInputs(BlockType::Divide, {6, 1e-200});
    underflow->Params[1] = 1e-200; // the product underflows to 0 although neither factor is 0
    CBlock* scaled = WithInputs(BlockType::Divide, {6, 4});
    scaled->Params = {3, 0.5, 1};
    doc.RunSimulation();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(doc.LastRunOutcome, RunOutcome::Completed);
    EXPECT_TRUE(std::isnan(zeroOverZero->HistoryValues().back()));
    EXPECT_EQ(sixOverZero->HistoryValues().back(), kInf);
    EXPECT_EQ(underflow->HistoryValues().back(), kInf);
    EXPECT_EQ(scaled->HistoryValues().back(), 9.0);
}

TEST_F(Arithmetic, PowerAndSquareRootKeepTheSignOfTheBase) {
    CBlock* cube = WithInputs(BlockType::Power, {-8, 1.0 / 3.0});
    CBlock* square = WithInputs(BlockType::Power, {-2, 2});
    CBlock* gains = WithInputs(BlockType::Power, {-1, 1});
    gains->Params = {3, 2, 1}; // (-3) ^ 2 → -9
    CBlock* zero = WithInputs(BlockType::Power, {0, -1});
    CBlock* root = WithInputs(BlockType::SquareRoot, {-9});
    CBlock* rootGain = WithInputs(BlockType::SquareRoot, {2});
    rootGain->Params[0] = 8;
    doc.RunSimulation();
    EXPECT_NEAR(cube->HistoryValues().front(), -2.0, 1e-15);
    EXPECT_EQ(square->HistoryValues().front(), -4.0);
    EXPECT_EQ(gains->HistoryValues().front(), -9.0);
    EXPECT_EQ(zero->HistoryValues().front(), kInf) << "0 to a negative power";
    EXPECT_EQ(root->HistoryValues().front(), -3.0);
    EXPECT_EQ(rootGain->HistoryValues().front(), 4.0);
}

TEST_F(Arithmetic, SingleInputBlocks) {
    CBlock* negate = WithInputs(BlockType::Negate, {2.5});
    negate->Params[0] = 2;
    CBlock* gain = WithInputs(BlockType::Gain, {2.5});
    gain->Params[0] = -4;
    CBlock* absolute = WithInputs(BlockType::Absolute, {-3});
    absolute->Params[0] = -2; // the gain applies after the magnitude
    CBlock* intNeg = WithInputs(BlockType::Integer, {-2.7});
    CBlock* intPos = WithInputs(BlockType::Integer, {2.7});
    CBlock* intGain = WithInputs(BlockType::Integer, {1.3});
    intGain->Params[0] = 3; // 3.9 → 3
    CBlock* offset = WithInputs(BlockType::Offset, {4.5});
    CBlock* offsetSet = WithInputs(BlockType::Offset, {4.5});
    offsetSet->Params[0] = -1.5;
    doc.RunSimulation();
    EXPECT_EQ(negate->HistoryValues().front(), -5.0);
    EXPECT_EQ(gain->HistoryValues().front(), -10.0);
    EXPECT_EQ(absolute->HistoryValues().front(), -6.0);
    EXPECT_EQ(intNeg->HistoryValues().front(), -2.0);
    EXPECT_EQ(intPos->HistoryValues().front(), 2.0);
    EXPECT_EQ(intGain->HistoryValues().front(), 3.0);
    EXPECT_EQ(offset->HistoryValues().front(), 4.5) << "a new Offset passes its input through";
    EXPECT_EQ(offsetSet->HistoryValues().front(), 3.0);
}

TEST_F(Arithmetic, ModuloTakesTheSignOfTheDividendAndPrefersInputTwo) {
    CBlock* negative = WithInputs(BlockType::Modulo, {-7});
    negative->Params[1] = 3;
    CBlock* byZero = WithInputs(BlockType::Modulo, {-7});
    byZero->Params[1] = 0;
    CBlock* byInput = WithInputs(BlockType::Modulo, {7.5, 2});
    byInput->Params = {2, 100, 1}; // 15 mod 2, the parameter divisor ignored
    CBlock* byZeroInput = WithInputs(BlockType::Modulo, {7.5, 0});
    doc.RunSimulation();
    EXPECT_EQ(negative->HistoryValues().front(), -1.0);
    EXPECT_EQ(byZero->HistoryValues().front(), 0.0);
    EXPECT_EQ(byInput->HistoryValues().front(), 1.0);
    EXPECT_EQ(byZeroInput->HistoryValues().front(), 0.0);
}

TEST_F(Arithmetic, ConstantAndPiAreSetOnceAtTheStart) {
    CBlock* constant = Constant(-2.5);
    CBlock* pi = Add(BlockType::Pi);
    CBlock* twoPi = Add(BlockType::Pi);
    twoPi->Params[0] = 2.0;
    CBlock* follower = Add(BlockType::Gain);
    follower->Inputs[0] = twoPi;
    doc.RunSimulation();
    EXPECT_EQ(constant->HistoryValues(), std::vector<double>{-2.5}) << "recorded only at time 0";
    EXPECT_EQ(pi->HistoryValues(), std::vector<double>{3.141592653589793});
    EXPECT_EQ(twoPi->Value, 2 * 3.141592653589793);
    EXPECT_EQ(follower->HistoryValues(), std::vector<double>(11, 2 * 3.141592653589793));
}

TEST_F(Arithmetic, IntegrateStartsAtItsInitialValue) {
    CBlock* byParam = Add(BlockType::Integrate);
    byParam->Inputs[0] = Constant(1);
    CBlock* byInput = Add(BlockType::Integrate);
    byInput->Inputs = {Constant(1), Constant(7), nullptr};
    byInput->Params[1] = 3;
    doc.RunSimulation();
    EXPECT_EQ(byParam->HistoryValues().front(), 0.0) << "a new Integrate starts at 0";
    EXPECT_EQ(byInput->HistoryValues().front(), 7.0) << "a connected initial value replaces parameter 2";

    // Its own Compute takes one step of the error limit along input × gain.
    byInput->Value = 1.0;
    byInput->Params[0] = 4.0;
    doc.ErrorLimit = 0.5;
    byInput->Compute();
    EXPECT_EQ(byInput->Value, 3.0);
}

TEST_F(Arithmetic, PlainTypesStoreOnlyTheCommonRecord) {
    for (int code :
         {BlockType::Divide, BlockType::Multiply, BlockType::Negate, BlockType::Power, BlockType::SquareRoot,
          BlockType::Sum, BlockType::Absolute, BlockType::Integer, BlockType::Modulo, BlockType::Offset,
          BlockType::Constant, BlockType::Pi, BlockType::Gain, BlockType::Integrate}) {
        SCOPED_TRACE(code);
        CBlock* b = Add(code);
        b->Params = {2, 3, 4};
        b->Notes = "n";
        b->SetHistory({1, 2});
        auto copy = doc.CreateBlock(code);
        CArchive out;
        b->Serialize(out);
        CArchive common;
        b->SerializeCommon(common);
        EXPECT_EQ(out.Bytes(), common.Bytes());
        RoundTrip(*b, *copy);
        EXPECT_EQ(copy->Params, b->Params);
        EXPECT_EQ(copy->HistoryValues(), b->HistoryValues());
        EXPECT_EQ(copy->Notes, "n");
    }
}

} // namespace
