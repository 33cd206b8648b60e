#pragma once
// Window weights of the forward FFT, and tables of them kept per window and block size so
// that a transform does not evaluate cosines for every sample of every block.

#include <cstdint>

/** Weight of sample `index` of a block of n samples for a window choice; 0.0 outside. */
double WindowWeight(int window, int32_t n, int32_t index);
/** All n weights of a window, built on first use and kept; nullptr for "None" (all ones) and
 *  unknown choices, which weigh every sample by 1.0. */
const double* WindowTable(int window, int32_t n);
