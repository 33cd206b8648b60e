#pragma once
// A view's plot-axis record: what one Y axis of a view that draws without plot channels shows
// (the data logger's Y1 and Y2 axes). Every view holds two. X codes follow the logger's X axis
// list: 0 and 1 time (channel A and B), 2 and 7 linear frequency (A and B), 3..6 and 8..11
// logarithmic frequency (A and B) from 1, 10, 20 and 100 Hz. The Y axis shows one of the plot
// channels' choices (PlotCodes.h), none to impedance.

#include "base/Archive.h"
#include "process/PlotAxis.h"
#include "process/PlotCodes.h"

#include <array>
#include <cstdint>

struct CChan {
    const double* aTime = nullptr;
    const double* aMagnitude = nullptr;
    const double* aPhase = nullptr;
    const double* bTime = nullptr;
    const double* bMagnitude = nullptr;
    const double* bPhase = nullptr;
    double sampleRate = 44100.0;
    int32_t blockSize = 1024;
    int32_t numUsed = 1024;
    int32_t xCode = 0;
    /** Time axes: where the trace starts, 0..100 (50: at the left edge). */
    double horizontalPosition = 0.0;
    double timePerDivision = 0.001;
    int32_t firstBin = 0;
    int32_t lastBin = 1023;
    EPlotY yCode = EPlotY::None;
    EPlotY markerYCode = EPlotY::None;
    /** The zero line's place in percent of the height from the bottom. */
    double verticalPosition = 0.0;
    double scalePerDivision = 1.0;
    double reference = 1.0;
    double gain = 1.0;
    double delay = 0.0;
    /** The plot area the marker is drawn in. */
    CRect markerRect;

    /** What the X code shows, whichever channel it names. */
    EPlotX PlotX() const;
    /** The horizontal axis the X code names, across the marker rectangle. */
    CPlotAxis GetAxis() const;
    /** True when the X code names channel B. */
    bool DrawsChannelB() const { return xCode == 1 || xCode >= 7; }
};

/** The two records every view starts with, at 44100 and 48000 samples per second. */
inline std::array<CChan, 2> DefaultChanRecords() {
    std::array<CChan, 2> records;
    records[1].sampleRate = 48000.0;
    return records;
}
