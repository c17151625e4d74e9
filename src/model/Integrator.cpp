#include "model/Integrator.h"

#include "model/ClockBlock.h"
#include "model/OrventDoc.h"
#include "model/RungeKutta.h"
#include "model/Tape.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <limits>

CIntegrator::CIntegrator(COrventDoc& doc, std::size_t stateCount, int stages)
    : Document(&doc), n(stateCount), s(stages) {
    const auto S = static_cast<std::size_t>(s);
    c.assign(S, 0.0);
    a.assign(S * S, 0.0);
    b.assign(S, 0.0);
    e.assign(S, 0.0);
    yStage.assign(n, 0.0);
    yStart.assign(n, 0.0);
    yNew.assign(n, 0.0);
    k.assign(S * n, 0.0);
    m_errorSums.assign(n, 0.0);
    CBlock* clock = doc.Clock();
    tolerance = clock ? clock->Params[0] : doc.ErrorLimit;
    if (auto* cb = dynamic_cast<CClockBlock*>(clock)) {
        m_errorCompanion = cb->ErrorCompanion;
        m_countCompanion = cb->CountCompanion;
    }
    m_blocks = doc.IntegratingBlocks;
    m_blocks.resize(n, nullptr);
}

CIntegrator::~CIntegrator() = default;

void CIntegrator::UseTape(std::unique_ptr<CTape> tape) {
    m_tape = std::move(tape);
}

void CIntegrator::PrepareTableau() {
    m_stageTerms.assign(static_cast<std::size_t>(s), {});
    for (int j = 0; j < s; ++j)
        for (int m = 0; m < j; ++m)
            if (A(j, m) != 0.0) m_stageTerms[static_cast<std::size_t>(j)].push_back({m, A(j, m)});
    m_solutionTerms.clear();
    m_errorTerms.clear();
    for (int j = 0; j < s; ++j) {
        if (B(j) != 0.0) m_solutionTerms.push_back({j, B(j)});
        if (E(j) != 0.0 && j > 0) m_errorTerms.push_back({j, E(j)}); // the first difference is 0
    }
}

double CIntegrator::NextStepSize(double err, double h) const {
    const double p = err <= tolerance ? GrowExponent : ShrinkExponent;
    return h * Safety * std::fabs(std::pow(tolerance / err, p));
}

namespace {
// The sums below take the stages one after another for each state, in a single pass over the
// states for up to four stages at a time.
constexpr std::size_t kStagesPerPass = 4;

struct Pass {
    const double* k[kStagesPerPass];
    double w[kStagesPerPass];
};

// out[i] = base[i] + w[0] k[0][i] + w[1] k[1][i] + ..., added in that order.
template <std::size_t T> void Accumulate(double* out, const double* base, const Pass& p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double sum = base[i];
        for (std::size_t t = 0; t < T; ++t)
            sum += p.w[t] * p.k[t][i];
        out[i] = sum;
    }
}

// out[i] = base[i] + w[0] k[0][i] - w[0] k0[i] ... as sum += w[t] (k[t][i] - k0[i]).
template <std::size_t T>
void AccumulateDifferences(double* out, const double* base, const double* k0, const Pass& p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double sum = base[i];
        for (std::size_t t = 0; t < T; ++t)
            sum += p.w[t] * (p.k[t][i] - k0[i]);
        out[i] = sum;
    }
}
} // namespace

// out := base + the weighted stage increments of the terms (base may be out).
void CIntegrator::Combine(double* out, const double* base, const std::vector<Term>& terms,
                          const double* k0) const {
    if (terms.empty()) {
        if (out != base) std::copy(base, base + n, out);
        return;
    }
    for (std::size_t first = 0; first < terms.size(); first += kStagesPerPass) {
        const std::size_t count = std::min(kStagesPerPass, terms.size() - first);
        Pass p{};
        for (std::size_t t = 0; t < count; ++t) {
            p.k[t] = &k[static_cast<std::size_t>(terms[first + t].stage) * n];
            p.w[t] = terms[first + t].coefficient;
        }
        switch (count + (k0 ? kStagesPerPass : 0)) {
        case 1:
            Accumulate<1>(out, base, p, n);
            break;
        case 2:
            Accumulate<2>(out, base, p, n);
            break;
        case 3:
            Accumulate<3>(out, base, p, n);
            break;
        case 4:
            Accumulate<4>(out, base, p, n);
            break;
        case 5:
            AccumulateDifferences<1>(out, base, k0, p, n);
            break;
        case 6:
            AccumulateDifferences<2>(out, base, k0, p, n);
            break;
        case 7:
            AccumulateDifferences<3>(out, base, k0, p, n);
            break;
        default:
            AccumulateDifferences<4>(out, base, k0, p, n);
            break;
        }
        base = out;
    }
}

