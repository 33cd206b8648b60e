// The transfer function's settings, refresh and readouts.
#include "modules/transfer/TransferView.h"

#include "base/NumberText.h"
#include "dsp/OctaveSmoothing.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CTransferView, RUNTIME_CLASS(CDspView));

namespace {

const std::vector<std::string> kReferences{"Source", "Ch1", "Ch2"};
const std::vector<std::string> kChannels{"Ch1", "Ch2"};
const std::vector<std::string> kFftSizes{"1024", "2048", "4096", "8192", "16384", "32768", "65536"};
const std::vector<std::string> kOverlaps{"0%", "50%", "75%"};
const std::vector<std::string> kWindows{"None",    "TapRect", "Triangle",
                                        "Hanning", "Hamming", "Blackman"};
const std::vector<std::string> kAveraging{"N Passes", "Exponential", "Infinite"};
const std::vector<std::string> kCounts{"1", "2", "4", "8", "16", "32", "64", "128", "256"};
const std::vector<std::string> kDelayModes{"Auto", "Manual"};
const std::vector<std::string> kPhaseScales{"15", "30", "45"};
// The longest manual offset: a second is more than any room or loopback delays.
constexpr double kMaxOffsetMs = 1000.0;

double Item(const std::vector<std::string>& items, int32_t index) {
    return ParseDouble(items[size_t(std::clamp(index, 0, int32_t(items.size()) - 1))]);
}

} // namespace

const std::vector<std::string>& CTransferView::MagnitudeScaleChoices() {
    static const std::vector<std::string> items{"1", "2", "3", "5", "6", "10", "20"};
    return items;
}

CTransferView::CTransferView() {
    AddControls();
}

int32_t CTransferView::FftSize() const {
    return int32_t(Item(kFftSizes, m_fftIndex));
}

double CTransferView::OffsetSamples() const {
    return m_offsetMs * 1e-3 * m_sampleRate;
}

double CTransferView::MagnitudeScale() const {
    return Item(MagnitudeScaleChoices(), m_magScaleIndex);
}

double CTransferView::PhaseScale() const {
    return Item(kPhaseScales, m_phaseScaleIndex);
}

void CTransferView::OnInitialUpdate() {
    // Four stacked plots, made before the base would make one per signal channel.
    m_plot.CreateChannels(kPlots);
    CDspView::OnInitialUpdate();
    ShowCurrentParams();
}

void CTransferView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    if (const CDspDoc* doc = GetDocument(); doc && doc->GetSampleRate() > 0.0)
        m_sampleRate = doc->GetSampleRate();
    ConfigureSpectrum();
    // A changed smoothing or threshold shows at once on the average there is.
    UpdateCurve();
    UpdatePlotChannels();
    UpdateControls();
    Invalidate();
}

void CTransferView::ConfigureSpectrum() {
    m_spectrum.SetAveraging(ESpectrumAveraging(m_averaging), int(Item(kCounts, m_countIndex)));
    const double overlap = Item(kOverlaps, m_overlapIndex) / 100.0;
    // Another transform, window or pairing of signals makes the spectra so far meaningless.
    const std::array<double, 6> key{
        double(FftSize()),   double(m_window),   overlap,
        double(m_reference), double(m_measured), double(m_delayMode) + OffsetSamples() * 4.0};
    if (key == m_configKey) return;
    m_configKey = key;
    m_spectrum.Configure(FftSize(), m_window, overlap);
    ResetAverage();
}

void CTransferView::ResetAverage() {
    m_spectrum.Reset();
    m_needsDelay = true;
    m_delayKnown = false;
    m_alignment = int32_t(std::lround(OffsetSamples()));
    m_curve = {};
    m_impulse.clear();
    m_envelope.clear();
    m_inverted = false;
    m_shownMagnitude.clear();
    m_shownPhase.clear();
    m_meanCoherence = 0.0;
    m_warning.clear();
    Invalidate();
}

