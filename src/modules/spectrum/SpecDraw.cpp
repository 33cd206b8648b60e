// The analyser's display: one plot per channel, stacked, each with its grid, its texts (the
// same texts GetReadouts gives), its trace and its marker.

#include "modules/spectrum/SpecView.h"

#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>

namespace {
bool Fits(const CRect& box, const CRect& area) {
    return box.left >= area.left && box.right <= area.right && box.top >= area.top &&
           box.bottom <= area.bottom;
}
} // namespace

void CSpecView::DrawChannelTexts(ICanvas& canvas, const CChannelTexts& texts, const CRect& area,
                                 const CRect& plot) const {
    const CDspDoc* doc = GetDocument();
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const bool custom = !app || app->GetSettings().enableCustomModuleTextColor != 0;
    const CColour labelColour = custom ? GetPlotColours().customText : GetPlotColours().windowText;
    const int32_t pad = std::max(2, canvas.GetTextMetrics().averageCharWidth / 2);

    // Draws `text` with its box's top left at x, y when the box lies inside `inside`.
    auto draw = [&](const std::string& text, int32_t x, int32_t y, const CRect& inside,
                    CColour colour) {
        const CSize size = canvas.GetTextExtent(text);
        const CRect box{x, y, x + size.cx, y + size.cy};
        if (Fits(box, inside)) canvas.DrawText({x, y}, text, colour);
    };
    auto width = [&](const std::string& text) { return canvas.GetTextExtent(text).cx; };

    // Above the plot: the scale at the left, stop at the right, start in the centre. In a
    // narrow plot a text that would run into one drawn before is left out (the bar shows it).
    const int32_t top = area.top + pad;
    std::vector<CRect> header;
    auto drawHeader = [&](const std::string& text, int32_t x) {
        const CSize size = canvas.GetTextExtent(text);
        const CRect box{x, top, x + size.cx, top + size.cy};
        for (const CRect& drawn : header)
            if (box.left < drawn.right + pad && drawn.left < box.right + pad) return;
        header.push_back(box);
        draw(text, x, top, area, labelColour);
    };
    drawHeader(texts.scale, plot.left);
    drawHeader(texts.stop, plot.right - width(texts.stop));
    drawHeader(texts.start, (plot.left + plot.right - width(texts.start)) / 2);

    // Inside the plot: the readouts right-aligned from the top, the average count bottom left.
    const int32_t lineHeight = canvas.GetTextMetrics().height;
    int32_t y = plot.top + pad;
    for (const std::string& line : texts.readouts) {
        draw(line, plot.right - pad - width(line), y, plot, GetPlotColours().marker);
        y += lineHeight;
    }
    if (!texts.average.empty())
        draw(texts.average, plot.left + pad, plot.bottom - pad - lineHeight, plot,
             GetPlotColours().marker);
}

void CSpecView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CDspDoc* doc = GetDocument();
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const bool customText = !app || app->GetSettings().enableCustomModuleTextColor != 0;

    int channels = 0;
    while (GetChannelPointer(channels))
        ++channels;
    const int32_t height = area.bottom - area.top;
    for (int c = 0; c < channels; ++c) {
        CChannel& channel = *GetChannelPointer(c);
        // One slice of the area per channel; margins for the texts above and the labels
        // beside and below the grid.
        const CRect slice{area.left, area.top + height * c / channels, area.right,
                          area.top + height * (c + 1) / channels};
        const CRect plot{slice.left + 8 * metrics.averageCharWidth, slice.top + 2 * metrics.height,
                         slice.right - 3 * metrics.averageCharWidth,
                         slice.bottom - 2 * metrics.height};
        if (plot.IsRectEmpty()) continue;
        channel.m_plotRect = plot;
        channel.m_labelBounds = slice;
        channel.m_colours = GetPlotColours();
        channel.m_colours.trace = TraceColour(GetPlotColours(), c);
        channel.m_customTextColour = customText;
        channel.m_selected = GetSelectedChannel() == c + 1;
        canvas.FillRect(plot, GetPlotColours().background);
        channel.DrawGrid(canvas);
        DrawChannelTexts(canvas, GetChannelTexts(c), slice, plot);
        // The channel's name in its trace's colour, as a legend.
        if (channels > 1) {
            const int32_t pad = std::max(2, metrics.averageCharWidth);
            canvas.DrawText({plot.left + pad, plot.top + pad / 2}, "Ch" + std::to_string(c + 1),
                            channel.m_colours.trace);
        }
        channel.PlotData(canvas);
        channel.DrawMarker(canvas);
    }
    canvas.EndLayer();
}