// The weights e sum to zero, so the estimate is formed from the differences of the stage
// increments to the first: the same value, but exactly zero for a constant derivative, and
// without the rounding noise that a large common part of the increments would add to it.
double CIntegrator::ErrorNorm() const {
    if (n == 0) return 0.0;
    double* sum = m_errorSums.data();
    std::fill(sum, sum + n, 0.0);
    Combine(sum, sum, m_errorTerms, k.data());
    double largest = 0.0;
    bool notANumber = false;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = std::fabs(sum[i]);
        notANumber |= v != v;
        largest = v > largest ? v : largest;
    }
    return notANumber ? std::numeric_limits<double>::quiet_NaN() : largest;
}

void CIntegrator::FormStage(int j) {
    Combine(m_tape ? m_tape->States() : yStage.data(), yStart.data(),
            m_stageTerms[static_cast<std::size_t>(j)]);
}

void CIntegrator::FormSolution() {
    Combine(yNew.data(), yStart.data(), m_solutionTerms);
}

bool CIntegrator::Evaluate(double offset) {
    // The program reads the states where FormStage put them.
    if (m_tape) return m_tape->Evaluate(offset, yStage.data());
    for (std::size_t i = 0; i < n; ++i)
        if (m_blocks[i]) m_blocks[i]->Value = yStage[i];
    return Document->EvaluateDerivatives(offset, yStage.data());
}

void CIntegrator::Fail(const std::string& text) {
    if (m_tape) m_tape->WriteBack();
    Document->RunTimeError(text);
}

double CIntegrator::AdvanceInterval(double h, double L) {
    COrventDoc& doc = *Document;
    double T = 0.0;
    double attempts = 0.0;
    double largest = 0.0;
    // A step cut short to end the interval, and what the controller had proposed before the cut.
    bool cut = false;
    double uncut = 0.0;
    bool finalCut = false;
    double finalUncut = 0.0;

    if (m_tape) m_tape->BeginInterval();
    for (std::size_t i = 0; i < n; ++i)
        yStart[i] = m_blocks[i] ? m_blocks[i]->Value : 0.0;

    for (;;) {
        attempts += 1.0;
        const double H = h;
        const bool stepWasCut = cut;
        const double stepUncut = uncut;
        for (int j = 0; j < s; ++j) {
            FormStage(j);
            if (!Evaluate(T + c[static_cast<std::size_t>(j)] * H)) return 0.0;
            double* kj = &k[static_cast<std::size_t>(j) * n];
            const double* d = yStage.data();
            for (std::size_t i = 0; i < n; ++i)
                kj[i] = H * d[i];
        }
        FormSolution();
        const double err = ErrorNorm();
        // A NaN error estimate would be rejected for ever.
        if (std::isnan(err)) {
            Fail("Integration error: a value is not a number at time " + FormatString("%g", doc.CurrentTime));
            return 0.0;
        }
        const bool accepted = !adaptive || err < tolerance;
        h = adaptive ? NextStepSize(err, H) : H;
        // The step proposed after a step cut short to end the interval says nothing about the
        // model, so that attempt is not held against MaxSteps.
        if (adaptive && !(accepted && stepWasCut) && L / h > doc.MaxSteps) {
            Fail("Excessive integration steps (" + FormatString("%.0f", std::trunc(L / h)) + ") at time " +
                 FormatString("%g", doc.CurrentTime));
            return 0.0;
        }
        cut = false;
        if (!accepted) continue;
        largest = std::max(largest, err);
        T += H;
        lastStep = H;
        if (h > L - T) {
            uncut = h;
            h = L - T;
            cut = true;
        }
        if (!(T < L)) {
            finalCut = stepWasCut;
            finalUncut = stepUncut;
            break;
        }
        std::swap(yStart, yNew);
    }

    std::copy(yNew.begin(), yNew.end(), m_tape ? m_tape->States() : yStage.data());
    Evaluate(L);
    if (m_tape) m_tape->WriteBack();
    if (m_errorCompanion) m_errorCompanion->Value = largest;
    if (m_countCompanion) m_countCompanion->Value = attempts;
    // A last step cut short to end the interval would start the next one far too small.
    return finalCut ? std::min(finalUncut, L) : lastStep;
}

std::unique_ptr<CSolver> CreateSolver(COrventDoc& doc, int intStyle, std::size_t stateCount) {
    std::unique_ptr<CIntegrator> solver;
    if (intStyle == 1)
        solver = std::make_unique<CRungeKutta78>(stateCount, doc);
    else
        solver = std::make_unique<CRungeKutta45>(stateCount, doc);
    if (CTape::Enabled) solver->UseTape(std::make_unique<CTape>(doc));
    return solver;
}
