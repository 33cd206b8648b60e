#pragma once
// The colour wheel of the rainbow bar plots: hue, lightness and saturation on a 0..240 scale to
// RGB, in integer arithmetic so every platform gets the same colours.

#include "platform/Colour.h"

/** One colour channel (0..240 scale) of a hue between the two magnitudes m1 and m2; the hue is
 *  wrapped into 0..240 first. */
int HueToRGB(int m1, int m2, int hue);

/** Hue, lightness and saturation, each 0..240, to a colour. */
CColour HLStoRGB(int hue, int lightness, int saturation);
