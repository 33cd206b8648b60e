#pragma once
// Every number text of the plots: grid labels (frequency, volts, dB, ohms, degrees, depth and
// time) and marker readouts. Scale-dependent labels pick their format from the scale d (units per
// division): the last threshold that d reaches wins. The degree sign is U+00B0 in UTF-8.

#include <string>

/** Linear frequency axis label of f Hz: "%4.2fHz" below 10 up to "%4.1fkHz" below 100 kHz,
 *  "Hz" from there. */
std::string GetXAxisLinFreqDispText(double f);
/** Log axis label of a decade line f = 10^decade × multiplier: "%1.0fHz" ... "%4.0fkHz",
 *  "Hz" from 100 kHz. */
std::string GetXAxisLogFreqDispText(double f);

/** Volts label of value v at d volts per division ("V" below the first threshold). */
std::string GetYAxisVoltsDispText(double v, double d);
/** dB label of value v at d dB per division ("dB" below 0.1). */
std::string GetYAxisdBDispText(double v, double d);
/** Ohms label of value v at d ohms per division (empty below 0.02). */
std::string GetYAxisOhmsDispText(double v, double d);
/** Label of a plain number v at d per division, no unit: as many decimals as d needs. */
std::string GetYAxisRatioDispText(double v, double d);
/** Degrees label: "%4.0f" and the degree sign. */
std::string GetYAxisDegDispText(double v);
/** The dB SPL axis label of level v at d dB per division, "dB" appended. */
std::string GetYAxisSPLDispText(double v, double d);
/** The 3-D display's level label of level v for the span bottom − top (in dB, negative). */
std::string GetYAxis3DLevelDispText(double v, double span);

/** Depth label of t seconds on an axis of tau seconds per division: "uS", "mS", "S". */
std::string GetZAxisLinTimeDispText(double t, double tau);

/** Readout of v volts: "0.000 nV" below 1 nV, then three significant figures in nV, uV, mV or
 *  V by |v|. */
std::string GetFormattedVoltsText(double v);
/** Readout of v dB: "0.000 dB" below 0.1 in magnitude. */
std::string GetFormatteddBText(double v);
/** Readout of v degrees: "%4.2f" and the degree sign. */
std::string GetFormattedDegText(double v);
/** Readout of v ohms: plain below 1 kΩ, "K" up to 1 MΩ, "M" from there. */
std::string GetFormattedOhmsText(double v);
