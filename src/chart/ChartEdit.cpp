// Editing a chart with the mouse: the right button selects a block, the left button places new
// and moved blocks on grid points, joins an output to an input with two clicks on their ports,
// picks up the selected block and opens the Block Editor on any other. The Edit commands cut,
// copy, paste and delete the selected block through the program's one clipboard block.
// Clicks that cannot be honoured are ignored without a word.

#include "chart/ChartEdit.h"

#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "model/OrventDoc.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

std::unique_ptr<CBlock>& Clipboard() {
    static std::unique_ptr<CBlock> block;
    return block;
}

// The Clock and its companions stay where they are, in every chart.
// The name of a change to a block in the Undo and Redo commands: "Move Gain".
std::string ChangeName(const char* verb, const CBlock* block) {
    std::string name(verb);
    if (block && !block->Name.empty()) name.append(" ").append(block->Name);
    return name;
}

bool IsClock(const CBlock& block) {
    return block.TypeId == kClockTypeId;
}

// The Clock's companions are never drawn, so no click reaches them either.
bool IsHidden(const CBlock& block) {
    return block.Kind == BK_COMPANION;
}

// The first line of a text, without surrounding blanks, cut to about a line's width (never
// inside a character).
std::string FirstLine(const std::string& text) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string line = text.substr(0, end);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    line.erase(0, first);
    line.erase(line.find_last_not_of(" \t") + 1);
    constexpr std::size_t kMax = 80;
    if (line.size() > kMax) {
        std::size_t cut = kMax;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        line.resize(cut);
        line.append("...");
    }
    return line;
}

} // namespace

int SlotOfPort(const CBlock& block, int port) {
    for (int slot = 0; slot < 4; ++slot)
        if (PortOfSlot(block, slot) == port) return slot;
    return -1;
}

CBlock* ClipboardBlock() {
    return Clipboard().get();
}

void SetClipboardBlock(std::unique_ptr<CBlock> block) {
    if (block) block->Document = nullptr;
    Clipboard() = std::move(block);
}

int PortOfSlot(const CBlock& block, int slot) {
    const int n = block.InputsShown;
    switch (slot) {
    case 0:
        return block.ShowValue == 1 ? 0 : -1;
    case 1:
        return n == 2 || n == 3 ? 1 : -1;
    case 2:
        return n == 3 ? 2 : n == 1 ? 1 : -1;
    case 3:
        return n == 3 ? 3 : n == 2 ? 2 : -1;
    default:
        return -1;
    }
}

// ---- Hit tests ---------------------------------------------------------------------------------

CBlock* COrventView::HitTestBlock(CPoint point) const {
    const COrventDoc* doc = GetDocument();
    if (!doc) return nullptr;
    const int g = Mag(11);
    for (const auto& b : doc->Blocks) {
        if (IsHidden(*b)) continue;
        const CPoint c = CellCentre(b->Position.x, b->Position.y);
        if (c.x - g < point.x && point.x < c.x + g && c.y - g < point.y && point.y < c.y + g) return b.get();
    }
    return nullptr;
}

bool COrventView::HitTestPort(CPoint point, PortPick& pick) {
    return FindPort(point, pick) == PortHit::Port;
}

PortPick COrventView::PortAt(CPoint point) const {
    const COrventDoc* doc = GetDocument();
    if (!doc) return {};
    for (const auto& b : doc->Blocks) {
        if (IsHidden(*b)) continue;
        for (int slot = 0; slot < 4; ++slot) {
            const int port = PortOfSlot(*b, slot);
            if (port < 0) continue;
            const CRect area = PortArea({b.get(), port});
            if (point.x >= area.left && point.x < area.right && point.y >= area.bottom && point.y < area.top)
                return {b.get(), port};
        }
    }
    return {};
}

