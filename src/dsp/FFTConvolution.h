#pragma once
// Linear convolution through real FFTs, zero-padded to a power of two that holds the whole
// result, so nothing wraps around.

#include <cstdint>
#include <vector>

/** out[j] = sum over i of a[i] b[j - i], for j = 0..count-1 (count <= na + nb - 1). False,
 *  out unchanged, when the padded length would exceed the longest transform. out may be a
 *  or b. */
bool LinearConvolution(const double* a, int32_t na, const double* b, int32_t nb, double* out,
                       int32_t count);

/** The transform of a convolution's second operand, kept while its samples stay the same: a
 *  reference that a run hands on unchanged pass after pass costs a comparison, not a
 *  transform. */
class CConvolutionOperand {
public:
    /** Whether it holds the transform of b (nb samples) for first operands of na samples. */
    bool Holds(const double* b, int32_t nb, int32_t na) const;
    /** Makes that transform; false when the padded length would exceed the longest transform. */
    bool Set(const double* b, int32_t nb, int32_t na);

private:
    friend bool LinearConvolution(const double* a, int32_t na, const CConvolutionOperand& b,
                                  double* out, int32_t count);
    std::vector<double> m_samples;
    std::vector<double> m_re, m_im;
    int32_t m_na = 0;
    int32_t m_length = 0;
};

/** The same with b's transform made beforehand; a must have the na samples b was set for. */
bool LinearConvolution(const double* a, int32_t na, const CConvolutionOperand& b, double* out,
                       int32_t count);
