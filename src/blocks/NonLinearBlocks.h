#pragma once
// The non-linear elements: Bang, Negative Clip, Positive Clip, Limiter, Dead Space and Back Lash.
// (Absolute, Integer, Modulo and Offset live with the arithmetic blocks, the Function Generator
// on its own.)

#include "blocks/BlockSetup.h"

// Sign of input × gain: 1, -1 or 0.
KINTRA_DECLARE_BLOCK(CBangBlock);
// Input × gain where positive, else 0.
KINTRA_DECLARE_BLOCK(CNegativeClipBlock);
// Input × gain where negative, else 0.
KINTRA_DECLARE_BLOCK(CPositiveClipBlock);
// Input × gain held between the minimum and the maximum (no limiting unless minimum < maximum).
KINTRA_DECLARE_BLOCK(CLimiterBlock);
// Zero slope between the bounds, unit slope outside them, offset by the dead-zone value.
KINTRA_DECLARE_BLOCK(CDeadSpaceBlock);

// Mechanical play: the output stays put while the input moves inside a band of the backlash
// width around it and is dragged along by the band's edge beyond.
class CBackLashBlock : public CBlock {
  public:
    CBackLashBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    // Clamps the distribution (parameter 1) into [-1, 1] in place and starts at the initial value.
    int Initialize() override;
    void Compute() override;

    // The output position of the mechanism.
    double BacklashState = 1.0;
};
