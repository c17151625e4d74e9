#include "model/Integrator.h"

#include "model/Arith.h"

#include <algorithm>
#include <cmath>
#include <limits>

CIntegrator::CIntegrator(const ButcherTableau& tableau, const CStepController& controller,
                         std::size_t stateCount, bool fused)
    : m_tableau(tableau), m_controller(controller), n(stateCount) {
    if (fused) {
        const IntegratorKernel& kernel = Kernel(ActiveKernel());
        m_passes = PassesOf(kernel, tableau);
        m_kernelName = kernel.name;
    }
    const int s = m_tableau.stages;
    const auto S = static_cast<std::size_t>(s);
    m_dydt.assign(n, 0.0);
    m_yStart.assign(n, 0.0);
    m_yNew.assign(n, 0.0);
    k.assign(S * n, 0.0);
    m_errorSums.assign(n, 0.0);
    // The sums take only the non-zero coefficients.
    m_stageTerms.assign(S, {});
    for (int j = 0; j < s; ++j)
        for (int m = 0; m < j; ++m)
            if (m_tableau.A(j, m) != 0.0)
                m_stageTerms[static_cast<std::size_t>(j)].push_back({m, m_tableau.A(j, m)});
    for (int j = 0; j < s; ++j) {
        const double b = m_tableau.b[j];
        const double e = m_tableau.e[j];
        if (b != 0.0) m_solutionTerms.push_back({j, b});
        if (e != 0.0 && j > 0) m_errorTerms.push_back({j, e}); // the first difference is 0
    }
}

