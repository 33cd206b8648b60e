#pragma once
// Helpers for short texts typed by users or read from settings files. They look only at ASCII
// and never at the user's locale, so the same text means the same everywhere.

#include <string>
#include <string_view>

/** The text without leading and trailing characters from `blanks`. */
std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t");

/** The text with ASCII capitals made small; other bytes unchanged. */
std::string LowerAscii(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

/** Reads a whole decimal number with an optional sign and surrounding blanks. False, leaving
 *  `value` alone, for anything else (empty, trailing text, a fraction, out of int range). */
bool ParseWholeNumber(std::string_view text, int& value);
