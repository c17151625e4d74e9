#pragma once
// One generic embedded Runge-Kutta integrator: it carries a set of states across one output
// interval, stage after stage of any explicit pair, with an absolute error test and the
// step-size control of a CStepController. It knows the model only through CDerivatives.
//
// Fused, it takes the stages of one of the two built-in pairs with their coefficients as constants:
// after each evaluation one pass forms the stage's increment and the next stage's input together,
// reading the derivatives where the model's runs say they lie, and the last pass forms the
// solution and the error estimate with its maximum. The numbers are those of the plain sums.

#include "model/Integration.h"
#include "model/IntegratorKernels.h"
#include "model/RungeKutta.h"
#include "model/StepController.h"

#include <cstddef>
#include <vector>

class CIntegrator {
  public:
    // All arrays are allocated here, once per run: an interval allocates nothing.
    // `fused`: with the passes of the kernel ActiveKernel() names, for a built-in pair.
    CIntegrator(const ButcherTableau& tableau, const CStepController& controller, std::size_t n,
                bool fused = false);

    // Integrates the model from the start of an interval over `outputInterval`, starting with
    // `stepSize`. Completed: the states at the end of the interval are evaluated there, and the
    // next interval starts from them; the model publishes them when its owner asks. TooManySteps
    // and NotANumber: the model holds (published) the values of the failing attempt.
    IntervalResult AdvanceInterval(CDerivatives& model, double stepSize, double outputInterval);

    // The largest magnitude over the states of the error estimate sum(e(j) * k(j)[i]) of the last
    // attempt, formed as sum(e(j) * (k(j)[i] - k(1)[i])), which is the same since the e(j) sum
    // to zero; NaN when one of them is not a number; 0 without states.
    double ErrorNorm() const;
    // The step the controller proposes after an attempt of size h with error estimate err.
    double NextStepSize(double err, double h) const { return m_controller.NextStep(err, h); }

    const ButcherTableau& Tableau() const { return m_tableau; }
    const CStepController& Controller() const { return m_controller; }
    const IntegratorStatistics& Statistics() const { return m_stats; }
    // The kernel of the fused passes; null when the sums are the plain ones.
    const char* KernelName() const { return m_passes ? m_kernelName : nullptr; }

    // 1: step-size control (the only mode a run uses). 0: every attempt is accepted and the step
    // stays as handed in, shortened only to end the interval; for measuring the order of a pair.
    int adaptive = 1;

  private:
    struct Term {
        int stage;
        double coefficient;
    };
    // out := base + sum of coefficient x k(stage) over the terms, or of coefficient x
    // (k(stage) - k0) when k0 is given.
    void Combine(double* out, const double* base, const std::vector<Term>& terms,
                 const double* k0 = nullptr) const;
    bool Evaluate(CDerivatives& model, double offset);
    // The stages, the solution in m_yNew and the error estimate of one attempt of size H at T.
    bool Attempt(CDerivatives& model, double T, double H, double& err);
    bool FusedAttempt(CDerivatives& model, double T, double H, double& err);
    void CountStep(double h);

    ButcherTableau m_tableau;
    CStepController m_controller;
    std::size_t n;
    std::vector<double> m_dydt;
    std::vector<double> m_yStart;
    std::vector<double> m_yNew;
    std::vector<double> k; // s arrays of n, stage after stage
    double m_lastStep = 0.0;
    mutable std::vector<double> m_errorSums;     // n doubles of scratch for ErrorNorm
    std::vector<std::vector<Term>> m_stageTerms; // non-zero a(j, m), m < j
    std::vector<Term> m_solutionTerms;           // non-zero b
    std::vector<Term> m_errorTerms;              // non-zero e, from the second stage
    IntegratorStatistics m_stats;
    const StagePass* m_passes = nullptr; // one per stage when fused
    const char* m_kernelName = nullptr;
    StagePassArgs m_args{};
    DerivativeRun m_allInDydt{};
    bool m_resumable = false; // m_yStart holds the end of the last interval, which completed
};
