#pragma once
// The Runge-Kutta engine shared by the embedded pairs: it carries the states of the integrating
// blocks across one output interval with an absolute error test and automatic step-size control.

#include "model/Solver.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CBlock;
class CDummyBlock;
class CTape;

class CIntegrator : public CSolver {
  public:
    ~CIntegrator() override;

    // Integrates from the document's IntervalStart over `outputInterval`, starting with
    // `stepSize`. Returns the first step size for the next interval, or 0.0 when the interval was
    // not completed (a stop, too many steps, a value that is not a number).
    double AdvanceInterval(double stepSize, double outputInterval) override;

    // The largest magnitude over the states of the error estimate sum(e(j) * k(j)[i]) of the last
    // attempt, formed as sum(e(j) * (k(j)[i] - k(1)[i])), which is the same since the e(j) sum
    // to zero; NaN when one of them is not a number; 0 without states.
    double ErrorNorm() const;
    // The step the controller proposes after an attempt of size h with error estimate err.
    double NextStepSize(double err, double h) const;

    // Evaluates the model through a compiled program instead of computing block by block; the
    // results are the same to the last bit. Takes ownership.
    void UseTape(std::unique_ptr<CTape> tape);
    const CTape* Tape() const { return m_tape.get(); }

    // The coefficients (stages numbered from 0).
    int Stages() const { return s; }
    double C(int j) const { return c[static_cast<std::size_t>(j)]; }
    double A(int j, int m) const { return a[static_cast<std::size_t>(j * s + m)]; }
    double B(int j) const { return b[static_cast<std::size_t>(j)]; }
    double E(int j) const { return e[static_cast<std::size_t>(j)]; }
    double Tolerance() const { return tolerance; }

    // 1: step-size control (the only mode a run uses). 0: every attempt is accepted and the step
    // stays as handed in, shortened only to end the interval; for measuring the order of a pair.
    int adaptive = 1;

  protected:
    CIntegrator(COrventDoc& doc, std::size_t n, int stages);
    // Fills c, a, b and e.
    virtual void SetTableau() = 0;
    // Lists the non-zero coefficients once the tableau is set; the constructors of the pairs call it.
    void PrepareTableau();

    COrventDoc* Document;
    std::size_t n;
    int s;
    std::vector<double> c;
    std::vector<double> a; // s rows of s; row j uses columns 0 .. j-1
    std::vector<double> b;
    std::vector<double> e;
    double tolerance;
    double Safety = 0.9;
    double GrowExponent = 0.2;
    double ShrinkExponent = 0.25;
    std::vector<double> yStage;
    std::vector<double> yStart;
    std::vector<double> yNew;
    std::vector<double> k; // s arrays of n, stage after stage
    double lastStep = 0.0;
    mutable std::vector<double> m_errorSums; // n doubles of scratch for ErrorNorm

  private:
    struct Term {
        int stage;
        double coefficient;
    };
    // One model evaluation at IntervalStart + offset of the states that FormStage formed (in
    // yStage, or in the program's own array); the derivatives go to yStage.
    bool Evaluate(double offset);
    void FormStage(int j);
    // out := base + sum of coefficient x k(stage) over the terms, or of coefficient x
    // (k(stage) - k0) when k0 is given.
    void Combine(double* out, const double* base, const std::vector<Term>& terms,
                 const double* k0 = nullptr) const;
    void FormSolution();
    // Ends the run with a run-time error after bringing every block's Value up to date.
    void Fail(const std::string& text);

    std::vector<CBlock*> m_blocks;
    CDummyBlock* m_errorCompanion = nullptr;
    CDummyBlock* m_countCompanion = nullptr;
    std::vector<std::vector<Term>> m_stageTerms; // non-zero a(j, m), m < j
    std::vector<Term> m_solutionTerms;           // non-zero b
    std::vector<Term> m_errorTerms;              // non-zero e, from the second stage
    std::unique_ptr<CTape> m_tape;
};
