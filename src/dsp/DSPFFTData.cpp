#include "dsp/DSPFFTData.h"

#include "base/Archive.h"

#include <algorithm>
#include <utility>

AURIVO_IMPLEMENT_SERIAL(CDSPFFTData, nullptr);

namespace {
// Time array of a response block: fs*k/N up to N/2, mirrored about N/2 above it.
void FillFrequencyAxis(CDSPData& axis) {
    const int32_t n = axis.GetSize();
    const double fs = axis.GetSampleRate();
    double* f = axis.GetDataPointer();
    const int32_t half = n / 2;
    for (int32_t k = 0; k <= half && k < n; ++k)
        f[k] = fs * k / n;
    for (int32_t j = 1; j < half; ++j)
        f[half + j] = f[half - j];
}

std::unique_ptr<CDSPData> ReadArray(CArchive& ar) {
    std::unique_ptr<CObject> obj = ar.ReadObject(RUNTIME_CLASS(CDSPData));
    if (!ar.Ok()) return nullptr;
    auto* array = dynamic_cast<CDSPData*>(obj.get());
    if (!array) {
        ar.Fail("Sample block without its arrays");
        return nullptr;
    }
    obj.release();
    return std::unique_ptr<CDSPData>(array);
}
} // namespace

bool CDSPFFTData::Rebuild(int32_t type, int32_t size, double sampleRate,
                          const std::string* description, const CDSPFFTData* source) {
    // A source's arrays of this size are copied as the arrays are made; the others start at
    // 0, 1.0 and 0 (a response block's time array then gets its frequency axis).
    const auto from = [&](const CDSPData* array) -> const double* {
        return array && array->GetSize() == size ? array->GetDataPointer() : nullptr;
    };
    const bool timeBlock = type == CDSPData::kTimeBlock;
    const double* values[] = {source && timeBlock ? from(source->GetTimeObj()) : nullptr,
                              source ? from(source->GetFreqObj()) : nullptr,
                              source ? from(source->GetPhaseObj()) : nullptr};
    constexpr double kFill[] = {0.0, 1.0, 0.0};
    std::unique_ptr<CDSPData> arrays[3];
    for (int i = 0; i < 3; ++i) {
        arrays[i] = std::make_unique<CDSPData>();
        if (!arrays[i]->Create(type, size, sampleRate, values[i], kFill[i])) return false;
        if (description) arrays[i]->SetDescription(*description);
    }
    if (type == CDSPData::kResponseBlock) FillFrequencyAxis(*arrays[0]);
    m_pTime = std::move(arrays[0]);
    m_pFreq = std::move(arrays[1]);
    m_pPhase = std::move(arrays[2]);
    m_type = type;
    m_size = size;
    if (description) m_processDescription = *description;
    return true;
}

bool CDSPFFTData::RebuildFrequencyAxis() {
    if (!HasArrays() || GetType() != CDSPData::kResponseBlock) return false;
    FillFrequencyAxis(*m_pTime);
    return true;
}

int32_t CDSPFFTData::Create(int32_t size, int32_t type) {
    if (!Rebuild(type, size, 96000.0, nullptr)) return 0;
    return 3 * size;
}

bool CDSPFFTData::Create(int32_t type, int32_t size, double sampleRate) {
    if (!Rebuild(type, size, sampleRate, nullptr)) return false;
    m_sampleRate = sampleRate;
    return true;
}

bool CDSPFFTData::Create(int32_t type, int32_t size, double sampleRate,
                         const std::string& description) {
    if (!Rebuild(type, size, sampleRate, &description)) return false;
    m_sampleRate = sampleRate;
    return true;
}

bool CDSPFFTData::Clone(const CDSPFFTData& other) {
    return Create(other.GetType(), other.GetSize(), other.GetSampleRate());
}

bool CDSPFFTData::Duplicate(const CDSPFFTData& other) {
    if (!Rebuild(other.GetType(), other.GetSize(), other.GetSampleRate(), nullptr, &other))
        return false;
    m_sampleRate = other.GetSampleRate();
    return true;
}

bool CDSPFFTData::CanCopy(const CDSPFFTData& other) const {
    return HasArrays() && other.HasArrays() && CDSPData::IsValidType(GetType()) &&
           GetType() == other.GetType() && GetSize() == other.GetSize();
}

