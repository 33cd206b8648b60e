#pragma once
// The "DataLogger" module: every pass appends a copy of the block list reaching its step to a
// log of plots, which its plot draws in their own colours against a time or frequency X axis and
// two Y axes, or draws as their complex sum or as the merge of plots 1 and 2 at a crossover. The
// user scales and delays plots, replaces a plot from a plot file, saves plots as plot, FRD, ZMA
// or CSV files and the whole log as a data log file, and moves plot data through the clipboard.
// The log has a limit in plots and bytes, and holds plots of one shape: a run that reaches the
// limit, or brings blocks of another shape, stops with a message and keeps every plot.

#include "modules/logger/DataLog.h"
#include "modules/logger/LoggerPlot.h"
#include "process/DspView.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CDataLoggerView : public CDspView {
    AURIVO_DECLARE_SERIAL(CDataLoggerView)
public:
    static constexpr int32_t kFreqPositions = 33;
    static constexpr int32_t kMaxTimeIndex = 18;
    static constexpr int32_t kMaxPosition = 100;
    static constexpr int kPlotChoices = 6;

    CDataLoggerView();

    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    int StartRun() override;
    /** Appends the block list of this step to the log; stops the run (0) with a message when
     *  the log is full or holds plots of another shape. */
    int ProcessData() override;
    int EndRun() override { return 1; }
    void ShowCurrentParams() override;
    /** The 33 start/stop labels and the start and stop bins from the log's rate and size. */
    virtual void MakeFreqScale();
    void OnInitialUpdate() override;

    // The log's own clipboard commands (DataLoggerCommands.cpp); Shift means nothing here, the
    // block lists are the log.
    void OnEditCut(bool shift) override;
    void OnEditCopy(bool shift) override;
    void OnEditPaste(bool shift) override;
    void OnCopyFRDdBSPL();
    void OnCopyZMA();
    std::vector<CMenuEntry> GetContextMenu() const override;
    bool OnContextCommand(const std::string& id) override;

    // File operations behind the dialogs, also for the command line and tests
    // (DataLoggerCommands.cpp).
    /** Reads a plot file into the selected plot; false after its message. */
    bool OpenPlotFile(const std::string& path);
    bool OpenDataLogFile(const std::string& path);
    /** Writes the selected plot by the save dialog's filter index: 0 plot, 1 FRD, 2 ZMA,
     *  3 CSV; false after its message. */
    bool SavePlotFile(const std::string& path, int filter);
    bool SaveDataLogFile(const std::string& path);

    /** The readouts the plot shows: scales, start and stop, gain, delay and title. */
    std::vector<CReadoutValue> GetReadoutValues() const override;

    // State, for the control bar, the command line and tests.
    const CDataLog& Log() const { return m_log; }
    CDataLog& Log() { return m_log; }
    const CDSPFFTDataLogList* GetLog() const { return m_log.List(); }
    CDSPFFTDataLogList* GetLog() { return m_log.List(); }
    int32_t GetSelectedPlot() const { return m_selectedPlot; }
    /** The display mode drawn: the stored one while the "Mode" list offers it, else "Plot". */
    int32_t GetMode() const;
    int32_t GetXAxisType() const { return m_xAxisType; }
    double GetMergeFrequency() const { return m_mergeFrequency; }
    const CLoggerChan& GetRecord(int axis) const { return m_loggerPlot.Record(axis); }
    double GetStartBin() const { return m_startBin; }
    double GetStopBin() const { return m_stopBin; }

protected:
    /** The settings in stored order, with the control bar's buttons and texts among them
     *  (DataLoggerRows.cpp). */
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    using Row = CSettingRow<CDataLoggerView>;
    /** One Y axis: what it shows, its scale and reference. */
    struct CAxisSettings {
        int32_t type = 1;
        int32_t scaleIndex = 17;
        double ref = 1.0;
        std::vector<std::string> scales;
    };
    static size_t Axis(int axis) { return axis == 1 ? 1 : 0; }

    // The rows of the bar's groups (DataLoggerRows.cpp).
    static std::vector<Row> XAxisRows();
    static std::vector<Row> YAxisRows(int axis);
    static std::vector<Row> PlotRows();
    static std::vector<Row> ModeRows();
    static std::vector<Row> LogRows();

    // What the bar's buttons do (DataLoggerSteps.cpp); `up` steps up, else down.
    void StepStart(bool up);
    void StepStop(bool up);
    void StepScale(int axis, bool up);
    /** The finest scale of this Y axis that shows every drawn plot whole; false when the axis
     *  has no scale to fit. */
    bool FitScale(int axis);

    /** The texts the "Mode" list offers now. */
    std::vector<std::string> OfferedModes() const;
    /** Keeps or drops the stored mode by what the list offers, then shows every control. */
    void ShowControls();
    /** The plots drawn now with their colours: every plot holding data, or the sum or merge. */
    std::vector<CLoggerPlot::CTrace> DrawnPlots();

    // The run (DataLoggerRun.cpp).
    /** Makes the log in the process's shape, or replaces it when that changed. */
    void MatchLog();
    /** Shows a refusal of the log; true when there was none. */
    bool Accepted(const std::string& refusal);

    /** 0-based channel the gain, delay and clipboard commands act on, -1 for all. */
    int ActingChannel() const { return GetSelectedChannel() - 1; }
    /** The marker axis's settings. */
    const CAxisSettings& MarkerAxis() const { return m_axes[Axis(m_markerAxis)]; }
    /** The "Gain Plot" axis: Y1 for "Sel All" and "Sel Ch1", Y2 for "Sel Ch2". */
    const CAxisSettings& GainAxis() const { return m_axes[GetSelectedChannel() == 2 ? 1 : 0]; }

    // Clipboard, files and their dialogs (DataLoggerCommands.cpp).
    /** Cut (when `cut`) or copy of the selected plot, or of the sum or merge. */
    void Clipboard(bool cut);
    /** Shows a clipboard action's refusal, or checks the lines it moved. */
    void Clipped(const CDataLog::CClip& clip);
    /** What the file and clipboard formats take from the axes. */
    CDataLog::CAxes FormatAxes() const;
    bool AskOpen(const char* extension, const char* filter, std::string& path);
    /** "No plots to save" for an empty log, else the save dialog; false when nothing chosen. */
    bool AskSave(const char* title, const char* extension, const char* filter, std::string& path);
    /** The title dialog; true when the title changed. */
    bool AskTitle();

    /** The plots, their gains, delays, title, sum or merge and files. */
    CDataLog m_log;
    int32_t m_xAxisType = 2;
    bool m_xAxisTypeChanged = false;
    int32_t m_timeIndex = 9;
    int32_t m_startPosition = 0;
    int32_t m_stopPosition = kFreqPositions - 1;
    int32_t m_horizontalPosition = 50;
    double m_startBin = 1.0;
    double m_stopBin = 33.0;
    std::array<CAxisSettings, 2> m_axes;
    int32_t m_selectedPlot = 0;
    int32_t m_mode = CDataLog::kModePlot;
    /** The stored mode when the mode list offered it at the last refresh, else -1. */
    int32_t m_offeredMode = -1;
    double m_mergeFrequency = 1000.0;
    int32_t m_markerAxis = 0;
    std::vector<std::string> m_freqLabels;
    /** The grid, traces, texts and marker of the log, drawn in the base's plot. */
    CLoggerPlot m_loggerPlot;
};