CRect COrventView::PortArea(const PortPick& pick) const {
    if (!pick.Block) return {};
    const CBlock& b = *pick.Block;
    const int slot = SlotOfPort(b, pick.Port);
    if (slot < 0) return {};
    const CPoint c = CellCentre(b.Position.x, b.Position.y);
    // Outputs open to the right and inputs to the left, the other way round when inverted.
    const bool right = (pick.Port == 0) != (b.Invert != 0);
    return {c.x + (right ? Mag(11) : Mag(-16)), c.y + Mag(14 - kPortOffset[slot]),
            c.x + (right ? Mag(16) : Mag(-11)), c.y + Mag(8 - kPortOffset[slot])};
}

COrventView::PortHit COrventView::FindPort(CPoint point, PortPick& pick) {
    pick = {};
    const PortPick found = PortAt(point);
    if (!found.Block) return PortHit::None;
    // A connected input must first be cleared in the Block Editor.
    if (found.Port > 0 && found.Block->Inputs[found.Port - 1]) return PortHit::ConnectedInput;
    pick = found;
    if (!Connecting) {
        const bool right = (found.Port == 0) != (found.Block->Invert != 0);
        const CPoint c = CellCentre(found.Block->Position.x, found.Block->Position.y);
        Anchor = {c.x + (right ? Mag(15) : Mag(-15)),
                  c.y + Mag(11 - kPortOffset[SlotOfPort(*found.Block, found.Port)])};
        End = Anchor;
    }
    return PortHit::Port;
}

// ---- The mouse ---------------------------------------------------------------------------------

void COrventView::OnLButtonDown(CPoint point) {
    COrventDoc* doc = GetDocument();
    if (!doc) return;
    if (Placing) {
        PlaceAt(point);
        return;
    }
    if (Connecting) {
        FinishConnection(point);
        return;
    }
    switch (FindPort(point, FirstPick)) {
    case PortHit::Port:
        Connecting = 1;
        return;
    case PortHit::ConnectedInput:
        // Not a click on empty chart: it must not arm another block.
        return;
    case PortHit::None:
        break;
    }
    CBlock* hit = HitTestBlock(point);
    if (hit && hit == SelectedBlock) {
        // Picked up: it stays drawn at its old place until it is dropped.
        MovingBlock = hit;
        RecalcLayout();
        Repaint();
        Placing = 1;
        return;
    }
    if (hit) {
        CChartChange change(doc, ChangeName("Edit", hit));
        hit->EditProperties();
        return;
    }
    // A click on empty chart after an insert arms one more block of the same type.
    const int type = doc->PendingBlock ? doc->PendingBlock->TypeId : PendingType;
    if (LastInsertId == 0 || type == 0) return;
    std::unique_ptr<CBlock> block = doc->CreateBlock(type);
    if (!block) return;
    doc->PendingBlock = std::move(block);
    PendingType = type;
    PastePending = false;
    Placing = 1;
    ActiveInsertId = LastInsertId;
}

void COrventView::PlaceAt(CPoint point) {
    COrventDoc* doc = GetDocument();
    if (CellWidth <= 0 || CellHeight <= 0) return;
    // The nearest grid point, if the click is close enough to it.
    int dx = static_cast<int>(std::fmod(static_cast<double>(point.x - XOrigin), CellWidth));
    if (dx > CellWidth / 2) dx -= CellWidth;
    int dy = static_cast<int>(std::fmod(static_cast<double>(-point.y - YOrigin), CellHeight));
    if (dy > CellHeight / 2) dy -= CellHeight;
    if (std::abs(dx) > SnapX || std::abs(dy) > SnapY) return;
    const int column = (point.x - XOrigin - dx) / CellWidth;
    const int row = -((-point.y - YOrigin - dy) / CellHeight);
    // Clicks at the very left or top edge of the window can come near a point outside the grid
    // (column -1 or row 1); nothing is placed there.
    if (column < 0 || row > 0) return;
    CChartChange change(doc, MovingBlock
                                 ? ChangeName("Move", MovingBlock)
                                 : ChangeName(PastePending ? "Paste" : "Place", doc->PendingBlock.get()));
    if (MovingBlock) {
        // The Clock takes its hidden companions along; their cells must be free too.
        if (!doc->MoveBlock(MovingBlock, column, row)) return;
        MovingBlock = nullptr;
        SelectedBlock = nullptr;
    } else {
        if (doc->FindBlockAt(column, row)) return;
        // A new or pasted block never shares a name with another, so inputs and --set can
        // tell them apart.
        if (doc->PendingBlock) doc->PendingBlock->Name = doc->UniqueBlockName(doc->PendingBlock->Name);
        doc->PlaceBlock(column, row);
    }
    Placing = 0;
    RecalcLayout();
    Repaint();
}

