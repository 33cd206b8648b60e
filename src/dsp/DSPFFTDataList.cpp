#include "dsp/DSPFFTDataList.h"

#include "base/Rounding.h"
#include "base/Archive.h"

#include <algorithm>
#include <climits>
#include <cmath>

AURIVO_IMPLEMENT_SERIAL(CDSPFFTDataList, nullptr);

template <typename Make> bool CDSPFFTDataList::AppendBlocks(int32_t count, Make make) {
    if (count < 0) return false;
    std::vector<std::unique_ptr<CDSPFFTData>> blocks;
    for (int32_t i = 0; i < count; ++i) {
        auto block = std::make_unique<CDSPFFTData>();
        if (!make(*block, i)) return false;
        blocks.push_back(std::move(block));
    }
    for (auto& block : blocks)
        m_blocks.push_back(std::move(block));
    return true;
}

int32_t CDSPFFTDataList::Create(int32_t count, int32_t size, int32_t type) {
    int32_t sum = 0;
    const bool created = AppendBlocks(count, [&](CDSPFFTData& block, int32_t) {
        sum += block.Create(size, type);
        return block.GetTimeObj() != nullptr; // size 0 is a valid block that sums to 0
    });
    if (!created) return 0;
    m_channelCount = count;
    m_type = type;
    m_size = size;
    return sum;
}

bool CDSPFFTDataList::Create(int32_t count, int32_t type, int32_t size, double sampleRate) {
    if (!AppendBlocks(count, [&](CDSPFFTData& block, int32_t) {
            return block.Create(type, size, sampleRate);
        }))
        return false;
    m_channelCount = count;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    return true;
}

bool CDSPFFTDataList::Create(int32_t count, int32_t type, int32_t size, double sampleRate,
                             const std::string& description) {
    if (!AppendBlocks(count, [&](CDSPFFTData& block, int32_t) {
            return block.Create(type, size, sampleRate, description);
        }))
        return false;
    m_channelCount = count;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    m_processDescription = description;
    return true;
}

bool CDSPFFTDataList::Clone(const CDSPFFTDataList& other) {
    return CloneBlocks(other,
                       [](CDSPFFTData& to, const CDSPFFTData& from) { return to.Clone(from); });
}

bool CDSPFFTDataList::Duplicate(const CDSPFFTDataList& other) {
    return CloneBlocks(other,
                       [](CDSPFFTData& to, const CDSPFFTData& from) { return to.Duplicate(from); });
}

template <typename Make>
bool CDSPFFTDataList::CloneBlocks(const CDSPFFTDataList& other, Make make) {
    const int32_t channelCount = other.m_channelCount;
    const int32_t type = other.m_type;
    const int32_t size = other.m_size;
    const double sampleRate = other.m_sampleRate;
    if (!AppendBlocks(other.GetNumChans(), [&](CDSPFFTData& block, int32_t i) {
            return make(block, *other.m_blocks[i]);
        }))
        return false;
    m_channelCount = channelCount;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    return true;
}

bool CDSPFFTDataList::Clone(const CDSPFFTDataList& other, const std::string& description) {
    if (!Clone(other)) return false;
    m_processDescription = description;
    return true;
}

CDSPFFTData* CDSPFFTDataList::GetAt(int channel) {
    return channel >= 0 && channel < GetNumChans() ? m_blocks[channel].get() : nullptr;
}

const CDSPFFTData* CDSPFFTDataList::GetAt(int channel) const {
    return channel >= 0 && channel < GetNumChans() ? m_blocks[channel].get() : nullptr;
}

CDSPData* CDSPFFTDataList::GetTimeObj(int channel) {
    CDSPFFTData* block = GetAt(channel);
    return block ? block->GetTimeObj() : nullptr;
}

CDSPData* CDSPFFTDataList::GetFreqObj(int channel) {
    CDSPFFTData* block = GetAt(channel);
    return block ? block->GetFreqObj() : nullptr;
}

CDSPData* CDSPFFTDataList::GetPhaseObj(int channel) {
    CDSPFFTData* block = GetAt(channel);
    return block ? block->GetPhaseObj() : nullptr;
}

double* CDSPFFTDataList::GetTimeData(int channel) {
    CDSPData* array = GetTimeObj(channel);
    return array ? array->GetDataPointer() : nullptr;
}

double* CDSPFFTDataList::GetFreqData(int channel) {
    CDSPData* array = GetFreqObj(channel);
    return array ? array->GetDataPointer() : nullptr;
}

double* CDSPFFTDataList::GetPhaseData(int channel) {
    CDSPData* array = GetPhaseObj(channel);
    return array ? array->GetDataPointer() : nullptr;
}

int32_t CDSPFFTDataList::GetSize(int channel) const {
    const CDSPFFTData* block = GetAt(channel);
    return block ? block->GetSize() : 0;
}

int32_t CDSPFFTDataList::GetType(int channel) const {
    const CDSPFFTData* block = GetAt(channel);
    return block ? block->GetType() : 0;
}

int32_t CDSPFFTDataList::GetNumUsed(int channel) const {
    const CDSPFFTData* block = GetAt(channel);
    return block ? block->GetNumUsed() : 0;
}

double CDSPFFTDataList::GetSampleRate(int channel) const {
    const CDSPFFTData* block = GetAt(channel);
    return block ? block->GetSampleRate() : 0.0;
}

namespace {
const double* Values(const CDSPData* array) {
    return array ? array->GetDataPointer() : nullptr;
}
} // namespace

