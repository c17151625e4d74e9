#include "BlockTestSupport.h"
#include "blocks/Catalogue.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

struct Row {
    int code;
    const char* typeName;
    int inputsShown, paramsShown, required, kind;
    std::array<const char*, 3> inputLabels; // only the shown ones are checked
    std::array<const char*, 3> paramLabels;
    std::array<double, 3> params;
};

constexpr int A = BK_ALGEBRAIC, I = BK_INTEGRATING, K = BK_CONSTANT, S = BK_SOURCE;
const char* const kIn3[] = {"Input 1", "Input 2", "Input 3"};

// clang-format off
const Row kRows[] = {
    {61586, "Decay", 3, 3, 0, A, {"Asymptote", "Approach Rate", "Initial Value"}, {"Asymptote", "Approach Rate", "Initial Value"}, {1, 1, 0}},
    {61587, "Delay", 3, 3, 1, A, {"Input", "Delay", "Initial Value"}, {"Gain", "Delay", "Initial Value"}, {1, 1, 1}},
    {61588, "Integrate", 2, 2, 1, I, {"Input", "Initial Value"}, {"Gain", "Initial Value"}, {1, 0, 1}},
    {61589, "Clock", 0, 3, 0, I, {}, {"Error Limit", "Output Interval", "Simulation Time"}, {1e-7, 0.1, 1.0}},
    {61590, "Divide", 2, 2, 2, A, {"Numerator", "Denominator"}, {"Gain", "Gain"}, {1, 1, 1}},
    {61591, "Multiply", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {61592, "Negate", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61593, "Power", 2, 2, 2, A, {"Base", "Exponent"}, {"Gain", "Gain"}, {1, 1, 1}},
    {61594, "Square Root", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61595, "Sum", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {61596, "ArcTangent", 2, 2, 1, A, {"Input 1 (X)", "Input 2 (Y)"}, {"Gain", "Gain"}, {1, 1, 1}},
    {61597, "Cosine", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61598, "Decibel", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61599, "Exponent", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61600, "Log 10", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61601, "Log e", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61602, "Sine", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61603, "AND", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {61604, "Exclusive OR", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {61605, "Inclusive OR", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {61606, "Quit", 2, 2, 1, S, {"Input", "Limit"}, {"Gain", "Limit"}, {1, 1, 1}},
    {61607, "Relay", 3, 1, 3, A, {"On", "Off", "Switch"}, {"Test"}, {1, 1, 1}},
    {61608, "Zero Order Hold", 3, 3, 2, S, {"Sample", "Switch", "Limit"}, {"Initial Value", "Current Hold", "Limit"}, {1, 1, 1}},
    {61609, "Gaussian", 3, 3, 0, S, {"Mean", "Std. Dev.", "Switch"}, {"Mean", "Std. Dev.", "Seed"}, {1, 1, 1}},
    {61610, "Jitter", 3, 3, 0, S, {"Maximum Time", "Minimum Time", "Switch"}, {"Maximum Time", "Minimum Time", "Seed"}, {1, 1, 1}},
    {61611, "Sine Wave Generator", 3, 3, 0, S, {"Frequency", "Phase Angle", "Switch"}, {"Frequency", "Phase Angle", "Delay"}, {1, 1, 1}},
    {61612, "Time Pulse Generator", 3, 3, 0, S, {"Period", "Magnitude", "Switch"}, {"Period", "Magnitude", "Delay"}, {1, 1, 1}},
    {61613, "Absolute", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61614, "Back Lash", 3, 3, 1, A, {"Input", "Backlash", "Initial Value"}, {"Distribution", "Backlash", "Initial Value"}, {1, 1, 1}},
    {61615, "Bang", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61616, "Dead Space", 3, 3, 1, A, {"Input", "Upper Bound", "Lower Bound"}, {"Dead Zone Value", "Upper Bound", "Lower Bound"}, {1, 1, 1}},
    {61617, "Function Generator", 3, 3, 1, A, {"Abscissa", "Upper bound", "Lower bound"}, {"Extrapolation", "Upper bound", "Lower bound"}, {1, 1, 0}},
    {61618, "Integer", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61619, "Limiter", 3, 3, 1, A, {"Input", "Maximum", "Minimum"}, {"Gain", "Maximum", "Minimum"}, {1, 1, 1}},
    {61620, "Modulo", 2, 2, 1, A, {"Input", "Divisor"}, {"Gain", "Divisor"}, {1, 1, 1}},
    {61621, "Negative Clip", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61623, "Offset", 1, 1, 1, A, {"Input"}, {"Offset"}, {0, 1, 1}},
    {61624, "Positive Clip", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {61625, "Constant", 0, 1, 0, K, {}, {"Value"}, {1, 1, 1}},
    {61626, "Pi", 0, 1, 0, K, {}, {"Gain"}, {1, 1, 1}},
    {61628, "One Shot", 3, 3, 1, S, {"Trigger", "Height", "Width"}, {"Delay", "Height", "Width"}, {1, 1, 1}},
    {61630, "Random", 3, 3, 0, S, {"Lower Limit", "Upper Limit", "Switch"}, {"Lower Limit", "Upper Limit", "Seed"}, {1, 1, 1}},
    {61631, "Gain", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
};
// clang-format on

using BlockFactory = BlockRun;

TEST_F(BlockFactory, EveryTypeComesWithTheSettingsOfItsRow) {
    ASSERT_EQ(std::size(kRows), 43u);
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.typeName);
        std::unique_ptr<CBlock> b = doc.CreateBlock(r.code);
        ASSERT_NE(b, nullptr);
        const CBlockTypeInfo* info = FindBlockType(r.code);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(b->TypeId, r.code);
        EXPECT_EQ(b->TypeName, r.typeName);
        EXPECT_EQ(b->Name, r.typeName);
        EXPECT_EQ(b->InputsShown, r.inputsShown);
        EXPECT_EQ(b->ParamsShown, r.paramsShown);
        EXPECT_EQ(b->RequiredInputs, r.required);
        EXPECT_EQ(b->Kind, r.kind);
        EXPECT_EQ(b->ShowValue, r.code == 61606 ? 0 : 1);
        EXPECT_EQ(b->AtFirst, r.code == 61625 || r.code == 61626 ? 1 : 0);
        EXPECT_EQ(b->Invert, 0);
        EXPECT_EQ(b->Value, 0.0);
        EXPECT_EQ(b->HelpId, info->CommandId + 0x10000);
        EXPECT_EQ(b->ColorImage, info->ImageId);
        EXPECT_EQ(b->MonoImage, info->ImageId + 500);
        EXPECT_EQ(b->Document, &doc);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(b->Inputs[i], nullptr);
            EXPECT_EQ(b->Params[i], r.params[i]) << "parameter " << i + 1;
            const std::string inputDefault = kIn3[i];
            EXPECT_EQ(b->InputLabels[i], i < r.inputsShown ? std::string(r.inputLabels[i]) : inputDefault);
            EXPECT_EQ(b->ParamLabels[i],
                      i < r.paramsShown ? std::string(r.paramLabels[i]) : std::string("Gain"));
        }
        EXPECT_TRUE(b->History.empty());
    }
}

TEST_F(BlockFactory, CodesWithoutATypeGiveNothing) {
    for (int code : {61622, 61627, 61629, 61585, 61632, 0, -1, 32792})
        EXPECT_EQ(doc.CreateBlock(code), nullptr) << code;
    EXPECT_EQ(kintra::LoadString(61627), "Wye") << "a type name alone makes no type";
    int made = 0;
    for (int code = 61500; code < 61700; ++code)
        made += doc.CreateBlock(code) != nullptr;
    EXPECT_EQ(made, 43);
}

TEST_F(BlockFactory, TheGainsMonochromePictureIsResource757) {
    auto gain = doc.CreateBlock(61631);
    EXPECT_EQ(gain->MonoImage, 757);
    EXPECT_EQ(gain->HelpId, 32800 + 0x10000);
}

TEST_F(BlockFactory, ANewBlockIsNeitherPlacedNorListed) {
    const std::size_t before = doc.Blocks.size();
    auto sum = doc.CreateBlock(61595);
    EXPECT_EQ(doc.Blocks.size(), before);
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
