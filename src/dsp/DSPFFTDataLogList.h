#pragma once
// An ordered list of channel lists of one shape: the data logger's plots, and the queue of
// blocks the sound card module records ahead of the run loop. The list owns its plots.

#include "dsp/DSPFFTDataList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDSPFFTDataLogList {
public:
    /** A new channel list of that shape (null when it cannot be made), which also becomes the
     *  log's shape; the caller owns it, the log does not hold it. */
    std::unique_ptr<CDSPFFTDataList> CreateEx(int32_t channels, int32_t type, int32_t size,
                                              double sampleRate);
    std::unique_ptr<CDSPFFTDataList> CreateEx(int32_t channels, int32_t type, int32_t size,
                                              double sampleRate, const std::string& description);
    /** Appends a copy of the list (its shape and every value); returns the count Fill reports,
     *  0 when nothing was appended. */
    int32_t AddTail(const CDSPFFTDataList& list);
    /** Plot `plot` (0-based), or null. */
    CDSPFFTDataList* GetAt(int plot) const;
    /** Deletes plot `plot`; nothing for an index that names no plot. */
    void RemoveAt(int plot);
    void RemoveAll() { m_plots.clear(); }
    int GetCount() const { return static_cast<int>(m_plots.size()); }
    bool IsEmpty() const { return m_plots.empty(); }

    const std::string& GetDataLogFileTitle() const { return m_title; }
    const std::string& GetProcessDescription() const { return m_processDescription; }

private:
    std::vector<std::unique_ptr<CDSPFFTDataList>> m_plots;
    std::string m_title;
    int32_t m_declaredPlots = 1;
    int32_t m_channels = 2;
    int32_t m_type = CDSPData::kTimeBlock;
    int32_t m_size = 1024;
    double m_sampleRate = 96000.0;
    std::string m_processDescription;
};
