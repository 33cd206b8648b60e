// The data logger's axes: the records drawn from the settings, the frequency labels and bins,
// and what the axis buttons do, each held at its limit.

#include "modules/logger/LoggerScales.h"

#include "base/NumberText.h"
#include "modules/logger/LoggerAxes.h"
#include "modules/logger/LoggerRowParts.h"
#include "plot/DivisionScales.h"
#include "plot/ScaleFit.h"

#include <algorithm>
#include <cmath>

using logger_rows::Item;

CLoggerScales::CLoggerScales() {
    m_axes[1].type = kLogYDegrees;
    m_axes[1].scaleIndex = 0;
    for (size_t i = 0; i < m_axes.size(); ++i) {
        m_axes[i].scales = MakeLoggerYScaleList(m_axes[i].type);
        m_loggerPlot.Record(int(i)).yCode = m_axes[i].type;
    }
}

void CLoggerScales::MakeFreqScale(double rate, int32_t size) {
    m_freqLabels.clear();
    for (int i = 0; i < kFreqPositions; ++i)
        m_freqLabels.push_back(FormatText("%dHz", int(std::lround(i * rate / 64.0))));
    m_startBin = double(m_startPosition) * size / 64.0;
    m_stopBin = double(m_stopPosition) * size / 64.0;
    for (int a = 0; a < 2; ++a) {
        m_loggerPlot.Record(a).firstBin = m_startBin;
        m_loggerPlot.Record(a).lastBin = m_stopBin;
    }
}

void CLoggerScales::ShowScales(double rate, int32_t size) {
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    if (m_xAxisTypeChanged) {
        m_xAxisTypeChanged = false;
        m_startPosition = 0;
        m_stopPosition = kFreqPositions - 1;
    }
    const double timePerDivision = ParseDivisionText(Item(TimePerDivisionChoices(), m_timeIndex));
    for (int i = 0; i < 2; ++i) {
        CLoggerChan& r = m_loggerPlot.Record(i);
        r.xCode = m_xAxisType;
        r.sampleRate = rate;
        r.blockSize = size;
        r.verticalPosition = time ? 50.0 : 0.0;
        r.timePerDivision = timePerDivision;
        r.horizontalPosition = m_horizontalPosition;
    }
    if (time) {
        m_startBin = 0.0;
        m_stopBin = size - 1;
        for (int i = 0; i < 2; ++i) {
            m_loggerPlot.Record(i).firstBin = 0.0;
            m_loggerPlot.Record(i).lastBin = 10.0 * timePerDivision * rate;
        }
    } else {
        MakeFreqScale(rate, size);
    }

    for (int i = 0; i < 2; ++i) {
        CAxisSettings& a = m_axes[size_t(i)];
        CLoggerChan& r = m_loggerPlot.Record(i);
        // A new Y type, chosen or set from text, starts at its default scale.
        if (r.yCode != a.type) {
            r.yCode = a.type;
            a.scales = MakeLoggerYScaleList(a.type);
            a.scaleIndex = LoggerYAxisType(a.type).defaultScale;
        }
        a.scaleIndex = std::clamp(a.scaleIndex, 0, int32_t(a.scales.size()) - 1);
        r.scalePerDivision = ParseDivisionText(Item(a.scales, a.scaleIndex));
        r.reference = a.ref;
    }
    const bool impedance = m_axes[0].type == kLogYImpedance || m_axes[1].type == kLogYImpedance;
    for (int i = 0; i < 2; ++i)
        m_loggerPlot.Record(i).impedanceShown = impedance;
}

void CLoggerScales::StepStart(bool up) {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (up && m_timeIndex < kMaxTimeIndex) ++m_timeIndex;
        if (!up && m_timeIndex > 0) --m_timeIndex;
    } else if (up && m_startPosition < kFreqPositions - 1 && m_startPosition < m_stopPosition - 1) {
        ++m_startPosition;
    } else if (!up && m_startPosition > 0) {
        --m_startPosition;
    }
}

void CLoggerScales::StepStop(bool up) {
    if (LoggerIsTimeAxis(m_xAxisType)) {
        if (up && m_horizontalPosition < kMaxPosition) ++m_horizontalPosition;
        if (!up && m_horizontalPosition > 0) --m_horizontalPosition;
    } else if (up && m_stopPosition < kFreqPositions - 1) {
        ++m_stopPosition;
    } else if (!up && m_stopPosition > m_startPosition + 1) {
        --m_stopPosition;
    }
}

void CLoggerScales::StepScale(int axis, bool up) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (up && a.scaleIndex < int32_t(a.scales.size()) - 1) ++a.scaleIndex;
    if (!up && a.scaleIndex > 0) --a.scaleIndex;
}

bool CLoggerScales::FitScale(int axis, const std::vector<CLoggerPlot::CTrace>& traces) {
    CAxisSettings& a = m_axes[Axis(axis)];
    if (a.type == kLogYNone || a.type == kLogYdBVSPL) return false;
    const std::vector<double> values =
        m_loggerPlot.TraceValues(int(Axis(axis)), traces, m_xAxisType);
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

std::vector<CReadoutValue> CLoggerScales::ScaleReadouts() const {
    const bool time = LoggerIsTimeAxis(m_xAxisType);
    return {
        {0, "Y1 scale", Item(m_axes[0].scales, m_axes[0].scaleIndex), false},
        {0, time ? "T/Div" : "Start",
         time ? Item(TimePerDivisionChoices(), m_timeIndex) : Item(m_freqLabels, m_startPosition)},
        {0, "Stop", time ? std::string() : Item(m_freqLabels, m_stopPosition), !time},
        {0, "Y2 scale", Item(m_axes[1].scales, m_axes[1].scaleIndex), false},
    };
}
