#pragma once
// One oscilloscope trace and where its samples fall in the plot: the zero line, the x origin
// set by the horizontal position, and the pixels of an analog, digital or ground trace.

#include "base/Archive.h"

#include <cstdint>
#include <vector>

/** Divisions of the plot's height; the volts per division scale all of them. */
constexpr int kOscVerticalDivisions = 8;

/** What the oscilloscope draws of one channel. The samples belong to the block list they
 *  point into and are only valid while that list lives. */
struct CYChannel {
    const double* samples = nullptr;
    int32_t sampleCount = 0;
    /** Seconds between samples. */
    double samplePeriod = 0.0;
    /** 0..100; the zero line lies at (100 - position) % of the plot height below its top. */
    int32_t verticalPosition = 0;
    double voltsPerDivision = 1.0;
    int32_t digital = 0;
    int32_t ground = 0;
    /** N of the channel's block averaging (1..4096). */
    double blockAverageCount = 1.0;
};

/** A pixel coordinate: truncated toward zero and held inside the int32 range (a tiny
 *  volts/div can push a sample far off the plot); NaN gives 0. */
int32_t OscPixel(double v);

/** Pixel column where sample 0 lies: the plot's left edge moved by (position - 50) % of its
 *  width. */
int32_t OscTraceOrigin(const CRect& plot, int32_t horizontalPosition);

/** Pixel row of the trace's zero line. */
int32_t OscZeroLine(const CRect& plot, int32_t verticalPosition);

/** The polyline of a trace in the plot, with ten horizontal divisions of `timePerDivision`
 *  seconds and eight vertical ones. A ground trace or one of fewer than two samples is a flat
 *  line one plot width long at the zero line; an analog trace joins the samples; a digital one
 *  holds each sample until the next. Both stop after the first point right of the plot. */
std::vector<CPoint> OscTracePoints(const CYChannel& trace, const CRect& plot,
                                   int32_t horizontalPosition, double timePerDivision);
