#pragma once
// Levels in the units a measurement is read in: dBFS (a sine of peak 1 reads 0 dB), dBV (the
// block's values are volts, which they are once the input levels are calibrated) and dB SPL
// (volts through the microphone's sensitivity, against 20 uPa).

#include <string>
#include <vector>

enum class ELevelUnit : int { DBFS = 0, DBV = 1, DBSPL = 2 };

/** "dBFS", "dBV", "dB SPL", in the order of ELevelUnit. */
const std::vector<std::string>& LevelUnitNames();

/** The decibels added to 20 log10 of an rms value to give its level in `unit`; `mvPerPa` is
 *  the microphone's sensitivity (dB SPL only) and `factorDb` a calibration file's sensitivity
 *  factor, by which a microphone reads high. */
double LevelUnitOffset(ELevelUnit unit, double mvPerPa, double factorDb = 0.0);

/** Why a level cannot be given in `unit` with this sensitivity; empty when it can. */
std::string LevelUnitRefusal(ELevelUnit unit, double mvPerPa);
