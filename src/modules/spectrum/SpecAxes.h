#pragma once
// The spectrum analyser's choice lists and its Y axis table: for each Y axis type the reference
// values a selection sets, the unit beside the Ref edits and the default scale (the scale texts
// themselves are plot/DivisionScales.h's MakeYScaleList of the type's plot code).

#include "plot/PlotCodes.h"

#include <string>
#include <vector>

/** Positions in the X axis list ("Sel:"); the plot channels get the position + 1. */
enum ESpecXAxis : int { kXLin = 0, kXLog1, kXLog10, kXLog20, kXLog100, kXAxisCount };

/** Positions in the Y axis list ("Sel:"); the plot channels get the position + 1. */
enum ESpecYAxis : int {
    kYVpk = 0,
    kYVrms,
    kYdBVpk,
    kYdBVrms,
    kYdBRel,
    kYdBVSPL,
    kYDegrees,
    kYImpedance,
    kYTHDVpk,
    kYIMDVpk,
    kYAxisCount
};

/** What the plot channels show for a position of the X or Y axis list. */
inline EPlotX SpecPlotX(int xAxis) {
    return static_cast<EPlotX>(xAxis + 1);
}
inline EPlotY SpecPlotY(int yAxis) {
    return static_cast<EPlotY>(yAxis + 1);
}

/** Positions in the "Type:" list. */
enum ESpecFFTType : int { kFFTOff = 0, kFFTOn, kXCorr, kXCorrFFT, kFHT, kFHTFFT, kFFTTypeCount };

// The choice lists of the control bar, texts as shown.
const std::vector<std::string>& SpecXAxisChoices();
const std::vector<std::string>& SpecYAxisChoices();
const std::vector<std::string>& SpecFFTTypeChoices();
const std::vector<std::string>& SpecWindowChoices();
const std::vector<std::string>& SpecPlotChoices();
const std::vector<std::string>& SpecBlockAverageChoices();
const std::vector<std::string>& SpecSmoothingChoices();
/** "All", then "HD2" .. "HD10": the last harmonic THD sums. */
const std::vector<std::string>& SpecTHDHarmonicChoices();
/** "Off", "Z", "A": the noise readouts and their weighting. */
const std::vector<std::string>& SpecNoiseChoices();
/** "Orders" alone, or also "SMPTE/DIN" or "CCIF": the intermodulation readouts. */
const std::vector<std::string>& SpecIMDMethodChoices();

/** Positions in the noise readout list. */
enum ESpecNoise : int { kNoiseOff = 0, kNoiseZ, kNoiseA };
/** Positions in the intermodulation method list. */
enum ESpecIMDMethod : int { kIMDOrders = 0, kIMDSmpte, kIMDCcif };

/** What goes with one Y axis type. */
struct CSpecYAxisType {
    double ref;       // Ref1 and Ref2 after selecting the type
    const char* unit; // beside the Ref edits
    int defaultScale; // index into the scale list
    bool refsEnabled; // the Ref edits take input
};

/** The entry of a Y axis type (0 .. kYAxisCount - 1). */
const CSpecYAxisType& SpecYAxisType(int type);