void COrventView::FinishConnection(CPoint point) {
    COrventDoc* doc = GetDocument();
    if (!HitTestPort(point, SecondPick)) return;
    if (SecondPick.Block == FirstPick.Block) return;
    if ((SecondPick.Port == 0) == (FirstPick.Port == 0)) return;
    // Another pane may have connected the first input meanwhile.
    const PortPick& inputEnd = SecondPick.Port == 0 ? FirstPick : SecondPick;
    if (inputEnd.Block->Inputs[inputEnd.Port - 1]) return;
    // The first pick becomes the input end.
    if (SecondPick.Port != 0) std::swap(FirstPick, SecondPick);
    CBlock* block = FirstPick.Block;
    const int input = FirstPick.Port - 1;
    CChartChange change(doc, ChangeName("Connect", block));
    block->Inputs[input] = SecondPick.Block;
    doc->RouteInput(block, input);
    Connecting = 0;
    doc->SetModifiedFlag();
    doc->UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
    RecalcLayout();
    Repaint();
}

bool COrventView::OnMouseMove(CPoint point) {
    if (!Connecting || point == End) return false;
    End = point;
    return true;
}

bool COrventView::CancelEditing() {
    COrventDoc* doc = GetDocument();
    if (!doc) return false;
    if (Placing) {
        // Only a block still waiting goes; one already placed belongs to the document.
        doc->PendingBlock.reset();
        PendingType = 0;
        Placing = 0;
        MovingBlock = nullptr;
        Repaint();
        return true;
    }
    if (Connecting) {
        Connecting = 0;
        FirstPick = {};
        Repaint();
        return true;
    }
    return false;
}

void COrventView::DrawRubberBand(DeviceContext& dc) const {
    if (!Connecting) return;
    dc.SetDrawMode(DrawMode::Invert);
    dc.SetPen(PenStyle::Solid, 0, RGB(0, 0, 0));
    dc.MoveTo(Anchor.x, Anchor.y);
    dc.LineTo(End.x, End.y);
    dc.SetDrawMode(DrawMode::Copy);
}

void COrventView::OnRButtonDown(CPoint point) {
    COrventDoc* doc = GetDocument();
    if (!doc) return;
    if (CancelEditing()) return;
    SelectedBlock = HitTestBlock(point);
    RecalcLayout();
    Repaint();
}

// ---- Commands ----------------------------------------------------------------------------------

bool COrventView::OnInsert(int commandId) {
    COrventDoc* doc = GetDocument();
    const CBlockTypeInfo* type = FindBlockTypeByCommand(commandId);
    if (!doc || !type || type->TypeId == kClockTypeId) return false;
    std::unique_ptr<CBlock> block = doc->CreateBlock(type->TypeId);
    if (!block) return false;
    // A block still waiting from an earlier command is simply replaced.
    doc->PendingBlock = std::move(block);
    PendingType = type->TypeId;
    PastePending = false;
    // The click that follows places the new block, not one picked up before.
    MovingBlock = nullptr;
    Placing = 1;
    ActiveInsertId = LastInsertId = commandId;
    return true;
}

void COrventView::OnEditCopy() {
    COrventDoc* doc = GetDocument();
    if (!doc || !SelectedBlock || IsClock(*SelectedBlock)) return;
    std::unique_ptr<CBlock> copy = doc->CreateBlock(SelectedBlock->TypeId);
    if (!copy) return;
    doc->CopyBlockSettings(*SelectedBlock, *copy);
    SetClipboardBlock(std::move(copy));
}

