#pragma once
// Pixel geometry shared by drawing, layout and the stored window positions: integer rectangles,
// points and sizes with the origin at the top left.

#include <cstdint>

struct CRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    /** This rectangle less a margin on each side (the margins' left, top, right, bottom). */
    CRect Deflated(const CRect& margins) const {
        return {left + margins.left, top + margins.top, right - margins.right,
                bottom - margins.bottom};
    }
    bool operator==(const CRect&) const = default;
};

/** A pixel position (mouse input, marker points); origin top-left. */
struct CPoint {
    int32_t x = 0, y = 0;
    bool operator==(const CPoint&) const = default;
};

struct CSize {
    int32_t cx = 0, cy = 0;
    bool operator==(const CSize&) const = default;
};
