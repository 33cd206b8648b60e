#pragma once
// The plot a module view owns: its grid layout and plot channels, the single marker of a view
// that draws without channels, the mouse capture of a marker drag, the colours of the theme it
// paints with and the bars the host lays out around it. It knows no document: the view acts on
// what the mouse answers (stopping the run, repainting). Positions are in client pixels; every
// call comes on the GUI thread.

#include "platform/Canvas.h"
#include "plot/ChannelList.h"
#include "plot/PlotColours.h"
#include "plot/PlotGrid.h"
#include "plot/PlotMarker.h"

#include <memory>

class CPlot {
public:
    CPlot();
    ~CPlot();

    /** The colours of the theme the plot last painted with. */
    const CPlotColours& Colours() const { return m_colours; }
    const CGridLayout& Grid() const { return m_grid; }
    /** Starts a paint of the plot area `area`: takes the light or the dark theme and, when
     *  `fillBackground`, fills the area with the application background. */
    void BeginPaint(ICanvas& canvas, const CRect& area, bool lightColours, bool fillBackground);
    /** Minor ticks along grid line `index` of the grid layout in `rect`, in the grid colour. */
    void DrawXDirTicks(ICanvas& canvas, const CRect& rect, int index) const;
    void DrawYDirTicks(ICanvas& canvas, const CRect& rect, int index) const;

    /** Heights in pixels of the control bar and status bar that the host lays out. */
    void SetBarHeights(int controlBar, int statusBar);
    /** The plot area: the client rectangle less the control bar and status bar. */
    CRect Area(const CRect& client) const;

    /** Makes `count` plot channels when the plot has none. */
    void CreateChannels(int count);
    /** Plot channel `index` (0-based); null when there is none. */
    CChannel* GetChannel(int index) const;
    /** Marks plot channel 1 or 2 as the selected one (0, all channels, marks neither). */
    void SelectChannel(int channel);

    /** The single marker of a plot drawn without plot channels, and the rectangle it lives
     *  in (the module sets it as it draws). */
    CPlotMarker& Marker() { return m_marker; }
    const CPlotMarker& Marker() const { return m_marker; }
    const CRect& PlotRect() const { return m_plotRect; }
    void SetPlotRect(const CRect& rect) { m_plotRect = rect; }

    /** What a click did to the markers. */
    enum class EClick { Missed, MarkerOn, MarkerOff };
    /** A click in a plot toggles its marker (the channel's whose rectangle holds the point,
     *  else the single marker's) and takes the capture while the marker is on. */
    EClick OnLButtonDown(CPoint point);
    /** While captured, moves the marker under the point; true when a marker moved. Leaving the
     *  single marker's rectangle with the button held releases the capture. */
    bool OnMouseMove(CPoint point, bool leftButtonDown);
    /** Ends a drag: every marker is placed by its index from now on. */
    void OnLButtonUp();
    bool HasCapture() const { return m_capture; }

private:
    /** True when some plot channel has a plot rectangle: markers then belong to channels. */
    bool UsesPlotChannels() const;

    CPlotColours m_colours;
    CGridLayout m_grid;
    std::unique_ptr<CChannelList> m_channels;
    CPlotMarker m_marker;
    CRect m_plotRect;
    bool m_capture = false;
    int m_controlBarHeight = 0;
    int m_statusBarHeight = 0;
};
