#include "blocks/LogicBlocks.h"

#include "platform/Archive.h"

namespace {

bool IsTrue(const CBlock& b, int i) {
    return b.Inputs[i] && b.Params[i] * b.Inputs[i]->Value > 0;
}
} // namespace

// ---- AND ----

CAndBlock::CAndBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CAndBlock)
int CAndBlock::Initialize() {
    return 1;
}
void CAndBlock::Compute() {
    Value = 0.0;
    bool seen = false;
    for (int i = 0; i < 3; ++i) {
        if (!Inputs[i]) continue;
        if (!IsTrue(*this, i)) return;
        seen = true;
    }
    if (seen) Value = 1.0;
}

// ---- Exclusive OR ----

CExclusiveOrBlock::CExclusiveOrBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CExclusiveOrBlock)
int CExclusiveOrBlock::Initialize() {
    return 1;
}
void CExclusiveOrBlock::Compute() {
    Value = 0.0;
    if (IsTrue(*this, 0)) Value = 1.0;
    if (IsTrue(*this, 1)) {
        if (Value > 0) {
            // Two true inputs: false, whatever input 3 says.
            Value = 0.0;
            return;
        }
        Value = 1.0;
    }
    if (IsTrue(*this, 2)) Value = Value > 0 ? 0.0 : 1.0;
}

// ---- Inclusive OR ----

CInclusiveOrBlock::CInclusiveOrBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CInclusiveOrBlock)
int CInclusiveOrBlock::Initialize() {
    return 1;
}
void CInclusiveOrBlock::Compute() {
    Value = IsTrue(*this, 0) || IsTrue(*this, 1) || IsTrue(*this, 2) ? 1.0 : 0.0;
}

// ---- Relay ----

CRelayBlock::CRelayBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CRelayBlock)
int CRelayBlock::Initialize() {
    return 1;
}
void CRelayBlock::Compute() {
    Value = InputOr(2, 0.0) > Params[0] ? InputOr(0, 0.0) : InputOr(1, 0.0);
}

// ---- Quit ----

CQuitBlock::CQuitBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    ShowValue = 0;
}
KINTRA_COMMON_RECORD_ONLY(CQuitBlock)
int CQuitBlock::Initialize() {
    return 1;
}
void CQuitBlock::Compute() {
    const double limit = InputOr(1, Params[1]);
    // NaN on either side stops the run as well.
    if (!(limit <= InputOr(0, 0.0) * Params[0]) && Document) Document->RequestStop();
}

// ---- Zero Order Hold ----

CZeroOrderHoldBlock::CZeroOrderHoldBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CZeroOrderHoldBlock)
int CZeroOrderHoldBlock::Initialize() {
    Params[1] = Params[0];
    return 1;
}
void CZeroOrderHoldBlock::Compute() {
    const double limit = InputOr(2, Params[2]);
    const double sample = InputOr(0, 0.0);
    if (limit < sample) {
        Params[1] = sample;
        Value = sample;
    } else {
        Value = Params[1];
    }
}
