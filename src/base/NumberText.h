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

/** The leading decimal number of the text, as the C library's atof reads it in the "C"
 *  locale: leading blanks and a sign are accepted, trailing text is ignored, and a text that
 *  does not start with a number gives 0. */
double ParseDouble(std::string_view text);
