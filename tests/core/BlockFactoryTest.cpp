#include "BlockTestSupport.h"
#include "blocks/Catalogue.h"
#include "model/ChartFile.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

// Every core test runs with the block types registered, as the programs do at start-up.
struct BlockTypesRegistered : ::testing::Environment {
    void SetUp() override { RegisterBlockTypes(); }
};
[[maybe_unused]] ::testing::Environment* const kBlockTypes =
    ::testing::AddGlobalTestEnvironment(new BlockTypesRegistered);

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
    {BlockType::Decay, "Decay", 3, 3, 0, A, {"Asymptote", "Approach Rate", "Initial Value"}, {"Asymptote", "Approach Rate", "Initial Value"}, {1, 1, 0}},
    {BlockType::Delay, "Delay", 3, 3, 1, A, {"Input", "Delay", "Initial Value"}, {"Gain", "Delay", "Initial Value"}, {1, 1, 1}},
    {BlockType::Integrate, "Integrate", 2, 2, 1, I, {"Input", "Initial Value"}, {"Gain", "Initial Value"}, {1, 0, 1}},
    {BlockType::Clock, "Clock", 0, 3, 0, I, {}, {"Error Limit", "Output Interval", "Simulation Time"}, {1e-7, 0.1, 1.0}},
    {BlockType::Divide, "Divide", 2, 2, 2, A, {"Numerator", "Denominator"}, {"Gain", "Gain"}, {1, 1, 1}},
    {BlockType::Multiply, "Multiply", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {BlockType::Negate, "Negate", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Power, "Power", 2, 2, 2, A, {"Base", "Exponent"}, {"Gain", "Gain"}, {1, 1, 1}},
    {BlockType::SquareRoot, "Square Root", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Sum, "Sum", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {BlockType::ArcTangent, "ArcTangent", 2, 2, 1, A, {"Input 1 (X)", "Input 2 (Y)"}, {"Gain", "Gain"}, {1, 1, 1}},
    {BlockType::Cosine, "Cosine", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Decibel, "Decibel", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Exponent, "Exponent", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Log10, "Log 10", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::LogE, "Log e", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Sine, "Sine", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::And, "AND", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {BlockType::ExclusiveOr, "Exclusive OR", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {BlockType::InclusiveOr, "Inclusive OR", 3, 3, 0, A, {kIn3[0], kIn3[1], kIn3[2]}, {"Gain", "Gain", "Gain"}, {1, 1, 1}},
    {BlockType::Quit, "Quit", 2, 2, 1, S, {"Input", "Limit"}, {"Gain", "Limit"}, {1, 1, 1}},
    {BlockType::Relay, "Relay", 3, 1, 3, A, {"On", "Off", "Switch"}, {"Test"}, {1, 1, 1}},
    {BlockType::ZeroOrderHold, "Zero Order Hold", 3, 3, 2, S, {"Sample", "Switch", "Limit"}, {"Initial Value", "Current Hold", "Limit"}, {1, 1, 1}},
    {BlockType::Gaussian, "Gaussian", 3, 3, 0, S, {"Mean", "Std. Dev.", "Switch"}, {"Mean", "Std. Dev.", "Seed"}, {1, 1, 1}},
    {BlockType::Jitter, "Jitter", 3, 3, 0, S, {"Maximum Time", "Minimum Time", "Switch"}, {"Maximum Time", "Minimum Time", "Seed"}, {1, 1, 1}},
    {BlockType::SineWave, "Sine Wave Generator", 3, 3, 0, S, {"Frequency", "Phase Angle", "Switch"}, {"Frequency", "Phase Angle", "Delay"}, {1, 1, 1}},
    {BlockType::TimePulse, "Time Pulse Generator", 3, 3, 0, S, {"Period", "Magnitude", "Switch"}, {"Period", "Magnitude", "Delay"}, {1, 1, 1}},
    {BlockType::Absolute, "Absolute", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::BackLash, "Back Lash", 3, 3, 1, A, {"Input", "Backlash", "Initial Value"}, {"Distribution", "Backlash", "Initial Value"}, {1, 1, 1}},
    {BlockType::Bang, "Bang", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::DeadSpace, "Dead Space", 3, 3, 1, A, {"Input", "Upper Bound", "Lower Bound"}, {"Dead Zone Value", "Upper Bound", "Lower Bound"}, {1, 1, 1}},
    {BlockType::FunctionGenerator, "Function Generator", 3, 3, 1, A, {"Abscissa", "Upper bound", "Lower bound"}, {"Extrapolation", "Upper bound", "Lower bound"}, {1, 1, 0}},
    {BlockType::Integer, "Integer", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Limiter, "Limiter", 3, 3, 1, A, {"Input", "Maximum", "Minimum"}, {"Gain", "Maximum", "Minimum"}, {1, 1, 1}},
    {BlockType::Modulo, "Modulo", 2, 2, 1, A, {"Input", "Divisor"}, {"Gain", "Divisor"}, {1, 1, 1}},
    {BlockType::NegativeClip, "Negative Clip", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Offset, "Offset", 1, 1, 1, A, {"Input"}, {"Offset"}, {0, 1, 1}},
    {BlockType::PositiveClip, "Positive Clip", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
    {BlockType::Constant, "Constant", 0, 1, 0, K, {}, {"Value"}, {1, 1, 1}},
    {BlockType::Pi, "Pi", 0, 1, 0, K, {}, {"Gain"}, {1, 1, 1}},
    {BlockType::OneShot, "One Shot", 3, 3, 1, S, {"Trigger", "Height", "Width"}, {"Delay", "Height", "Width"}, {1, 1, 1}},
    {BlockType::Random, "Random", 3, 3, 0, S, {"Lower Limit", "Upper Limit", "Switch"}, {"Lower Limit", "Upper Limit", "Seed"}, {1, 1, 1}},
    {BlockType::Gain, "Gain", 1, 1, 1, A, {"Input"}, {"Gain"}, {1, 1, 1}},
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
        EXPECT_EQ(b->ShowValue, r.code == BlockType::Quit ? 0 : 1);
        EXPECT_EQ(b->AtFirst, r.code == BlockType::Constant || r.code == BlockType::Pi ? 1 : 0);
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
        EXPECT_TRUE(b->HistoryValues().empty());
    }
}

TEST_F(BlockFactory, CodesWithoutATypeGiveNothing) {
    for (int code : {61622, 61627, 61629, 61585, 61632, 0, -1, BlockCommand::Integrate})
        EXPECT_EQ(doc.CreateBlock(code), nullptr) << code;
    EXPECT_EQ(kintra::LoadString(61627), "Wye") << "a type name alone makes no type";
    int made = 0;
    for (int code = 61500; code < 61700; ++code)
        made += doc.CreateBlock(code) != nullptr;
    EXPECT_EQ(made, 43);
}

// Messages name types through the string table and the palette shows its prompts: the catalogue
// must agree with it.
TEST(Catalogue, AgreesWithTheStringTable) {
    const auto types = kintra::BlockCatalogue();
    ASSERT_EQ(types.size(), 43u);
    int previous = 0;
    for (const CBlockTypeInfo& t : types) {
        SCOPED_TRACE(t.Name);
        EXPECT_GT(t.TypeId, previous) << "rows in type-code order";
        previous = t.TypeId;
        EXPECT_EQ(kintra::LoadString(t.TypeId), t.Name);
        EXPECT_FALSE(kintra::CommandPrompt(t.CommandId).empty());
        EXPECT_EQ(t.HelpId, t.CommandId + 0x10000);
        EXPECT_EQ(FindBlockTypeByCommand(t.CommandId), FindBlockType(t.TypeId));
    }
}

// A program that forgot to register the types gets a clear refusal, never a block-less chart.
TEST(Catalogue, WithoutRegisteredTypesNoChartOpensAndNoneIsMade) {
    TestPlatform platform;
    struct Unregistered {
        std::span<const CBlockTypeInfo> saved = kintra::BlockTypeTable();
        Unregistered() { kintra::SetBlockTypeTable({}); }
        ~Unregistered() { kintra::SetBlockTypeTable(saved); }
    } unregistered;
    COrventDoc opened;
    EXPECT_FALSE(opened.OnOpenDocument(KINTRA_TEST_DATA "/oscillator.cht"));
    EXPECT_TRUE(opened.Blocks.empty());
    COrventDoc made;
    EXPECT_FALSE(made.OnNewDocument());
    EXPECT_TRUE(made.Blocks.empty());
    ASSERT_EQ(platform.messages.shown.size(), 2u);
    for (const auto& shown : platform.messages.shown)
        EXPECT_EQ(shown.text, kintra::kNoBlockTypes);
}

TEST_F(BlockFactory, TheGainsMonochromePictureIsResource757) {
    auto gain = doc.CreateBlock(BlockType::Gain);
    EXPECT_EQ(gain->MonoImage, 757);
    EXPECT_EQ(gain->HelpId, BlockCommand::Gain + 0x10000);
}

TEST_F(BlockFactory, ANewBlockIsNeitherPlacedNorListed) {
    const std::size_t before = doc.Blocks.size();
    auto sum = doc.CreateBlock(BlockType::Sum);
    EXPECT_EQ(doc.Blocks.size(), before);
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
