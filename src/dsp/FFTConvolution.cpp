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

bool LinearConvolution(const double* a, int32_t na, const double* b, int32_t nb, double* out,
                       int32_t count) {
    if (na < 1 || nb < 1) return false;
    const int64_t full = int64_t{na} + nb - 1;
    if (full > CFFTPlan::kMaxSize) return false;
    const int32_t length =
        std::max<int32_t>(2, static_cast<int32_t>(std::bit_ceil(uint64_t(full))));
    const CFFTPlan* plan = CFFTPlan::ForSize(length);
    if (plan == nullptr) return false;

    CConvolutionScratch& s = t_scratch;
    const size_t bins = static_cast<size_t>(length) / 2 + 1;
    s.ar.resize(bins);
    s.ai.resize(bins);
    s.br.resize(bins);
    s.bi.resize(bins);
    plan->Forward(a, na, nullptr, s.ar.data(), s.ai.data());
    plan->Forward(b, nb, nullptr, s.br.data(), s.bi.data());
    fftkernels::MultiplySpectra(static_cast<int32_t>(bins), s.ar.data(), s.ai.data(), s.br.data(),
                                s.bi.data());
    plan->Inverse(s.ar.data(), s.ai.data(), out,
                  static_cast<int32_t>(std::min<int64_t>(count, full)));
    return true;
}
