#include "BlockTestSupport.h"
#include "blocks/FunctionGenerator.h"
#include "model/BlockTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using FunctionGenerator = BlockRun;

// The natural spline through three equally spaced points (x0, x0 + h, x0 + 2h) at x.
double Natural3(const double (&y)[3], double x0, double h, double x) {
    const double m = 3 * (y[0] - 2 * y[1] + y[2]) / (2 * h * h);
    if (x < x0 + h) {
        const double b = (x - x0) / h, a = 1 - b;
        return a * y[0] + b * y[1] + (b * b * b - b) * m * h * h / 6;
    }
    const double b = (x - x0 - h) / h, a = 1 - b;
    return a * y[1] + b * y[2] + (a * a * a - a) * m * h * h / 6;
}

CFunctionGeneratorBlock& Fg(CBlock* b) {
    return dynamic_cast<CFunctionGeneratorBlock&>(*b);
}

// A Function Generator with ordinates (0, 1, 4) reading the constant input x.
double At(BlockRun& t, double x, std::array<double, 3> params = {1, 2, 0}) {
    CBlock* fg = t.WithInputs(BlockType::FunctionGenerator, {x});
    fg->Params = params;
    Fg(fg).SetOrdinates({0, 1, 4});
    t.doc.RunSimulation();
    return fg->HistoryValues().front();
}

