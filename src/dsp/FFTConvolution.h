#pragma once
// Linear convolution through real FFTs, zero-padded to a power of two that holds the whole
// result, so nothing wraps around.

#include <cstdint>

/** out[j] = sum over i of a[i] b[j - i], for j = 0..count-1 (count <= na + nb - 1). False,
 *  out unchanged, when the padded length would exceed the longest transform. out may be a
 *  or b. */
bool LinearConvolution(const double* a, int32_t na, const double* b, int32_t nb, double* out,
                       int32_t count);