bool CDSPFFTData::Copy(const CDSPFFTData& other) {
    if (!CanCopy(other)) return false;
    if (GetType() == CDSPData::kTimeBlock) {
        const bool copied = m_pTime->Copy(*other.m_pTime) && m_pFreq->Copy(*other.m_pFreq) &&
                            m_pPhase->Copy(*other.m_pPhase);
        m_sampleRate = GetSampleRate();
        return copied;
    }
    // The frequency axis stays, and with it this block's sample rate for all three arrays.
    const bool copied = m_pFreq->Copy(*other.m_pFreq) && m_pPhase->Copy(*other.m_pPhase);
    m_pFreq->SetSampleRate(GetSampleRate());
    m_pPhase->SetSampleRate(GetSampleRate());
    return copied;
}

int32_t CDSPFFTData::Fill(int32_t count, const double* time, const double* magnitude,
                          const double* phase) {
    if (!HasArrays() || !CDSPData::IsValidType(GetType())) return 0;
    const int32_t n = std::clamp(count, int32_t{0}, GetSize());
    if (time && GetType() == CDSPData::kTimeBlock) std::copy_n(time, n, m_pTime->GetDataPointer());
    if (magnitude) std::copy_n(magnitude, n, m_pFreq->GetDataPointer());
    if (phase) std::copy_n(phase, n, m_pPhase->GetDataPointer());
    return n;
}

void CDSPFFTData::SetNumUsed(int32_t n) {
    for (CDSPData* array : {m_pTime.get(), m_pFreq.get(), m_pPhase.get()})
        if (array) array->SetNumUsed(n);
}

double CDSPFFTData::SetSampleRate(double fs) {
    if (!HasArrays()) return 0.0;
    m_pTime->SetSampleRate(fs);
    m_pFreq->SetSampleRate(fs);
    m_pPhase->SetSampleRate(fs);
    m_sampleRate = fs;
    return fs;
}

namespace {
// Applies an array test to the three array pairs; two blocks without arrays pass.
template <typename Test> bool AllArrayPairs(const CDSPFFTData& a, const CDSPFFTData& b, Test test) {
    const CDSPData* left[] = {a.GetTimeObj(), a.GetFreqObj(), a.GetPhaseObj()};
    const CDSPData* right[] = {b.GetTimeObj(), b.GetFreqObj(), b.GetPhaseObj()};
    for (int i = 0; i < 3; ++i) {
        if (!left[i] || !right[i]) {
            if (left[i] != right[i]) return false;
            continue;
        }
        if (!test(*left[i], *right[i])) return false;
    }
    return true;
}
} // namespace

bool CDSPFFTData::IsType(const CDSPFFTData& other) const {
    return AllArrayPairs(*this, other, [](auto& x, auto& y) { return x.IsType(y); });
}

bool CDSPFFTData::IsSize(const CDSPFFTData& other) const {
    return AllArrayPairs(*this, other, [](auto& x, auto& y) { return x.IsSize(y); });
}

bool CDSPFFTData::IsSampleRate(const CDSPFFTData& other) const {
    return AllArrayPairs(*this, other, [](auto& x, auto& y) { return x.IsSampleRate(y); }) &&
           m_sampleRate == other.m_sampleRate;
}

bool CDSPFFTData::IsEquivalent(const CDSPFFTData& other) const {
    return AllArrayPairs(*this, other, [](auto& x, auto& y) { return x.IsEquivalent(y); }) &&
           m_type == other.m_type && m_size == other.m_size && m_sampleRate == other.m_sampleRate;
}

void CDSPFFTData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDSPFFTData));
        ar.WriteInt32(GetType());
        ar.WriteInt32(GetSize());
        ar.WriteDouble(GetSampleRate());
        ar.WriteDouble(m_gain);
        ar.WriteDouble(m_delay);
        ar.WriteObject(m_pTime.get());
        ar.WriteObject(m_pFreq.get());
        ar.WriteObject(m_pPhase.get());
        ar.WriteString(m_errorText);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CDSPFFTData));
    const int32_t type = ar.ReadInt32();
    const int32_t size = ar.ReadInt32();
    const double sampleRate = ar.ReadDouble();
    const double gain = ar.ReadDouble();
    const double delay = ar.ReadDouble();
    std::unique_ptr<CDSPData> time = ReadArray(ar);
    std::unique_ptr<CDSPData> freq = ReadArray(ar);
    std::unique_ptr<CDSPData> phase = ReadArray(ar);
    std::string errorText = ar.ReadString();
    if (!ar.Ok()) return;
    // The transforms rely on three arrays of one shape.
    for (const CDSPData* array : {time.get(), freq.get(), phase.get()}) {
        if (array->GetType() != type || array->GetSize() != size) {
            ar.Fail("Sample block arrays of different shapes");
            return;
        }
    }
    m_pTime = std::move(time);
    m_pFreq = std::move(freq);
    m_pPhase = std::move(phase);
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    m_gain = gain;
    m_delay = delay;
    m_errorText = std::move(errorText);
}