void COrventView::OnEditCut() {
    if (!SelectedBlock || IsClock(*SelectedBlock)) return;
    OnEditCopy();
    DeleteSelected("Cut");
}

void COrventView::OnEditDelete() {
    if (!SelectedBlock || IsClock(*SelectedBlock)) return;
    DeleteSelected("Delete");
}

void COrventView::DeleteSelected(const char* verb) {
    COrventDoc* doc = GetDocument();
    if (!doc) return;
    CChartChange change(doc, ChangeName(verb, SelectedBlock));
    doc->DeleteBlock(SelectedBlock);
    SelectedBlock = nullptr;
    doc->UpdateAllViews(nullptr, HINT_REDRAW, nullptr);
    RecalcLayout();
    Repaint();
}

void COrventView::OnEditPaste() {
    COrventDoc* doc = GetDocument();
    const CBlock* clip = ClipboardBlock();
    if (!doc || !clip || Placing) return;
    std::unique_ptr<CBlock> block = doc->CreateBlock(clip->TypeId);
    if (!block) return;
    doc->CopyBlockSettings(*clip, *block);
    doc->PendingBlock = std::move(block);
    PendingType = clip->TypeId;
    PastePending = true;
    Placing = 1;
}

void COrventView::ForgetBlock(const CBlock* block) {
    if (SelectedBlock == block) SelectedBlock = nullptr;
    if (MovingBlock == block) {
        MovingBlock = nullptr;
        Placing = 0;
    }
    if (FirstPick.Block == block) {
        Connecting = 0;
        FirstPick = {};
    }
    if (SecondPick.Block == block) SecondPick = {};
    if (HoverPort.Block == block) HoverPort = {};
}

void COrventView::Repaint() {
    if (m_window) m_window->Invalidate();
}

// ---- Hovering ----------------------------------------------------------------------------------

bool COrventView::SetHoverPoint(CPoint point) {
    // While a block waits to be placed the click goes to the grid, not to a port; an input that
    // has its source takes no click either.
    PortPick port = Placing ? PortPick{} : PortAt(point);
    if (port.Block && port.Port > 0 && port.Block->Inputs[port.Port - 1]) port = {};
    if (port == HoverPort) return false;
    HoverPort = port;
    return true;
}

void COrventView::DrawHoverPort(DeviceContext& dc) const {
    if (!HoverPort.Block || dc.IsPrinting()) return;
    CRect area = PortArea(HoverPort);
    const int grow = std::max(2, Mag(2));
    area = {area.left - grow, area.top + grow, area.right + grow, area.bottom - grow};
    dc.SetBrush(BrushStyle::Null, 0);
    dc.SetPen(PenStyle::Solid, 2, RGB(0, 120, 215));
    dc.Rectangle(area);
}

std::string COrventView::TipAt(CPoint point) const {
    const PortPick port = PortAt(point);
    if (const CBlock* b = port.Block) {
        if (port.Port == 0) return "Output of " + b->Name + ": " + FormatString("%.6g", b->Value);
        const int i = port.Port - 1;
        std::string tip = "Input ";
        tip.append(std::to_string(port.Port)).append(" of ").append(b->Name);
        // A block's own name for the input ("Numerator"), where it has one.
        const std::string& label = b->InputLabels[i];
        if (!label.empty() && label.rfind("Input", 0) != 0) tip.append(" (").append(label).append(")");
        if (const CBlock* from = b->Inputs[i])
            tip.append(": from ").append(from->Name);
        else
            tip.append(": not connected");
        return tip;
    }
    const CBlock* b = HitTestBlock(point);
    if (!b) return {};
    std::string tip = b->Name;
    tip.append("\nType: ").append(b->TypeName).append("\nValue: ").append(FormatString("%.6g", b->Value));
    const std::string notes = FirstLine(b->Notes);
    if (!notes.empty()) tip.append("\n").append(notes);
    return tip;
}
