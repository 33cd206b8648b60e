// Direct-form FIR filtering of a block by the time array of a coefficient block.
#include "dsp/DSPFFTData.h"

#include <vector>

bool CDSPFFTData::DoTransversalFilter(const CDSPFFTData& coefficients) {
    if (!HasArrays() || !coefficients.HasArrays() || !IsSize(coefficients)) return false;
    const int32_t n = GetSize();
    double* x = m_pTime->GetDataPointer();
    const double* h = coefficients.m_pTime->GetDataPointer();
    // Every block starts from silence, so only the block's own past samples take part.
    const std::vector<double> input(x, x + n);
    for (int32_t i = 0; i < n; ++i) {
        double y = 0.0;
        for (int32_t k = 0; k <= i; ++k)
            y += h[k] * input[i - k];
        x[i] = y;
    }
    return true;
}
