#pragma once
// The oscilloscope's choice lists, as its control bar and readouts show them (its time base is
// plot/DivisionScales.h's TimePerDivisionChoices).

#include <string>
#include <vector>

/** Display types of a channel, in the order the "Disp" button cycles through them. */
enum EOscDisplayType : int { OscDispOff = 0, OscDispGnd = 1, OscDispAlg = 2, OscDispDig = 3 };

/** "1 uVpk/Div" ... "10 Vpk/Div" (22 steps). */
const std::vector<std::string>& OscVoltsPerDivChoices();
/** "Off", "Gnd", "Alg", "Dig". */
const std::vector<std::string>& OscDisplayTypeNames();
/** The "Avg:" list: "1", "2", "4" ... "4096". */
const std::vector<std::string>& OscAverageChoices();
