// The analyser's settings as rows (its control bar, the handlers, the listing and its part of
// a process file), the refresh from the settings, and the frequency and Y scale lists.

#include "modules/spectrum/SpecView.h"

#include "base/NumberText.h"
#include "plot/DivisionScales.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CSpecView, RUNTIME_CLASS(CDspView));

namespace {
// The Ref edits hold at most this many characters.
constexpr size_t kRefTextLength = 15;
constexpr const char* kX = "X Axis";
constexpr const char* kY = "Y Axis";
constexpr const char* kFFT = "FFT";
constexpr const char* kReadings = "Readings";

// A Ref edit's text as the reference it asks for; false when it gives no finite number (a
// stored NaN or infinity could never be read back from the process file).
bool RefValue(const std::string& text, double& value) {
    value = ParseDouble(text);
    return std::isfinite(value);
}
} // namespace

CSpecView::CSpecView() {
    m_yScaleList = MakeYScaleList(SpecPlotY(m_yAxisType));
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;
    MakeFreqScale();
    AddControls();
}

void CSpecView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    CreateChannels();
    MakeFreqScale();
    ShowCurrentParams();
    Invalidate();
}

int CSpecView::BlockSize() const {
    if (m_pDisplayList && m_pDisplayList->GetSize(0) > 0) return m_pDisplayList->GetSize(0);
    return GetDocument() ? GetDocument()->GetSize() : 0;
}

double CSpecView::GetYScale() const {
    return ParseDivisionText(m_yScaleList[static_cast<size_t>(m_yScaleIndex)]);
}

void CSpecView::ShowCurrentParams() {
    const CDSPFFTDataList* shown = m_pDisplayList.get();
    CDspView::ShowCurrentParams();
    if (m_pDisplayList.get() != shown) m_hasData = false;
    if (m_xAxisTypeChanged) {
        m_startPosition = 0;
        m_stopPosition = kFreqPositions - 1;
        m_xAxisTypeChanged = false;
    }
    MakeFreqScale();
    if (m_yAxisTypeChanged) {
        MakeYAxisTypeControl();
        m_yAxisTypeChanged = false;
    }
    m_yScaleIndex = std::clamp(m_yScaleIndex, 0, m_yScaleLimit);
    const double average = ParseDouble(SpecBlockAverageChoices()[size_t(m_blockAverageIndex)]);
    if (average != m_blockAverageCount) {
        m_blockAverageCount = average;
        m_averageCounter = 1;
    }
    UpdateControls();
    UpdatePlotChannels();
    Invalidate();
}

void CSpecView::UpdatePlotChannels() {
    const CDSPFFTDataList* list = m_pDisplayList.get();
    for (int c = 0; c < 2; ++c) {
        CChannel* channel = GetChannelPointer(c);
        if (!channel) continue;
        const CDSPFFTData* own = list ? list->GetAt(c) : nullptr;
        // Each channel sees the other's spectrum too: the impedance needs both.
        channel->m_arrays = [this, c] {
            return m_pDisplayList && m_hasData ? TraceArraysOf(*m_pDisplayList, c) : CTraceArrays{};
        };
        if (own) {
            channel->m_sampleRate = own->GetSampleRate();
            channel->m_blockSize = own->GetSize();
            channel->m_numUsed = own->GetNumUsed();
        }
        channel->m_xCode = SpecPlotX(m_xAxisType);
        channel->m_startBin = static_cast<int32_t>(m_startBin);
        channel->m_stopBin = static_cast<int32_t>(m_stopBin);
        // With the impedance display the second channel shows the phase beside the magnitude.
        const bool phase = c == 1 && m_yAxisType == kYImpedance;
        channel->m_yCode = SpecPlotY(phase ? kYDegrees : m_yAxisType);
        channel->m_yScale = phase ? 45.0 : GetYScale();
        channel->m_ref1 = m_ref1;
        channel->m_ref2 = m_ref2;
        channel->m_plotStyle = m_plotType;
    }
}