int32_t CDSPFFTDataList::Fill(const CDSPFFTDataList& other) {
    const int pairs = std::min(GetNumChans(), other.GetNumChans());
    int32_t sum = 0;
    for (int i = 0; i < pairs; ++i) {
        CDSPFFTData& to = *m_blocks[i];
        const CDSPFFTData& from = *other.m_blocks[i];
        const bool timeBlock = to.GetType() == CDSPData::kTimeBlock;
        sum += to.Fill(from.GetSize(), timeBlock ? Values(from.GetTimeObj()) : nullptr,
                       Values(from.GetFreqObj()), Values(from.GetPhaseObj()));
    }
    return sum * pairs;
}

bool CDSPFFTDataList::Copy(const CDSPFFTDataList& other) {
    const int pairs = std::min(GetNumChans(), other.GetNumChans());
    for (int i = 0; i < pairs; ++i)
        if (!m_blocks[i]->CanCopy(*other.m_blocks[i])) return false;
    for (int i = 0; i < pairs; ++i)
        m_blocks[i]->Copy(*other.m_blocks[i]);
    return true;
}

template <typename Test>
bool CDSPFFTDataList::AllPairs(const CDSPFFTDataList& other, Test test) const {
    const int pairs = std::min(GetNumChans(), other.GetNumChans());
    for (int i = 0; i < pairs; ++i)
        if (!test(*m_blocks[i], *other.m_blocks[i])) return false;
    return true;
}

bool CDSPFFTDataList::IsSize(const CDSPFFTDataList& other) const {
    return AllPairs(other, [](auto& a, auto& b) { return a.IsSize(b); });
}

bool CDSPFFTDataList::IsSampleRate(const CDSPFFTDataList& other) const {
    return AllPairs(other, [](auto& a, auto& b) { return a.IsSampleRate(b); }) &&
           m_sampleRate == other.m_sampleRate;
}

bool CDSPFFTDataList::IsEquivalent(const CDSPFFTDataList& other) const {
    return AllPairs(other, [](auto& a, auto& b) { return a.IsEquivalent(b); }) &&
           m_channelCount == other.m_channelCount && m_type == other.m_type &&
           m_size == other.m_size && m_sampleRate == other.m_sampleRate;
}

double CDSPFFTDataList::SetEach(int channel, double value, double (CDSPFFTData::*set)(double)) {
    if (channel == -1) {
        for (auto& block : m_blocks)
            ((*block).*set)(value);
        return IsEmpty() ? 0.0 : value;
    }
    CDSPFFTData* block = GetAt(channel);
    return block ? (block->*set)(value) : 0.0;
}

double CDSPFFTDataList::SetGain(int channel, double gain) {
    return SetEach(channel, gain, &CDSPFFTData::SetGain);
}

double CDSPFFTDataList::SetDelay(int channel, double delay) {
    return SetEach(channel, delay, &CDSPFFTData::SetDelay);
}

double CDSPFFTDataList::GetGain(int channel) const {
    const CDSPFFTData* block = GetAt(channel == -1 ? 0 : channel);
    return block ? block->GetGain() : 0.0;
}

double CDSPFFTDataList::GetDelay(int channel) const {
    const CDSPFFTData* block = GetAt(channel == -1 ? 0 : channel);
    return block ? block->GetDelay() : 0.0;
}

void CDSPFFTDataList::SetNumUsed(int32_t n) {
    for (auto& block : m_blocks)
        block->SetNumUsed(n);
}

void CDSPFFTDataList::SetNumUsed(int channel, int32_t n) {
    if (CDSPFFTData* block = GetAt(channel)) block->SetNumUsed(n);
}

void CDSPFFTDataList::SetSampleRate(double fs) {
    for (auto& block : m_blocks)
        block->SetSampleRate(fs);
    m_sampleRate = fs;
}

bool CDSPFFTDataList::DoFFT(int channel, int window) {
    CDSPFFTData* block = GetAt(channel);
    return block && block->DoFFT(window);
}

bool CDSPFFTDataList::DoIFFT(int channel) {
    CDSPFFTData* block = GetAt(channel);
    return block && block->DoIFFT();
}

int CDSPFFTDataList::DoubleToInt(double x) {
    if (std::isnan(x)) return 0;
    const double r = std::clamp(RoundHalfUp(x), double{INT_MIN}, double{INT_MAX});
    return static_cast<int>(r);
}

void CDSPFFTDataList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        const CDSPFFTData* first = GetAt(0);
        ar.WriteClass(RUNTIME_CLASS(CDSPFFTDataList));
        ar.WriteInt32(first ? first->GetType() : 0);
        ar.WriteInt32(first ? first->GetSize() : 0);
        ar.WriteDouble(first ? first->GetSampleRate() : 0.0);
        ar.WriteInt32(GetNumChans());
        std::vector<const CObject*> blocks;
        for (const auto& block : m_blocks)
            blocks.push_back(block.get());
        ar.WriteObjectList(blocks);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CDSPFFTDataList));
    const int32_t type = ar.ReadInt32();
    const int32_t size = ar.ReadInt32();
    const double sampleRate = ar.ReadDouble();
    const int32_t channelCount = ar.ReadInt32();
    std::vector<std::unique_ptr<CObject>> objects = ar.ReadObjectList(RUNTIME_CLASS(CDSPFFTData));
    if (!ar.Ok()) return;
    if (channelCount != static_cast<int32_t>(objects.size())) {
        ar.Fail("Channel count does not match the stored blocks");
        return;
    }
    std::vector<std::unique_ptr<CDSPFFTData>> blocks;
    for (auto& object : objects) {
        auto* block = dynamic_cast<CDSPFFTData*>(object.get());
        if (!block) {
            ar.Fail("Channel list holds an object that is not a sample block");
            return;
        }
        object.release();
        blocks.emplace_back(block);
    }
    m_blocks = std::move(blocks);
    m_channelCount = channelCount;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
}