namespace {
// The sums below take the stages one after another for each state, in a single pass over the
// states for up to four stages at a time.
constexpr std::size_t kStagesPerPass = 4;

struct Pass {
    const double* k[kStagesPerPass];
    double w[kStagesPerPass];
};

// out[i] = base[i] + w[0] k[0][i] + w[1] k[1][i] + ..., added in that order. A sum that comes out
// NaN is formed again with the sums and products of model/Arith.h, so that which NaN it becomes
// does not depend on the order in which the compiler hands over the operands.
template <std::size_t T> void Accumulate(double* out, const double* base, const Pass& p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double sum = base[i];
        for (std::size_t t = 0; t < T; ++t)
            sum += p.w[t] * p.k[t][i];
        if (sum != sum) {
            sum = base[i];
            for (std::size_t t = 0; t < T; ++t)
                sum = kintra::Add(sum, kintra::Mul(p.w[t], p.k[t][i]));
        }
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

bool CIntegrator::Evaluate(CDerivatives& model, double offset) {
    ++m_stats.evaluations;
    if (!model.Evaluate(offset, m_dydt.data())) return false;
    // The plain sums read every derivative in m_dydt.
    if (!m_passes)
        for (std::size_t r = 0; r < m_args.runCount; ++r) {
            const DerivativeRun& run = m_args.runs[r];
            if (run.source) std::copy(run.source, run.source + (run.end - run.begin), &m_dydt[run.begin]);
        }
    return true;
}

void CIntegrator::CountStep(double h) {
    ++m_stats.accepted;
    if (m_stats.accepted == 1) {
        m_stats.smallestStep = h;
        m_stats.largestStep = h;
    } else {
        m_stats.smallestStep = std::min(m_stats.smallestStep, h);
        m_stats.largestStep = std::max(m_stats.largestStep, h);
    }
}

bool CIntegrator::Attempt(CDerivatives& model, double T, double H, double& err) {
    if (m_passes) return FusedAttempt(model, T, H, err);
    const int s = m_tableau.stages;
    const double* c = m_tableau.c;
    double* states = model.States();
    for (int j = 0; j < s; ++j) {
        Combine(states, m_yStart.data(), m_stageTerms[static_cast<std::size_t>(j)]);
        if (!Evaluate(model, T + c[j] * H)) return false;
        double* kj = &k[static_cast<std::size_t>(j) * n];
        const double* d = m_dydt.data();
        for (std::size_t i = 0; i < n; ++i)
            kj[i] = H * d[i];
    }
    Combine(m_yNew.data(), m_yStart.data(), m_solutionTerms);
    err = ErrorNorm();
    return true;
}

// The states hold the input of the first stage; each pass leaves that of the next one there.
bool CIntegrator::FusedAttempt(CDerivatives& model, double T, double H, double& err) {
    const int s = m_tableau.stages;
    const double* c = m_tableau.c;
    m_args.H = H;
    m_args.yStart = m_yStart.data();
    m_args.yNew = m_yNew.data();
    for (int j = 0; j < s; ++j) {
        if (!Evaluate(model, T + c[j] * H)) return false;
        err = m_passes[j](m_args);
    }
    return true;
}

IntervalResult CIntegrator::AdvanceInterval(CDerivatives& model, double h, double L) {
    IntervalResult result;
    const int s = m_tableau.stages;
    double T = 0.0;
    double attempts = 0.0;
    double largest = 0.0;
    // A step cut short to end the interval, and what the controller had proposed before the cut.
    bool cut = false;
    double uncut = 0.0;
    bool finalCut = false;
    double finalUncut = 0.0;
    // Ends the interval without taking the attempt.
    auto fail = [&](IntervalStatus status) {
        ++m_stats.rejected;
        result.status = status;
        return result;
    };

    // The states of the last interval's end are still here (in m_yStart, and in the states after
    // the fused passes) unless it failed.
    const bool fresh = model.BeginInterval(m_yStart.data(), m_resumable);
    m_resumable = false;
    double* states = model.States();
    m_args = {0.0, n, nullptr, k.data(), states, nullptr, m_dydt.data(), nullptr, 0};
    m_args.runs = model.Runs(m_args.runCount);
    if (m_args.runCount == 0) {
        m_allInDydt = {0, n, nullptr};
        m_args.runs = &m_allInDydt;
        m_args.runCount = 1;
    }
    // The fused passes form each stage's input from the one before: the first is the start.
    if (m_passes && fresh) std::copy(m_yStart.begin(), m_yStart.end(), states);
    // The fused passes leave the solution in the states; what a failure shows is the input of the
    // last stage, and a step tried again starts from the start.
    auto lastStageInput = [&] {
        if (m_passes) Combine(states, m_yStart.data(), m_stageTerms[static_cast<std::size_t>(s - 1)]);
    };
    for (;;) {
        attempts += 1.0;
        ++m_stats.tried;
        const double H = h;
        const bool stepWasCut = cut;
        const double stepUncut = uncut;
        double err = 0.0;
        if (!Attempt(model, T, H, err)) return fail(IntervalStatus::Stopped);
        // A NaN error estimate would be rejected for ever.
        if (std::isnan(err)) {
            lastStageInput();
            model.Publish();
            return fail(IntervalStatus::NotANumber);
        }
        const bool accepted = !adaptive || m_controller.Accepts(err);
        h = adaptive ? m_controller.NextStep(err, H) : H;
        // The step proposed after a step cut short to end the interval says nothing about the
        // model, so that attempt is not held against the limit.
        if (adaptive && !(accepted && stepWasCut)) {
            const double needed = CStepController::StepsNeeded(L, h);
            if (m_controller.TooManySteps(needed)) {
                lastStageInput();
                model.Publish();
                result.stepsNeeded = needed;
                return fail(IntervalStatus::TooManySteps);
            }
        }
        cut = false;
        if (!accepted) {
            ++m_stats.rejected;
            if (m_passes) std::copy(m_yStart.begin(), m_yStart.end(), states);
            continue;
        }
        CountStep(H);
        largest = std::max(largest, err);
        T += H;
        m_lastStep = H;
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
        std::swap(m_yStart, m_yNew);
    }

    if (!m_passes) std::copy(m_yNew.begin(), m_yNew.end(), states);
    Evaluate(model, L);
    std::swap(m_yStart, m_yNew);
    m_resumable = true;
    result.largestError = largest;
    result.attempts = attempts;
    // A last step cut short to end the interval would start the next one far too small.
    result.nextStep = finalCut ? std::min(finalUncut, L) : m_lastStep;
    return result;
}
