#pragma once
// The Clock: the time base of a chart, with its two hidden companions Error and Count.

#include "model/Block.h"

class CDummyBlock;

class CClockBlock : public CBlock {
public:
    CClockBlock(int imageId, COrventDoc* document, int commandId, int typeId);
    void Serialize(CArchive& ar) override;
    int Initialize() override;
    void Compute() override;
    // Creates the Error and Count companions and lists them in the document.
    void CreateCompanions();

    CDummyBlock* ErrorCompanion = nullptr;
    CDummyBlock* CountCompanion = nullptr;
};

class CDummyBlock : public CBlock {
public:
    CDummyBlock(int imageId, COrventDoc* document, int commandId, int typeId, CClockBlock* clock);
    void Serialize(CArchive& ar) override;
    int Initialize() override { return 1; }
    void Compute() override {}

    CClockBlock* Clock;
};
