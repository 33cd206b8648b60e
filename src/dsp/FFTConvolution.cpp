#include "dsp/FFTConvolution.h"

#include "dsp/FFTKernels.h"
#include "dsp/FFTPlan.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {
// Buffers of the calling thread, grown to the largest length it has used.
struct CConvolutionScratch {
    std::vector<double> ar, ai, br, bi;
};
thread_local CConvolutionScratch t_scratch;
} // namespace

namespace {
// The power of two that holds a whole convolution of na and nb samples, 0 when it exceeds the
// longest transform.
int32_t PaddedLength(int32_t na, int32_t nb) {
    const int64_t full = int64_t{na} + nb - 1;
    if (na < 1 || nb < 1 || full > CFFTPlan::kMaxSize) return 0;
    return std::max<int32_t>(2, static_cast<int32_t>(std::bit_ceil(uint64_t(full))));
}

// The product of a's transform with b's, transformed back into the first count samples of out.
void Convolve(const CFFTPlan& plan, const double* a, int32_t na, const double* br, const double* bi,
              double* out, int32_t count) {
    CConvolutionScratch& s = t_scratch;
    const size_t bins = static_cast<size_t>(plan.Size()) / 2 + 1;
    s.ar.resize(bins);
    s.ai.resize(bins);
    plan.Forward(a, na, nullptr, s.ar.data(), s.ai.data());
    fftkernels::MultiplySpectra(static_cast<int32_t>(bins), s.ar.data(), s.ai.data(), br, bi);
    plan.Inverse(s.ar.data(), s.ai.data(), out, count);
}
} // namespace

bool LinearConvolution(const double* a, int32_t na, const double* b, int32_t nb, double* out,
                       int32_t count) {
    const int32_t length = PaddedLength(na, nb);
    const CFFTPlan* plan = length > 0 ? CFFTPlan::ForSize(length) : nullptr;
    if (plan == nullptr) return false;
    CConvolutionScratch& s = t_scratch;
    const size_t bins = static_cast<size_t>(length) / 2 + 1;
    s.br.resize(bins);
    s.bi.resize(bins);
    plan->Forward(b, nb, nullptr, s.br.data(), s.bi.data());
    Convolve(*plan, a, na, s.br.data(), s.bi.data(), out,
             static_cast<int32_t>(std::min<int64_t>(count, int64_t{na} + nb - 1)));
    return true;
}

bool CConvolutionOperand::Holds(const double* b, int32_t nb, int32_t na) const {
    return m_length > 0 && na == m_na && size_t(nb) == m_samples.size() &&
           std::equal(m_samples.begin(), m_samples.end(), b);
}

bool CConvolutionOperand::Set(const double* b, int32_t nb, int32_t na) {
    m_length = PaddedLength(na, nb);
    const CFFTPlan* plan = m_length > 0 ? CFFTPlan::ForSize(m_length) : nullptr;
    if (plan == nullptr) {
        m_length = 0;
        return false;
    }
    m_na = na;
    m_samples.assign(b, b + nb);
    m_re.resize(static_cast<size_t>(m_length) / 2 + 1);
    m_im.resize(m_re.size());
    plan->Forward(b, nb, nullptr, m_re.data(), m_im.data());
    return true;
}

bool LinearConvolution(const double* a, int32_t na, const CConvolutionOperand& b, double* out,
                       int32_t count) {
    if (b.m_length <= 0 || na != b.m_na) return false;
    const int32_t nb = static_cast<int32_t>(b.m_samples.size());
    Convolve(*CFFTPlan::ForSize(b.m_length), a, na, b.m_re.data(), b.m_im.data(), out,
             static_cast<int32_t>(std::min<int64_t>(count, int64_t{na} + nb - 1)));
    return true;
}
