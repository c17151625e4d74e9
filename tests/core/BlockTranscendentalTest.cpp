#include "BlockTestSupport.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Transcendental = BlockRun;
constexpr double kPi = 3.141592653589793;

TEST_F(Transcendental, SignPreservingLogarithmsAndDecibels) {
    CBlock* log10Neg = WithInputs(BlockType::Log10, {-100});
    CBlock* log10Zero = WithInputs(BlockType::Log10, {0});
    CBlock* log10Small = WithInputs(BlockType::Log10, {0.01});
    CBlock* log10Gain = WithInputs(BlockType::Log10, {-10});
    log10Gain->Params[0] = 100; // -1000
    CBlock* lnNeg = WithInputs(BlockType::LogE, {-std::exp(1.0)});
    CBlock* lnZero = WithInputs(BlockType::LogE, {0});
    CBlock* dbNeg = WithInputs(BlockType::Decibel, {-10});
    CBlock* dbSmall = WithInputs(BlockType::Decibel, {0.1});
    CBlock* dbZero = WithInputs(BlockType::Decibel, {0});
    CBlock* dbGain = WithInputs(BlockType::Decibel, {5});
    dbGain->Params[0] = -20; // -100 → 40 dB
    doc.RunSimulation();
    EXPECT_DOUBLE_EQ(log10Neg->HistoryValues().front(), -2.0);
    EXPECT_EQ(log10Zero->HistoryValues().front(), 0.0);
    EXPECT_DOUBLE_EQ(log10Small->HistoryValues().front(), -2.0);
    EXPECT_DOUBLE_EQ(log10Gain->HistoryValues().front(), -3.0);
    EXPECT_DOUBLE_EQ(lnNeg->HistoryValues().front(), -1.0);
    EXPECT_EQ(lnZero->HistoryValues().front(), 0.0);
    EXPECT_DOUBLE_EQ(dbNeg->HistoryValues().front(), 20.0);
    EXPECT_DOUBLE_EQ(dbSmall->HistoryValues().front(), -20.0);
    EXPECT_EQ(dbZero->HistoryValues().front(), 0.0);
    EXPECT_DOUBLE_EQ(dbGain->HistoryValues().front(), 40.0);
}

TEST_F(Transcendental, ArcTangentTakesInputOneFirstAndScalesBothByParameterOne) {
    CBlock* quadrant = WithInputs(BlockType::ArcTangent, {1, -1});
    quadrant->Params[1] = 5; // shown but not used
    CBlock* single = WithInputs(BlockType::ArcTangent, {1});
    CBlock* negated = WithInputs(BlockType::ArcTangent, {1, 1});
    negated->Params[0] = -1;
    CBlock* scaledSingle = WithInputs(BlockType::ArcTangent, {0.5});
    scaledSingle->Params[0] = -2;
    doc.RunSimulation();
    EXPECT_DOUBLE_EQ(quadrant->HistoryValues().front(), 3 * kPi / 4);
    EXPECT_DOUBLE_EQ(single->HistoryValues().front(), kPi / 4);
    EXPECT_DOUBLE_EQ(negated->HistoryValues().front(), -3 * kPi / 4);
    EXPECT_DOUBLE_EQ(scaledSingle->HistoryValues().front(), -kPi / 4);
}

TEST_F(Transcendental, TrigonometryAndExponentFollowTheirInputOverTime) {
    CBlock* sine = Add(BlockType::Sine);
    CBlock* cosine = Add(BlockType::Cosine);
    CBlock* expo = Add(BlockType::Exponent);
    for (CBlock* b : {sine, cosine, expo}) {
        b->Inputs[0] = doc.Clock();
        b->Params[0] = 3;
    }
    CBlock* expZero = WithInputs(BlockType::Exponent, {0});
    expZero->Params[0] = -123;
    doc.RunSimulation();
    ASSERT_EQ(sine->HistorySize(), 11u);
    for (std::size_t i = 0; i < 11; ++i) {
        const double x = Times()[i] * 3;
        EXPECT_EQ(sine->HistoryValues()[i], std::sin(x));
        EXPECT_EQ(cosine->HistoryValues()[i], std::cos(x));
        EXPECT_EQ(expo->HistoryValues()[i], std::exp(x));
    }
    EXPECT_EQ(expZero->HistoryValues().front(), 1.0);
}

} // namespace
