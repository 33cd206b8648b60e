#pragma once
// Numbers typed by users and read from files, parsed the same whatever the user's locale.

#include <string_view>

/** The leading decimal number of the text, as the C library's atof reads it in the "C"
 *  locale: leading blanks and a sign are accepted, trailing text is ignored, and a text that
 *  does not start with a number gives 0. */
double ParseDouble(std::string_view text);
