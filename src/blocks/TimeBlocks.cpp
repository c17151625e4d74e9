#include "blocks/TimeBlocks.h"

#include "blocks/Spline.h"
#include "platform/Archive.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {
double Now(const CBlock& b) {
    return b.Document ? b.Document->CurrentTime : 0.0;
}
} // namespace

// ---- Integrate ----

CIntegrateBlock::CIntegrateBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Params[1] = 0.0;
}
KINTRA_COMMON_RECORD_ONLY(CIntegrateBlock)

int CIntegrateBlock::Initialize() {
    Value = InputOr(1, Params[1]);
    return 1;
}

void CIntegrateBlock::Compute() {
    const double errorLimit = Document ? Document->ErrorLimit : 0.0;
    Value = Value + errorLimit * InputOr(0, 0.0) * Params[0];
}

// ---- Decay ----

CDecayBlock::CDecayBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Params[2] = 0.0;
    m_recordHook = true;
}
KINTRA_COMMON_RECORD_ONLY(CDecayBlock)

int CDecayBlock::Initialize() {
    Value = InputOr(2, Params[2]);
    LastRecordTime = 0.0;
    return 1;
}

void CDecayBlock::Compute() {
    const std::size_t recorded = HistorySize();
    if (recorded == 0) {
        Value = InputOr(2, Params[2]);
        return;
    }
    const double asymptote = InputOr(0, Params[0]);
    const double rate = InputOr(1, Params[1]);
    const double dt = Now(*this) - LastRecordTime;
    const double last = GetHistoryAt(static_cast<int>(recorded - 1));
    const double f = dt / std::fabs(rate);
    if (f > 660 || rate == 0.0) {
        Value = asymptote;
        return;
    }
    Value = last + (asymptote - last) * (1.0 - std::exp(-f));
}

void CDecayBlock::OnRecorded() {
    LastRecordTime = Now(*this);
}

// ---- Delay ----

CDelayBlock::CDelayBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    m_recordHook = true;
}

void CDelayBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring()) {
        ar.WriteInt32(static_cast<std::int32_t>(InputHistory.size()));
        ar.WriteBytes(InputHistory.data(), InputHistory.size() * sizeof(double));
        return;
    }
    const std::int32_t n = ar.ReadInt32();
    ar.CheckCount(n, sizeof(double));
    InputHistory.resize(static_cast<std::size_t>(n));
    ar.ReadBytes(InputHistory.data(), InputHistory.size() * sizeof(double));
}

int CDelayBlock::Initialize() {
    SampleInterval = Document ? Document->OutputInterval : 0.0;
    return 1;
}

void CDelayBlock::ClearHistory() {
    CBlock::ClearHistory();
    InputHistory.clear();
    InputHistory.shrink_to_fit();
}

void CDelayBlock::OnRecorded() {
    InputHistory.push_back(InputOr(0, 0.0));
}

void CDelayBlock::Compute() {
    const double input = InputOr(0, 0.0);
    const double delay = InputOr(1, Params[1]);
    const double t = Now(*this);
    if (std::isnan(delay)) {
        Value = delay;
        return;
    }
    if (delay <= 0) {
        Value = input;
        return;
    }
    if (delay > t) {
        Value = InputOr(2, Params[2]);
        return;
    }
    const double step = SampleInterval;
    const std::size_t n = InputHistory.size();
    if (n == 0 || !(step > 0)) {
        // Nothing recorded yet (or no spacing to place samples by): only the present is known.
        Value = input;
        return;
    }
    const double k = t / step - delay / step; // the delayed time t - D in sample units
    if (!(k < static_cast<double>(n) + 2.0)) {
        // t - D lies beyond the present: the time does not belong to this run's samples.
        Value = input;
        return;
    }
    const double pointsBefore = std::fmin(2.0, std::ceil(k));
    const double pointsAfter = std::fmin(2.0, std::ceil(delay / step));
    if (pointsBefore + pointsAfter < 3) {
        // Early in the run, or a delay shorter than one sample: a straight line from the first
        // sample to the present.
        Value = input + (InputHistory[0] - input) * delay / t;
        return;
    }
    const auto first = static_cast<std::int64_t>(k); // truncated toward zero
    // At most four points in increasing time: one or two samples at or before t - D, then one
    // or two after it. A sample not recorded yet is the present point; samples beyond it, which
    // rounding of the times could ask for, are left out.
    std::array<double, 4> xs{};
    std::array<double, 4> ys{};
    std::array<double, 4> y2{};
    std::size_t count = 0;
    const std::int64_t from = pointsBefore == 2 ? first - 1 : first;
    const std::int64_t to = first + static_cast<std::int64_t>(pointsAfter);
    for (std::int64_t j = std::max<std::int64_t>(from, 0); j <= to; ++j) {
        double x, y;
        if (j < static_cast<std::int64_t>(n)) {
            x = static_cast<double>(j) * step;
            y = InputHistory[static_cast<std::size_t>(j)];
        } else {
            x = t;
            y = input;
        }
        if (count > 0 && !(x > xs[count - 1])) break;
        xs[count] = x;
        ys[count] = y;
        ++count;
        if (j >= static_cast<std::int64_t>(n)) break;
    }
    if (count < 2) {
        Value = input;
        return;
    }
    const std::span<const double> x(xs.data(), count), y(ys.data(), count);
    SplineSetup(y, x, std::span<double>(y2.data(), count));
    Value = SplineEvaluate(y, x, std::span<const double>(y2.data(), count), t - delay);
}
