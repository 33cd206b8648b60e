#pragma once
// A small picture of the block a module handed on, for the panes of modules that draw no plot
// of their own (the generator, the sound card): the user sees what goes to the next step.

#include "platform/Canvas.h"
#include "plot/PlotColours.h"

class CDSPFFTDataList;

/** Fills `area` with the plot background and draws the first two channels' time samples of
 *  `list` across its width (no more samples than the area has pixel columns, from the block's
 *  start), one band per channel (channel 1 on top) around a centre line, all scaled to the
 *  block's largest magnitude (a silent block draws flat), each in its channel's trace colour
 *  and named "Ch1", "Ch2". A null or empty list draws the background alone. */
void DrawBlockPreview(ICanvas& canvas, const CRect& area, CDSPFFTDataList* list,
                      const CPlotColours& colours);
