#pragma once
// The sizes a connection line is laid out in. Routes are searched and stored in one reference
// geometry; a chart view draws them in its own, which it builds from its layout.

#include "platform/Geometry.h"

#include <array>

class CBlock;

// Vertical offsets of the four port slots, counted down from the top of a block picture.
constexpr int kPortOffset[4] = {7, 3, 11, 19};
// The port slot of input `input` (0-based) of a block with `inputsShown` inputs.
constexpr int InputSlot(int inputsShown, int input) {
    switch (inputsShown) {
    case 1:
        return 2;
    case 2:
        return input == 0 ? 1 : 3;
    default:
        return input + 1;
    }
}

// Magnification of the pictures' units; size of a grid cell; logical position of column 0 and
// row 0; distance between two vertical tracks of a gutter and two horizontal tracks of a gap;
// room of the block names above a gap.
struct RouteGeometry {
    double mag;
    int cellWidth;
    int cellHeight;
    int xOrigin;
    int yOrigin;
    int vertSpacing;
    int horizSpacing;
    int labelOffset;
};

// The geometry routes are searched and stored in, whatever a view's sizes.
inline constexpr RouteGeometry kReferenceRouteGeometry{1.0, 50, 50, 25, 25, 2, 2, 3};

// The six points of the line of `input` (0 to 2) of `block` from its stored route record, laid
// out in `geometry`. The input must have a source.
std::array<CPoint, 6> RouteLine(const CBlock& block, int input, const RouteGeometry& geometry);