std::string CTransferView::CheckRunSettings() const {
    const CDspDoc* doc = GetDocument();
    if (!doc) return {};
    if (m_reference != kRefSource && m_reference - kRefCh1 == m_measured)
        return "The reference and the measurement are the same channel: choose another";
    const int channels = doc->GetNumChans();
    if (m_measured >= channels || (m_reference != kRefSource && m_reference - kRefCh1 >= channels))
        return FormatText("The process has %d channel(s): the reference or the measurement is "
                          "not among them",
                          channels);
    if (FftSize() > doc->GetSize())
        return FormatText("FFT size %d is longer than the block of %d samples: choose a "
                          "smaller FFT size or a larger block",
                          FftSize(), doc->GetSize());
    if (m_reference == kRefSource) {
        const int step = GetProcessStepNumber();
        bool publisher = false;
        for (int i = 0; i + 1 < step; ++i)
            publisher = publisher || doc->GetView(size_t(i))->PublishesReferenceSignal();
        if (!publisher)
            return "No step before this one hands on the signal it sends: put a signal "
                   "generator or a WAV file before it, or choose Ch1 or Ch2 as the reference";
    }
    if (!(m_startHz < m_stopHz))
        return "The display's start frequency must lie below its stop frequency";
    return {};
}

std::vector<CReadoutValue> CTransferView::GetReadoutValues() const {
    std::vector<CReadoutValue> r;
    const int count = int(Item(kCounts, m_countIndex));
    const std::string averages =
        m_averaging == int32_t(ESpectrumAveraging::kInfinite)
            ? FormatText("%d", m_spectrum.Passes())
            : FormatText("%d / %d", std::min(m_spectrum.Passes(), count), count);
    r.push_back({0, "Averages", averages});
    if (m_delayKnown) {
        // Whole samples, as the peak of the response stands; the parabola's refinement beside.
        const double whole = std::round(m_delay);
        r.push_back({0, "Delay", FormatText("%.0f samples (%+.2f)", whole, m_delay - whole)});
        r.push_back({0, "Delay time", FormatText("%.3f ms", whole / m_sampleRate * 1e3)});
        r.push_back({0, "Polarity", m_inverted ? "inverted" : "normal"});
    } else {
        r.push_back({0, "Delay", "not found"});
    }
    r.push_back(
        {0, "Coherence",
         m_curve.coherence.empty() ? std::string("-") : FormatText("%.3f", m_meanCoherence)});
    if (!m_warning.empty()) r.push_back({0, "Check", m_warning});
    return r;
}

// ---- Settings -------------------------------------------------------------------------------

