#include "process/Chan.h"

EPlotX CChan::PlotX() const {
    if (xCode <= 1) return EPlotX::Time;
    if (xCode == 2 || xCode == 7) return EPlotX::LinearFrequency;
    const int32_t log = xCode >= 8 ? xCode - 8 : xCode - 3; // from 1, 10, 20, 100 Hz
    return static_cast<EPlotX>(int32_t(EPlotX::LogFrom1Hz) + (log & 3));
}

CPlotAxis CChan::GetAxis() const {
    const CPlotXTraits& x = PlotXTraits(PlotX());
    CPlotAxis axis = CPlotAxis::Across(markerRect, x.kind);
    axis.sampleRate = sampleRate;
    axis.blockSize = blockSize;
    axis.startBin = firstBin;
    axis.stopBin = lastBin;
    axis.timeOffset = horizontalPosition;
    axis.timePerDivision = timePerDivision;
    if (x.kind == EAxisKind::log) axis.lowestFrequency = x.lowestFrequency;
    return axis;
}
