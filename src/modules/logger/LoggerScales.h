#pragma once
// The data logger's axes: what the X axis shows with its start and stop (two of 33 frequency
// positions, or the time per division and the position on a time axis), each Y axis's type,
// scale and reference, the rows that set them and the drawing records they give the plot. The
// logger's view derives from it, so that these rows take their places in the view's one stored
// record.

#include "modules/logger/LoggerPlot.h"
#include "process/Readout.h"
#include "process/SettingRows.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CDataLoggerView;

class CLoggerScales {
public:
    static constexpr int32_t kFreqPositions = 33;
    static constexpr int32_t kMaxTimeIndex = 18;
    static constexpr int32_t kMaxPosition = 100;

    CLoggerScales();

    int32_t GetXAxisType() const { return m_xAxisType; }
    const CLoggerChan& GetRecord(int axis) const { return m_loggerPlot.Record(axis); }
    double GetStartBin() const { return m_startBin; }
    double GetStopBin() const { return m_stopBin; }

protected:
    using Row = CSettingRow<CDataLoggerView>;
    /** One Y axis: what it shows, its scale and reference. */
    struct CAxisSettings {
        int32_t type = 1;
        int32_t scaleIndex = 17;
        double ref = 1.0;
        std::vector<std::string> scales;
    };
    static size_t Axis(int axis) { return axis == 1 ? 1 : 0; }

    /** The rows of the X axis's group and of Y axis 0 or 1 (LoggerScaleRows.cpp). */
    static std::vector<Row> XAxisRows();
    static std::vector<Row> YAxisRows(int axis);

    /** The 33 start/stop labels and the start and stop bins for a log's rate and block size. */
    void MakeFreqScale(double rate, int32_t size);
    /** Both records from the settings for a log's rate and block size; a new X type starts at
     *  the whole range, a new Y type at its default scale. */
    void ShowScales(double rate, int32_t size);
    // What the bar's buttons do (LoggerScales.cpp); `up` steps up, else down.
    void StepStart(bool up);
    void StepStop(bool up);
    void StepScale(int axis, bool up);
    /** The finest scale of this Y axis that shows these traces whole; false when the axis has
     *  no scale to fit. */
    bool FitScale(int axis, const std::vector<CLoggerPlot::CTrace>& traces);
    /** The readouts above the plot: the Y1 scale, start (or time per division), stop and the
     *  Y2 scale. */
    std::vector<CReadoutValue> ScaleReadouts() const;
    const CAxisSettings& MarkerAxis() const { return m_axes[Axis(m_markerAxis)]; }

    int32_t m_xAxisType = 2;
    bool m_xAxisTypeChanged = false;
    int32_t m_timeIndex = 9;
    int32_t m_startPosition = 0;
    int32_t m_stopPosition = kFreqPositions - 1;
    int32_t m_horizontalPosition = 50;
    double m_startBin = 1.0;
    double m_stopBin = 33.0;
    std::array<CAxisSettings, 2> m_axes;
    int32_t m_markerAxis = 0;
    std::vector<std::string> m_freqLabels;
    /** The grid, traces, texts and marker of the log, drawn in the view's plot. */
    CLoggerPlot m_loggerPlot;
};
