#pragma once
// The data logger's log, apart from any view: the plots logged in the process's shape within
// limits in plots and bytes, their gains, delays and title, their complex sum or merge, the
// plot, data log, FRD, ZMA and CSV files and the clipboard texts of a plot. It neither draws nor
// asks: each operation returns the message the user reads when it is refused (empty when it went
// through), and the view shows it.

#include "dsp/DSPFFTDataLogList.h"
#include "modules/logger/LoggerTrace.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IClipboard;

class CDataLog {
public:
    enum EMode : int32_t { kModePlot = 0, kModeSum = 1, kModeMerge = 2 };
    static constexpr double kGainStep = 0.01, kMinGain = 0.00001, kMaxGain = 10000.0;
    static constexpr double kDelayStep = 0.0001, kMinDelay = -0.01, kMaxDelay = 0.01;
    /** Speed of sound for the delay messages, feet per second. */
    static constexpr double kFeetPerSecond = 1087.0;

    /** The process settings the log is made under: a change of any replaces it. */
    struct CShape {
        int channels = 0;
        int type = 0;
        int32_t size = 0;
        double sampleRate = 0.0;
        std::string description;
        bool operator==(const CShape&) const = default;
    };
    /** What a pass's append did: whether it took the blocks, its refusal (none for blocks that
     *  hold no block), and whether an empty log took the blocks' shape. */
    struct CAppend {
        bool ok = false;
        std::string message{};
        bool reshaped = false;
    };
    /** A clipboard action: its refusal, or the lines it moved for the view's size check against
     *  `channels` blocks. */
    struct CClip {
        std::string message{};
        int count = 0;
        int channels = 1;
    };
    /** What the FRD, ZMA and CSV formats take from the axes: the marker axis's type and
     *  reference, both Y axes' types and references, and the Y1 drawing record. */
    struct CAxes {
        int markerType = 0;
        double markerRef = 1.0;
        int yType[2] = {0, 0};
        double yRef[2] = {1.0, 1.0};
        CLoggerChan y1;
    };

    /** Creates the log, or replaces it when the shape changed since it was made; a shape of no
     *  size keeps what there is. */
    void Match(const CShape& shape);
    /** Appends a copy of a pass's blocks holding every value: an empty log takes their shape (a
     *  WAV file's rate, say); a full log, or one of plots of another shape, refuses them. */
    CAppend Append(const CDSPFFTDataList& blocks, int64_t maxPlots, int64_t maxMegabytes);

    const CDSPFFTDataLogList* List() const { return m_list.get(); }
    CDSPFFTDataLogList* List() { return m_list.get(); }
    bool IsEmpty() const { return !m_list || m_list->IsEmpty(); }
    /** The log's rate and block size, or 96000 Hz and 1024 before there is a log. */
    double SampleRate() const { return m_list ? m_list->GetSampleRate() : 96000.0; }
    int32_t Size() const { return m_list ? m_list->GetSize() : 1024; }
    const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }
    void Remove(int plot);
    /** Every plot out, and the title back to its blank. */
    void Clear();
    /** Transforms a plot back into the time domain; false when there is no such plot. */
    bool InverseFFT(int plot);

    /** The display modes the log offers: "Sum" from two plots, "Merge" on a frequency axis once
     *  plots 1 and 2 hold data. */
    std::vector<std::string> OfferedModes(bool timeAxis) const;
    /** The mode drawn: `mode` while it is offered, else "Plot". */
    int32_t ShownMode(int32_t mode, bool timeAxis) const;
    /** Recomputes the Sum or Merge list of a mode (none for "Plot"). */
    const CDSPFFTDataList* Combine(int32_t mode, double mergeFrequency);
    const CDSPFFTDataList* Combined() const { return m_combined.get(); }

    /** Steps a plot's gain or delay by one step, held at its limit with a message. */
    std::string StepGain(int plot, int channel, bool up);
    std::string StepDelay(int plot, int channel, bool up);
    std::string GainText(int plot, int channel, bool decibels) const;
    std::string DelayText(int plot, int channel) const;

    /** Reads a plot file into `plot`, whose title becomes the log's. */
    std::string OpenPlot(int plot, const std::string& path);
    /** Replaces the log by a data log file; a damaged file leaves the log as it was. */
    std::string OpenDataLog(const std::string& path);
    /** Writes `plot` by the save dialog's filter index: 0 plot, 1 FRD, 2 ZMA, 3 CSV. */
    std::string SavePlot(int plot, int channel, const std::string& path, int filter,
                         const CAxes& axes);
    std::string SaveDataLog(const std::string& path);

    /** Cut or copy of a plot's channel (-1: the whole plot, which a cut takes out of the log). */
    CClip ClipPlot(int plot, int channel, bool cut, IClipboard* clipboard);
    /** Cut or copy of the Sum or Merge list of a mode. */
    CClip ClipCombined(int32_t mode, double mergeFrequency, int channel, bool cut,
                       IClipboard* clipboard);
    /** Pastes into `plot`, adding empty plots of `channels` channels up to it. */
    CClip Paste(int plot, int channel, int channels, IClipboard* clipboard);
    std::string CopyFRD(int plot, int channel, const CAxes& axes, IClipboard* clipboard);
    std::string CopyZMA(int plot, const CAxes& axes, IClipboard* clipboard);

private:
    std::string SaveFRD(int plot, int channel, const std::string& path, const CAxes& axes);
    std::string SaveZMA(int plot, const std::string& path, const CAxes& axes);
    std::string SaveCSV(int plot, const std::string& path, const CAxes& axes);
    /** Why a plot cannot go out as FRD (saved when `save`, else copied), or empty. */
    static std::string FRDRefusal(const CAxes& axes, int channel, bool save);
    static std::string ZMARefusal(const CAxes& axes, bool save);

    std::unique_ptr<CDSPFFTDataLogList> m_list;
    CShape m_shape;
    std::unique_ptr<CDSPFFTDataList> m_combined;
    std::string m_title = " ";
};
