#pragma once
// The marker of a plot: its state, the readout of the value it designates, and how it is drawn.

#include "platform/Canvas.h"
#include "plot/PlotAxis.h"
#include "plot/PlotCodes.h"

#include <cstdint>
#include <string>

/** Where the user put a marker and what it designates. */
struct CPlotMarker {
    bool on = false;
    /** Last mouse position of the drag. */
    CPoint point;
    /** Array index the marker designates. */
    int32_t index = 0;
    /** Vertical position as a fraction of the plot height from the top (0..1). */
    double height = 0.0;
    /** The marker is placed by its index, no longer by the mouse. */
    bool dragFinished = false;
    /** The mouse moved the marker and no drawing has read its index from there yet: a click
     *  released before any repaint must still place the marker where it was made. */
    bool pointPending = false;
    /** Pixel column where the marker was drawn last. */
    int32_t x = 0;
};

/** The arrays a plot reads: this channel's, and the other channel's for impedance. Each holds
 *  `size` values or is null. */
struct CTraceArrays {
    const double* time = nullptr;
    const double* magnitude = nullptr;
    const double* phase = nullptr;
    const double* companionMagnitude = nullptr;
    const double* companionPhase = nullptr;
    int32_t size = 0;
};

/** What a readout needs besides the arrays. */
struct CReadoutScale {
    EPlotY yCode = EPlotY::None;
    double gain = 1.0;
    double delay = 0.0;
    double ref1 = 1.0;
    double sampleRate = 96000.0;
    bool timeAxis = false;
};

/** The value part of a marker readout at `index` by what the Y axis shows (volts peak for
 *  choices without a rule of their own); empty when an array it needs is missing. Indexes are
 * clamped to the arrays. */
std::string MarkerValueText(const CTraceArrays& arrays, const CReadoutScale& scale, int32_t index);

/** While the drag goes on, takes the index and height from the mouse point (`frequency`
 *  receives the interpolated frequency on log axes) and draws at the mouse column; once it is
 *  finished, draws at the column of the stored index. */
void PlaceMarker(CPlotMarker& marker, const CPlotAxis& axis, const CRect& plot,
                 double* frequency = nullptr);

/** Draws the marker line at column x over the plot and the readout 5 pixels beside it, on the
 *  side that faces the plot centre, at the marker's height. */
void DrawMarkerReadout(ICanvas& canvas, const CRect& plot, const CPlotMarker& marker,
                       const std::string& text, CColour colour);
