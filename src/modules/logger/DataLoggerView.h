#pragma once
// The "DataLogger" module: every pass appends a copy of the block list reaching its step to a
// log of plots, which its plot draws in their own colours against a time or frequency X axis and
// two Y axes, or draws as their complex sum or as the merge of plots 1 and 2 at a crossover. The
// user scales and delays plots, replaces a plot from a plot file, saves plots as plot, FRD, ZMA
// or CSV files and the whole log as a data log file, and moves plot data through the clipboard.
// The log has a limit in plots and bytes, and holds plots of one shape: a run that reaches the
// limit, or brings blocks of another shape, stops with a message and keeps every plot.
// The log and its files and clipboard texts are a CDataLog, the axes a CLoggerScales; the view
// runs the step, holds the remaining settings and readouts and shows what the log answers.

#include "modules/logger/DataLog.h"
#include "modules/logger/LoggerScales.h"
#include "process/DspView.h"

#include <cstdint>
#include <string>
#include <vector>

class CDataLoggerView : public CDspView, public CLoggerScales {
    AURIVO_DECLARE_SERIAL(CDataLoggerView)
public:
    static constexpr int kPlotChoices = 6;

    CDataLoggerView();

    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    int StartRun() override;
    /** Appends the block list of this step to the log; stops the run (0) with a message when
     *  the log is full or holds plots of another shape. */
    int ProcessData() override;
    int EndRun() override { return 1; }
    void ShowCurrentParams() override;
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
    double GetMergeFrequency() const { return m_mergeFrequency; }
    /** The plots drawn now with their colours: every plot holding data, or the sum or merge. */
    std::vector<CLoggerPlot::CTrace> DrawnPlots();

protected:
    /** The settings in stored order, with the control bar's buttons and texts among them
     *  (DataLoggerRows.cpp). */
    const ISettingRows* Rows() const override;
    void SettingsLoaded() override;

private:
    // The rows of the bar's groups after the axes' (DataLoggerRows.cpp).
    static std::vector<Row> PlotRows();
    static std::vector<Row> ModeRows();
    static std::vector<Row> LogRows();

    /** The texts the "Mode" list offers now. */
    std::vector<std::string> OfferedModes() const;
    /** Keeps or drops the stored mode by what the list offers, then shows every control. */
    void ShowControls();
    /** The frequency labels and bins from the log's rate and size. */
    void MakeFreqScale() { CLoggerScales::MakeFreqScale(m_log.SampleRate(), m_log.Size()); }

    // The run (DataLoggerRun.cpp).
    /** Makes the log in the process's shape, or replaces it when that changed. */
    void MatchLog();
    /** Shows a refusal of the log; true when there was none. */
    bool Accepted(const std::string& refusal);

    /** 0-based channel the gain, delay and clipboard commands act on, -1 for all. */
    int ActingChannel() const { return GetSelectedChannel() - 1; }
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
    int32_t m_selectedPlot = 0;
    int32_t m_mode = CDataLog::kModePlot;
    /** The stored mode when the mode list offered it at the last refresh, else -1. */
    int32_t m_offeredMode = -1;
    double m_mergeFrequency = 1000.0;
};
