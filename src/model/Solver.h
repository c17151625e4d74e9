#pragma once
// The integrator of a run: carries the states of the integrating blocks across one output
// interval, calling the document's EvaluateDerivatives once per stage.

#include <cstddef>
#include <memory>

class COrventDoc;

class CSolver {
  public:
    virtual ~CSolver() = default;
    // Advances the states from IntervalStart to IntervalStart + outputInterval, starting with
    // `stepSize`; returns the step size for the next interval, or 0.0 when the run must stop.
    virtual double AdvanceInterval(double stepSize, double outputInterval) = 0;
};

// The integrator chosen by the model's integration style (0: Runge-Kutta 4/5, 1: 7/8) for
// `stateCount` integrating blocks. All its arrays are allocated here, once per run.
std::unique_ptr<CSolver> CreateSolver(COrventDoc& doc, int intStyle, std::size_t stateCount);
