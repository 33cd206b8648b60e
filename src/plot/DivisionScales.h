#pragma once
// The per-division scale texts the plotting modules offer, and the number such a text stands
// for. Several modules show the same axes (the data logger's time base is the oscilloscope's,
// its Y axes the spectrum analyser's), so the lists live below the modules, once.

#include "plot/PlotCodes.h"

#include <string>
#include <string_view>
#include <vector>

/** "1 uS/Div" ... "1 S/Div" (19 steps of 1, 2, 5). */
const std::vector<std::string>& TimePerDivisionChoices();

/** The per-division texts of a Y axis showing `y`: volts in 1, 2, 5 steps ("1 uVpk/Div" ...
 *  "10 Vpk/Div"; also for the THD and IMD axes and codes without a list of their own), dB and
 *  ohms in steps from 0.1, one text for dB SPL and for degrees. */
std::vector<std::string> MakeYScaleList(EPlotY y);

/** Units per division of a scale text: its leading number, in thousandths for "mV"/"mS" and
 *  millionths for "uV"/"uS" ("500 mVpk/Div" is 0.5). */
double ParseDivisionText(std::string_view text);
