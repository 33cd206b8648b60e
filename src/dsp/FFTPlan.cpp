#include "dsp/FFTPlan.h"

#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <mutex>

namespace {
const double kTwoPi = 8.0 * std::atan(1.0);

// cos and -sin of 2 pi k / n, folded into the first octant so that both are as accurate as
// the library's sine and cosine of a small angle.
void Twiddle(int64_t k, int64_t n, double& re, double& im) {
    k %= n;
    const bool lower = 2 * k > n; // second half: conjugate of n - k
    if (lower) k = n - k;
    const bool back = 4 * k > n; // second quarter: mirror around pi/2
    if (back) k = n / 2 - k;
    double c, s;
    if (8 * k > n) { // between pi/4 and pi/2: swap around pi/4
        const double a = kTwoPi * static_cast<double>(n / 4 - k) / static_cast<double>(n);
        c = std::sin(a);
        s = std::cos(a);
    } else {
        const double a = kTwoPi * static_cast<double>(k) / static_cast<double>(n);
        c = std::cos(a);
        s = std::sin(a);
    }
    if (back) c = -c;
    if (lower) s = -s;
    re = c;
    im = -s;
}

// Buffers of the calling thread, grown to the largest size it has transformed. Besides the
// padding within each array (see fftkernels::Padded), the four arrays start a few cache lines
// apart from cache-line boundaries, so that the streams of one pass in different arrays do
// not share sets either.
struct CScratch {
    static constexpr size_t kStagger = 72; // doubles: nine cache lines
    static constexpr size_t kLine = 8;     // doubles
    std::vector<double> storage;
    double *ar = nullptr, *ai = nullptr, *br = nullptr, *bi = nullptr;
    void Reserve(size_t length) {
        const size_t span = (length + kLine - 1) / kLine * kLine + kStagger;
        if (storage.size() < 4 * span + kLine) storage.resize(4 * span + kLine);
        const auto address = reinterpret_cast<uintptr_t>(storage.data());
        ar = storage.data() + (kLine - address / sizeof(double) % kLine) % kLine;
        ai = ar + span;
        br = ai + span;
        bi = br + span;
    }
};
thread_local CScratch t_scratch;

} // namespace

CFFTPlan::CPasses::CPasses(int32_t length) : pad(fftkernels::PaddingFor(length)) {
    int32_t stride = 1;
    while (length > 32) {
        const int32_t q = length / 16;
        const size_t offset = twiddles.size();
        twiddles.resize(offset + 30 * 4 * static_cast<size_t>((q + 3) / 4));
        double* t = twiddles.data() + offset;
        for (int32_t p = 0; p < q; ++p)
            for (int r = 1; r < 16; ++r) {
                double* slot = t + 30 * (p & ~3) + (p & 3) + 8 * (r - 1);
                Twiddle(int64_t{r} * p, length, slot[0], slot[4]);
            }
        passes.push_back({length, stride, offset});
        length /= 16;
        stride *= 16;
    }
    if (length > 1) passes.push_back({length, stride, 0});
}

bool CFFTPlan::CPasses::Run(double* ar, double* ai, double* br, double* bi) const {
    bool inB = false;
    for (const CPass& pass : passes) {
        const double* xr = inB ? br : ar;
        const double* xi = inB ? bi : ai;
        double* yr = inB ? ar : br;
        double* yi = inB ? ai : bi;
        if (pass.n > 32)
            fftkernels::Radix16Pass(pass.n, pass.s, pad, twiddles.data() + pass.twiddles, xr, xi,
                                    yr, yi);
        else
            fftkernels::ClosingPass(pass.n, pass.s, pad, xr, xi, yr, yi);
        inB = !inB;
    }
    return inB;
}

CFFTPlan::CFFTPlan(int32_t n) : m_n(n), m_passes(n / 2) {
    const int32_t m = n / 2;
    m_splitRe.resize(static_cast<size_t>(m) + 1);
    m_splitIm.resize(static_cast<size_t>(m) + 1);
    for (int32_t k = 0; k <= m; ++k)
        Twiddle(k, n, m_splitRe[k], m_splitIm[k]);
}

const CFFTPlan* CFFTPlan::ForSize(int32_t n) {
    if (n < 2 || n > kMaxSize || !std::has_single_bit(static_cast<uint32_t>(n))) return nullptr;
    static std::array<std::unique_ptr<CFFTPlan>, 20> plans;
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& plan = plans[static_cast<size_t>(std::countr_zero(static_cast<uint32_t>(n)))];
    if (!plan) plan = std::make_unique<CFFTPlan>(n);
    return plan.get();
}

void CFFTPlan::Forward(const double* x, int32_t count, const double* weight, double* re,
                       double* im) const {
    const int32_t m = m_n / 2;
    const int32_t pad = m_passes.pad;
    CScratch& s = t_scratch;
    s.Reserve(static_cast<size_t>(fftkernels::Padded(m, pad)));
    fftkernels::PackReal(m, x, count, weight, pad, s.ar, s.ai);
    const bool inB = m_passes.Run(s.ar, s.ai, s.br, s.bi);
    fftkernels::SplitSpectrum(m, pad, inB ? s.br : s.ar, inB ? s.bi : s.ai, m_splitRe.data(),
                              m_splitIm.data(), re, im);
}

void CFFTPlan::Inverse(const double* re, const double* im, double* x, int32_t count) const {
    const int32_t m = m_n / 2;
    const int32_t pad = m_passes.pad;
    CScratch& s = t_scratch;
    s.Reserve(static_cast<size_t>(fftkernels::Padded(m, pad)));
    fftkernels::JoinSpectrum(m, re, im, m_splitRe.data(), m_splitIm.data(), 1.0 / m_n, pad, s.ar,
                             s.ai);
    // The inverse transform is the forward one with real and imaginary parts swapped on the
    // way in and out.
    const bool inB = m_passes.Run(s.ai, s.ar, s.bi, s.br);
    fftkernels::UnpackReal(inB ? s.br : s.ar, inB ? s.bi : s.ai, pad, x, count);
}
