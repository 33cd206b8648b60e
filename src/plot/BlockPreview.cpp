#include "plot/BlockPreview.h"

#include "dsp/DSPFFTDataList.h"
#include "plot/TraceThinning.h"

#include <algorithm>
#include <cmath>
#include <string>

void DrawBlockPreview(ICanvas& canvas, const CRect& area, CDSPFFTDataList* list,
                      const CPlotColours& colours) {
    canvas.FillRect(area, colours.background);
    const int channels = list ? std::min(list->GetNumChans(), 2) : 0;
    const int32_t width = area.right - area.left, height = area.bottom - area.top;
    if (channels == 0 || width < 2 || height < 2) return;

    double peak = 0.0; // of the whole block, so the scale does not change with the width
    for (int c = 0; c < channels; ++c) {
        const double* samples = list->GetTimeData(c);
        for (int32_t i = 0; samples && i < list->GetSize(c); ++i)
            peak = std::max(peak, std::fabs(samples[i]));
    }
    if (peak == 0.0) peak = 1.0; // silence: flat lines in the middle of the bands

    canvas.SetFont(kPlotSmallFont);
    const int32_t pad = std::max(2, canvas.GetTextMetrics().averageCharWidth / 2);
    for (int c = 0; c < channels; ++c) {
        const int32_t top = area.top + height * c / channels;
        const int32_t bottom = area.top + height * (c + 1) / channels;
        const double middle = (top + bottom) / 2.0;
        const double half = std::max(1.0, (bottom - top) / 2.0 - pad);
        canvas.SetPen({colours.grid, 1});
        canvas.DrawLine({area.left, int32_t(middle)}, {area.right, int32_t(middle)});

        // At most one sample per pixel column from the block's start: a long block of a tone
        // would otherwise fill the band solid.
        const double* samples = list->GetTimeData(c);
        const int32_t count = samples ? std::min(list->GetSize(c), width) : 0;
        std::vector<CPoint> points;
        points.reserve(size_t(std::max(count, 0)));
        for (int32_t i = 0; i < count; ++i) {
            const double x = area.left + (count > 1 ? double(i) * (width - 1) / (count - 1) : 0.0);
            const double y = middle - samples[i] / peak * half;
            points.push_back({int32_t(std::lround(x)), int32_t(std::lround(y))});
        }
        ThinToPixelColumns(points);
        const CColour colour = TraceColour(colours, c);
        canvas.SetPen({colour, 1});
        canvas.DrawPolyline(points);
        canvas.DrawText({area.left + pad, top + pad}, "Ch" + std::to_string(c + 1), colour);
    }
}
