#pragma once
// Points, sizes and rectangles in the integer units of the chart grid and of the drawing
// surfaces (logical units of 0.01 inch, y upwards).

#include <cstdint>

struct CPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    bool operator==(const CSize&) const = default;
};

// A rectangle in logical units; with y upwards `top` is normally the larger y.
struct CRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const CRect&) const = default;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return top - bottom; }
};
