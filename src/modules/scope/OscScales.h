#pragma once
// The oscilloscope's choice lists, as its control bar and readouts show them, and the reading
// of a volts/div or time/div text as a number.

#include <string>
#include <string_view>
#include <vector>

/** Display types of a channel, in the order the "Disp" button cycles through them. */
enum EOscDisplayType : int { OscDispOff = 0, OscDispGnd = 1, OscDispAlg = 2, OscDispDig = 3 };

/** "1 uVpk/Div" ... "10 Vpk/Div" (22 steps). */
const std::vector<std::string>& OscVoltsPerDivChoices();
/** "1 uS/Div" ... "1 S/Div" (19 steps). */
const std::vector<std::string>& OscTimePerDivChoices();
/** "Off", "Gnd", "Alg", "Dig". */
const std::vector<std::string>& OscDisplayTypeNames();
/** The "Avg:" list: "1", "2", "4" ... "4096". */
const std::vector<std::string>& OscAverageChoices();

/** Volts or seconds per division of a step text: its leading integer, in thousandths for
 *  "mV"/"mS" and millionths for "uV"/"uS" ("500 mVpk/Div" is 0.5). */
double ParseDivisionText(std::string_view text);
