#pragma once
// One readout a module shows: what it measures and the value, kept apart so hosts print and
// export them without taking the drawn text apart again.

#include <string>

struct CReadoutValue {
    int channel = 0;        // 1 or 2 for a readout of one channel's plot; 0 for the view
    std::string label;      // "THD", "Start", "Ch1 scale"
    std::string value;      // "0.1%", "0Hz", "500 mVpk/Div"
    bool labelShown = true; // false when the display shows the value alone

    /** The text as drawn: "label: value", or the value alone. */
    std::string Text() const { return labelShown ? label + ": " + value : value; }
};
