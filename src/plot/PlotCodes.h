#pragma once
// What a plot channel shows along each axis, and what goes with each choice. The numbers are
// the ones the modules hand over: the spectrum analyser's X and Y list positions plus one, and
// the 3-D display's own pair.

#include "plot/PlotAxis.h"

#include <cstdint>

enum class EPlotX : int32_t {
    Time = 0,
    LinearFrequency = 1,
    LogFrom1Hz = 2, // logarithmic frequency, from 1 Hz when the start bin is 0
    LogFrom10Hz = 3,
    LogFrom20Hz = 4,
    LogFrom100Hz = 5,
    Depth = 6, // linear frequency of the 3-D display
};

enum class EPlotY : int32_t {
    None = 0,
    VoltsPeak = 1,
    VoltsRms = 2,
    DBVPeak = 3,
    DBVRms = 4,
    DBRelative = 5, // dB relative to the bin at Ref1 Hz
    DBSPL = 6,      // dB SPL re Ref1
    Degrees = 7,
    Ohms = 8, // impedance, Ref1 the reference resistance
    THDVoltsPeak = 9,
    IMDVoltsPeak = 10,
    Depth = 11, // dB of the 3-D display
    Ratio = 12, // a plain number (coherence, a response over its peak): no unit
};

struct CPlotXTraits {
    /** False for codes outside the list: such an axis places nothing. */
    bool known;
    EAxisKind kind;
    /** Log axes: the lowest frequency shown when the start bin is 0. */
    double lowestFrequency;
};

/** How a Y axis places its values. */
enum class EYLayout {
    Nothing,         // no trace, no labels
    FromBottom,      // zero at the offset line, scale per division upwards
    CentredDecibels, // 0 dB at half height
    SoundPressure,   // 130 dB at the top, 80 dB over the height
    CentredDegrees,  // 0° at half height
    Depth,           // top and bottom levels of the 3-D display
};

/** The texts of the Y grid labels. */
enum class EYLabels { Volts, Decibels, SoundPressure, Degrees, Ohms, Ratio };

/** The tick sets of the grid beside a linear frequency axis; -1: none. */
struct CLinearTicks {
    int x = -1;
    int y = -1;
    int y2 = -1;
};

struct CPlotYTraits {
    EYLayout layout;
    EYLabels labels;
    CLinearTicks linearTicks;
};

const CPlotXTraits& PlotXTraits(EPlotX code);
const CPlotYTraits& PlotYTraits(EPlotY code);
