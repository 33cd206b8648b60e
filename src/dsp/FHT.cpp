// Impulse response from a recorded maximum-length sequence: a fast Hadamard transform between
// two permutations that turn the sequence's shifts into Walsh functions and back.
#include "dsp/DSPFFTData.h"

#include <bit>
#include <utility>

namespace {
// A sequence value counts as a one bit when it is not above zero.
bool IsOneBit(double value) {
    return value <= 0.0;
}
} // namespace

bool CDSPFFTData::DoFHTReorderMatrix(std::vector<int32_t>& inputTags,
                                     std::vector<int32_t>& outputTags,
                                     const CDSPFFTData& mls) const {
    const int32_t n = TransformSize();
    if (n == 0 || mls.TransformSize() != n) return false;
    const int m = std::countr_zero(static_cast<uint32_t>(n));
    const int32_t period = n - 1;
    const double* s = mls.m_pTime->GetDataPointer();
    // Indices below zero wrap by one period; the filler sample N-1 is never reached that way.
    auto at = [&](int32_t i) { return s[i < 0 ? i + period : i]; };

    std::vector<int32_t> in(static_cast<size_t>(n), 0);
    std::vector<int32_t> out(static_cast<size_t>(n), 0);
    for (int j = 0; j < m; ++j)
        for (int32_t i = 0; i < n; ++i)
            if (IsOneBit(at(i - j))) in[i] |= 1 << j;
    for (int j = 0; j < m; ++j) {
        int32_t q = 0;
        while (q < period && in[q] != (1 << j))
            ++q;
        if (q == period) continue; // not a maximal-length sequence: this bit stays clear
        for (int32_t i = 0; i < period; ++i)
            if (IsOneBit(at(q - i))) out[i] |= 1 << j;
    }
    inputTags = std::move(in);
    outputTags = std::move(out);
    return true;
}

bool CDSPFFTData::DoFHT(const std::vector<int32_t>& inputTags,
                        const std::vector<int32_t>& outputTags) {
    const int32_t n = TransformSize();
    if (n == 0 || inputTags.size() != size_t(n) || outputTags.size() != size_t(n)) return false;
    // Tables from another block size would index outside the transform.
    auto fits = [n](int32_t tag) { return tag >= 0 && tag < n; };
    for (int32_t i = 0; i < n; ++i)
        if (!fits(inputTags[i]) || !fits(outputTags[i])) return false;

    const int m = std::countr_zero(static_cast<uint32_t>(n));
    const int32_t half = n / 2;
    double* x = m_pTime->GetDataPointer();
    std::vector<double> a(static_cast<size_t>(n), 0.0);
    std::vector<double> b(static_cast<size_t>(n));
    for (int32_t i = 0; i < n - 1; ++i)
        a[inputTags[i]] = x[i];
    a[0] = 0.0;
    for (int stage = 0; stage < m; ++stage) {
        for (int32_t i = 0; i < half; ++i) {
            b[i] = a[2 * i] + a[2 * i + 1];
            b[i + half] = a[2 * i] - a[2 * i + 1];
        }
        a.swap(b);
    }
    const double period = n - 1;
    for (int32_t i = 0; i < n - 1; ++i)
        x[i] = a[outputTags[i]] / period;
    x[n - 1] = x[n - 2];
    return true;
}
