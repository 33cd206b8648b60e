#include "dsp/DSPFFTDataLogList.h"

#include "dsp/Complex.h"
#include "base/Archive.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_SERIAL(CDSPFFTDataLogList, nullptr);

namespace {
// The divisor that turns degrees into radians in the sum, as the log files were made with.
constexpr double kDegreesPerRadian = 57.29577951308;

CComplex Polar(double magnitude, double degrees) {
    const double radians = degrees / kDegreesPerRadian;
    return {magnitude * std::cos(radians), magnitude * std::sin(radians)};
}
} // namespace

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::CreateEx(int32_t channels, int32_t type,
                                                              int32_t size, double sampleRate) {
    auto list = std::make_unique<CDSPFFTDataList>();
    if (!list->Create(channels, type, size, sampleRate)) return nullptr;
    SetShape(channels, type, size, sampleRate, 1);
    m_title.clear();
    return list;
}

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::CreateEx(int32_t channels, int32_t type,
                                                              int32_t size, double sampleRate,
                                                              const std::string& description) {
    auto list = CreateEx(channels, type, size, sampleRate);
    if (list) m_processDescription = description;
    return list;
}

void CDSPFFTDataLogList::SetShape(int32_t channels, int32_t type, int32_t size, double sampleRate,
                                  int32_t declaredPlots) {
    m_channels = channels;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    m_declaredPlots = declaredPlots;
}

int32_t CDSPFFTDataLogList::AddTail(const CDSPFFTDataList& list) {
    auto plot = std::make_unique<CDSPFFTDataList>();
    // Each value is written once, as the arrays are made: a log of long blocks spends its pass
    // in memory traffic.
    if (!plot->Duplicate(list)) return 0;
    int32_t count = 0; // as Fill reports it: the values of every channel, times the channels
    for (int c = 0; c < plot->GetNumChans(); ++c)
        count += plot->GetAt(c)->GetSize();
    count *= plot->GetNumChans();
    m_plots.push_back(std::move(plot));
    return count;
}

bool CDSPFFTDataLogList::AddEmpty(int32_t channels, int32_t type, int32_t size, double sampleRate) {
    auto plot = std::make_unique<CDSPFFTDataList>();
    if (!plot->Create(channels, type, size, sampleRate, m_processDescription)) return false;
    m_plots.push_back(std::move(plot));
    return true;
}

CDSPFFTDataList* CDSPFFTDataLogList::GetAt(int plot) const {
    return plot >= 0 && plot < GetCount() ? m_plots[size_t(plot)].get() : nullptr;
}

int32_t CDSPFFTDataLogList::SetAt(int plot, const CDSPFFTDataList& list) {
    CDSPFFTDataList* target = GetAt(plot);
    return target ? target->Fill(list) : 0;
}

bool CDSPFFTDataLogList::Replace(int plot, std::unique_ptr<CDSPFFTDataList> list) {
    if (!list || !GetAt(plot)) return false;
    m_plots[size_t(plot)] = std::move(list);
    return true;
}

void CDSPFFTDataLogList::TakePlots(CDSPFFTDataLogList& other) {
    m_plots = std::move(other.m_plots);
    other.m_plots.clear();
    m_title = other.m_title;
    SetShape(other.m_channels, other.m_type, other.m_size, other.m_sampleRate,
             other.m_declaredPlots);
}

void CDSPFFTDataLogList::RemoveAt(int plot) {
    if (plot >= 0 && plot < GetCount()) m_plots.erase(m_plots.begin() + plot);
}

const CDSPFFTData* CDSPFFTDataLogList::Block(int plot, int channel) const {
    const CDSPFFTDataList* list = GetAt(plot);
    return list ? list->GetAt(channel == -1 ? 0 : channel) : nullptr;
}

double* CDSPFFTDataLogList::GetTimeData(int plot, int channel) const {
    CDSPFFTDataList* list = GetAt(plot);
    return list ? list->GetTimeData(channel == -1 ? 0 : channel) : nullptr;
}

double* CDSPFFTDataLogList::GetFreqData(int plot, int channel) const {
    CDSPFFTDataList* list = GetAt(plot);
    return list ? list->GetFreqData(channel == -1 ? 0 : channel) : nullptr;
}

double* CDSPFFTDataLogList::GetPhaseData(int plot, int channel) const {
    CDSPFFTDataList* list = GetAt(plot);
    return list ? list->GetPhaseData(channel == -1 ? 0 : channel) : nullptr;
}

int32_t CDSPFFTDataLogList::GetSize(int plot, int channel) const {
    const CDSPFFTData* block = Block(plot, channel);
    return block ? block->GetSize() : 0;
}

int32_t CDSPFFTDataLogList::GetNumUsed(int plot, int channel) const {
    const CDSPFFTData* block = Block(plot, channel);
    return block ? block->GetNumUsed() : 0;
}

double CDSPFFTDataLogList::GetSampleRate(int plot, int channel) const {
    const CDSPFFTData* block = Block(plot, channel);
    return block ? block->GetSampleRate() : 0.0;
}

double CDSPFFTDataLogList::GetGain(int plot, int channel) const {
    const CDSPFFTData* block = Block(plot, channel);
    return block ? block->GetGain() : 0.0;
}

