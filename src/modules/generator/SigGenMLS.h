#pragma once
// Maximum-length sequences: one period of 2^p - 1 samples per block of N = 2^p, from a shift
// register with a fixed feedback mask per register length, restarted in every block.

#include <cstdint>

class CSigGenChanDlgBar;

/** Feedback mask of a maximal-length register of k + 1 bits (k = 0..23); 0 outside. */
int32_t MLSTapMask(int32_t k);

/** Register order index for a block of n samples: the number of doublings of 1 that stay
 *  below n/2 (log2 n - 1 for n >= 4, 0 for n = 2). */
int32_t MLSOrderIndex(int32_t n);

/** Unipolar sequence value (0.0 or 1.0) of sample i; advances the bar's register. The last
 *  sample of the block (i >= N - 1) is the filler 1.0. */
double MLSSample(CSigGenChanDlgBar& bar, int32_t i);
/** The complement of MLSSample, the filler included. */
double MLS180Sample(CSigGenChanDlgBar& bar, int32_t i);
