#pragma once
// What the integrator of a run exchanges with the rest of the program: the model it integrates,
// seen only as a function from states to derivatives, the outcome of an output interval and the
// figures it keeps.

#include <cstddef>

// States begin .. end - 1 whose derivatives lie side by side after an evaluation: that of state i
// is source[i - begin], or dydt[i] (the array handed to Evaluate) when source is null.
struct DerivativeRun {
    std::size_t begin;
    std::size_t end;
    const double* source;
};

// The model as the integrator sees it. The states live where States() says, so that an
// evaluation can read them in place; the integrator forms every stage there.
class CDerivatives {
  public:
    virtual ~CDerivatives() = default;
    // Takes in whatever changed since the last interval and writes the states at its start to `y`.
    // `resumed`: `y` and States() already hold the states the last interval ended with, and a model
    // whose states nothing else changes may leave them there and return false.
    virtual bool BeginInterval(double* y, bool resumed) = 0;
    // Where the integrator puts the states before each evaluation.
    virtual double* States() = 0;
    // Evaluates the model at `offset` from the start of the interval with the states in
    // States(), writing one derivative per state. False when the run is to stop; the model's
    // values are then up to date.
    virtual bool Evaluate(double offset, double* dydt) = 0;
    // Makes the states and values of the last evaluation the model's own. The integrator calls it
    // when an interval fails; after one that completes, the owner of the model decides when.
    virtual void Publish() = 0;
    // Where the derivatives lie after each evaluation, as runs that cover the states in order; the
    // pointers stay valid for the life of the model. Empty: all of them in dydt. A source may lie in
    // States() only at or after the states it is the derivative of, so that a pass over the states
    // in order reads it before forming the next stage there.
    virtual const DerivativeRun* Runs(std::size_t& count) const {
        count = 0;
        return nullptr;
    }
};

// How an output interval ended.
enum class IntervalStatus {
    Completed,    // the states reached the end of the interval
    Stopped,      // an evaluation refused: the user or a block stopped the run
    TooManySteps, // the controller proposed a step the interval would need too many of
    NotANumber,   // an error estimate was not a number
};

struct IntervalResult {
    IntervalStatus status = IntervalStatus::Completed;
    // Completed: the first step to try in the next interval; otherwise 0.
    double nextStep = 0.0;
    // Completed: the largest error estimate of the accepted steps and the number of attempts.
    double largestError = 0.0;
    double attempts = 0.0;
    // TooManySteps: how many steps of the proposed size the interval would need.
    double stepsNeeded = 0.0;
};

// Counts over the life of an integrator (one run). Every attempt is either accepted (the step
// is taken) or rejected (its error was too large, or it ended the run), so accepted + rejected
// == tried. Evaluations are those of the stages plus the one at the end of every completed
// interval that brings the model's values up to date.
struct IntegratorStatistics {
    std::size_t tried = 0;
    std::size_t accepted = 0;
    std::size_t rejected = 0;
    std::size_t evaluations = 0;
    // Of the steps taken, including those shortened to end an interval; 0 when none was taken.
    double smallestStep = 0.0;
    double largestStep = 0.0;

    bool operator==(const IntegratorStatistics&) const = default;
};
