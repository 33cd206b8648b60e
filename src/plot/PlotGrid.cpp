#include "plot/PlotGrid.h"

#include "plot/PlotValues.h"

namespace {

double HalfTick(const CRect& plot, const CGridLayout& grid) {
    return double(plot.bottom - plot.top) / (grid.yDivisions * 8.0);
}

} // namespace

void DrawXDirTicks(ICanvas& canvas, const CRect& plot, const CGridLayout& grid, int index) {
    const int count = grid.xDivisions * grid.xTicks;
    if (grid.xDivisions <= 0 || grid.yDivisions <= 0 || count <= 1) return;
    const double width = plot.right - plot.left, height = plot.bottom - plot.top;
    const double y = plot.bottom - height * index / grid.yDivisions;
    const double half = HalfTick(plot, grid);
    for (int j = 1; j < count; ++j) {
        const int32_t x = ClampPixel(plot.left + width * j / count, plot.left);
        if (x < plot.left || x > plot.right) continue;
        canvas.DrawLine({x, ClampPixel(y - half, plot.top)}, {x, ClampPixel(y + half, plot.top)});
    }
}

void DrawYDirTicks(ICanvas& canvas, const CRect& plot, const CGridLayout& grid, int index) {
    const int count = grid.yDivisions * grid.yTicks;
    if (grid.xDivisions <= 0 || grid.yDivisions <= 0 || count <= 1) return;
    const double width = plot.right - plot.left, height = plot.bottom - plot.top;
    const double x = plot.left + width * index / grid.xDivisions;
    if (x < plot.left || x > plot.right) return;
    const double half = HalfTick(plot, grid);
    for (int j = 1; j < count; ++j) {
        const int32_t y = ClampPixel(plot.top + height * j / count, plot.top);
        canvas.DrawLine({ClampPixel(x - half, plot.left), y}, {ClampPixel(x + half, plot.left), y});
    }
}
