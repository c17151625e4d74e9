#include "blocks/TranscendentalBlocks.h"

#include "platform/Archive.h"

#include <cmath>

namespace {

double SignedLog(double x, double (*log)(double)) {
    if (x == 0.0) return 0.0;
    const double r = log(std::fabs(x));
    return x < 0 ? -r : r;
}
} // namespace

#define KINTRA_ONE_INPUT_BLOCK(ClassName, expression)                                                        \
    ClassName::ClassName(int imageId, CBlockHost* document, int commandId, int typeId)                       \
        : CBlock(imageId, document, commandId, typeId) {}                                                    \
    KINTRA_COMMON_RECORD_ONLY(ClassName)                                                                     \
    int ClassName::Initialize() {                                                                            \
        return 1;                                                                                            \
    }                                                                                                        \
    void ClassName::Compute() {                                                                              \
        const double x = InputOr(0, 0.0) * Params[0];                                                        \
        Value = (expression);                                                                                \
    }

KINTRA_ONE_INPUT_BLOCK(CSineBlock, std::sin(x))
KINTRA_ONE_INPUT_BLOCK(CCosineBlock, std::cos(x))
KINTRA_ONE_INPUT_BLOCK(CExponentBlock, std::exp(x))
KINTRA_ONE_INPUT_BLOCK(CLog10Block, SignedLog(x, [](double v) { return std::log10(v); }))
KINTRA_ONE_INPUT_BLOCK(CLogEBlock, SignedLog(x, [](double v) { return std::log(v); }))
KINTRA_ONE_INPUT_BLOCK(CDecibelBlock, x == 0.0 ? 0.0 : 10.0 * std::log10(std::pow(x, 2.0)))

CArcTangentBlock::CArcTangentBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CArcTangentBlock)
int CArcTangentBlock::Initialize() {
    return 1;
}
void CArcTangentBlock::Compute() {
    const double x = InputOr(0, 0.0) * Params[0];
    Value = Inputs[1] ? std::atan2(x, Inputs[1]->Value * Params[0]) : std::atan(x);
}
