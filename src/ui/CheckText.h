#pragma once
// A check box's value written as text, as the command line and the settings listing take it.

#include <string>

/** 1, true or on (checked) and 0, false or off (cleared), any case, blanks around; false when
 *  the text is none of these. */
bool ParseCheckText(const std::string& text, bool& checked);
