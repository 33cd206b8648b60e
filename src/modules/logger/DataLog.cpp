// The log's plots: made in the process's shape, each pass's blocks appended within the limits,
// blocks of another shape refused, the display modes it offers with their sum or merge, and each
// plot's gain and delay with the texts that show them.

#include "modules/logger/DataLog.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {
const std::vector<std::string>& ModeTexts() {
    static const std::vector<std::string> items{"Plot", "Sum", "Merge"};
    return items;
}
} // namespace

void CDataLog::Match(const CShape& shape) {
    if (shape.size <= 0) return;
    if (m_list && shape == m_shape) return;
    // A new FFT size, sample rate or step position: the plots logged no longer fit. The blocks
    // themselves may come at another rate (a WAV file's), which the first pass gives the log.
    auto list = std::make_unique<CDSPFFTDataLogList>();
    if (!list->CreateEx(shape.channels, shape.type, shape.size, shape.sampleRate,
                        shape.description))
        return;
    m_list = std::move(list);
    m_shape = shape;
    m_combined.reset();
}

CDataLog::CAppend CDataLog::Append(const CDSPFFTDataList& blocks, int64_t maxPlots,
                                   int64_t maxMegabytes) {
    constexpr const char* kNoMemory = "System Memory Allocation Error";
    if (!m_list) return {false, kNoMemory};
    const CDSPFFTData* first = blocks.GetAt(0);
    if (!first) return {};
    CAppend result{true};
    if (blocks.GetNumChans() != m_list->GetChannels() || first->GetType() != m_list->GetType() ||
        first->GetSize() != m_list->GetSize() ||
        first->GetSampleRate() != m_list->GetSampleRate()) {
        // Logging on would mix shapes that no data log file can hold; clearing would lose them.
        if (!m_list->IsEmpty())
            return {false,
                    FormatText("The blocks reaching this step (%d channels of %d elements at %s "
                               "samp/sec) differ from the %d plots in the log (%d channels of %d "
                               "elements at %s samp/sec).\r\nSave the log with \"Save Dlg\", then "
                               "clear it with \"New All\" to log the new blocks.",
                               blocks.GetNumChans(), first->GetSize(),
                               FormatText("%.10g", first->GetSampleRate()).c_str(),
                               m_list->GetCount(), m_list->GetChannels(), m_list->GetSize(),
                               FormatText("%.10g", m_list->GetSampleRate()).c_str())};
        m_list->SetShape(blocks.GetNumChans(), first->GetType(), first->GetSize(),
                         first->GetSampleRate(), 1);
        result.reshaped = true;
    }
    // Every pass adds a plot; a long run at a large block size would otherwise take all memory.
    const int64_t plots = m_list->GetCount() + 1;
    if (plots > maxPlots || plots * m_list->BytesPerPlot() > (maxMegabytes << 20))
        return {false,
                FormatText("The data log is full: it holds %d plots, the most it may hold "
                           "(settings DataLogMaxPlots %lld and DataLogMaxMegabytes %lld).\r\nSave "
                           "it with \"Save Dlg\", then clear it with \"New All\" to log more.",
                           m_list->GetCount(), static_cast<long long>(maxPlots),
                           static_cast<long long>(maxMegabytes)),
                result.reshaped};
    if (m_list->AddTail(blocks) == 0) return {false, kNoMemory, result.reshaped};
    // The copy holds every value of each block.
    CDSPFFTDataList& plot = *m_list->GetAt(m_list->GetCount() - 1);
    for (int c = 0; c < plot.GetNumChans(); ++c)
        plot.SetNumUsed(c, plot.GetSize(c));
    return result;
}

void CDataLog::Remove(int plot) {
    if (!IsEmpty()) m_list->RemoveAt(plot);
}

void CDataLog::Clear() {
    if (m_list) m_list->RemoveAll();
    m_title = " ";
}

bool CDataLog::InverseFFT(int plot) {
    CDSPFFTDataList* list = m_list ? m_list->GetAt(plot) : nullptr;
    if (!list) return false;
    for (int c = 0; c < list->GetNumChans(); ++c)
        list->DoIFFT(c);
    return true;
}

std::vector<std::string> CDataLog::OfferedModes(bool timeAxis) const {
    std::vector<std::string> items{"Plot"};
    if (m_list && m_list->GetCount() >= 2) items.push_back("Sum");
    if (m_list && m_list->GetNumUsed(0, 0) > 0 && m_list->GetNumUsed(1, 0) > 0 && !timeAxis)
        items.push_back("Merge");
    return items;
}

int32_t CDataLog::ShownMode(int32_t mode, bool timeAxis) const {
    // A mode the list does not offer now draws as "Plot"; a choice read from a file applies once
    // the log allows it (a process opened with "Merge" shows it after two passes).
    const std::vector<std::string> offered = OfferedModes(timeAxis);
    return mode >= 0 && size_t(mode) < ModeTexts().size() &&
                   std::find(offered.begin(), offered.end(), ModeTexts()[size_t(mode)]) !=
                       offered.end()
               ? mode
               : kModePlot;
}

const CDSPFFTDataList* CDataLog::Combine(int32_t mode, double mergeFrequency) {
    m_combined.reset();
    if (m_list && mode == kModeSum) m_combined = m_list->ComplexSum();
    if (m_list && mode == kModeMerge) m_combined = m_list->Merge(0, 1, mergeFrequency);
    return m_combined.get();
}

std::string CDataLog::StepGain(int plot, int channel, bool up) {
    const double gain = m_list->GetGain(plot, channel);
    // Held at the limit, so the gain never reaches zero or turns negative.
    if (up && gain < kMaxGain)
        m_list->SetGain(plot, channel, std::min(gain + kGainStep, kMaxGain));
    else if (!up && gain > kMinGain)
        m_list->SetGain(plot, channel, std::max(gain - kGainStep, kMinGain));
    else
        return up ? "Gain must be less than " + FormatText("%.10g", kMaxGain)
                  : "Gain must be greater than " + FormatText("%.10g", kMinGain);
    return {};
}

std::string CDataLog::StepDelay(int plot, int channel, bool up) {
    const double delay = m_list->GetDelay(plot, channel);
    if (up && delay < kMaxDelay)
        m_list->SetDelay(plot, channel, std::min(delay + kDelayStep, kMaxDelay));
    else if (!up && delay > kMinDelay)
        m_list->SetDelay(plot, channel, std::max(delay - kDelayStep, kMinDelay));
    else
        return (up ? "Delay must be less than " : "Delay must be greater than ") +
               FormatText("%.10g", delay) + " Seconds (" +
               FormatText("%.10g", delay * kFeetPerSecond) + " Feet of Travel Time)";
    return {};
}

std::string CDataLog::GainText(int plot, int channel, bool decibels) const {
    const double gain = IsEmpty() ? 1.0 : m_list->GetGain(plot, channel);
    if (gain == 1.0) return decibels ? "0.00dB" : "1.00";
    return decibels ? FormatText("%.3gdB", 20.0 * std::log10(gain)) : FormatText("%.3g", gain);
}

std::string CDataLog::DelayText(int plot, int channel) const {
    const double delay = IsEmpty() ? 0.0 : m_list->GetDelay(plot, channel);
    return (std::fabs(delay) < 1e-9 ? std::string("0.00") : FormatText("%.3g", delay)) + " S";
}
