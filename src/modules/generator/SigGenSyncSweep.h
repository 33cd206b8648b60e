#pragma once
// The "Sync Log Sweep" wave: one synchronized exponential swept sine from the sweep start to the
// sweep stop frequency at the start of every block, lasting about the sweep time, and silence
// for the rest of the block, in which the system under test decays. Each block plays the same
// sweep, so a recording is one period of a periodic excitation.

#include <cstdint>
#include <span>
#include <string>

class CSigGenChanDlgBar;

/** Why the bar's sweep cannot be played in blocks of n samples at fs; empty when it can. */
std::string SyncSweepRefusal(const CSigGenChanDlgBar& bar, double fs, int32_t n);
/** The block: the sweep at `level`, then silence. The bar's settings passed the refusal. */
void FillSyncSweep(std::span<double> out, const CSigGenChanDlgBar& bar, double level);
