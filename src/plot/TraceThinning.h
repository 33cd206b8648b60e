#pragma once
// A trace of many more points than pixel columns draws as the same picture from a few
// points per column: where the line enters the column, its lowest and highest point, and
// where it leaves.

#include "base/Geometry.h"

#include <vector>

/** Replaces every run of more than four consecutive points in one pixel column by its first
 *  point, its highest and lowest points (in their order) and its last point. */
void ThinToPixelColumns(std::vector<CPoint>& points);
