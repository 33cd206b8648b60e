#pragma once
// One drawing record of the data logger (one per Y axis) and how it turns a logged plot into a
// trace: the value each Y axis type draws, where a sample or bin lies on the X axis and where a
// value lies on the Y axis. The arrays belong to the plot the record points at and are only
// valid while that plot lives.

#include "base/Archive.h"

#include <cstdint>
#include <vector>

struct CLoggerChan {
    const double* timeA = nullptr; // channel 1 of the plot being drawn
    const double* magnitudeA = nullptr;
    const double* phaseA = nullptr;
    const double* timeB = nullptr; // channel 2
    const double* magnitudeB = nullptr;
    const double* phaseB = nullptr;
    double sampleRate = 96000.0;
    int32_t blockSize = 1024;
    int32_t numUsed = 1024;
    int32_t xCode = 2; // the X axis type
    /** Time axes: 0..100, 50 puts sample 0 at the left edge; seconds per division. */
    double horizontalPosition = 50.0;
    double timePerDivision = 0.001;
    /** The visible range: samples on time axes, bins on frequency axes. */
    double firstBin = 1.0;
    double lastBin = 33.0;
    int32_t yCode = 1; // the Y axis type of this record's axis
    int32_t markerYCode = 1;
    /** Linear types: the zero line's height above the bottom in percent of the height. */
    double verticalPosition = 0.0;
    double scalePerDivision = 1.0;
    double reference = 1.0;
    double gain = 1.0;
    double delay = 0.0; // seconds
    /** Either Y axis shows the impedance: a "Degrees" axis then draws the other channel. */
    bool impedanceShown = false;
    CRect markerRect;
};

/** The value drawn at element i (a sample on time axes, a bin otherwise) for the record's Y
 *  type; the dB types take a magnitude at or below zero as 1e-10, the impedance is drawn on
 *  the zero line (0) where the other channel is not smaller than the drawn one. */
double LoggerValue(const CLoggerChan& r, int32_t i);
/** Pixel column of element i in the plot (unclamped). */
double LoggerX(const CLoggerChan& r, int32_t i, const CRect& plot);
/** Pixel row of a value in the plot (unclamped): 8 divisions over the height, the zero line at
 *  the record's vertical position for linear types and at mid-height for dB types and degrees. */
double LoggerY(const CLoggerChan& r, double value, const CRect& plot);
/** The trace: element 0 at the axis origin, then elements 1 up to the last bin (frequency) or
 *  block size - 1 (time), ending with the first point right of the plot. Empty when the record
 *  has no arrays for its axes or its Y type is "None". */
std::vector<CPoint> LoggerTracePoints(const CLoggerChan& r, const CRect& plot);
/** The values of the elements in the record's visible range (samples 0 .. block size - 1 on
 *  time axes, the first to the last bin otherwise), for fitting the scale; empty when the
 *  record has nothing to draw. */
std::vector<double> LoggerTraceValues(const CLoggerChan& r);
