#pragma once
// The curves of any module, read without knowing the module: what its plot channel draws (the
// values in the unit its Y axis shows, at each element's frequency or time) or the block it hands
// on to the next step (magnitude per bin in dB re 1 V peak). A module that measures a response,
// a spectrum, a logged plot or a transfer function draws it through its plot channels and hands
// its blocks on, so every present and future module is checked the same way.

#include "station/Curve.h"
#include "station/TestPlan.h"

#include <string>

class CDspView;

/** The curve of plot channel `channel` (1-based) as the view draws it; the view is drawn once
 *  on an off-screen canvas first, since a module fills its plot channels as it paints. False
 *  with a message when the view draws nothing there (no such channel, no arrays, a 3-D
 *  display). */
bool DrawnCurve(CDspView& view, int channel, CCurve& curve, std::string& error);

/** The magnitude of channel `channel` (1-based) of the block list the view hands on, in dBVpk
 *  per bin from 0 Hz up to half the sample rate. False with a message when there is none. */
bool HandedCurve(const CDspView& view, int channel, CCurve& curve, std::string& error);

/** DrawnCurve or HandedCurve by `source`. */
bool ViewCurve(CDspView& view, ECurveSource source, int channel, CCurve& curve, std::string& error);