const ISettingRows* CTransferView::Rows() const {
    using V = CTransferView;
    using R = CSettingRow<V>;
    static const char* const kSignals = "Signals";
    static const char* const kAnalysis = "Analysis";
    static const char* const kDelay = "Delay";
    static const char* const kDisplay = "Display";
    const auto choice = [](const char* id, const char* bar, const char* group, const char* tip,
                           int32_t V::*member, const std::vector<std::string>& items,
                           const char* label) {
        return R::Combo(id, bar, group, tip)
            .Bind(member)
            .Choice(items, std::string("Transfer Function ") + label + " out of range")
            .Listed(label);
    };
    const auto number = [](const char* id, const char* bar, const char* group, const char* tip,
                           double V::*member, double low, double high, const char* label) {
        return R::Control(ERowKind::NumberEdit, id, bar, group, tip)
            .Bind(member)
            .Check(InRange(
                low, high,
                FormatText("Transfer Function %s must lie between %g and %g", label, low, high)))
            .Listed(label)
            .Show([member](const V& v, CControl&, CControlState& edit) {
                double shown = 0.0;
                std::string reason;
                if (!ParseSettingNumber(edit.text, shown, reason) || shown != v.*member)
                    edit.text = SettingNumberText(v.*member);
            });
    };
    const auto button = [](const char* id, const char* bar, const char* group, const char* tip,
                           void (*action)(V&)) {
        return R::Button(id, bar, group, tip).OnChange([action](V& v) {
            action(v);
            return true;
        });
    };
    std::vector<R> rows{
        choice("ref", "Ref:", kSignals,
               "The reference: what was sent (the source step's own signal, or the channel "
               "that loops it back)",
               &V::m_reference, kReferences, "Reference"),
        choice("meas", "Meas:", kSignals, "The measured channel: what came back", &V::m_measured,
               kChannels, "Measurement"),
        choice("fft", "FFT:", kAnalysis, "Points of each analysed segment (frequency resolution)",
               &V::m_fftIndex, kFftSizes, "FFT size"),
        choice("overlap", "Ovl:", kAnalysis, "How far successive segments of a block overlap",
               &V::m_overlapIndex, kOverlaps, "Overlap"),
        choice("window", "Wnd:", kAnalysis, "The window on each segment", &V::m_window, kWindows,
               "Window"),
        choice("avg", "Avg:", kAnalysis,
               "N Passes: the last N passes; Exponential: a running average over about N "
               "passes; Infinite: every pass since the last reset",
               &V::m_averaging, kAveraging, "Averaging"),
        choice("navg", "N:", kAnalysis, "Passes averaged (N)", &V::m_countIndex, kCounts,
               "Average count"),
        button("reset", "Reset", kAnalysis, "Start the average again",
               [](V& v) { v.ResetAverage(); }),
        choice("delay", "Delay:", kDelay,
               "Auto: find the delay between the signals and remove it (plus the offset); "
               "Manual: remove the offset only",
               &V::m_delayMode, kDelayModes, "Delay compensation"),
        number("offset", "Offset (ms):", kDelay, "Delay removed besides the one found",
               &V::m_offsetMs, -kMaxOffsetMs, kMaxOffsetMs, "Delay offset"),
        number("threshold", "Blank (%):", kDisplay,
               "Magnitude hidden where the coherence is below this", &V::m_threshold, 0.0, 100.0,
               "Coherence threshold"),
        number("start", "Start (Hz):", kDisplay, "Lowest frequency shown", &V::m_startHz, 1.0, 1e6,
               "Start"),
        number("stop", "Stop (Hz):", kDisplay, "Highest frequency shown", &V::m_stopHz, 1.0, 1e6,
               "Stop"),
        choice("magscale", "dB/Div:", kDisplay, "Magnitude scale", &V::m_magScaleIndex,
               MagnitudeScaleChoices(), "Magnitude scale"),
        choice("phasescale", "Deg/Div:", kDisplay, "Phase scale", &V::m_phaseScaleIndex,
               kPhaseScales, "Phase scale"),
        button("fit", "Fit", kDisplay, "The magnitude scale that shows the whole response",
               [](V& v) { v.FitScales(); }),
        button("store", "Store", kDisplay, "Keep the response shown as a trace for comparison",
               [](V& v) { v.StoreCurve(); }),
        button("clear", "Clear", kDisplay, "Remove the stored traces",
               [](V& v) { v.m_stored.clear(); }),
        button("savefrd", "FRD", "Export", "Save the response as an FRD file",
               [](V& v) {
                   std::string path;
                   if (v.AskPath("Save FRD", "frd", "FRD Files (*.frd)|*.frd|", path))
                       v.SaveFrd(path);
               }),
        button("savecsv", "CSV", "Export",
               "Save magnitude, phase and coherence as comma-separated values",
               [](V& v) {
                   std::string path;
                   if (v.AskPath("Save CSV", "csv", "CSV Files (*.csv)|*.csv|", path))
                       v.SaveCsv(path);
               }),
        // Kept after the last step while it smooths, so the step's record keeps the layout
        // processes were saved in. Shown beside the threshold.
        choice("smooth", "Smth:", kDisplay,
               "Fractional-octave smoothing of the magnitude (drawn and exported); the phase "
               "and the coherence stay as measured",
               &V::m_smoothing, OctaveSmoothingNames(), "Smoothing")
            .Places(10, 10)
            .Optional(),
    };
    static const CSettingRows<V> table{std::move(rows)};
    return &table;
}
