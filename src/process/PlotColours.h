#pragma once
// The look of the plots: the colours a plot channel or view draws with, and the fonts of axis
// labels on screen and on paper.

#include "platform/Canvas.h"
#include "platform/Colour.h"

struct CPlotColours {
    CColour background{0, 0, 0};
    CColour grid{192, 192, 192};
    CColour labelBackground{192, 192, 192};
    CColour trace{0, 255, 0};
    CColour selectedTrace{0, 255, 255};
    /** Label text while the custom module text colour is on. */
    CColour customText{0, 0, 204};
    /** Label text otherwise: the system's window text. */
    CColour windowText{0, 0, 0};
    /** The 3-D display's labels. */
    CColour depthText{255, 255, 255};
    CColour marker{255, 255, 255};
};

/** Application background behind the plots (the host's window colour). */
inline constexpr CColour kApplicationBackground{192, 192, 192};

/** Axis labels on screen, and on paper. */
inline const CFont kPlotSmallFont{12, 100, {}};
inline const CFont kPlotLargeFont{60, 500, {}};
