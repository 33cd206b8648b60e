#include "process/Chan.h"

CPlotAxis CChan::GetAxis() const {
    const bool time = xCode <= 1;
    const bool linear = xCode == 2 || xCode == 7;
    CPlotAxis axis = CPlotAxis::Across(
        markerRect, time ? EAxisKind::time : (linear ? EAxisKind::linear : EAxisKind::log));
    axis.sampleRate = sampleRate;
    axis.blockSize = blockSize;
    axis.startBin = firstBin;
    axis.stopBin = lastBin;
    axis.timeOffset = horizontalPosition;
    axis.timePerDivision = timePerDivision;
    static constexpr double kLowest[] = {1.0, 10.0, 20.0, 100.0};
    if (!time && !linear) axis.lowestFrequency = kLowest[(xCode >= 8 ? xCode - 8 : xCode - 3) & 3];
    return axis;
}
