#pragma once
// The Generators palette: Gaussian and Random noise, Jitter (unit pulses at random intervals),
// Sine Wave Generator, Time Pulse Generator and One Shot. All are source blocks, sampled once
// per output step by the run. The random blocks share their chart's generator (blocks/Random.h); each
// reseeds it in Initialize, so the block initialized last decides the sequence of a run.
//
// "The switch is negative" below: input 3 is connected and its value is below 0.

#include "blocks/BlockSetup.h"

// mean + sd × w × √|2 w ln u2| with w = cos(2π u1); 0 while the switch is negative.
KINTRA_DECLARE_BLOCK(CGaussianBlock);
// Uniform between parameter 1 and parameter 2; 0 while the switch is negative.
KINTRA_DECLARE_BLOCK(CRandomBlock);

// 1.0 for one evaluation whenever the time has passed NextTime, which then moves on by a random
// span between the two time parameters.
class CJitterBlock : public CBlock {
  public:
    CJitterBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;

    double NextTime = 1.0;
};

// sin(Phase); the phase advances by 2π × frequency × the time elapsed since the previous Compute
// of the run, while enabled (switch open or above 0) and after the delay (parameter 3).
class CSineWaveBlock : public CBlock {
  public:
    CSineWaveBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;

    double Phase = 1.0; // radians

  private:
    double m_previousTime = 0.0;
    bool m_computed = false; // a Compute has happened since Initialize
};

// The magnitude for one evaluation at every period, from the first evaluation at or after the
// delay (or with the switch connected and not negative).
class CTimePulseBlock : public CBlock {
  public:
    CTimePulseBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;

    double NextTime = -1.0;
    int Started = 0;
};

// After the trigger rises above 0 (having been at or below 0), a pulse of the given height from
// trigger time + delay to that + width.
class COneShotBlock : public CBlock {
  public:
    COneShotBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;

    int Armed = 0;
    int Firing = 0;
    double PulseStart = -1.0;
    double PulseEnd = -1.0; // not saved; set whenever a pulse is scheduled
};
