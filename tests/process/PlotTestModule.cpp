#include "PlotTestModule.h"

#include "TestModules.h"

#include "process/DspDoc.h"

#include <cmath>
#include <numbers>

AURIVO_IMPLEMENT_DYNAMIC(CPlotTestView, RUNTIME_CLASS(CDspView));

int CPlotTestView::ProcessData() {
    CDSPFFTDataList* list = GetDisplayList();
    if (!list || !list->GetTimeData(0)) return 0;
    const int n = list->GetSize(0);
    double* samples = list->GetTimeData(0);
    for (int i = 0; i < n; ++i)
        samples[i] = std::sin(2.0 * std::numbers::pi * kToneBin * i / n);
    list->DoFFT(0, CDSPFFTData::WindowNone);
    GetDocument()->SetCurrentList(m_pDisplayList);
    return 1;
}

void CPlotTestView::OnDraw(ICanvas& canvas, const CRect& rect) {
    CDspView::OnDraw(canvas, rect);
    CreateChannels();
    const CRect area = GetScreenRect(rect);
    CChannel& channel = *GetChannelPointer(0);
    channel.m_plotRect = {area.left + kMargins.left, area.top + kMargins.top,
                          area.right - kMargins.right, area.bottom - kMargins.bottom};
    canvas.FillRect(channel.m_plotRect, channel.m_colours.background);
    CDSPFFTDataList* list = GetDisplayList();
    if (list && list->GetFreqData(0)) {
        channel.m_arrays = [this] {
            return GetDisplayList() ? TraceArraysOf(*GetDisplayList(), 0) : CTraceArrays{};
        };
        channel.m_sampleRate = list->GetSampleRate(0);
        channel.m_blockSize = channel.m_numUsed = list->GetSize(0);
    }
    channel.m_xCode = EPlotX::LinearFrequency;
    channel.m_yCode = EPlotY::DBVPeak;
    channel.m_yScale = 10.0;
    channel.m_startBin = 0;
    channel.m_stopBin = channel.m_blockSize / 2;
    channel.DrawGrid(canvas);
    channel.PlotData(canvas);
    channel.DrawMarker(canvas);
}

void CPlotTestView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring())
        ar.WriteClass(GetRuntimeClass());
    else
        ar.ReadClass(GetRuntimeClass());
}

namespace {
const CModuleClass kSpectrum{"Spectrum Analyzer", []() -> CDspView* { return new CPlotTestView; }};
} // namespace

const CModuleRegistry& PlotTestRegistry() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r = TestRegistry();
        r.Register(&kSpectrum);
        return r;
    }();
    return registry;
}
