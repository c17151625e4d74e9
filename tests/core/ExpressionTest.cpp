// Typed values: numbers read exactly as before, expressions with their precedence, and texts
// that are neither refused with a reason.

#include "platform/Expression.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>

namespace {
std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}
} // namespace

TEST(Expression, ValuesFollowPrecedenceAndTheOrderWritten) {
    const double pi = std::numbers::pi;
    const struct {
        const char* text;
        double value;
    } table[] = {
        {"2*pi", 2 * pi},
        {" 2 * PI ", 2 * pi},
        {"-2^2", -4},
        {"2^3^2", 512},
        {"2^-1", 0.5},
        {"-2^-2", -0.25},
        {"(-2)^2", 4},
        {"1+2*3", 7},
        {"(1+2)*3", 9},
        {"1-2-3", -4},
        {"8/4/2", 1},
        {"0.1+0.2+0.3", (0.1 + 0.2) + 0.3},
        {"0.3+0.2+0.1", (0.3 + 0.2) + 0.1},
        {"1/3*3", 1.0 / 3.0 * 3.0},
        {"--2", 2},
        {"+3-+1", 2},
        {".5*4", 2},
        {"5.*2", 10},
        {"1.5e3/1E-3", 1.5e6},
        {"2*e", 2 * std::numbers::e},
        {"sqrt(2)/2", std::sqrt(2.0) / 2},
        {"exp(1)", std::exp(1.0)},
        {"ln(10)", std::log(10.0)},
        {"log10(1000)", 3},
        {"sin(pi/6)", std::sin(pi / 6)},
        {"cos(pi)", -1},
        {"tan(1)", std::tan(1.0)},
        {"abs(-3.5)", 3.5},
        {"-sqrt(4)^2", -4},
        {"sin(1)^2+cos(1)^2", std::pow(std::sin(1.0), 2) + std::pow(std::cos(1.0), 2)},
        {"2*(3+(4-1))", 12},
        {"\u22122^2\u22121", -5},
    };
    for (const auto& row : table) {
        double v = -99;
        std::string why;
        ASSERT_TRUE(ReadNumberOrExpression(row.text, v, &why)) << row.text << ": " << why;
        EXPECT_EQ(Bits(v), Bits(row.value)) << row.text;
    }
}

TEST(Expression, EveryNumberReadsExactlyAsBefore) {
    const char* table[] = {"1e-09",
                           "-0",
                           " 12.5 ",
                           "0x1p-3",
                           "inf",
                           "-Infinity",
                           "1e999",
                           "4.9e-324",
                           "007",
                           "+.5",
                           "1.7976931348623157e308"};
    for (const char* text : table) {
        double before = 0, now = 0;
        ASSERT_TRUE(ParseDouble(text, before)) << text;
        ASSERT_TRUE(ReadNumberOrExpression(text, now)) << text;
        EXPECT_EQ(Bits(now), Bits(before)) << text;
    }
    std::mt19937_64 random(11);
    for (int i = 0; i < 3000; ++i) {
        const double d = std::bit_cast<double>(random());
        if (d != d) continue;
        for (const std::string& text :
             {FormatRoundTrip(d), FormatString("%.17g", d), FormatString("%a", d)}) {
            double v = 0;
            ASSERT_TRUE(ReadNumberOrExpression(text, v)) << text;
            ASSERT_EQ(Bits(v), Bits(d)) << text;
        }
    }
}

TEST(Expression, TextThatIsNeitherIsRefusedWithItsReason) {
    const struct {
        const char* text;
        const char* why;
    } table[] = {
        {"k", "\"k\" is not a name Kintra knows"},
        {"2**3", "\"*\" cannot stand at character 3"},
        {"2**", "\"*\" cannot stand at character 3"},
        {"", "the text is empty"},
        {"   ", "the text is empty"},
        {"1+", "the expression ends too early"},
        {"(1+2", "a \")\" is missing"},
        {"(1+2]", "\"]\" cannot stand at character 5"},
        {"2.5kg", "\"kg\" cannot stand at character 4"},
        {"2e", "\"e\" cannot stand at character 2"},
        {"3 4", "\"4\" cannot stand at character 3"},
        {"2,5", "\",\" cannot stand at character 2"},
        {"sin 1", "\"sin\" needs its argument in parentheses"},
        {"pi()", "\"(\" cannot stand at character 3"},
        {"2×3", "\"×\" cannot stand at character 2"},
        {".", "\".\" cannot stand at character 1"},
        {"nan", "\"nan\" is not a number"},
        {"1/0", "the result is not a finite number"},
        {"sqrt(-1)", "the result is not a finite number"},
        {"ln(0)", "the result is not a finite number"},
        {"10^400", "the result is not a finite number"},
        {"1e999*1", "the result is not a finite number"},
    };
    for (const auto& row : table) {
        double v = 42;
        std::string why;
        EXPECT_FALSE(ReadNumberOrExpression(row.text, v, &why)) << row.text;
        EXPECT_EQ(why, row.why) << row.text;
        EXPECT_EQ(v, 42) << row.text << " leaves the value alone";
    }
    // Deep nesting is refused, not followed until the stack runs out.
    double v = 0;
    std::string why;
    EXPECT_TRUE(ReadNumberOrExpression(std::string(150, '(') + "1" + std::string(150, ')'), v));
    EXPECT_FALSE(ReadNumberOrExpression(std::string(100000, '-') + "1", v, &why));
    EXPECT_EQ(why, "the expression is nested too deeply");
    EXPECT_EQ(
        ExpressionRefusal("Gain (parameter 1)", "\"k\" is not a name Kintra knows"),
        "Please enter a number or an expression for Gain (parameter 1): \"k\" is not a name Kintra knows.");
}
