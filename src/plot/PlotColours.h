#pragma once
// The look of the plots: the colours a plot channel or view draws with, and the fonts of axis
// labels on screen and on paper.

#include "platform/Canvas.h"
#include "platform/Colour.h"

struct CPlotColours {
    CColour background{0, 0, 0};
    // A grid darker than the texts, so readouts drawn over it stay legible.
    CColour grid{110, 110, 110};
    CColour trace{0, 255, 0};
    /** Channel 2's trace, so two channels on one plot tell apart. */
    CColour secondTrace{255, 176, 0};
    CColour selectedTrace{0, 255, 255};
    /** Label text while the custom module text colour is on. */
    CColour customText{0, 0, 204};
    /** Label text otherwise: the system's window text. */
    CColour windowText{0, 0, 0};
    /** The 3-D display's labels. */
    CColour depthText{255, 255, 255};
    CColour marker{255, 255, 255};
};

/** The light theme: dark traces on a white plot. Label colours stay those of the window. */
inline CPlotColours LightPlotColours() {
    CPlotColours c;
    c.background = {255, 255, 255};
    c.grid = {200, 200, 200};
    c.trace = {0, 128, 0};
    c.secondTrace = {200, 80, 0};
    c.selectedTrace = {0, 0, 255};
    c.depthText = {0, 0, 0};
    c.marker = {0, 0, 0};
    return c;
}

/** The trace colour of channel `channel` (0-based): channel 2 has its own. */
inline CColour TraceColour(const CPlotColours& colours, int channel) {
    return channel == 1 ? colours.secondTrace : colours.trace;
}

/** Application background behind the plots (the host's window colour). */
inline constexpr CColour kApplicationBackground{192, 192, 192};

/** Axis labels on screen, and on paper. */
inline const CFont kPlotSmallFont{12, 400, {}};
inline const CFont kPlotLargeFont{60, 500, {}};
