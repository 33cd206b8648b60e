#pragma once
// An ordered list of channel lists of one shape: the data logger's plots, and the queue of
// blocks the sound card module records ahead of the run loop. The list owns its plots. Plot and
// channel arguments count from 0; channel -1 means every channel for the setters and the first
// one for the getters. An index that names no plot gives 0 or null and changes nothing. The
// plot and data log files are in src/formats (DataLogFile.h).

#include "dsp/DSPFFTDataList.h"
#include "base/RuntimeClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDSPFFTDataLogList : public CObject {
    AURIVO_DECLARE_SERIAL(CDSPFFTDataLogList)

public:
    CDSPFFTDataLogList() = default;
    CDSPFFTDataLogList(const CDSPFFTDataLogList&) = delete;
    CDSPFFTDataLogList& operator=(const CDSPFFTDataLogList&) = delete;

    /** A new channel list of that shape (null when it cannot be made), which also becomes the
     *  log's shape; the caller owns it, the log does not hold it. */
    std::unique_ptr<CDSPFFTDataList> CreateEx(int32_t channels, int32_t type, int32_t size,
                                              double sampleRate);
    std::unique_ptr<CDSPFFTDataList> CreateEx(int32_t channels, int32_t type, int32_t size,
                                              double sampleRate, const std::string& description);
    /** Appends a copy of the list (its shape and every value); returns the count Fill reports,
     *  0 when nothing was appended. */
    int32_t AddTail(const CDSPFFTDataList& list);
    /** Appends a fresh plot of that shape with the log's process description; false when it
     *  cannot be made. */
    bool AddEmpty(int32_t channels, int32_t type, int32_t size, double sampleRate);
    /** Plot `plot`, or null. */
    CDSPFFTDataList* GetAt(int plot) const;
    /** Fills the existing plot from the list; the count Fill reports, 0 without the plot. */
    int32_t SetAt(int plot, const CDSPFFTDataList& list);
    /** Puts `list` in the place of plot `plot`, deleting the plot that was there; false (and
     *  nothing changed) for an index that names no plot. */
    bool Replace(int plot, std::unique_ptr<CDSPFFTDataList> list);
    /** Takes the other log's plots, title, shape and declared count in place of its own; keeps
     *  its process description. The other log is left empty. */
    void TakePlots(CDSPFFTDataLogList& other);
    /** Deletes plot `plot`; nothing for an index that names no plot. */
    void RemoveAt(int plot);
    void RemoveAll() { m_plots.clear(); }
    int GetCount() const { return static_cast<int>(m_plots.size()); }
    bool IsEmpty() const { return m_plots.empty(); }

    double* GetTimeData(int plot, int channel) const;
    double* GetFreqData(int plot, int channel) const;
    double* GetPhaseData(int plot, int channel) const;
    int32_t GetSize(int plot, int channel) const;
    int32_t GetNumUsed(int plot, int channel) const;
    double GetSampleRate(int plot, int channel) const;
    double GetGain(int plot, int channel) const;
    double GetDelay(int plot, int channel) const;
    /** Returns the value set, 0 without the plot. */
    double SetGain(int plot, int channel, double gain);
    double SetDelay(int plot, int channel, double delay);

    /** The log's shape: given at creation or read from a data log header. */
    int32_t GetChannels() const { return m_channels; }
    int32_t GetType() const { return m_type; }
    int32_t GetSize() const { return m_size; }
    double GetSampleRate() const { return m_sampleRate; }
    int32_t GetDeclaredPlots() const { return m_declaredPlots; }
    void SetShape(int32_t channels, int32_t type, int32_t size, double sampleRate,
                  int32_t declaredPlots);

    const std::string& GetDataLogFileTitle() const { return m_title; }
    void SetDataLogFileTitle(const std::string& title) { m_title = title; }
    const std::string& GetProcessDescription() const { return m_processDescription; }
    void SetProcessDescription(const std::string& description) {
        m_processDescription = description;
    }
    /** The reason the last plot file read failed. */
    const std::string& GetErrorText() const { return m_errorText; }
    void SetErrorText(const std::string& text) { m_errorText = text; }

    /** Same channel count, type, size, sample rate and process description as the list, and
     *  every plot equivalent to it (an empty log of that shape is). */
    bool IsEquivalent(const CDSPFFTDataList& list) const;

    /** Bytes the values of one more plot of the log's shape take (three arrays of doubles per
     *  channel). */
    int64_t BytesPerPlot() const;

    /** The complex sum of every plot (magnitudes with each plot's gain, phases; time samples
     *  added without gain); null with fewer than two plots. The caller owns it. */
    std::unique_ptr<CDSPFFTDataList> ComplexSum() const;
    /** Plot A below the bin of `frequency` and plot B from it on, each with its gain and its
     *  delay as a phase offset; null when either plot is missing. The caller owns it. */
    std::unique_ptr<CDSPFFTDataList> Merge(int plotA, int plotB, double frequency) const;

    /** Class record, plot count, then each plot as an object; the shape is not stored. */
    void Serialize(CArchive& ar) override;

private:
    const CDSPFFTData* Block(int plot, int channel) const;

    std::vector<std::unique_ptr<CDSPFFTDataList>> m_plots;
    std::string m_title;
    int32_t m_declaredPlots = 1;
    int32_t m_channels = 2;
    int32_t m_type = CDSPData::kTimeBlock;
    int32_t m_size = 1024;
    double m_sampleRate = 96000.0;
    std::string m_errorText;
    std::string m_processDescription;
};
