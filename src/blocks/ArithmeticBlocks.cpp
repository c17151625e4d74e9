#include "blocks/ArithmeticBlocks.h"

#include "model/Arith.h"
#include "platform/Archive.h"
#include "platform/Text.h"

#include <cmath>

using kintra::Add;
using kintra::Mul;

namespace {
constexpr double kPi = 3.141592653589793;
} // namespace

// ---- Sum ----

CSumBlock::CSumBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CSumBlock)
int CSumBlock::Initialize() {
    return 1;
}
void CSumBlock::Compute() {
    double v = 0.0;
    for (int i = 0; i < 3; ++i)
        if (Inputs[i]) v = Add(v, Mul(Inputs[i]->Value, Params[i]));
    Value = v;
}

// ---- Multiply ----

CMultiplyBlock::CMultiplyBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CMultiplyBlock)
int CMultiplyBlock::Initialize() {
    return 1;
}
void CMultiplyBlock::Compute() {
    double v = 1.0;
    for (int i = 0; i < 3; ++i)
        if (Inputs[i]) v = Mul(Mul(v, Inputs[i]->Value), Params[i]);
    Value = v;
}

// ---- Divide ----

CDivideBlock::CDivideBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CDivideBlock)
int CDivideBlock::Initialize() {
    return 1;
}
void CDivideBlock::Compute() {
    const double denominator = InputOr(1, 0.0);
    // Only a zero input is reported; a zero gain divides by zero under IEEE rules.
    if (denominator == 0.0 && Params[1] != 0.0) {
        const double t = Document ? Document->CurrentTime : 0.0;
        const std::string text = "Divide by zero in block " + Name + " at time " + FormatString("%g", t);
        if (Document) Document->RunTimeError(text);
        return;
    }
    // Of two NaNs in the divisor, the input's is kept (the running product's in Multiply), as
    // optimized builds have always computed these blocks.
    Value = Mul(InputOr(0, 0.0), Params[0]) / Mul(denominator, Params[1]);
}

// ---- Negate ----

CNegateBlock::CNegateBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CNegateBlock)
int CNegateBlock::Initialize() {
    return 1;
}
void CNegateBlock::Compute() {
    Value = -Mul(InputOr(0, 0.0), Params[0]);
}

// ---- Power ----

CPowerBlock::CPowerBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CPowerBlock)
int CPowerBlock::Initialize() {
    return 1;
}
void CPowerBlock::Compute() {
    const double base = Mul(InputOr(0, 0.0), Params[0]);
    const double exponent = Mul(InputOr(1, 0.0), Params[1]);
    const double r = std::pow(std::fabs(base), exponent);
    Value = base >= 0 ? r : -r;
}

// ---- Square Root ----

CSquareRootBlock::CSquareRootBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CSquareRootBlock)
int CSquareRootBlock::Initialize() {
    return 1;
}
void CSquareRootBlock::Compute() {
    const double a = Mul(InputOr(0, 0.0), Params[0]);
    const double r = std::sqrt(std::fabs(a));
    Value = a >= 0 ? r : -r;
}

// ---- Gain ----

CGainBlock::CGainBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CGainBlock)
int CGainBlock::Initialize() {
    return 1;
}
void CGainBlock::Compute() {
    Value = Mul(InputOr(0, 0.0), Params[0]);
}

// ---- Absolute ----

CAbsoluteBlock::CAbsoluteBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CAbsoluteBlock)
int CAbsoluteBlock::Initialize() {
    return 1;
}
void CAbsoluteBlock::Compute() {
    Value = Mul(std::fabs(InputOr(0, 0.0)), Params[0]);
}

// ---- Integer ----

CIntegerBlock::CIntegerBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CIntegerBlock)
int CIntegerBlock::Initialize() {
    return 1;
}
void CIntegerBlock::Compute() {
    const double x = Mul(InputOr(0, 0.0), Params[0]);
    Value = x - std::fmod(x, 1.0);
}

// ---- Modulo ----

CModuloBlock::CModuloBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CModuloBlock)
int CModuloBlock::Initialize() {
    return 1;
}
void CModuloBlock::Compute() {
    const double divisor = InputOr(1, Params[1]);
    Value = divisor == 0.0 ? 0.0 : std::fmod(Mul(InputOr(0, 0.0), Params[0]), divisor);
}

// ---- Offset ----

COffsetBlock::COffsetBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Params[0] = 0.0;
}
KINTRA_COMMON_RECORD_ONLY(COffsetBlock)
int COffsetBlock::Initialize() {
    return 1;
}
void COffsetBlock::Compute() {
    Value = Add(InputOr(0, 0.0), Params[0]);
}

// ---- Constant ----

CConstantBlock::CConstantBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    AtFirst = 1;
}
KINTRA_COMMON_RECORD_ONLY(CConstantBlock)
int CConstantBlock::Initialize() {
    Value = Params[0];
    return 1;
}
void CConstantBlock::Compute() {}

// ---- Pi ----

CPiBlock::CPiBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    AtFirst = 1;
}
KINTRA_COMMON_RECORD_ONLY(CPiBlock)
int CPiBlock::Initialize() {
    Value = Params[0] * kPi;
    return 1;
}
void CPiBlock::Compute() {}
