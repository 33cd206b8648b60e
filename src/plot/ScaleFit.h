#pragma once
// The "Fit" of a Y axis: the finest per-division scale whose range shows every drawn value.
// The analyser's plot channels and the data logger's axes both choose their scale this way.

#include <vector>

struct CScaleFitAxis {
    int divisions = 8;        // divisions over the plot's height
    double zeroPercent = 0.0; // height of the zero line above the bottom, percent
    bool decibels = false;    // fit only the values within 100 dB of the highest
};

/** The index of the first of `scales` (units per division, ascending) whose divisions above
 *  the zero line hold the highest value and whose divisions below it hold the lowest (a side
 *  without divisions is not asked); the last index when none does, -1 when there are no values or
 * no scales. Non-finite values are ignored. */
int FitScaleIndex(const std::vector<double>& values, const std::vector<double>& scales,
                  const CScaleFitAxis& axis);