void CSpecView::MakeFreqScale() {
    const double rate = m_pDisplayList ? m_pDisplayList->GetSampleRate(0) : 0.0;
    const double step = rate / 64.0;
    m_startLabels.clear();
    for (int i = 0; i < kFreqPositions; ++i)
        m_startLabels.push_back(FormatText("%iHz", CDSPFFTDataList::DoubleToInt(i * step)));
    m_stopLabels = m_startLabels;
    m_startPositionLimit = kFreqPositions - 1;
    m_stopPositionLimit = kFreqPositions - 1;
    const double size = BlockSize();
    m_startBin = m_startPosition * size / 64.0;
    m_stopBin = m_stopPosition * size / 64.0;
    for (int c = 0; c < 2; ++c) {
        if (CChannel* channel = GetChannelPointer(c)) {
            channel->m_startBin = static_cast<int32_t>(m_startBin);
            channel->m_stopBin = static_cast<int32_t>(m_stopBin);
        }
    }
}

void CSpecView::MakeYAxisTypeControl() {
    m_yScaleList = MakeYScaleList(SpecPlotY(m_yAxisType));
    m_yScaleIndex = SpecYAxisType(m_yAxisType).defaultScale;
    m_yScaleLimit = static_cast<int32_t>(m_yScaleList.size()) - 1;
}

// ---- Settings ------------------------------------------------------------------------------

