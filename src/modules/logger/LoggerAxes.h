#pragma once
// The data logger's axis lists: the twelve X axis types (time or frequency, which channel is
// drawn, where a log axis starts), the nine Y axis types with what a selection sets, their
// per-division scale texts, and the six plot colours.

#include "platform/Colour.h"
#include "plot/PlotAxis.h"

#include <string>
#include <vector>

/** Positions in the X axis list ("Sel:" of "XAxis:"). */
enum ELoggerXAxis : int {
    kLogT1Lin = 0,
    kLogT2Lin,
    kLogF1Lin,
    kLogF1Log1,
    kLogF1Log10,
    kLogF1Log20,
    kLogF1Log100,
    kLogF2Lin,
    kLogF2Log1,
    kLogF2Log10,
    kLogF2Log20,
    kLogF2Log100,
    kLogXAxisCount
};

/** Positions in both Y axis lists; they equal the plot's Y codes. */
enum ELoggerYAxis : int {
    kLogYNone = 0,
    kLogYVpk,
    kLogYVrms,
    kLogYdBVpk,
    kLogYdBVrms,
    kLogYdBRel,
    kLogYdBVSPL,
    kLogYDegrees,
    kLogYImpedance,
    kLogYAxisCount
};

const std::vector<std::string>& LoggerXAxisChoices();
const std::vector<std::string>& LoggerYAxisChoices();

bool LoggerIsTimeAxis(int xAxis);
/** 0-based channel the X axis names (channel 1 for "T1Lin" and "F1…", 2 for the others). */
int LoggerDrawnChannel(int xAxis);
EAxisKind LoggerAxisKind(int xAxis);
/** Log axes: the lowest frequency drawn when the start bin is 0 (Hz); 0 for other axes. */
double LoggerLowestFrequency(int xAxis);

/** What goes with one Y axis type. */
struct CLoggerYAxisType {
    double ref;       // the Ref a selection sets
    const char* unit; // beside the Ref edit
    int defaultScale; // index into the scale list
    bool refEnabled;  // the Ref edit takes input
};
const CLoggerYAxisType& LoggerYAxisType(int type);
/** dB types: their zero line lies at mid-height and the gain reads in dB. */
bool LoggerIsDecibels(int type);
/** The per-division texts of a Y axis type ("None" alone for type 0). */
std::vector<std::string> MakeLoggerYScaleList(int type);

/** Colour of plot `plot` (0-based): yellow, green, cyan, magenta, red, white, then again. */
CColour LoggerPlotColour(int plot);
