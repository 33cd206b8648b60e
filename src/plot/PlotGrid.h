#pragma once
// The division grid of a plot and its minor tick marks.

#include "platform/Canvas.h"

#include <cstdint>

/** Divisions and minor ticks per division; views also keep the grid lines on which their
 *  default ticks sit. */
struct CGridLayout {
    int32_t xDivisions = 10;
    int32_t yDivisions = 8;
    int32_t xTicks = 5;
    int32_t yTicks = 5;
    int32_t xTickLine = 4;
    int32_t yTickLine = 5;
};

/** Minor ticks along the horizontal grid line `index` (counted up from the bottom), with the
 *  pen in force: xDivisions × xTicks − 1 vertical ticks of half-length H ÷ (yDivisions × 8). */
void DrawXDirTicks(ICanvas& canvas, const CRect& plot, const CGridLayout& grid, int index);
/** Minor ticks along the vertical grid line `index` (counted from the left): yDivisions × yTicks
 *  − 1 horizontal ticks of the same half-length; nothing when the line lies outside the plot. */
void DrawYDirTicks(ICanvas& canvas, const CRect& plot, const CGridLayout& grid, int index);
