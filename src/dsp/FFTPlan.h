#pragma once
// Real-input discrete Fourier transform of one power-of-two size: a half-size complex FFT
// (Stockham radix-16 passes on split arrays, closed by one untwiddled pass of what is left) with a
// pass that separates the even and odd samples' spectra. Plans are built once per size and kept; a
// call allocates nothing once the calling thread has transformed that size before.

#include "dsp/FFTKernels.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CFFTPlan {
public:
    /** Largest size a plan is made for (2^19: twice the longest block, for zero-padding). */
    static constexpr int32_t kMaxSize = 524288;

    /** The plan for n points, n a power of two from 2 to kMaxSize; nullptr for any other n. */
    static const CFFTPlan* ForSize(int32_t n);

    int32_t Size() const { return m_n; }

    /** Bins 0..N/2 of sum x[t] w[t] e^(-2 pi i k t / N) into re and im (N/2 + 1 values each),
     *  where x holds count samples (at most N) and the rest are zeros; weight may be null (all
     *  ones). The imaginary parts of bins 0 and N/2 are zero. */
    void Forward(const double* x, int32_t count, const double* weight, double* re,
                 double* im) const;
    /** x[t] = 1/N sum over k of H[k] e^(2 pi i k t / N), where H is bins 0..N/2 in re and im
     *  extended by H[N - k] = conj H[k]; the imaginary parts of bins 0 and N/2 are ignored. */
    void Inverse(const double* re, const double* im, double* x) const { Inverse(re, im, x, m_n); }
    /** The first count samples of that. */
    void Inverse(const double* re, const double* im, double* x, int32_t count) const;

    explicit CFFTPlan(int32_t n);

private:
    struct CPass {
        int32_t n;       // sub-transform length: radix 16 above 32, else the closing pass's radix
        int32_t s;       // stride
        size_t twiddles; // offset of a radix-16 pass's twiddle factors
    };
    /** The passes of a complex transform of one length. */
    struct CPasses {
        int32_t pad; // of the arrays, see fftkernels::Padded
        std::vector<double> twiddles;
        std::vector<CPass> passes;
        explicit CPasses(int32_t length);
        /** Transforms (ar, ai), using (br, bi) as the other buffer; returns whether the result
         *  ended up in b. */
        bool Run(double* ar, double* ai, double* br, double* bi) const;
    };
    int32_t m_n;
    CPasses m_passes;
    std::vector<double> m_splitRe; // e^(-2 pi i k / N), k = 0..N/2
    std::vector<double> m_splitIm;
};