TEST_F(FunctionGenerator, SpreadsTheOrdinatesEvenlyBetweenTheBounds) {
    EXPECT_EQ(At(*this, 1), 1.0);
    EXPECT_EQ(At(*this, 0), 0.0);
    EXPECT_EQ(At(*this, 2), 4.0);
    EXPECT_DOUBLE_EQ(At(*this, 0.5), 0.3125);
    EXPECT_DOUBLE_EQ(At(*this, 1.5), 2.3125);
    CBlock* fg = Add(BlockType::FunctionGenerator);
    Fg(fg).SetOrdinates({0, 1, 4});
    fg->Params = {1, 2, 0};
    Fg(fg).PrepareTable();
    EXPECT_EQ(Fg(fg).Abscissas, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(Fg(fg).SecondDerivatives, (std::vector<double>{0, 3, 0}));
    EXPECT_EQ(Fg(fg).UpperSlope, 3.5);
    EXPECT_EQ(Fg(fg).LowerSlope, 0.5);
}

TEST_F(FunctionGenerator, OutsideTheBoundsItHoldsOrExtendsTheEndTangents) {
    EXPECT_EQ(At(*this, 3, {0, 2, 0}), 4.0) << "no extrapolation: the last ordinate";
    EXPECT_EQ(At(*this, -1, {0, 2, 0}), 0.0) << "no extrapolation: the first ordinate";
    EXPECT_EQ(At(*this, 3, {1, 2, 0}), 7.5) << "4 + 1 × upper slope 3.5";
    EXPECT_EQ(At(*this, -1, {-2, 2, 0}), -0.5) << "0 - 1 × lower slope 0.5";
    // The extension has no kink: its slope matches the spline's just inside each bound.
    const double e = 1e-6;
    const double inside = (At(*this, 2 - e) - At(*this, 2 - 2 * e)) / e;
    EXPECT_NEAR(inside, 3.5, 1e-4);
    const double insideLow = (At(*this, 2 * e) - At(*this, e)) / e;
    EXPECT_NEAR(insideLow, 0.5, 1e-4);
}

TEST_F(FunctionGenerator, FewerThanThreeOrdinatesOrAnEmptySpanGiveZero) {
    CBlock* two = WithInputs(BlockType::FunctionGenerator, {0.5});
    Fg(two).SetOrdinates({3, 4});
    CBlock* none = WithInputs(BlockType::FunctionGenerator, {0.5});
    CBlock* reversed = WithInputs(BlockType::FunctionGenerator, {0.5});
    Fg(reversed).SetOrdinates({3, 4, 5});
    reversed->Params = {1, 0, 1};
    doc.RunSimulation();
    EXPECT_EQ(two->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(none->HistoryValues(), std::vector<double>(11, 0.0));
    EXPECT_EQ(reversed->HistoryValues(), std::vector<double>(11, 0.0));
}

TEST_F(FunctionGenerator, FollowsItsInputOverARun) {
    SetClock(1e-7, 0.125, 3.0);
    CBlock* fg = Add(BlockType::FunctionGenerator);
    fg->Inputs[0] = doc.Clock();
    fg->Params = {1, 2.5, 0.5};
    Fg(fg).SetOrdinates({2, -1, 3});
    doc.RunSimulation();
    const double y[3] = {2, -1, 3};
    const double upperSlope = (3 - -1) / 1.0 + 1.0 * Fg(fg).SecondDerivatives[1] / 6;
    const double lowerSlope = (-1 - 2) / 1.0 - 1.0 * Fg(fg).SecondDerivatives[1] / 6;
    for (std::size_t i = 0; i < Times().size(); ++i) {
        const double t = Times()[i];
        const double expected = t < 0.5   ? 2 + (t - 0.5) * lowerSlope
                                : t < 2.5 ? Natural3(y, 0.5, 1.0, t)
                                          : 3 + (t - 2.5) * upperSlope;
        EXPECT_NEAR(fg->HistoryValues()[i], expected, 1e-14) << "t = " << t;
    }
}

TEST_F(FunctionGenerator, ConnectedBoundsAreStoredAndTheTableFollowsThem) {
    // Upper bound 1 + t from input 2, lower bound -1 from input 3, abscissa 0.75.
    CBlock* upper = WithInputs(BlockType::Sum, {kOpen, 1});
    upper->Inputs[0] = doc.Clock();
    CBlock* fg = Add(BlockType::FunctionGenerator);
    fg->Inputs = {Constant(0.75), upper, Constant(-1)};
    fg->Params = {1, 50, 40};
    Fg(fg).SetOrdinates({0, 1, 4});
    doc.RunSimulation();
    const double y[3] = {0, 1, 4};
    for (std::size_t i = 0; i < Times().size(); ++i) {
        const double hi = 1 + Times()[i];
        EXPECT_NEAR(fg->HistoryValues()[i], Natural3(y, -1, (hi + 1) / 2, 0.75), 1e-14) << "step " << i;
    }
    EXPECT_EQ(fg->Params[1], 1 + Times().back()) << "the connected bound is kept in parameter 2";
    EXPECT_EQ(fg->Params[2], -1.0);
}

TEST_F(FunctionGenerator, ChangedOrdinatesAreUsedAtTheNextRunOrEvaluation) {
    CBlock* fg = WithInputs(BlockType::FunctionGenerator, {1.5});
    fg->Params = {1, 2, 0};
    Fg(fg).SetOrdinates({0, 1, 4});
    doc.RunSimulation();
    EXPECT_DOUBLE_EQ(fg->HistoryValues().front(), 2.3125);

    // Same length, changed in place: the next run prepares the table again.
    Fg(fg).Ordinates = {0, 2, 8};
    doc.RunSimulation();
    EXPECT_DOUBLE_EQ(fg->HistoryValues().front(), 4.625);

    // A different length between evaluations: the table is rebuilt, never mixed.
    Fg(fg).Ordinates = {0, 1, 2, 3, 4};
    fg->Compute();
    EXPECT_EQ(Fg(fg).Abscissas.size(), 5u);
    EXPECT_NEAR(fg->Value, 3.0, 1e-15);
    Fg(fg).Ordinates = {1, 1};
    fg->Compute();
    EXPECT_EQ(fg->Value, 0.0);
    EXPECT_TRUE(Fg(fg).Abscissas.empty());

    // A changed bound parameter between evaluations.
    Fg(fg).SetOrdinates({0, 1, 4});
    fg->Params[1] = 3; // abscissas 0, 1.5, 3
    fg->Compute();
    EXPECT_EQ(fg->Value, 1.0);
}

TEST_F(FunctionGenerator, StoresItsOrdinatesAfterTheCommonRecord) {
    CBlock* fg = Add(BlockType::FunctionGenerator);
    Fg(fg).SetOrdinates({1, -2.5, 1e300, 4});
    fg->Compute();
    ASSERT_EQ(Fg(fg).Abscissas.size(), 4u);
    CArchive out, common;
    fg->Serialize(out);
    fg->SerializeCommon(common);
    EXPECT_EQ(out.Bytes().size(), common.Bytes().size() + 4 + 4 * 8);
    CBlock* copy = Add(BlockType::FunctionGenerator);
    Fg(copy).SetOrdinates({9, 9, 9});
    copy->Compute();
    RoundTrip(*fg, *copy);
    EXPECT_EQ(Fg(copy).Ordinates, Fg(fg).Ordinates);
    EXPECT_TRUE(Fg(copy).Abscissas.empty()) << "the table is prepared again on first use";

    std::vector<std::uint8_t> bytes = common.Bytes();
    for (std::uint8_t b : {0x00, 0x00, 0x00, 0x40})
        bytes.push_back(b);
    CArchive bad(bytes);
    EXPECT_THROW(copy->Serialize(bad), CArchiveException);
}

} // namespace
