#pragma once
// Numbers in the station's own texts (messages, curve files, reports): the shortest text that
// reads back as the same double, the same in every locale; and the line a failed item is shown
// as, the same on the command line and in the desktop's station.

#include <string>

struct CCheckResult;

std::string ShortestNumber(double value);

/** The value to `digits` significant digits, as %g would write it in the "C" locale. */
std::string RoundedNumber(double value, int digits = 6);

/** One checked item: "thd-ch1: 0.61 %, limits - .. 0.5 %, margin -0.11 %" (a mask's with
 *  " at 1000 Hz" after its value); the margin is negative outside the limits. */
std::string CheckText(const CCheckResult& check);
