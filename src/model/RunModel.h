#pragma once
// What the integration of a run needs of the chart it runs: the run lists, the Clock, the run's
// state and the evaluation of the derivatives block by block. The document is the run model; the
// solver and the compiled program know only this, so they stand below the document.

#include "model/Block.h"

#include <memory>
#include <vector>

class CRunModel : public CBlockHost {
  public:
    // The chart's Clock (its first block), or null.
    virtual CBlock* Clock() const = 0;
    // A new, unplaced block of that type code, or null for a code no type has.
    virtual std::unique_ptr<CBlock> CreateBlock(int typeCode) = 0;
    // Sets the time to IntervalStart + offset, computes the algebraic blocks and writes the
    // derivative of every integrating block; false when the run is stopped.
    virtual bool EvaluateDerivatives(double offset, double* out) = 0;

    // The run lists, in the order the run evaluates them.
    std::vector<CBlock*> IntegratingBlocks;
    std::vector<CBlock*> EvalOrder;
    // The start of the output interval being integrated; an evaluation's time is an offset from it.
    double IntervalStart = 0.0;
    // How many steps of the proposed size an output interval may need before the run gives up.
    double MaxSteps = 100.0;
    // Set when the run is to stop (the user, a block or an error); an evaluation then refuses.
    int Stopped = 1;
};
