// The transfer function's display: magnitude, phase, coherence and impulse response stacked,
// each a plot channel of the module's plot; stored curves overlaid with a legend.
#include "modules/transfer/TransferView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

namespace {
// Stored traces, so that up to four stand apart from the live one and from each other.
constexpr CColour kStoredColours[CTransferView::kMaxStored] = {
    {255, 80, 80}, {80, 160, 255}, {255, 0, 255}, {200, 200, 0}};

const char* const kPlotNames[CTransferView::kPlots] = {"Magnitude (dB)", "Phase (deg)", "Coherence",
                                                       "Impulse response"};
} // namespace

void CTransferView::UpdatePlotChannels() {
    const int32_t n = m_curve.fftSize > 0 ? m_curve.fftSize : FftSize();
    for (int p = 0; p < kPlots; ++p) {
        CChannel* channel = GetChannelPointer(p);
        if (!channel) continue;
        channel->m_sampleRate = m_sampleRate;
        channel->m_blockSize = n;
        channel->m_numUsed = n;
        channel->m_xCode = EPlotX::LogFrom1Hz;
        channel->m_startBin = std::max(1, int32_t(m_startHz * n / m_sampleRate));
        channel->m_stopBin = std::min(n / 2, int32_t(std::ceil(m_stopHz * n / m_sampleRate)));
        channel->m_yOffset = 0.0;
        channel->m_plotStyle = 0;
    }
    const auto arrays = [this](int p) -> CTraceArrays {
        const int32_t bins = int32_t(m_curve.coherence.size());
        if (bins == 0) return {};
        switch (p) {
        case kMagnitude:
            return {nullptr, m_shownMagnitude.data(), nullptr, nullptr, nullptr, bins};
        case kPhase:
            return {nullptr, nullptr, m_shownPhase.data(), nullptr, nullptr, bins};
        case kCoherence:
            return {nullptr, m_curve.coherence.data(), nullptr, nullptr, nullptr, bins};
        default:
            return {m_envelope.data(), nullptr, nullptr,
                    nullptr,           nullptr, int32_t(m_envelope.size())};
        }
    };
    for (int p = 0; p < kPlots; ++p)
        if (CChannel* channel = GetChannelPointer(p))
            channel->m_arrays = [arrays, p] { return arrays(p); };
    if (CChannel* c = GetChannelPointer(kMagnitude)) {
        c->m_yCode = EPlotY::DBVPeak;
        c->m_yScale = MagnitudeScale();
    }
    if (CChannel* c = GetChannelPointer(kPhase)) {
        c->m_yCode = EPlotY::Degrees;
        c->m_yScale = PhaseScale();
    }
    if (CChannel* c = GetChannelPointer(kCoherence)) {
        c->m_yCode = EPlotY::Ratio;
        c->m_yScale = 1.0 / c->m_grid.yDivisions; // 0 to 1 over the height
    }
    if (CChannel* c = GetChannelPointer(kImpulse)) {
        // The first quarter of the response's envelope, scaled to its peak (0 to 1 over the
        // height; the polarity is a readout), lag 0 an eighth of the width in so that a peak
        // there shows.
        c->m_xCode = EPlotX::Time;
        c->m_yCode = EPlotY::Ratio;
        c->m_timePerDivision = n / 4.0 / m_sampleRate / c->m_grid.xDivisions;
        c->m_timeOffset = 62.5;
        c->m_yScale = 1.0 / c->m_grid.yDivisions;
    }
}

void CTransferView::FitScales() {
    CChannel* c = GetChannelPointer(kMagnitude);
    if (!c) return;
    std::vector<double> scales;
    for (const std::string& s : MagnitudeScaleChoices())
        scales.push_back(ParseDouble(s));
    const int fit = c->FitScale(scales);
    if (fit >= 0) m_magScaleIndex = fit;
}

void CTransferView::OnDraw(ICanvas& canvas, const CRect& rect) {
    const CRect area = GetScreenRect(rect);
    canvas.BeginLayer(area);
    CDspView::OnDraw(canvas, rect);
    UpdatePlotChannels();
    canvas.SetFont(canvas.IsPrinting() ? kPlotLargeFont : kPlotSmallFont);
    const CTextMetrics metrics = canvas.GetTextMetrics();
    const CDspDoc* doc = GetDocument();
    const CDspApp* app = doc ? doc->GetApp() : nullptr;
    const bool customText = !app || app->GetSettings().enableCustomModuleTextColor != 0;
    const CColour labels = customText ? GetPlotColours().customText : GetPlotColours().windowText;
    const int32_t height = area.bottom - area.top;
    const int32_t pad = std::max(2, metrics.averageCharWidth);
    for (int p = 0; p < kPlots; ++p) {
        CChannel* channel = GetChannelPointer(p);
        if (!channel) continue;
        const CRect slice{area.left, area.top + height * p / kPlots, area.right,
                          area.top + height * (p + 1) / kPlots};
        const CRect plot{slice.left + 8 * metrics.averageCharWidth, slice.top + metrics.height,
                         slice.right - 3 * metrics.averageCharWidth,
                         slice.bottom - 2 * metrics.height};
        if (plot.IsRectEmpty()) continue;
        channel->m_plotRect = plot;
        channel->m_labelBounds = slice;
        channel->m_colours = GetPlotColours();
        channel->m_customTextColour = customText;
        canvas.FillRect(plot, GetPlotColours().background);
        channel->DrawGrid(canvas);
        canvas.DrawText({plot.left, slice.top}, kPlotNames[p], labels);
        // Stored curves under the live one, each in its colour, named in the legend.
        if (p == kMagnitude || p == kPhase) {
            const auto live = channel->m_arrays;
            const int32_t liveSize = channel->m_blockSize;
            for (size_t s = 0; s < m_stored.size(); ++s) {
                const CCurve& curve = m_stored[s];
                std::vector<double> linear(curve.magnitudeDb.size());
                for (size_t k = 0; k < linear.size(); ++k)
                    linear[k] = std::pow(10.0, curve.magnitudeDb[k] / 20.0);
                channel->m_arrays = [&] {
                    return CTraceArrays{nullptr, linear.data(), curve.phaseDegrees.data(),
                                        nullptr, nullptr,       int32_t(linear.size())};
                };
                channel->m_blockSize = curve.fftSize;
                channel->m_colours.trace = kStoredColours[s];
                channel->PlotData(canvas);
                if (p == kMagnitude)
                    canvas.DrawText(
                        {plot.left + pad, plot.top + pad / 2 + int32_t(s + 1) * metrics.height},
                        curve.name, kStoredColours[s]);
            }
            channel->m_arrays = live;
            channel->m_blockSize = liveSize;
            channel->m_colours = GetPlotColours();
            if (p == kMagnitude && !m_stored.empty())
                canvas.DrawText({plot.left + pad, plot.top + pad / 2}, "Live",
                                GetPlotColours().trace);
        }
        channel->PlotData(canvas);
        channel->DrawMarker(canvas);
        // The readouts at the top right of the magnitude plot.
        if (p == kMagnitude) {
            int32_t y = plot.top + pad / 2;
            for (const CReadoutValue& r : GetReadoutValues()) {
                const std::string text = r.Text();
                canvas.DrawText({plot.right - pad - canvas.GetTextExtent(text).cx, y}, text,
                                GetPlotColours().marker);
                y += metrics.height;
            }
        }
    }
    canvas.EndLayer();
}
