#pragma once
// Helpers shared by the dsp tests: array snapshots and blocks with given contents.

#include "dsp/DSPFFTData.h"

#include <random>
#include <vector>

/** The values of an array as a vector (empty when it has none). */
inline std::vector<double> Values(const CDSPData* array) {
    if (!array || !array->GetDataPointer()) return {};
    return {array->GetDataPointer(), array->GetDataPointer() + array->GetSize()};
}

/** All three arrays of a block, for before/after comparisons. */
struct CBlockSnapshot {
    std::vector<double> time, magnitude, phase;
    bool operator==(const CBlockSnapshot&) const = default;
};

inline CBlockSnapshot Snapshot(const CDSPFFTData& block) {
    return {Values(block.GetTimeObj()), Values(block.GetFreqObj()), Values(block.GetPhaseObj())};
}

/** A block of the given type whose arrays hold the given values (all of the same length). */
inline void MakeBlock(CDSPFFTData& block, int32_t type, double sampleRate,
                      const std::vector<double>& time, const std::vector<double>& magnitude,
                      const std::vector<double>& phase) {
    const auto n = static_cast<int32_t>(magnitude.size());
    block.Create(type, n, sampleRate);
    block.Fill(n, time.empty() ? nullptr : time.data(), magnitude.data(), phase.data());
}

/** Makes `block` a time block at `fs` holding the samples; false when it cannot be made. */
inline bool TimeBlock(CDSPFFTData& block, const std::vector<double>& samples, double fs = 48000.0) {
    const auto n = static_cast<int32_t>(samples.size());
    if (!block.Create(CDSPData::kTimeBlock, n, fs)) return false;
    block.Fill(n, samples.data(), nullptr, nullptr);
    return true;
}

/** N samples uniform in [-1, 1) from a fixed seed. */
inline std::vector<double> UniformNoise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> full(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x)
        v = full(rng);
    return x;
}
