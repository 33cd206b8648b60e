#pragma once
// Numbers in the station's own texts (messages, curve files, reports): the shortest text that
// reads back as the same double, the same in every locale.

#include <string>

std::string ShortestNumber(double value);

/** The value to `digits` significant digits, as %g would write it in the "C" locale. */
std::string RoundedNumber(double value, int digits = 6);
