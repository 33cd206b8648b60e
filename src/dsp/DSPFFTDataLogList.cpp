#include "dsp/DSPFFTDataLogList.h"

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::CreateEx(int32_t channels, int32_t type,
                                                              int32_t size, double sampleRate) {
    auto list = std::make_unique<CDSPFFTDataList>();
    if (!list->Create(channels, type, size, sampleRate)) return nullptr;
    m_channels = channels;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    m_title.clear();
    m_declaredPlots = 1;
    return list;
}

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::CreateEx(int32_t channels, int32_t type,
                                                              int32_t size, double sampleRate,
                                                              const std::string& description) {
    auto list = CreateEx(channels, type, size, sampleRate);
    if (list) m_processDescription = description;
    return list;
}

int32_t CDSPFFTDataLogList::AddTail(const CDSPFFTDataList& list) {
    auto plot = std::make_unique<CDSPFFTDataList>();
    if (!plot->Clone(list)) return 0;
    const int32_t count = plot->Fill(list);
    m_plots.push_back(std::move(plot));
    return count;
}

CDSPFFTDataList* CDSPFFTDataLogList::GetAt(int plot) const {
    return plot >= 0 && plot < GetCount() ? m_plots[size_t(plot)].get() : nullptr;
}

void CDSPFFTDataLogList::RemoveAt(int plot) {
    if (plot >= 0 && plot < GetCount()) m_plots.erase(m_plots.begin() + plot);
}
