#pragma once
// The horizontal axis of a plot: where an array element is drawn, which element a pixel column
// designates for a marker, and the marker's frequency or time text. Shared by the plot channels
// and by the views that draw without them.

#include "base/Archive.h"

#include <cstdint>
#include <string>

enum class EAxisKind { time, linear, log };

struct CPlotAxis {
    EAxisKind kind = EAxisKind::linear;
    /** Plot left edge and width in pixels. */
    double left = 0.0;
    double width = 0.0;
    double sampleRate = 96000.0;
    int32_t blockSize = 1024;
    /** First and last bin shown on frequency axes. */
    int32_t startBin = 1;
    int32_t stopBin = 1024;
    /** Log axes: the lowest frequency when the start bin is 0, in Hz. */
    double lowestFrequency = 1.0;
    /** Time axes: horizontal offset in percent and seconds per division (10 divisions). */
    double timeOffset = 50.0;
    double timePerDivision = 1.0;

    /** A horizontal axis spanning `plot`. */
    static CPlotAxis Across(const CRect& plot, EAxisKind kind);

    /** Hz per bin. */
    double BinWidth() const { return sampleRate / blockSize; }
    /** Log axes: the frequencies at the left and right edge of the trace mapping. */
    double LowFrequency() const;
    double HighFrequency() const;
    /** False when the axis cannot place anything (no width, start not below stop, a log range
     *  that is empty). */
    bool IsDrawable() const;

    /** x of frequency f on a log axis. */
    double XOfFrequency(double f) const;
    /** x where the trace draws element k: time sample k; on frequency axes element 0 at the
     *  origin (the start bin's position, or 1 Hz on log axes) and element k ≥ 1 one bin to the
     *  right of bin k's own position. */
    double XOfElement(int32_t k) const;

    /** The element a marker at pixel column x designates, clamped to the block (time) or to
     *  half the block (frequency). On log axes `frequency` receives the interpolated frequency. */
    int32_t MarkerIndex(int32_t x, double* frequency = nullptr) const;
    /** Where a placed marker of that index is drawn. */
    double MarkerX(int32_t index) const;
    /** "%7.7f Sec, " of the index's time, "%5.1f Hz, " (linear) or "%5.1f Hz," (log) of its
     *  frequency. */
    std::string MarkerText(int32_t index) const;
};
