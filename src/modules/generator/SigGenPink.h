#pragma once
// The "Pink" wave: noise whose power falls 3 dB per octave (equal power in every octave), made
// by shaping a spectrum: every bin from the lowest to the highest of the block gets the
// magnitude 1 / sqrt(f) and a random phase, and the inverse transform is one period of periodic
// pink noise. Shaping the spectrum holds the slope exactly over the whole band at any sample
// rate, down to the block's lowest bin, where a filter of white noise holds it only over the
// band its poles were placed for. Every pass plays a new block (a new set of phases); blocks
// do not join without a seam, which a measurement of block-sized passes never sees.
//
// The level is the peak, as for every other wave: the block is scaled so its largest sample is
// exactly the level, so pink noise at 100 % never clips.

#include <cstdint>
#include <span>
#include <string>

class CSigGenChanDlgBar;

/** Why the bar cannot play pink noise (a mode other than Constant or Const Phs); empty when it
 *  can. */
std::string PinkRefusal(const CSigGenChanDlgBar& bar);
/** Fills the block with a new period of pink noise peaking at `level`; draws the phases from
 *  the bar's random generator. Returns the block's crest factor, its peak over its rms in dB
 *  (NaN for a silent block): each block's phases give it a crest of its own. */
double FillPink(std::span<double> out, CSigGenChanDlgBar& bar, double level);
