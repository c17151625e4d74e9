#pragma once
// The Clock: the time base of a chart, with its two hidden companions Error and Count.

#include "model/Block.h"

class CDummyBlock;

class CClockBlock : public CBlock {
  public:
    CClockBlock(int imageId, CBlockHost* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;
    // Creates the Error and Count companions and gives them to the chart.
    void CreateCompanions();
    // Puts the companions back beside the Clock's cell after the Clock has moved: views and files
    // find them by position, always (x - 500, y) and (x, y + 500).
    void PlaceCompanions();
    static CPoint ErrorCell(CPoint clock) { return {clock.x - 500, clock.y}; }
    static CPoint CountCell(CPoint clock) { return {clock.x, clock.y + 500}; }
    // The companion that a chart written before the companions followed their Clock still names
    // by the cell it was created on, or null. Such a chart put the Clock on the grid (column 0 or
    // more, row 0 or less), so Error stood left of column 0 and Count above row 0, where no other
    // block can stand; the caller asks only for positions no block holds now.
    CDummyBlock* CompanionLeftAt(CPoint cell) const;

    CDummyBlock* ErrorCompanion = nullptr;
    CDummyBlock* CountCompanion = nullptr;
};

class CDummyBlock : public CBlock {
  public:
    CDummyBlock(int imageId, CBlockHost* document, int commandId, int typeId, CClockBlock* clock);
    void Serialize(CArchive& ar) override;
    int Initialize() override { return 1; }
    void Compute() override {}

    CClockBlock* Clock;
};
