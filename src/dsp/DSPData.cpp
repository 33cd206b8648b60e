#include "dsp/DSPData.h"

#include "base/Archive.h"

#include <new>
#include <utility>

AURIVO_IMPLEMENT_SERIAL(CDSPData, nullptr);

bool CDSPData::Allocate(int32_t size, const double* values, double fill) {
    if (size < 0) return false;
    try {
        m_values = values ? std::vector<double>(values, values + size)
                          : std::vector<double>(static_cast<size_t>(size), fill);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int32_t CDSPData::Create(int32_t size, int32_t type) {
    m_values.clear();
    m_values.shrink_to_fit();
    if (!IsValidType(type) || !Allocate(size)) return 0;
    m_size = size;
    m_type = type;
    m_numUsed = 0;
    m_sampleRate = 96000.0;
    return size;
}

bool CDSPData::Create(int32_t type, int32_t size, double sampleRate) {
    return Create(type, size, sampleRate, nullptr, 0.0);
}

bool CDSPData::Create(int32_t type, int32_t size, double sampleRate, const double* values,
                      double fill) {
    if (!IsValidType(type) || !Allocate(size, values, fill)) return false;
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    m_numUsed = 0;
    return true;
}

bool CDSPData::Create(int32_t type, int32_t size, double sampleRate,
                      const std::string& description) {
    if (!Create(type, size, sampleRate)) return false;
    m_description = description;
    return true;
}

bool CDSPData::Clone(const CDSPData& other) {
    return Create(other.m_type, other.m_size, other.m_sampleRate);
}

bool CDSPData::Copy(const CDSPData& other) {
    // Both sides must really hold `size` values: an array that was never created has none.
    const auto n = static_cast<size_t>(m_size);
    if (!IsValidType(m_type) || !IsType(other) || !IsSize(other) || m_values.size() != n ||
        other.m_values.size() != n)
        return false;
    m_values = other.m_values;
    m_sampleRate = other.m_sampleRate;
    m_numUsed = m_size;
    return true;
}

int32_t CDSPData::Invert() {
    for (double& v : m_values)
        v = -v;
    return static_cast<int32_t>(m_values.size());
}

void CDSPData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDSPData));
        ar.WriteInt32(m_type);
        ar.WriteInt32(m_size);
        ar.WriteDouble(m_sampleRate);
        // An array that was never created is stored as zeros of its nominal size.
        for (int32_t i = 0; i < m_size; ++i)
            ar.WriteDouble(static_cast<size_t>(i) < m_values.size() ? m_values[i] : 0.0);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CDSPData));
    const int32_t type = ar.ReadInt32();
    const int32_t size = ar.ReadInt32();
    const double sampleRate = ar.ReadDouble();
    if (!ar.Ok()) return;
    if (!IsValidType(type)) {
        ar.Fail("Invalid sample array type " + std::to_string(type));
        return;
    }
    if (size < 0 || size > kMaxSize) {
        ar.Fail("Invalid sample array size " + std::to_string(size));
        return;
    }
    if (!ar.Require(static_cast<uint64_t>(size) * 8)) return;
    // Values of another length are replaced by an array of the loaded shape.
    if (m_values.size() != static_cast<size_t>(size)) {
        if (!Create(type, size, sampleRate)) {
            ar.Fail("Out of memory");
            return;
        }
    }
    m_type = type;
    m_size = size;
    m_sampleRate = sampleRate;
    for (double& v : m_values)
        v = ar.ReadDouble();
}
