#include "plot/Channel.h"

#include "dsp/DSPFFTDataList.h"
#include "base/Rounding.h"
#include "base/Archive.h"
#include "plot/PlotValues.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_SERIAL(CChannel, nullptr);

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

const double* Values(const CDSPFFTDataList& plot, int channel,
                     const CDSPData* (CDSPFFTData::*array)() const) {
    const CDSPFFTData* block = plot.GetAt(channel);
    const CDSPData* data = block ? (block->*array)() : nullptr;
    return data ? data->GetDataPointer() : nullptr;
}

} // namespace

CTraceArrays TraceArraysOf(const CDSPFFTDataList& list, int channel) {
    const int channels = list.GetNumChans();
    if (channel < 0 || channel >= channels) return {};
    CTraceArrays arrays{Values(list, channel, &CDSPFFTData::GetTimeObj),
                        Values(list, channel, &CDSPFFTData::GetFreqObj),
                        Values(list, channel, &CDSPFFTData::GetPhaseObj),
                        nullptr,
                        nullptr,
                        list.GetSize(channel)};
    const int other = channel == 0 ? 1 : 0;
    if (other < channels && list.GetSize(other) >= arrays.size) {
        arrays.companionMagnitude = Values(list, other, &CDSPFFTData::GetFreqObj);
        arrays.companionPhase = Values(list, other, &CDSPFFTData::GetPhaseObj);
    }
    return arrays;
}

int CChannel::TraceCount() const {
    if (m_loggedPlots.empty()) return 1;
    return std::clamp(m_plotCount, 1, int(m_loggedPlots.size()));
}

CRect CChannel::GetTraceRect(const CTextMetrics& metrics, int trace) const {
    const CRect& p = m_plotRect;
    const double depthWidth = (p.right - p.left) - 12.0 * metrics.averageCharWidth;
    const double depthHeight = (p.bottom - p.top) - 4.0 * metrics.height;
    const double count = 3.0 * TraceCount();
    const double left =
        p.left + 6.0 * metrics.averageCharWidth + depthWidth / 3.0 - trace * depthWidth / count;
    const double top = p.top + 2.0 * metrics.height + trace * depthHeight / count;
    const int32_t l = ClampPixel(left, p.left), t = ClampPixel(top, p.top);
    return {l, t, ClampPixel(left + depthWidth * 2.0 / 3.0, l),
            ClampPixel(top + depthHeight * 2.0 / 3.0, t)};
}

CPlotAxis CChannel::GetPlainAxis() const {
    const CPlotXTraits& x = PlotXTraits(m_xCode);
    CPlotAxis axis = CPlotAxis::Across(m_plotRect, x.kind);
    axis.sampleRate = m_sampleRate;
    axis.blockSize = m_blockSize;
    axis.startBin = m_startBin;
    axis.stopBin = m_stopBin;
    axis.timeOffset = m_timeOffset;
    axis.timePerDivision = m_timePerDivision;
    if (x.kind == EAxisKind::log) axis.lowestFrequency = x.lowestFrequency;
    if (!x.known) axis.width = 0.0; // nothing to place
    return axis;
}

CPlotAxis CChannel::GetXAxis(const CTextMetrics& metrics, int trace) const {
    CPlotAxis axis = GetPlainAxis();
    if (m_xCode == EPlotX::Depth) {
        // Two thirds of the width less the labels, starting at the trace's own left edge.
        axis.width =
            2.0 / 3.0 * ((m_plotRect.right - m_plotRect.left) - 16.0 * metrics.averageCharWidth);
        const double perBin = axis.width / (m_stopBin - m_startBin);
        axis.left = GetTraceRect(metrics, trace).left + m_startBin * perBin;
    }
    return axis;
}

CTraceArrays CChannel::GetTraceArrays(int trace) const {
    if (m_loggedPlots.empty()) return m_arrays ? m_arrays() : CTraceArrays{};
    if (trace < 0 || trace >= int(m_loggedPlots.size()) || !m_loggedPlots[size_t(trace)]) return {};
    const CDSPFFTDataList& plot = *m_loggedPlots[size_t(trace)];
    if (plot.GetNumChans() == 0) return {};
    return TraceArraysOf(plot, std::min(m_index, plot.GetNumChans() - 1));
}

double CChannel::TraceValue(const CTraceArrays& arrays, int32_t k) const {
    const double* values = m_xCode == EPlotX::Time ? arrays.time : arrays.magnitude;
    // Kept before the decibels, which would turn it into their floor.
    if (values && std::isnan(values[k])) return values[k];
    switch (m_yCode) {
    case EPlotY::Degrees:
        return WrapDegrees(arrays.phase[k]);
    case EPlotY::Ohms:
        return ImpedanceMagnitude(arrays.magnitude[k], arrays.phase[k],
                                  arrays.companionMagnitude[k], arrays.companionPhase[k], m_ref1);
    case EPlotY::VoltsRms:
        return values[k] / kSqrt2;
    case EPlotY::DBVPeak:
    case EPlotY::Depth:
        return Decibels(values[k]);
    case EPlotY::DBVRms:
        return Decibels(values[k] / kSqrt2);
    case EPlotY::DBRelative: {
        const double bin = std::fabs(m_ref1 / (m_sampleRate / arrays.size));
        const int32_t r = bin < arrays.size - 1 ? int32_t(RoundHalfUp(bin)) : arrays.size - 1;
        return Decibels(values[k] / arrays.magnitude[r]);
    }
    case EPlotY::DBSPL:
        return Decibels(values[k] / (m_ref1 / arrays.size));
    default:
        return values[k];
    }
}

double CChannel::YOfValue(double v, const CRect& trace) const {
    const double top = m_plotRect.top, bottom = m_plotRect.bottom;
    const double height = bottom - top;
    const double n = m_grid.yDivisions, d = m_yScale;
    switch (PlotYTraits(m_yCode).layout) {
    case EYLayout::FromBottom:
        return v * (top - bottom) / d / n + bottom - m_yOffset * height / 100.0;
    case EYLayout::CentredDecibels:
        return (top + height / 2.0) - v / (n * d / 2.0) * (height / 2.0);
    case EYLayout::SoundPressure:
        return top + height / 2.2222222222222223 - v * height / 80.0;
    case EYLayout::CentredDegrees:
        return (top + height / 2.0) + v * (top - bottom) / d / n;
    case EYLayout::Depth:
        // The trace's own rectangle, where it is clipped, so the bottom level stays in view.
        return trace.top - (v - d) * (trace.bottom - trace.top) / (d - m_bottomLevel);
    default:
        return bottom;
    }
}

std::string CChannel::DrawMarker(ICanvas& canvas) {
    if (!m_marker.on) return {};
    // The 3-D display's marker reads the plot as one linear axis.
    const CPlotAxis axis = GetPlainAxis();
    PlaceMarker(m_marker, axis, m_plotRect);
    const CReadoutScale scale{m_yCode, m_gain,       m_delay,
                              m_ref1,  m_sampleRate, m_xCode == EPlotX::Time};
    const std::string text =
        axis.MarkerText(m_marker.index) + MarkerValueText(GetTraceArrays(0), scale, m_marker.index);
    DrawMarkerReadout(canvas, m_plotRect, m_marker, text, m_colours.marker);
    return text;
}
