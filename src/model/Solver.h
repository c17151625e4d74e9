#pragma once
// The integration of a run: the integrator of the model's integration style working on the run
// model (the document). It evaluates the model block by block or through a compiled program, and
// turns the outcome of each output interval into what the run shows: the companions' values and
// the run-time error messages.

#include "model/Integration.h"

#include <cstddef>
#include <memory>

class CDummyBlock;
class CIntegrator;
class CRunModel;
class CTape;

class CSolver {
  public:
    // Integrates the first `stateCount` of the model's IntegratingBlocks with the pair of
    // `intStyle` (0: Runge-Kutta 4/5, 1: 7/8), to the error limit of the Clock and the
    // model's MaxSteps. All arrays are allocated here, once per run.
    CSolver(CRunModel& model, int intStyle, std::size_t stateCount, bool useTape);
    ~CSolver();
    CSolver(const CSolver&) = delete;
    CSolver& operator=(const CSolver&) = delete;

    // Advances the states from IntervalStart over `outputInterval`, starting with `stepSize`.
    // Completed: the Clock's companions show the largest error estimate and the attempts of
    // the interval. Too many steps or a value that is not a number: the run ends with a
    // run-time error. In every other case the result's nextStep is 0.
    IntervalResult AdvanceInterval(double stepSize, double outputInterval);

    CIntegrator& Integrator() { return *m_integrator; }
    const IntegratorStatistics& Statistics() const;
    const CTape* Tape() const;
    // Brings the blocks' Values up to date with the last evaluation. A run through the program
    // keeps its values there; the blocks hold them only after this (or a failure or stop).
    void PublishValues();

  private:
    class Model;
    CRunModel& m_run;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<CIntegrator> m_integrator;
    CDummyBlock* m_errorCompanion = nullptr;
    CDummyBlock* m_countCompanion = nullptr;
};

// The solver of a run: it evaluates through a compiled program when CTape::Enabled.
std::unique_ptr<CSolver> CreateSolver(CRunModel& model, int intStyle, std::size_t stateCount);
