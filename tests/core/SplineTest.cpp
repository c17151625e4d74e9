#include "blocks/Spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(Spline, ThreePointsGetTheNaturalMiddleCurvature) {
    const std::vector<double> x{0, 1, 2}, y{0, 1, 4};
    std::vector<double> y2(3, 99.0);
    SplineSetup(y, x, y2);
    // 4 M1 = 6 (y0 - 2 y1 + y2) / h² with M0 = M2 = 0.
    EXPECT_EQ(y2, (std::vector<double>{0, 3, 0}));
    EXPECT_DOUBLE_EQ(SplineEvaluate(y, x, y2, 0.5), 0.3125);
    EXPECT_DOUBLE_EQ(SplineEvaluate(y, x, y2, 1.5), 2.3125);
    EXPECT_EQ(SplineEvaluate(y, x, y2, 1.0), 1.0);
}

TEST(Spline, CollinearPointsGiveTheirLineAtAnySpacing) {
    const std::vector<double> x{-1, -0.25, 0.5, 3, 3.125, 10};
    std::vector<double> y, y2(x.size());
    for (double v : x)
        y.push_back(2 * v - 1);
    SplineSetup(y, x, y2);
    for (double d : y2)
        EXPECT_NEAR(d, 0.0, 1e-14);
    for (double p = -1; p <= 10; p += 0.37)
        EXPECT_NEAR(SplineEvaluate(y, x, y2, p), 2 * p - 1, 1e-12) << p;
}

TEST(Spline, ALongTableFindsTheRightIntervalByBisection) {
    std::vector<double> x, y;
    for (int i = 0; i <= 40; ++i) {
        x.push_back(i * 0.1);
        y.push_back(std::sin(i * 0.1));
    }
    std::vector<double> y2(x.size());
    SplineSetup(y, x, y2);
    EXPECT_EQ(y2.front(), 0.0);
    EXPECT_EQ(y2.back(), 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(SplineEvaluate(y, x, y2, x[i]), y[i], 1e-15);
    for (double p = 0.05; p < 4; p += 0.1)
        EXPECT_NEAR(SplineEvaluate(y, x, y2, p), std::sin(p), 1e-3) << p; // loosest near the natural ends
}

TEST(Spline, ArraysOfDifferentLengthsAreNeverEvaluated) {
    const std::vector<double> x{0, 1, 2}, y{0, 1, 4, 9}, y2{0, 0, 0};
    EXPECT_EQ(SplineEvaluate(y, x, y2, 1.5), 0.0);
    EXPECT_EQ(SplineEvaluate(std::vector<double>{}, std::vector<double>{}, std::vector<double>{}, 1.0), 0.0);
    EXPECT_EQ(SplineEvaluate(std::vector<double>{5}, std::vector<double>{1}, std::vector<double>{0}, 3.0),
              5.0);
    // Two points: a straight line, extended beyond them.
    const std::vector<double> x2{0, 2}, l{1, 5}, z{0, 0};
    EXPECT_EQ(SplineEvaluate(l, x2, z, 3.0), 7.0);
}

} // namespace