const ISettingRows* CSpecView::Rows() const {
    using V = CSpecView;
    using R = CSettingRow<V>;
    // A choice list of the FFT group: the selection is the setting.
    const auto choice = [](const char* id, const char* bar, const char* tip, int32_t V::*member,
                           const std::vector<std::string>& (*items)(), const char* label,
                           const char* message) {
        return R::Combo(id, bar, kFFT, tip).Bind(member).Choice(items, message).Listed(label);
    };
    // A position among the 33 frequencies, shown as its label.
    const auto position = [](const char* id, const char* label, const char* tip, int32_t V::*member,
                             std::vector<std::string> V::*labels) {
        return R::Text(id, std::string(label) + ":", kX, tip)
            .Bind(member)
            .Items([labels](const V& v) { return v.*labels; })
            .Listed(label);
    };
    const auto button = [](const char* id, const char* bar, const char* group, const char* tip,
                           void (*press)(V&)) {
        return R::Button(id, bar, group, tip).OnChange([press](V& v) {
            press(v);
            return true;
        });
    };
    // A reference no run can use is refused by itself; the rest of the file still opens. The
    // edit keeps the user's spelling while it still means the stored reference.
    const auto reference = [](const char* id, const char* name, const char* tip,
                              double V::*member) {
        return R::Control(ERowKind::NumberEdit, id, std::string(name) + ":", kY, tip)
            .Access(
                EFieldType::Double, [member](const V& v) { return v.*member; },
                [member](V& v, double x) {
                    if (std::isfinite(x)) v.*member = x;
                })
            .Listed(name)
            .Show([member](const V& v, CControl&, CControlState& edit) {
                double shown = 0.0;
                if (!RefValue(edit.text, shown) || shown != v.*member)
                    edit.text = FormatText("%3.6G", v.*member);
                edit.enabled = SpecYAxisType(v.m_yAxisType).refsEnabled;
            })
            .OnChange([member, name](V& v, CRowChange& change) {
                std::string& shown = change.state.text;
                shown = shown.substr(0, kRefTextLength);
                double value = 0.0;
                if (!RefValue(shown, value)) {
                    change.Refuse(std::string(name) + ": \"" + shown + "\" is not a finite number");
                    return false;
                }
                if (value == v.*member) return false;
                v.*member = value;
                return true;
            });
    };
    const auto unit = [](const char* id, const char* tip) {
        return R::Text(id, "", kY, tip).Shown([](const V& v) {
            return std::string(SpecYAxisType(v.m_yAxisType).unit);
        });
    };
    const auto bin = [](double V::*member) {
        return R::Stored("").Bind(member).Check(
            Finite("Spectrum analyser: start or stop bin is not a number"));
    };
    std::vector<R> list{
        R::Combo("xaxis", "Sel:", kX, "Linear or logarithmic frequency axis")
            .Access(
                EFieldType::Int32, [](const V& v) { return double(v.m_xAxisType); },
                [](V& v, double x) {
                    v.m_xAxisType = int32_t(x);
                    v.m_xAxisTypeChanged = false;
                })
            .Choice(&SpecXAxisChoices, "Spectrum analyser: X axis type out of range")
            .Listed("X axis")
            .OnChange([](V& v, CRowChange& change) {
                const int selection = change.state.selection;
                if (selection < 0 || size_t(selection) >= SpecXAxisChoices().size()) return false;
                v.m_xAxisType = selection;
                v.m_xAxisTypeChanged = true;
                return true;
            }),
        button("startdn", "Dn", kX, "Lower start frequency",
               [](V& v) {
                   if (v.m_startPosition > 0) --v.m_startPosition;
               }),
        position("start", "Start", "Frequency at the left edge", &V::m_startPosition,
                 &V::m_startLabels),
        button("startup", "Up", kX, "Higher start frequency",
               [](V& v) {
                   if (v.m_startPosition < v.m_startPositionLimit &&
                       v.m_startPosition < v.m_stopPosition - 1)
                       ++v.m_startPosition;
               }),
        button("stopdn", "Dn", kX, "Lower stop frequency",
               [](V& v) {
                   if (v.m_stopPosition > v.m_startPosition + 1) --v.m_stopPosition;
               }),
        position("stop", "Stop", "Frequency at the right edge", &V::m_stopPosition,
                 &V::m_stopLabels),
        button("stopup", "Up", kX, "Higher stop frequency",
               [](V& v) {
                   if (v.m_stopPosition < v.m_stopPositionLimit) ++v.m_stopPosition;
               }),
        bin(&V::m_startBin),
        bin(&V::m_stopBin),
        R::Combo("yaxis", "Sel:", kY, "What the vertical axis shows")
            .Access(
                EFieldType::Int32, [](const V& v) { return double(v.m_yAxisType); },
                [](V& v, double x) {
                    v.m_yAxisType = int32_t(x);
                    v.m_yAxisTypeChanged = false;
                    v.MakeYAxisTypeControl();
                })
            .Choice(&SpecYAxisChoices, "Spectrum analyser: Y axis type out of range")
            .Listed("Y axis")
            .OnChange([](V& v, CRowChange& change) {
                const int selection = change.state.selection;
                if (selection < 0 || size_t(selection) >= SpecYAxisChoices().size()) return false;
                v.m_yAxisType = selection;
                v.m_yAxisTypeChanged = true;
                v.m_ref1 = v.m_ref2 = SpecYAxisType(selection).ref;
                return true;
            }),
        button("scaledn", "Dn", kY, "Finer scale: less per division",
               [](V& v) {
                   if (v.m_yScaleIndex > 0) --v.m_yScaleIndex;
               }),
        // The scale index belongs to the list of the stored Y axis type; only a damaged file
        // holds one outside it, and the nearest valid scale is the least surprising reading.
        R::Text("scale", "", kY, "Scale per division")
            .Access(
                EFieldType::Int32, [](const V& v) { return double(v.m_yScaleIndex); },
                [](V& v, double x) {
                    v.m_yScaleIndex = std::clamp(int32_t(x), 0, v.m_yScaleLimit);
                })
            .Items([](const V& v) { return v.m_yScaleList; })
            .Listed("Y scale"),
        button("scaleup", "Up", kY, "Coarser scale: more per division",
               [](V& v) {
                   if (v.m_yScaleIndex < v.m_yScaleLimit) ++v.m_yScaleIndex;
               }),
        button("fit", "Fit", kY, "The scale that shows the whole trace",
               [](V& v) { v.FitYScale(); }),
        reference("ref1", "Ref1",
                  "Reference: the level or frequency the Y axis is measured against", &V::m_ref1),
        unit("ref1unit", "Unit of Ref1"),
        reference("ref2", "Ref2", "Second reference: the second tone's frequency", &V::m_ref2),
        unit("ref2unit", "Unit of Ref2"),
        choice("type", "Type:", "The transform applied", &V::m_fftType, &SpecFFTTypeChoices,
               "FFT type", "Spectrum analyser: FFT type out of range"),
        choice("window", "Wnd:", "The window applied before it", &V::m_windowType,
               &SpecWindowChoices, "Window", "Spectrum analyser: window type out of range"),
        choice("plot", "Plot:", "How the trace is drawn", &V::m_plotType, &SpecPlotChoices, "Plot",
               "Spectrum analyser: plot type out of range"),
        R::Control(ERowKind::CheckBox, "freqcal", "Apply Freq Cal:", kFFT,
                   "Corrects the spectrum with the SoundIO step's frequency calibration")
            .Bind(&V::m_applyFreqCal)
            .Check(InRange(0, 1, "Spectrum analyser: frequency calibration flag out of range"))
            .Listed("Apply Freq Cal"),
        choice("avg", "Avg:", "Number of blocks averaged", &V::m_blockAverageIndex,
               &SpecBlockAverageChoices, "Block average",
               "Spectrum analyser: block average out of range"),
        choice("smooth", "Smth:", "Width of the smoothing across bins", &V::m_smoothingWidth,
               &SpecSmoothingChoices, "Smoothing",
               "Spectrum analyser: smoothing width out of range"),
        R::Combo("thdharm", "THD to:", kReadings,
                 "The last harmonic THD sums (All: every one below half the rate)")
            .Bind(&V::m_thdHarmonics)
            .Choice(&SpecTHDHarmonicChoices, "Spectrum analyser: THD harmonics out of range")
            .Listed("THD harmonics")
            .Optional(),
        R::Control(ERowKind::CheckBox, "thddb", "dB:", kReadings, "THD and THD+N also in dB")
            .Bind(&V::m_distortionDb)
            .Check(InRange(0, 1, "Spectrum analyser: dB readout flag out of range"))
            .Listed("THD in dB")
            .Optional(),
        R::Combo("noise", "Noise:", kReadings,
                 "The residual's level, SNR and SINAD, unweighted (Z) or A-weighted")
            .Bind(&V::m_noiseReadout)
            .Choice(&SpecNoiseChoices, "Spectrum analyser: noise readout out of range")
            .Listed("Noise readouts")
            .Optional(),
        R::Combo("imd", "IMD:", kReadings,
                 "Also SMPTE/DIN (60 Hz + 7 kHz at 4:1) or CCIF difference-frequency "
                 "intermodulation")
            .Bind(&V::m_imdMethod)
            .Choice(&SpecIMDMethodChoices, "Spectrum analyser: IMD method out of range")
            .Listed("IMD method")
            .Optional(),
    };
    for (R& row : LevelRows())
        list.push_back(std::move(row));
    static const CSettingRows<V> rows{
        std::move(list), [](const std::vector<double>& v) {
            const double start = v[1], stop = v[2];
            return start >= 0 && start < stop && stop < kFreqPositions
                       ? std::string()
                       : std::string("Spectrum analyser: start and stop positions out of range");
        }};
    return &rows;
}

void CSpecView::FitYScale() {
    std::vector<double> scales;
    for (const std::string& text : m_yScaleList)
        scales.push_back(ParseDivisionText(text));
    // The coarser of the channels' fits, so both traces show whole.
    int fit = -1;
    for (int c = 0; const CChannel* channel = GetChannelPointer(c); ++c)
        fit = std::max(fit, channel->FitScale(scales));
    if (fit >= 0) m_yScaleIndex = std::min(fit, m_yScaleLimit);
}
