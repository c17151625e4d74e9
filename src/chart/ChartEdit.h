#pragma once
// Editing a chart with the mouse and the Edit commands: the pieces shared by every chart view.
// The handlers themselves are members of COrventView (ChartEdit.cpp).

#include <memory>

class CBlock;

// One end of a connection being drawn: a block and its port, 0 for the output, 1 to 3 for the
// inputs.
struct PortPick {
    CBlock* Block = nullptr;
    int Port = -1;
    bool operator==(const PortPick&) const = default;
};

// The program's one clipboard block: a block of the copied type holding the copied settings. It
// belongs to no document; every chart pastes from it.
CBlock* ClipboardBlock();
// Replaces the clipboard block (null empties the clipboard).
void SetClipboardBlock(std::unique_ptr<CBlock> block);

// The port drawn in slot `slot` (0 to 3) of a block: 0 for the output, 1 to 3 for an input, or -1
// when the block shows no port there.
int PortOfSlot(const CBlock& block, int slot);
// The slot a port is drawn in, or -1 when the block shows no such port.
int SlotOfPort(const CBlock& block, int port);
