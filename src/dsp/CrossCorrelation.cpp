// Circular cross-correlation of a block with a reference block over one sequence period.
#include "dsp/DSPFFTData.h"

#include "dsp/FFTConvolution.h"

#include <algorithm>
#include <array>
#include <vector>

bool CDSPFFTData::CrossCorrelate(const CDSPFFTData& reference) {
    if (!HasArrays() || !reference.HasArrays() || !IsSize(reference)) return false;
    const int32_t n = GetSize();
    // One period needs at least one sample; a block of one has none.
    if (n < 2) return false;
    const int32_t period = n - 1;
    double* x = m_pTime->GetDataPointer();
    // The linear correlation c[l] = sum a[i] b[i + l], l = -(P-1)..P-1, is the convolution of
    // the reversed block with the reference, at index P - 1 + l; the circular sum over one
    // period adds the part that wraps: r[l] = c[l] + c[l - P].
    thread_local std::vector<double> reversed, c;
    reversed.assign(x, x + period);
    std::reverse(reversed.begin(), reversed.end());
    c.resize(2 * static_cast<size_t>(period) - 1);
    // The reference is most often the same sequence on every pass and channel: its transform
    // is kept, one for each of two references that take turns.
    thread_local std::array<CConvolutionOperand, 2> references;
    thread_local size_t replaced = 0;
    const double* b = reference.m_pTime->GetDataPointer();
    CConvolutionOperand* operand = nullptr;
    for (CConvolutionOperand& held : references)
        if (!operand && held.Holds(b, period, period)) operand = &held;
    if (!operand) {
        operand = &references[replaced];
        replaced = (replaced + 1) % references.size();
        if (!operand->Set(b, period, period)) return false;
    }
    if (!LinearConvolution(reversed.data(), period, *operand, c.data(), 2 * period - 1))
        return false;
    x[0] = c[period - 1] / period;
    for (int32_t lag = 1; lag < period; ++lag)
        x[lag] = (c[period - 1 + lag] + c[lag - 1]) / period;
    x[n - 1] = x[n - 2];
    return true;
}
