#pragma once
// The chart editing tests' document, view and helpers: clicks in logical units on a real
// document, with the clipboard emptied around each test.

#include "ChartTestSupport.h"
#include "blocks/Catalogue.h"
#include "blocks/FunctionGenerator.h"
#include "chart/ChartEdit.h"
#include "model/ClockBlock.h"

inline constexpr int kGain = BlockCommand::Gain;         // 1 input
inline constexpr int kDivide = BlockCommand::Divide;     // 2 inputs
inline constexpr int kSum = BlockCommand::Sum;           // 3 inputs
inline constexpr int kConstant = BlockCommand::Constant; // no input
inline constexpr int kSine = BlockCommand::Sine;
inline constexpr int kQuit = BlockCommand::Quit; // no output
inline constexpr int kFunctionGenerator = BlockCommand::FunctionGenerator;

class ChartEditTest : public ChartTest {
  protected:
    ChartEditTest() {
        SetClipboardBlock(nullptr);
        doc.SetModifiedFlag(false);
    }
    ~ChartEditTest() override { SetClipboardBlock(nullptr); }

    CPoint GridPoint(int column, int row) const { return view.CellCentre(column, row); }
    // Half way between two grid points: on no block and no port.
    CPoint EmptyPoint() const {
        const CPoint p = GridPoint(3, -3);
        return {p.x + view.CellWidth / 2, p.y - view.CellHeight / 2};
    }

    // A block of the insert command's type, placed at (column, row) with two clicks' worth of
    // editing: the command, then the grid point.
    CBlock* Insert(int command, int column, int row) {
        EXPECT_TRUE(view.OnInsert(command));
        view.OnLButtonDown(GridPoint(column, row));
        CBlock* b = doc.FindBlockAt(column, row);
        EXPECT_NE(b, nullptr);
        return b;
    }

    // The middle of a port's hit area: 13 bitmap units beside the centre, level with its line.
    CPoint PortPoint(const CBlock& b, int port) const {
        int slot = -1;
        for (int s = 0; s < 4; ++s)
            if (PortOfSlot(b, s) == port) slot = s;
        EXPECT_GE(slot, 0);
        const bool right = (port == 0) != (b.Invert != 0);
        const CPoint c = view.CellCentre(b.Position.x, b.Position.y);
        return {c.x + view.Mag(right ? 13 : -13), c.y + view.Mag(11 - kPortOffset[slot])};
    }

    // A connection drawn with two clicks, from port `fromPort` of `a` to port `toPort` of `b`.
    void Link(CBlock* a, int fromPort, CBlock* b, int toPort) {
        view.OnLButtonDown(PortPoint(*a, fromPort));
        view.OnLButtonDown(PortPoint(*b, toPort));
    }

    std::size_t BlockCount() const { return doc.Blocks.size(); }
};
