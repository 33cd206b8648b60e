#pragma once
// Numbers as text, the same on every machine. Files and readouts use printf-style formats as
// the original platform's C runtime wrote them, which prints at least three exponent digits
// ("%+07.7e" of 1000 is "+1.0000000e+003"); glibc prints two, so every such number goes through
// FormatText. Parsing never depends on the user's locale.

#include <string>
#include <string_view>

/** printf with the C runtime's exponents: every %e, %E, %g and %G conversion that prints an
 *  exponent prints at least three exponent digits, and its field width counts them. Other
 *  conversions are as printf writes them in the "C" locale. */
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

/** The leading number of the text, as the C library's atof reads it in the "C" locale:
 *  leading blanks and one sign are accepted, trailing text is ignored, a text that does not
 *  start with a number gives 0, hexadecimal and "inf"/"nan" are read, and a number too large
 *  for a double gives an infinity (too small, 0 or a subnormal). */
double ParseDouble(std::string_view text);

/** The whole text as one decimal number, as the command line takes numbers: optional blanks
 *  around it and a sign, then digits with an optional point and exponent, giving a finite
 *  value. False with the reason ("is not a number", "is out of range") for anything else,
 *  such as an empty text, trailing characters, hexadecimal, infinity or NaN. */
bool ParseExactNumber(std::string_view text, double& value, std::string& reason);
