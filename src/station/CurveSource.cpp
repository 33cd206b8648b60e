#include "station/CurveSource.h"

#include "dsp/DSPFFTDataList.h"
#include "platform/RecordingCanvas.h"
#include "plot/Channel.h"
#include "plot/PlotValues.h"
#include "process/DspView.h"
#include "process/ViewPicture.h"

namespace {

// Large enough that no module thins or drops a trace point for want of pixels.
constexpr CSize kOffscreenSize{2400, 1600};

const char* UnitOf(EPlotY code) {
    switch (code) {
    case EPlotY::VoltsRms:
        return "Vrms";
    case EPlotY::DBVPeak:
        return "dBVpk";
    case EPlotY::DBVRms:
        return "dBVrms";
    case EPlotY::DBRelative:
        return "dB";
    case EPlotY::DBSPL:
        return "dBSPL";
    case EPlotY::Degrees:
        return "deg";
    case EPlotY::Ohms:
        return "Ohm";
    case EPlotY::Ratio:
        return "";
    default:
        return "Vpk";
    }
}

/** Whether the arrays hold what the channel's Y code reads (TraceValue reads them unchecked). */
bool Readable(const CChannel& c, const CTraceArrays& a) {
    if (a.size <= 0) return false;
    const double* values = c.m_xCode == EPlotX::Time ? a.time : a.magnitude;
    switch (c.m_yCode) {
    case EPlotY::Degrees:
        return a.phase;
    case EPlotY::Ohms:
        return a.magnitude && a.phase && a.companionMagnitude && a.companionPhase;
    case EPlotY::DBRelative:
        return values && a.magnitude;
    default:
        return values;
    }
}

std::string Where(const CDspView& view, int channel) {
    return "step " + std::to_string(view.GetProcessStepNumber()) + " channel " +
           std::to_string(channel);
}

} // namespace

bool DrawnCurve(CDspView& view, int channel, CCurve& curve, std::string& error) {
    CRecordingCanvas canvas;
    DrawViewPicture(view, canvas, kOffscreenSize);
    const CChannel* c = view.GetChannelPointer(channel - 1);
    if (!c) {
        error = Where(view, channel) + " draws no plot channel there";
        return false;
    }
    const CTraceArrays arrays = c->GetTraceArrays(0);
    if (c->m_yCode == EPlotY::None || c->m_xCode == EPlotX::Depth || !Readable(*c, arrays)) {
        error = Where(view, channel) + " draws no curve to check";
        return false;
    }
    CCurve drawn;
    drawn.yUnit = UnitOf(c->m_yCode);
    const bool time = c->m_xCode == EPlotX::Time;
    const int32_t first = time ? 0 : std::max(c->m_startBin, 0);
    const int32_t last =
        time ? std::min(c->m_numUsed, arrays.size) - 1 : std::min(c->m_stopBin, arrays.size - 1);
    const double step = time ? 1.0 / c->m_sampleRate : c->m_sampleRate / c->m_blockSize;
    for (int32_t k = first; k <= last; ++k) {
        drawn.x.push_back(k * step);
        drawn.y.push_back(c->TraceValue(arrays, k));
    }
    if (drawn.size() == 0) {
        error = Where(view, channel) + " draws no point";
        return false;
    }
    curve = std::move(drawn);
    return true;
}

bool HandedCurve(const CDspView& view, int channel, CCurve& curve, std::string& error) {
    const CDSPFFTDataList* list = view.GetDisplayList();
    const CDSPFFTData* block = list ? list->GetAt(channel - 1) : nullptr;
    const double* magnitude =
        block && block->HasArrays() ? block->GetFreqObj()->GetDataPointer() : nullptr;
    if (!magnitude || block->GetSize() <= 0) {
        error = Where(view, channel) + " hands on no block there";
        return false;
    }
    CCurve handed;
    handed.yUnit = "dBVpk";
    const int32_t size = block->GetSize();
    // A response block carries its own frequency per bin in its time array.
    const double* frequencies = block->GetType() == CDSPData::kResponseBlock
                                    ? block->GetTimeObj()->GetDataPointer()
                                    : nullptr;
    const double binWidth = block->GetSampleRate() / size;
    for (int32_t k = 0; k < (frequencies ? size : size / 2 + 1); ++k) {
        handed.x.push_back(frequencies ? frequencies[k] : k * binWidth);
        handed.y.push_back(Decibels(magnitude[k]));
    }
    curve = std::move(handed);
    return true;
}

bool ViewCurve(CDspView& view, ECurveSource source, int channel, CCurve& curve,
               std::string& error) {
    return source == ECurveSource::Handed ? HandedCurve(view, channel, curve, error)
                                          : DrawnCurve(view, channel, curve, error);
}
