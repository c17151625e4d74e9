#include "blocks/GeneratorBlocks.h"

#include "blocks/Random.h"
#include "platform/Archive.h"

#include <cmath>

using kintra::RandomUnit;
using kintra::SeedBlockRandom;

namespace {
constexpr double kPi = 3.141592653589793;

double Now(const CBlock& b) {
    return b.Document ? b.Document->CurrentTime : 0.0;
}
bool SwitchNegative(const CBlock& b) {
    return b.Inputs[2] && b.Inputs[2]->Value < 0;
}
int NextRandom(const CBlock& b) {
    return kintra::NextRandom(kintra::RandomStateOf(b));
}
// A draw of the generator that is never 0 (it feeds a logarithm).
int NonZeroRandom(const CBlock& b) {
    const int r = NextRandom(b);
    return r == 0 ? 1 : r;
}
} // namespace

// ---- Gaussian ----

CGaussianBlock::CGaussianBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CGaussianBlock)
int CGaussianBlock::Initialize() {
    SeedBlockRandom(*this, Params[2]);
    return 1;
}
void CGaussianBlock::Compute() {
    if (SwitchNegative(*this)) {
        Value = 0.0;
        return;
    }
    const double mean = InputOr(0, Params[0]);
    const double sd = InputOr(1, Params[1]);
    const int r1 = NonZeroRandom(*this);
    const int r2 = NonZeroRandom(*this);
    const double w = std::cos(2.0 * kPi * RandomUnit(r1));
    Value = mean + sd * w * std::sqrt(std::fabs(2.0 * w * std::log(RandomUnit(r2))));
}

// ---- Random ----

CRandomBlock::CRandomBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}
KINTRA_COMMON_RECORD_ONLY(CRandomBlock)
int CRandomBlock::Initialize() {
    SeedBlockRandom(*this, Params[2]);
    return 1;
}
void CRandomBlock::Compute() {
    Value = 0.0;
    if (SwitchNegative(*this)) return;
    // The limits come from the parameters only, whatever inputs 1 and 2 carry.
    Value = RandomUnit(NextRandom(*this)) * (Params[1] - Params[0]) + Params[0];
}

// ---- Jitter ----

CJitterBlock::CJitterBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}

void CJitterBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring())
        ar.WriteDouble(NextTime);
    else
        NextTime = ar.ReadDouble();
}

int CJitterBlock::Initialize() {
    SeedBlockRandom(*this, Params[2]);
    NextTime = (Params[1] - Params[0]) * RandomUnit(NextRandom(*this)) + Params[0];
    return 1;
}

void CJitterBlock::Compute() {
    Value = 0.0;
    if (SwitchNegative(*this)) return;
    const double t = Now(*this);
    if (NextTime < t) {
        Value = 1.0;
        NextTime = (Params[1] - Params[0]) * RandomUnit(NextRandom(*this)) + t + Params[0];
    }
}

// ---- Sine Wave Generator ----

CSineWaveBlock::CSineWaveBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Phase = Params[1];
}

void CSineWaveBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring())
        ar.WriteDouble(Phase);
    else
        Phase = ar.ReadDouble();
}

int CSineWaveBlock::Initialize() {
    Phase = InputOr(1, Params[1]);
    m_computed = false;
    return 1;
}

void CSineWaveBlock::Compute() {
    const double t = Now(*this);
    const double elapsed = m_computed ? t - m_previousTime : 0.0;
    m_previousTime = t;
    m_computed = true;
    const bool enabled = !Inputs[2] || Inputs[2]->Value > 0; // a switch of exactly 0 disables
    const bool started = t > Params[2];
    const double frequency = InputOr(0, Params[0]);
    if (enabled && started) Phase = Phase + elapsed * frequency * kPi * 2;
    Value = std::sin(Phase);
}

// ---- Time Pulse Generator ----

CTimePulseBlock::CTimePulseBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}

void CTimePulseBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring()) {
        ar.WriteInt32(Started);
        ar.WriteDouble(NextTime);
    } else {
        Started = ar.ReadInt32();
        NextTime = ar.ReadDouble();
    }
}

int CTimePulseBlock::Initialize() {
    Started = 0;
    NextTime = -1.0;
    return 1;
}

void CTimePulseBlock::Compute() {
    Value = 0.0;
    const double t = Now(*this);
    if (Inputs[2]) {
        // A connected switch replaces the delay.
        if (Inputs[2]->Value < 0) {
            Started = 0;
            return;
        }
    } else if (t < Params[2]) {
        return;
    }
    if (t < NextTime) return;
    Value = InputOr(1, Params[1]);
    const double period = InputOr(0, Params[0]);
    if (Started) {
        NextTime = NextTime + period;
    } else {
        Started = 1;
        NextTime = t + period;
    }
}

// ---- One Shot ----

COneShotBlock::COneShotBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {}

void COneShotBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring()) {
        ar.WriteInt32(Armed);
        ar.WriteInt32(Firing);
        ar.WriteDouble(PulseStart);
    } else {
        Armed = ar.ReadInt32();
        Firing = ar.ReadInt32();
        PulseStart = ar.ReadDouble();
    }
}

int COneShotBlock::Initialize() {
    Armed = 0;
    Firing = 0;
    PulseStart = -1.0;
    return 1;
}

void COneShotBlock::Compute() {
    Value = 0.0;
    const double t = Now(*this);
    const double trigger = InputOr(0, 0.0);
    if (Armed && trigger > 0) {
        PulseStart = t + Params[0];
        PulseEnd = PulseStart + InputOr(2, Params[2]);
        Firing = 1;
        Armed = 0;
    }
    if (!Firing) {
        // It arms only once it has seen the trigger at or below 0.
        if (!Armed && trigger <= 0) Armed = 1;
        return;
    }
    if (PulseStart <= t && t <= PulseEnd) {
        Value = InputOr(1, Params[1]);
        if (t == PulseEnd) {
            Firing = 0;
            if (trigger <= 0) Armed = 1;
        }
        return;
    }
    if (t < PulseStart) return;
    Firing = 0;
    if (trigger <= 0) Armed = 1;
}
