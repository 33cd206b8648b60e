#pragma once
// The colour wheel of the rainbow bar plots: hue, lightness and saturation on a 0..240 scale to
// RGB, in integer arithmetic so every platform gets the same colours.

#include "platform/Colour.h"

/** Hue, lightness and saturation, each 0..240, to a colour. */
CColour HLStoRGB(int hue, int lightness, int saturation);
