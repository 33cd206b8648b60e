#pragma once
// The "Oscilloscope" module: averages each channel of the block it receives sample by sample
// over successive blocks, hands the average on (cut to a gate window the user drags across the
// plot, when one is set) and draws both channels as time traces on a 10 x 8 division grid.

#include "modules/scope/OscGate.h"
#include "modules/scope/OscScales.h"
#include "modules/scope/OscTrace.h"
#include "process/DspView.h"

#include <array>
#include <string>
#include <vector>

class ICanvas;

class COscView : public CDspView {
    AURIVO_DECLARE_SERIAL(COscView)
public:
    static constexpr int32_t kMaxVoltsIndex = 21;
    static constexpr int32_t kMaxTimeIndex = 18;
    static constexpr int32_t kMaxPosition = 100;

    COscView();

    int StartRun() override;
    int ProcessData() override;
    int EndRun() override { return 1; }
    void ShowCurrentParams() override;
    void OnInitialUpdate() override;

    std::vector<CReadoutValue> GetReadoutValues() const override;

    // Drawing: the grid, the readouts, both traces and the gate band in the plot, which is the
    // plot area inset by the margins. Each paint also fixes the plot the mouse refers to.
    void OnDraw(ICanvas& canvas, const CRect& rect) override;
    /** Draws one trace into the plot; returns the trace's x origin. */
    int32_t PlotData(ICanvas& canvas, const CYChannel& trace, const CRect& plot) const;
    void DrawGrid(ICanvas& canvas, const CRect& plot) const;
    void DrawDisplay(ICanvas& canvas, const CRect& plot);

    // Gate selection with the mouse, in client pixels: acted on only inside the plot of the
    // last paint and while the block is not empty.
    void OnLButtonDown(CPoint point) override;
    void OnMouseMove(CPoint point, bool leftButtonDown) override;
    void OnLButtonUp(CPoint point) override;

    // State, for the control bar, the command line and tests.
    int32_t GetVoltsIndex(int channel) const { return m_channels[Ch(channel)].voltsIndex; }
    int32_t GetPosition(int channel) const { return m_channels[Ch(channel)].position; }
    int32_t GetAverageCounter(int channel) const { return m_channels[Ch(channel)].counter; }
    const CYChannel& GetTrace(int channel) const { return m_channels[Ch(channel)].trace; }
    int32_t GetTimeIndex() const { return m_timeIndex; }
    int32_t GetXPosition() const { return m_xPosition; }
    const COscGate& GetGate() const { return m_gate; }

protected:
    /** The settings in file order, with the control bar's buttons among them. */
    const ISettingRows* Rows() const override;

private:
    struct CChannelSettings {
        int32_t voltsIndex = 17;
        int32_t position = 0;
        int32_t displayType = OscDispAlg;
        int32_t averageIndex = 0;
        /** n: blocks averaged so far plus one. */
        int32_t counter = 1;
        std::string label;
        CYChannel trace;
    };
    /** Where a readout sits in the plot. */
    enum class EReadoutPlace { TopLeft, TopCentre, TopRight, BottomLeft, BottomRight };
    struct CReadout {
        CReadoutValue value;
        EReadoutPlace place;
    };
    static size_t Ch(int channel) { return channel == 1 ? 1 : 0; }
    /** Each shown channel's smallest volts per division that holds its whole block. */
    void FitVoltsPerDiv();
    std::vector<CReadout> MakeReadouts() const;
    /** Where a readout of that size goes in the plot, `pad` pixels in from its edges. */
    static CRect ReadoutBox(EReadoutPlace place, CSize size, const CRect& plot, int32_t pad);
    /** Whether a point lies in the plot of the last paint. */
    bool InPlot(CPoint point) const;
    /** Where the block lies in the plot, for the end of a drag. */
    COscGateGeometry GateGeometry() const;

    std::array<CChannelSettings, 2> m_channels;
    int32_t m_timeIndex = 9;
    int32_t m_xPosition = 50;
    double m_timePerDivision = 0.001;
    double m_blockLength = 0.0;
    COscGate m_gate;
    /** Insets of the plot inside the plot area: left, top, right, bottom. */
    CRect m_margins{5, 5, 5, 5};
};
