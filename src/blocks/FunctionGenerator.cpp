#include "blocks/FunctionGenerator.h"

#include "blocks/Spline.h"
#include "platform/Archive.h"

#include <cstdint>

CFunctionGeneratorBlock::CFunctionGeneratorBlock(int imageId, CBlockHost* document, int commandId, int typeId)
    : CBlock(imageId, document, commandId, typeId) {
    Params[2] = 0.0;
}

void CFunctionGeneratorBlock::Serialize(CArchive& ar) {
    SerializeCommon(ar);
    if (ar.IsStoring()) {
        ar.WriteInt32(static_cast<std::int32_t>(Ordinates.size()));
        ar.WriteBytes(Ordinates.data(), Ordinates.size() * sizeof(double));
        return;
    }
    const std::int32_t n = ar.ReadInt32();
    ar.CheckCount(n, sizeof(double));
    std::vector<double> ordinates(static_cast<std::size_t>(n));
    ar.ReadBytes(ordinates.data(), ordinates.size() * sizeof(double));
    SetOrdinates(std::move(ordinates));
}

void CFunctionGeneratorBlock::CopyOwnSettings(const CBlock& source) {
    if (const auto* generator = dynamic_cast<const CFunctionGeneratorBlock*>(&source))
        SetOrdinates(generator->Ordinates);
}

void CFunctionGeneratorBlock::SetOrdinates(std::vector<double> ordinates) {
    Ordinates = std::move(ordinates);
    Abscissas.clear();
    SecondDerivatives.clear();
}

void CFunctionGeneratorBlock::PrepareTable() {
    if (Inputs[1]) Params[1] = Inputs[1]->Value;
    if (Inputs[2]) Params[2] = Inputs[2]->Value;
    Abscissas.clear();
    SecondDerivatives.clear();
    m_builtUpper = Params[1];
    m_builtLower = Params[2];
    const double span = Params[1] - Params[2];
    if (!(span > 0)) return;
    const std::size_t n = Ordinates.size();
    if (n < 3) return;
    Abscissas.resize(n);
    SecondDerivatives.resize(n);
    Abscissas[0] = Params[2];
    for (std::size_t i = 1; i < n; ++i)
        Abscissas[i] = span / static_cast<double>(n - 1) * static_cast<double>(i) + Abscissas[0];
    SplineSetup(Ordinates, Abscissas, SecondDerivatives);
    const double hu = Abscissas[n - 1] - Abscissas[n - 2];
    UpperSlope = (Ordinates[n - 1] - Ordinates[n - 2]) / hu + hu * SecondDerivatives[n - 2] / 6.0;
    const double hl = Abscissas[1] - Abscissas[0];
    LowerSlope = (Ordinates[1] - Ordinates[0]) / hl - hl * SecondDerivatives[1] / 6.0;
}

int CFunctionGeneratorBlock::Initialize() {
    PrepareTable();
    return 1;
}

void CFunctionGeneratorBlock::Compute() {
    Value = 0.0;
    // Rebuild whenever the table no longer matches the ordinates or the bounds it was built for.
    const double upper = InputOr(1, Params[1]);
    const double lower = InputOr(2, Params[2]);
    if (Abscissas.size() < 3 || Abscissas.size() != Ordinates.size() || upper != m_builtUpper ||
        lower != m_builtLower)
        PrepareTable();
    if (Abscissas.size() < 3) return;
    const double a = InputOr(0, 0.0);
    const double lo = Params[2];
    const double hi = Params[1];
    if (lo <= a && a < hi) Value = SplineEvaluate(Ordinates, Abscissas, SecondDerivatives, a);
    if (a >= hi) {
        Value = Ordinates.back();
        if (Params[0] != 0) Value = Ordinates.back() + (a - hi) * UpperSlope;
    }
    if (a < lo) {
        Value = Ordinates.front();
        if (Params[0] != 0) Value = Ordinates.front() + (a - lo) * LowerSlope;
    }
}
