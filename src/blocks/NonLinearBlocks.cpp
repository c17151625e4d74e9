#include "blocks/NonLinearBlocks.h"

#include "platform/Archive.h"

#include <cmath>

namespace {} // namespace

// ---- Bang, Negative Clip, Positive Clip ----

CBangBlock::CBangBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CBangBlock)
int CBangBlock::Initialize() {
    return 1;
}
void CBangBlock::Compute() {
    const double x = InputOr(0, 0.0) * Params[0];
    Value = x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0;
}

CNegativeClipBlock::CNegativeClipBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CNegativeClipBlock)
int CNegativeClipBlock::Initialize() {
    return 1;
}
void CNegativeClipBlock::Compute() {
    const double x = InputOr(0, 0.0) * Params[0];
    Value = x > 0 ? x : 0.0;
}

CPositiveClipBlock::CPositiveClipBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CPositiveClipBlock)
int CPositiveClipBlock::Initialize() {
    return 1;
}
void CPositiveClipBlock::Compute() {
    const double x = InputOr(0, 0.0) * Params[0];
    Value = x < 0 ? x : 0.0;
}

// ---- Limiter ----

CLimiterBlock::CLimiterBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CLimiterBlock)
int CLimiterBlock::Initialize() {
    return 1;
}
void CLimiterBlock::Compute() {
    const double x = InputOr(0, 0.0) * Params[0];
    Value = x;
    const double hi = InputOr(1, Params[1]);
    const double lo = InputOr(2, Params[2]);
    if (lo < hi) {
        if (x > hi) Value = hi;
        if (lo > Value) Value = lo;
    }
}

// ---- Dead Space ----

CDeadSpaceBlock::CDeadSpaceBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CDeadSpaceBlock)
int CDeadSpaceBlock::Initialize() {
    return 1;
}
void CDeadSpaceBlock::Compute() {
    const double v = InputOr(0, 0.0);
    const double d = Params[0];
    const double hi = InputOr(1, Params[1]);
    const double lo = InputOr(2, Params[2]);
    if (lo >= hi)
        Value = v + d;
    else if (v < lo)
        Value = v - lo + d;
    else if (v > hi)
        Value = v - hi + d;
    else
        Value = d;
}

// ---- Back Lash ----

CBackLashBlock::CBackLashBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    BacklashState = Params[2];
}

void CBackLashBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring())
        ar.WriteDouble(BacklashState);
    else
        BacklashState = ar.ReadDouble();
}

int CBackLashBlock::Initialize() {
    if (Params[0] > 1.0) Params[0] = 1.0;
    if (Params[0] < -1.0) Params[0] = -1.0;
    BacklashState = InputOr(2, Params[2]);
    return 1;
}

void CBackLashBlock::Compute() {
    const double input = InputOr(0, 0.0);
    const double width = std::fabs(InputOr(1, Params[1]));
    const double share = (Params[0] + 1.0) * 0.5; // of the play above the state
    const double upper = share * width + BacklashState;
    const double lower = upper - width;
    if (input > upper)
        BacklashState = input - share * width;
    else if (input < lower)
        BacklashState = input + (1.0 - share) * width;
    Value = BacklashState;
}
