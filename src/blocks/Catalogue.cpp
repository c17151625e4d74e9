#include "blocks/Catalogue.h"

#include "blocks/ArithmeticBlocks.h"
#include "blocks/FunctionGenerator.h"
#include "blocks/GeneratorBlocks.h"
#include "blocks/LogicBlocks.h"
#include "blocks/NonLinearBlocks.h"
#include "blocks/TimeBlocks.h"
#include "blocks/TranscendentalBlocks.h"
#include "model/ClockBlock.h"

namespace {
template <class T> std::unique_ptr<CBlock> Make(const CBlockTypeInfo& type, CBlockHost* document) {
    return std::make_unique<T>(type.ImageId, document, type.CommandId, type.TypeId);
}

constexpr CBlockShape kOneGain{1, 1, 1, BK_ALGEBRAIC, {"Input"}, {"Gain"}};
constexpr CBlockShape kThreeGains{
    3, 3, 0, BK_ALGEBRAIC, {"Input 1", "Input 2", "Input 3"}, {"Gain", "Gain", "Gain"}};

// One row: the type's key names its code (BlockType::Key), its insert command
// (BlockCommand::Key, which also gives the help id) and its class (CKeyBlock).
#define KINTRA_BLOCK_TYPE(Key, name, image, palette, button, ...)                                            \
    CBlockTypeInfo {                                                                                         \
        BlockType::Key, name, "C" #Key "Block", BlockCommand::Key, BlockHelpId(BlockCommand::Key), image,    \
            palette, button, __VA_ARGS__, Make<C##Key##Block>                                                \
    }

// In type-code order. The names are those of the string table, which messages use.
// Each row: key, name, picture, palette, button on it;
//           {inputs shown, parameters shown, inputs required, kind, {input captions}, {parameter captions}}
// clang-format off
const CBlockTypeInfo kTypes[] = {
    KINTRA_BLOCK_TYPE(Decay, "Decay", 167, "Time", 3,
                      {3, 3, 0, BK_ALGEBRAIC, {"Asymptote", "Approach Rate", "Initial Value"},
                       {"Asymptote", "Approach Rate", "Initial Value"}}),
    KINTRA_BLOCK_TYPE(Delay, "Delay", 166, "Time", 2,
                      {3, 3, 1, BK_ALGEBRAIC, {"Input", "Delay", "Initial Value"},
                       {"Gain", "Delay", "Initial Value"}}),
    KINTRA_BLOCK_TYPE(Integrate, "Integrate", 165, "Time", 1,
                      {2, 2, 1, BK_INTEGRATING, {"Input", "Initial Value"},
                       {"Gain", "Initial Value"}}),
    KINTRA_BLOCK_TYPE(Clock, "Clock", 175, "", 0,
                      {0, 3, 0, BK_INTEGRATING, {},
                       {"Error Limit", "Output Interval", "Simulation Time"}}),
    KINTRA_BLOCK_TYPE(Divide, "Divide", 149, "Math", 2,
                      {2, 2, 2, BK_ALGEBRAIC, {"Numerator", "Denominator"},
                       {"Gain", "Gain"}}),
    KINTRA_BLOCK_TYPE(Multiply, "Multiply", 144, "Math", 1, kThreeGains),
    KINTRA_BLOCK_TYPE(Negate, "Negate", 152, "Math", 6, kOneGain),
    KINTRA_BLOCK_TYPE(Power, "Power", 150, "Math", 3,
                      {2, 2, 2, BK_ALGEBRAIC, {"Base", "Exponent"},
                       {"Gain", "Gain"}}),
    KINTRA_BLOCK_TYPE(SquareRoot, "Square Root", 138, "Math", 4, kOneGain),
    KINTRA_BLOCK_TYPE(Sum, "Sum", 151, "Math", 5, kThreeGains),
    KINTRA_BLOCK_TYPE(ArcTangent, "ArcTangent", 170, "Transcendental", 3,
                      {2, 2, 1, BK_ALGEBRAIC, {"Input 1 (X)", "Input 2 (Y)"},
                       {"Gain", "Gain"}}),
    KINTRA_BLOCK_TYPE(Cosine, "Cosine", 169, "Transcendental", 2, kOneGain),
    KINTRA_BLOCK_TYPE(Decibel, "Decibel", 174, "Transcendental", 7, kOneGain),
    KINTRA_BLOCK_TYPE(Exponent, "Exponent", 173, "Transcendental", 6, kOneGain),
    KINTRA_BLOCK_TYPE(Log10, "Log 10", 172, "Transcendental", 5, kOneGain),
    KINTRA_BLOCK_TYPE(LogE, "Log e", 171, "Transcendental", 4, kOneGain),
    KINTRA_BLOCK_TYPE(Sine, "Sine", 168, "Transcendental", 1, kOneGain),
    KINTRA_BLOCK_TYPE(And, "AND", 180, "Logic", 1, kThreeGains),
    KINTRA_BLOCK_TYPE(ExclusiveOr, "Exclusive OR", 181, "Logic", 2, kThreeGains),
    KINTRA_BLOCK_TYPE(InclusiveOr, "Inclusive OR", 182, "Logic", 3, kThreeGains),
    KINTRA_BLOCK_TYPE(Quit, "Quit", 183, "Logic", 4,
                      {2, 2, 1, BK_SOURCE, {"Input", "Limit"},
                       {"Gain", "Limit"}}),
    KINTRA_BLOCK_TYPE(Relay, "Relay", 184, "Logic", 5,
                      {3, 1, 3, BK_ALGEBRAIC, {"On", "Off", "Switch"},
                       {"Test"}}),
    KINTRA_BLOCK_TYPE(ZeroOrderHold, "Zero Order Hold", 185, "Logic", 6,
                      {3, 3, 2, BK_SOURCE, {"Sample", "Switch", "Limit"},
                       {"Initial Value", "Current Hold", "Limit"}}),
    KINTRA_BLOCK_TYPE(Gaussian, "Gaussian", 186, "Generators", 1,
                      {3, 3, 0, BK_SOURCE, {"Mean", "Std. Dev.", "Switch"},
                       {"Mean", "Std. Dev.", "Seed"}}),
    KINTRA_BLOCK_TYPE(Jitter, "Jitter", 187, "Generators", 2,
                      {3, 3, 0, BK_SOURCE, {"Maximum Time", "Minimum Time", "Switch"},
                       {"Maximum Time", "Minimum Time", "Seed"}}),
    KINTRA_BLOCK_TYPE(SineWave, "Sine Wave Generator", 189, "Generators", 4,
                      {3, 3, 0, BK_SOURCE, {"Frequency", "Phase Angle", "Switch"},
                       {"Frequency", "Phase Angle", "Delay"}}),
    KINTRA_BLOCK_TYPE(TimePulse, "Time Pulse Generator", 190, "Generators", 5,
                      {3, 3, 0, BK_SOURCE, {"Period", "Magnitude", "Switch"},
                       {"Period", "Magnitude", "Delay"}}),
    KINTRA_BLOCK_TYPE(Absolute, "Absolute", 191, "Non-Linear", 1, kOneGain),
    KINTRA_BLOCK_TYPE(BackLash, "Back Lash", 192, "Non-Linear", 2,
                      {3, 3, 1, BK_ALGEBRAIC, {"Input", "Backlash", "Initial Value"},
                       {"Distribution", "Backlash", "Initial Value"}}),
    KINTRA_BLOCK_TYPE(Bang, "Bang", 193, "Non-Linear", 3, kOneGain),
    KINTRA_BLOCK_TYPE(DeadSpace, "Dead Space", 194, "Non-Linear", 4,
                      {3, 3, 1, BK_ALGEBRAIC, {"Input", "Upper Bound", "Lower Bound"},
                       {"Dead Zone Value", "Upper Bound", "Lower Bound"}}),
    KINTRA_BLOCK_TYPE(FunctionGenerator, "Function Generator", 195, "Non-Linear", 5,
                      {3, 3, 1, BK_ALGEBRAIC, {"Abscissa", "Upper bound", "Lower bound"},
                       {"Extrapolation", "Upper bound", "Lower bound"}}),
    KINTRA_BLOCK_TYPE(Integer, "Integer", 196, "Non-Linear", 6, kOneGain),
    KINTRA_BLOCK_TYPE(Limiter, "Limiter", 197, "Non-Linear", 7,
                      {3, 3, 1, BK_ALGEBRAIC, {"Input", "Maximum", "Minimum"},
                       {"Gain", "Maximum", "Minimum"}}),
    KINTRA_BLOCK_TYPE(Modulo, "Modulo", 198, "Non-Linear", 8,
                      {2, 2, 1, BK_ALGEBRAIC, {"Input", "Divisor"},
                       {"Gain", "Divisor"}}),
    KINTRA_BLOCK_TYPE(NegativeClip, "Negative Clip", 199, "Non-Linear", 9, kOneGain),
    KINTRA_BLOCK_TYPE(Offset, "Offset", 200, "Non-Linear", 10,
                      {1, 1, 1, BK_ALGEBRAIC, {"Input"},
                       {"Offset"}}),
    KINTRA_BLOCK_TYPE(PositiveClip, "Positive Clip", 201, "Non-Linear", 11, kOneGain),
    KINTRA_BLOCK_TYPE(Constant, "Constant", 202, "Miscellaneous", 1,
                      {0, 1, 0, BK_CONSTANT, {},
                       {"Value"}}),
    KINTRA_BLOCK_TYPE(Pi, "Pi", 203, "Miscellaneous", 2,
                      {0, 1, 0, BK_CONSTANT, {},
                       {"Gain"}}),
    KINTRA_BLOCK_TYPE(OneShot, "One Shot", 209, "Generators", 6,
                      {3, 3, 1, BK_SOURCE, {"Trigger", "Height", "Width"},
                       {"Delay", "Height", "Width"}}),
    KINTRA_BLOCK_TYPE(Random, "Random", 188, "Generators", 3,
                      {3, 3, 0, BK_SOURCE, {"Lower Limit", "Upper Limit", "Switch"},
                       {"Lower Limit", "Upper Limit", "Seed"}}),
    KINTRA_BLOCK_TYPE(Gain, "Gain", 257, "Math", 7, kOneGain),
};
// clang-format on
#undef KINTRA_BLOCK_TYPE
} // namespace

void RegisterBlockTypes() {
    kintra::SetBlockTypeTable(kTypes);
}

std::span<const CBlockTypeInfo> kintra::BlockCatalogue() {
    return kTypes;
}
