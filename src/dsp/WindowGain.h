#pragma once
// Window amplitude correction. A window lowers every tone's magnitude by the mean of its
// weights (its coherent gain: about 0.5 for "Hanning"); dividing the spectrum by that mean makes
// a tone read its own amplitude again, whatever the window.

class CDSPFFTData;

/** Mean of the window's weights over a block of this block's size; 1 for "None". */
double WindowCoherentGain(const CDSPFFTData& block, int window);

/** Equivalent noise bandwidth of the window in bins, N sum(w^2) / sum(w)^2: how much wider
 *  than one bin white noise reads through it once tones read true; 1 for "None". */
double WindowNoiseBandwidth(const CDSPFFTData& block, int window);

/** Divides the block's magnitudes by the window's coherent gain. Leaves the block untouched for
 *  "None" and for windows that are zero throughout (the shortest blocks); false for a block
 *  without arrays. */
bool CorrectWindowAmplitude(CDSPFFTData& block, int window);
