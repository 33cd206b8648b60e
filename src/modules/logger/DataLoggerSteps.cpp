// What the data logger's axis buttons do: the X axis's start and stop (time per division and
// position on a time axis) and each Y axis's scale and its fit, each held at its limit.

#include "modules/logger/DataLoggerView.h"

#include "modules/logger/LoggerAxes.h"
#include "plot/DivisionScales.h"
#include "plot/ScaleFit.h"

#include <algorithm>

void CDataLoggerView::StepStart(bool up) {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (up && m_timeIndex < kMaxTimeIndex) ++m_timeIndex;
        if (!up && m_timeIndex > 0) --m_timeIndex;
    } else if (up && m_startPosition < kFreqPositions - 1 && m_startPosition < m_stopPosition - 1) {
        ++m_startPosition;
    } else if (!up && m_startPosition > 0) {
        --m_startPosition;
    }
}

void CDataLoggerView::StepStop(bool up) {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (up && m_horizontalPosition < kMaxPosition) ++m_horizontalPosition;
        if (!up && m_horizontalPosition > 0) --m_horizontalPosition;
    } else if (up && m_stopPosition < kFreqPositions - 1) {
        ++m_stopPosition;
    } else if (!up && m_stopPosition > m_startPosition + 1) {
        --m_stopPosition;
    }
}

void CDataLoggerView::StepScale(int axis, bool up) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (up && a.scaleIndex < int32_t(a.scales.size()) - 1) ++a.scaleIndex;
    if (!up && a.scaleIndex > 0) --a.scaleIndex;
}

bool CDataLoggerView::FitScale(int axis) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (!m_log.List() || a.type == kLogYNone || a.type == kLogYdBVSPL) return false;
    const std::vector<double> values =
        m_loggerPlot.TraceValues(int(Axis(axis)), DrawnPlots(), m_xAxisType);
    std::vector<double> scales;
    for (const std::string& text : a.scales)
        scales.push_back(ParseDivisionText(text));
    const bool decibels = LoggerIsDecibels(a.type);
    const bool centred = decibels || a.type == kLogYDegrees;
    const double zero = centred ? 50.0 : m_loggerPlot.Record(axis).verticalPosition;
    const int fit = FitScaleIndex(values, scales, {8, zero, decibels});
    if (fit >= 0) a.scaleIndex = fit;
    return true;
}
