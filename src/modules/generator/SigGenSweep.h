#pragma once
// The sweep laws: how far above the sweep start the frequency is at the bar's sweep counter.

class CSigGenChanDlgBar;

/** Offset in Hz added to the effective frequency at the bar's sweep counter c (1 .. sweep
 *  length S): 0 outside the sweep modes; c/S, log10 c / log10 S, 1 - log10 c / log10 S,
 *  1 - 10^(c/S) / 10 or 10^(c/S) / 10 of (stop - start) for the five laws. */
double GetSweepSample(const CSigGenChanDlgBar& bar);
