#pragma once
// The Time palette: Integrate (the state advanced by the integrator), Delay and Decay (algebraic
// blocks that compute from the values recorded at earlier output steps of the run).

#include "blocks/BlockSetup.h"

#include <vector>

// Value is the state; the integrator reads input 1 × parameter 1 as its derivative.
class CIntegrateBlock : public CBlock {
  public:
    CIntegrateBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    // Value = input 2 ("Initial Value") if connected, else parameter 2.
    int Initialize() override;
    // One Euler step of the error limit; the run never calls it for an integrating block.
    void Compute() override;
};

// The value input 1 had D time units earlier, interpolated from the samples of input 1 recorded
// at every output step.
class CDelayBlock : public CBlock {
  public:
    CDelayBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;
    void ClearHistory() override;
    void OnRecorded() override;

    double SampleInterval = 0.0;
    // Input 1 at every recorded output step; sample j belongs to time j × SampleInterval.
    std::vector<double> InputHistory;
};

// A first-order approach toward an asymptote, restarted in closed form from the value recorded
// at the last output step.
class CDecayBlock : public CBlock {
  public:
    CDecayBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;
    void OnRecorded() override;

    double LastRecordTime = 0.0;
};
