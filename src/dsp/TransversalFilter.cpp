// FIR filtering of a block by the time array of a coefficient block.
#include "dsp/DSPFFTData.h"

#include "dsp/FFTConvolution.h"

bool CDSPFFTData::DoTransversalFilter(const CDSPFFTData& coefficients) {
    if (!HasArrays() || !coefficients.HasArrays() || !IsSize(coefficients)) return false;
    const int32_t n = GetSize();
    double* x = m_pTime->GetDataPointer();
    // Every block starts from silence, so only the block's own past samples take part: the
    // first N values of the linear convolution.
    return LinearConvolution(coefficients.m_pTime->GetDataPointer(), n, x, n, x, n);
}
