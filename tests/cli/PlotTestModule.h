#pragma once
// A module that draws like an analyser, for drawing and rendering tests: every pass puts a
// full-scale sine of 32 cycles per block into channel 1 of its display list and transforms it;
// it draws channel 1 in dBV at 10 dB per division over bins 0 .. N/2, with a marker.

#include "process/DspView.h"
#include "process/ModuleRegistry.h"

class CPlotTestView : public CDspView {
    AURIVO_DECLARE_SERIAL(CPlotTestView)
public:
    static constexpr int kToneBin = 32;
    /** Plot margins inside the plot area: left, top, right, bottom. */
    static constexpr CRect kMargins{70, 20, 20, 40};

    int ProcessData() override;
    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    void Serialize(CArchive& ar) override;
};

/** The test modules of TestModules.h with "Spectrum Analyzer" as CPlotTestView. */
const CModuleRegistry& PlotTestRegistry();
