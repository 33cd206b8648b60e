#pragma once
// A step that plays, records or writes samples at a rate of its own (the SoundIO and WAV File
// Save steps) and the process's rate. When the two differ, every frequency the process states
// comes out scaled by their ratio (a 1 kHz tone of a 48 kHz process played at 44100 Hz sounds at
// 918.75 Hz), so a new step starts at the process's rate and a step that differs says so.

#include <string>
#include <vector>

/** The position in `rates` of the rate nearest to `rate` (the lower of two equally near); -1
 *  for an empty list. */
int NearestRateIndex(const std::vector<int>& rates, double rate);

/** The warning of a step running at `stepRate` in a process of `processRate`; empty when they
 *  agree. */
std::string RateMismatchWarning(double stepRate, double processRate);