double CDSPFFTDataLogList::GetDelay(int plot, int channel) const {
    const CDSPFFTData* block = Block(plot, channel);
    return block ? block->GetDelay() : 0.0;
}

double CDSPFFTDataLogList::SetGain(int plot, int channel, double gain) {
    CDSPFFTDataList* list = GetAt(plot);
    return list ? list->SetGain(channel, gain) : 0.0;
}

double CDSPFFTDataLogList::SetDelay(int plot, int channel, double delay) {
    CDSPFFTDataList* list = GetAt(plot);
    return list ? list->SetDelay(channel, delay) : 0.0;
}

bool CDSPFFTDataLogList::IsEquivalent(const CDSPFFTDataList& list) const {
    const CDSPFFTData* first = list.GetAt(0);
    if (list.GetNumChans() != m_channels || !first || first->GetType() != m_type ||
        first->GetSize() != m_size || first->GetSampleRate() != m_sampleRate ||
        list.GetProcessDescription() != m_processDescription)
        return false;
    for (const auto& plot : m_plots)
        if (!plot->IsEquivalent(list)) return false;
    return true;
}

int64_t CDSPFFTDataLogList::BytesPerPlot() const {
    return int64_t(m_channels) * 3 * m_size * int64_t(sizeof(double));
}

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::ComplexSum() const {
    if (GetCount() < 2) return nullptr;
    const CDSPFFTDataList& first = *m_plots.front();
    auto sum = std::make_unique<CDSPFFTDataList>();
    if (!sum->Clone(first)) return nullptr;
    for (int c = 0; c < first.GetNumChans(); ++c) {
        CDSPFFTData& to = *sum->GetAt(c);
        double* time = to.GetTimeObj()->GetDataPointer();
        double* magnitude = to.GetFreqObj()->GetDataPointer();
        double* phase = to.GetPhaseObj()->GetDataPointer();
        const int32_t n = to.GetSize();
        std::fill_n(magnitude, n, 0.0);
        for (const auto& plot : m_plots) {
            const CDSPFFTData* from = plot->GetAt(c);
            if (!from || !from->HasArrays() || from->GetNumUsed() <= 0) continue;
            const double gain = from->GetGain();
            const double* t = from->GetTimeObj()->GetDataPointer();
            const double* m = from->GetFreqObj()->GetDataPointer();
            const double* p = from->GetPhaseObj()->GetDataPointer();
            // A plot longer than the first adds only where the sum has bins.
            const int32_t count = std::min(from->GetSize(), n);
            for (int32_t i = 0; i < count; ++i) {
                time[i] += t[i];
                const CComplex total = Polar(gain * m[i], p[i]) + Polar(magnitude[i], phase[i]);
                magnitude[i] = total.GetMagnitude();
                phase[i] = total.GetPhase();
            }
        }
    }
    return sum;
}

std::unique_ptr<CDSPFFTDataList> CDSPFFTDataLogList::Merge(int plotA, int plotB,
                                                           double frequency) const {
    const CDSPFFTDataList* a = GetAt(plotA);
    const CDSPFFTDataList* b = GetAt(plotB);
    if (!a || !b) return nullptr;
    auto merged = std::make_unique<CDSPFFTDataList>();
    if (!merged->Clone(*a)) return nullptr;
    // The delay turns into a phase offset at the first channel's rate and size.
    const auto offset = [](const CDSPFFTDataList& x, int c) {
        const int32_t size = x.GetSize(0);
        return size > 0 ? 360.0 * x.GetDelay(c) * x.GetSampleRate(0) / (2.0 * size) : 0.0;
    };
    const int32_t bins = merged->GetSize(0);
    for (int c = 0; c < a->GetNumChans(); ++c) {
        CDSPFFTData& to = *merged->GetAt(c);
        const int32_t k = to.GetFreqObj()->GetHarmonicNumber(frequency);
        double* magnitude = to.GetFreqObj()->GetDataPointer();
        double* phase = to.GetPhaseObj()->GetDataPointer();
        const int32_t n = std::min(bins, to.GetSize());
        for (int32_t i = 0; i < n; ++i) {
            const CDSPFFTDataList& from = i < k ? *a : *b;
            const CDSPFFTData* block = from.GetAt(c);
            if (!block || i >= block->GetSize()) continue;
            magnitude[i] = block->GetFreqObj()->GetDataPointer()[i] * block->GetGain();
            phase[i] = block->GetPhaseObj()->GetDataPointer()[i] + offset(from, c);
        }
    }
    return merged;
}

void CDSPFFTDataLogList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDSPFFTDataLogList));
        std::vector<const CObject*> plots;
        for (const auto& plot : m_plots)
            plots.push_back(plot.get());
        ar.WriteObjectList(plots);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CDSPFFTDataLogList));
    ar.GetObjectSchema();
    std::vector<std::unique_ptr<CObject>> objects =
        ar.ReadObjectList(RUNTIME_CLASS(CDSPFFTDataList));
    if (!ar.Ok()) return;
    std::vector<std::unique_ptr<CDSPFFTDataList>> plots;
    for (auto& object : objects) {
        auto* plot = dynamic_cast<CDSPFFTDataList*>(object.get());
        if (!plot) {
            ar.Fail("Data log holds an object that is not a channel list");
            return;
        }
        object.release();
        plots.emplace_back(plot);
    }
    m_plots = std::move(plots);
}
