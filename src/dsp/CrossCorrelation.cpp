// Circular cross-correlation of a block with a reference block over one sequence period.
#include "dsp/DSPFFTData.h"

#include <algorithm>
#include <vector>

bool CDSPFFTData::CrossCorrelate(const CDSPFFTData& reference) {
    if (!HasArrays() || !reference.HasArrays() || !IsSize(reference)) return false;
    const int32_t n = GetSize();
    // One period needs at least one sample; a block of one has none.
    if (n < 2) return false;
    const int32_t period = n - 1;
    double* x = m_pTime->GetDataPointer();
    const std::vector<double> a(x, x + period);
    const double* b = reference.m_pTime->GetDataPointer();
    std::vector<double> out(static_cast<size_t>(n));
    for (int32_t lag = 0; lag < period; ++lag) {
        double r = 0.0;
        int32_t j = lag;
        for (int32_t i = 0; i < period; ++i) {
            r += a[i] * b[j];
            if (++j == period) j = 0;
        }
        out[lag] = r / period;
    }
    out[n - 1] = out[n - 2];
    std::copy(out.begin(), out.end(), x);
    return true;
}
