#include "modules/scope/OscView.h"

#include "dsp/DSPData.h"
#include "base/NumberText.h"
#include "plot/DivisionScales.h"
#include "process/DspDoc.h"
#include "plot/ScaleFit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

AURIVO_IMPLEMENT_DYNAMIC(COscView, RUNTIME_CLASS(CDspView));

namespace {

int32_t Stepped(int32_t value, int step, int32_t maximum) {
    return std::clamp(value + step, 0, maximum);
}

const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    return items[size_t(std::clamp(index, 0, int32_t(items.size()) - 1))];
}

} // namespace

COscView::COscView() {
    m_channels[0].position = 75;
    m_channels[1].position = 25;
    AddControls();
}

void COscView::FitVoltsPerDiv() {
    if (!m_pDisplayList) return;
    std::vector<double> scales;
    for (const std::string& text : OscVoltsPerDivChoices())
        scales.push_back(ParseDivisionText(text));
    for (int c = 0; c < std::min(m_pDisplayList->GetNumChans(), 2); ++c) {
        CChannelSettings& ch = m_channels[Ch(c)];
        const double* samples = m_pDisplayList->GetTimeData(c);
        const int32_t n = m_pDisplayList->GetSize(c);
        if (ch.displayType == OscDispOff || ch.displayType == OscDispGnd || !samples || n <= 0)
            continue;
        // The zero line sits at the channel's position (percent of the height from the bottom).
        const int fit = FitScaleIndex(std::vector<double>(samples, samples + n), scales,
                                      {kOscVerticalDivisions, double(ch.position), false});
        if (fit >= 0) ch.voltsIndex = fit;
    }
}

// ---- Run contract ---------------------------------------------------------------------------

void COscView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    ShowCurrentParams();
}

void COscView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    m_blockLength = m_pWorkingList ? m_pWorkingList->GetSize(0) : 0;
    for (CChannelSettings& ch : m_channels) {
        const std::string& volts = Item(OscVoltsPerDivChoices(), ch.voltsIndex);
        ch.trace.voltsPerDivision = ParseDivisionText(volts);
        ch.trace.verticalPosition = ch.position;
        switch (ch.displayType) {
        case OscDispOff:
            ch.label = "Off";
            break;
        case OscDispGnd:
            ch.label = "Gnd";
            ch.trace.ground = 1;
            break;
        case OscDispAlg:
            ch.label = volts;
            ch.trace.ground = 0;
            ch.trace.digital = 0;
            break;
        default:
            ch.label = volts;
            ch.trace.ground = 0;
            ch.trace.digital = 1;
            break;
        }
        const double count = ParseDouble(Item(OscAverageChoices(), ch.averageIndex));
        if (count != ch.trace.blockAverageCount) {
            ch.trace.blockAverageCount = count;
            ch.counter = 1;
        }
    }
    m_timePerDivision = ParseDivisionText(Item(TimePerDivisionChoices(), m_timeIndex));
    UpdateControls();
    Invalidate();
}

int COscView::StartRun() {
    if (!m_pWorkingList || !m_pDisplayList) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    for (CDSPFFTDataList* list : {m_pWorkingList.get(), m_pDisplayList.get()})
        for (int c = 0; c < std::min(list->GetNumChans(), 2); ++c)
            std::fill_n(list->GetTimeData(c), list->GetSize(c), 0.0);
    for (CChannelSettings& ch : m_channels)
        ch.counter = 1;
    return 1;
}

int COscView::ProcessData() {
    CDspDoc* doc = GetDocument();
    if (!doc || !m_pWorkingList || !m_pDisplayList) {
        ShowErrorMessage("System Memory Allocation Error");
        return 0;
    }
    const CDSPFFTDataList* input = doc->GetCurrentList();
    if (input && input != m_pWorkingList.get() && !m_pWorkingList->Copy(*input)) {
        ShowErrorMessage("The block received does not match the oscilloscope's block format.");
        return 0;
    }
    const int32_t length = m_pWorkingList->GetSize(0);
    const int channels =
        std::min({m_pWorkingList->GetNumChans(), m_pDisplayList->GetNumChans(), 2});
    for (int c = 0; c < channels; ++c) {
        CChannelSettings& ch = m_channels[size_t(c)];
        double* working = m_pWorkingList->GetTimeData(c);
        double* display = m_pDisplayList->GetTimeData(c);
        const int32_t count =
            std::min({length, m_pWorkingList->GetSize(c), m_pDisplayList->GetSize(c)});
        const int limit = static_cast<int>(ch.trace.blockAverageCount);
        for (int32_t i = 0; i < count; ++i) {
            const double v = CDSPData::Average(working[i], display[i], ch.counter, limit);
            display[i] = v;
            working[i] = m_gate.Passes(i) ? v : 0.0;
        }
        if (limit > 1 && ch.counter < INT_MAX) ++ch.counter;
    }
    doc->SetCurrentList(m_pWorkingList);
    Invalidate();
    return 1;
}

// ---- Gate -----------------------------------------------------------------------------------

bool COscView::InPlot(CPoint p) const {
    const CRect& plot = m_plot.PlotRect();
    return p.x >= plot.left && p.x < plot.right && p.y >= plot.top && p.y < plot.bottom;
}

COscGateGeometry COscView::GateGeometry() const {
    COscGateGeometry g;
    const CRect& plot = m_plot.PlotRect();
    g.origin = OscTraceOrigin(plot, m_xPosition);
    g.width = plot.right - plot.left;
    g.blockLength = m_blockLength;
    g.sampleRate = m_pWorkingList ? m_pWorkingList->GetSampleRate(0) : 0.0;
    g.timePerDivision = m_timePerDivision;
    return g;
}

void COscView::OnLButtonDown(CPoint point) {
    if (!InPlot(point) || m_blockLength == 0.0) return;
    StopProcess();
    m_gate.Press(point.x, m_blockLength);
    SetModified();
    Invalidate();
}

void COscView::OnMouseMove(CPoint point, bool leftButtonDown) {
    if (!m_gate.IsDragging()) return;
    // Leaving the plot, or a move without the button (the release went elsewhere), ends the
    // drag.
    if (leftButtonDown && InPlot(point))
        m_gate.Drag(point.x);
    else
        m_gate.Abandon();
    Invalidate();
}

void COscView::OnLButtonUp(CPoint point) {
    if (!m_gate.IsDragging()) return;
    if (InPlot(point)) {
        m_gate.Release(point.x, GateGeometry());
        SetModified();
    } else {
        m_gate.Abandon();
    }
    Invalidate();
}

// ---- Readouts and settings ------------------------------------------------------------------

std::vector<COscView::CReadout> COscView::MakeReadouts() const {
    std::vector<CReadout> readouts{
        {{1, "Ch1", m_channels[0].label}, EReadoutPlace::TopLeft},
        {{2, "Ch2", m_channels[1].label}, EReadoutPlace::TopCentre},
        {{0, "T/Div", Item(TimePerDivisionChoices(), m_timeIndex), false},
         EReadoutPlace::TopRight}};
    const EReadoutPlace places[2] = {EReadoutPlace::BottomLeft, EReadoutPlace::BottomRight};
    for (size_t c = 0; c < m_channels.size(); ++c) {
        const CChannelSettings& ch = m_channels[c];
        if (ch.trace.blockAverageCount <= 1.0) continue;
        readouts.push_back(
            {{int(c) + 1, FormatText("Ch%d Avg", int(c) + 1),
              FormatText("%d / %d", ch.counter - 1, int(ch.trace.blockAverageCount))},
             places[c]});
    }
    return readouts;
}

std::vector<CReadoutValue> COscView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    for (const CReadout& r : MakeReadouts())
        values.push_back(r.value);
    return values;
}

// ---- Settings -------------------------------------------------------------------------------

const ISettingRows* COscView::Rows() const {
    using V = COscView;
    using R = CSettingRow<V>;
    using S = CChannelSettings;
    using List = const std::vector<std::string>& (*)();
    // A button that steps a whole number (of a channel c = 0, 1, or of the view, c = -1).
    const auto step = [](std::string id, const char* bar, const std::string& group,
                         const std::string& tip, int c, int32_t S::*ch, int32_t V::*own, int by,
                         int32_t maximum) {
        return R::Button(std::move(id), bar, group, tip).OnChange([=](V& v) {
            int32_t& value = c < 0 ? v.*own : v.m_channels[size_t(c)].*ch;
            value = Stepped(value, by, maximum);
            return true;
        });
    };
    // A stored whole number of a channel or of the view.
    const auto whole = [](std::string id, std::string label, int c, int32_t S::*ch, int32_t V::*own,
                          int32_t maximum, const char* message, List items) {
        R row = R::Stored(std::move(id), std::move(label))
                    .Access(
                        EFieldType::Int32,
                        [=](const V& v) {
                            return double(c < 0 ? v.*own : v.m_channels[size_t(c)].*ch);
                        },
                        [=](V& v, double x) {
                            (c < 0 ? v.*own : v.m_channels[size_t(c)].*ch) = int32_t(x);
                        })
                    .Check(InRange(0, maximum, message));
        if (items) row.Items([items](const V&) { return items(); });
        return row;
    };
    // The gate's fields: on, left and right markers, start, stop.
    const auto gate = [](const char* id, const char* label, int index) {
        const auto fields = [](const COscGate& g) {
            return std::array<double, 5>{g.IsOn() ? 1.0 : 0.0, g.GetLeftMarker(),
                                         g.GetRightMarker(), g.GetStart(), g.GetStop()};
        };
        return R::Stored(id, label)
            .Access(
                EFieldType::Double, [=](const V& v) { return fields(v.m_gate)[size_t(index)]; },
                [=](V& v, double x) {
                    auto f = fields(v.m_gate);
                    f[size_t(index)] = x;
                    v.m_gate.Set(f[0] != 0, f[1], f[2], f[3], f[4]);
                })
            .Check(Finite("Oscilloscope gate is not a number"));
    };
    std::vector<R> rows{
        step("tdivdown", "Dn", "T/Div", "Less time per division", -1, nullptr, &V::m_timeIndex, -1,
             kMaxTimeIndex),
        step("tdivup", "Up", "T/Div", "More time per division", -1, nullptr, &V::m_timeIndex, +1,
             kMaxTimeIndex),
    };
    for (int c = 0; c < 2; ++c) {
        const std::string id = FormatText("ch%d.", c + 1), label = FormatText("Ch%d ", c + 1);
        const std::string chan = FormatText("Chan%d", c + 1);
        const auto scaled = [c](const V& v) {
            const int32_t type = v.m_channels[size_t(c)].displayType;
            return type == OscDispAlg || type == OscDispDig;
        };
        const auto shown = [c](const V& v) {
            return v.m_channels[size_t(c)].displayType != OscDispOff;
        };
        for (int by : {-1, +1})
            rows.push_back(step(id + (by < 0 ? "vdivdown" : "vdivup"), by < 0 ? "Dn" : "Up",
                                chan + " V/Div",
                                chan + (by < 0 ? ": fewer" : ": more") + " volts per division", c,
                                &S::voltsIndex, nullptr, by, kMaxVoltsIndex)
                               .EnabledWhen(scaled));
        rows.push_back(whole(id + "vdiv", label + "V/Div", c, &S::voltsIndex, nullptr,
                             kMaxVoltsIndex, "Oscilloscope volts/div index out of range",
                             &OscVoltsPerDivChoices));
        for (int by : {-1, +1})
            rows.push_back(step(id + (by < 0 ? "posdown" : "posup"), by < 0 ? "Dn" : "Up",
                                chan + " Pos", chan + (by < 0 ? ": trace lower" : ": trace higher"),
                                c, &S::position, nullptr, by, kMaxPosition)
                               .EnabledWhen(shown));
        rows.push_back(whole(id + "pos", label + "Pos", c, &S::position, nullptr, kMaxPosition,
                             "Oscilloscope vertical position out of range", nullptr));
        // The display button names the channel's display type and steps to the next.
        rows.push_back(R::Button(id + "disp", "Alg", chan,
                                 chan + " display: Off, Gnd (zero line), Alg (analogue), Dig "
                                        "(digital); click for the next")
                           .OnChange([c](V& v) {
                               int32_t& type = v.m_channels[size_t(c)].displayType;
                               type = (type + 1) % int32_t(OscDisplayTypeNames().size());
                               return true;
                           })
                           .Show([c](const V& v, CControl& control, CControlState& state) {
                               control.label = state.text =
                                   Item(OscDisplayTypeNames(), v.m_channels[size_t(c)].displayType);
                           }));
        rows.push_back(whole(id + "display", label + "Disp", c, &S::displayType, nullptr,
                             int32_t(OscDisplayTypeNames().size()) - 1,
                             "Oscilloscope display type out of range", &OscDisplayTypeNames));
        R average = whole(id + "avg", label + "Avg", c, &S::averageIndex, nullptr,
                          int32_t(OscAverageChoices().size()) - 1,
                          "Oscilloscope block average index out of range", &OscAverageChoices);
        average.kind = ERowKind::Combo;
        average.barLabel = "Avg:";
        average.group = chan;
        average.tooltip = chan + ": number of blocks averaged";
        rows.push_back(average);
    }
    rows.push_back(whole("tdiv", "T/Div", -1, nullptr, &V::m_timeIndex, kMaxTimeIndex,
                         "Oscilloscope time/div index out of range", &TimePerDivisionChoices));
    rows.push_back(step("xposdown", "Dn", "Time Pos", "Trace to the left", -1, nullptr,
                        &V::m_xPosition, -1, kMaxPosition));
    rows.push_back(step("xposup", "Up", "Time Pos", "Trace to the right", -1, nullptr,
                        &V::m_xPosition, +1, kMaxPosition));
    rows.push_back(whole("xpos", "X Pos", -1, nullptr, &V::m_xPosition, kMaxPosition,
                         "Oscilloscope horizontal position out of range", nullptr));
    rows.push_back(
        R::Button("fit", "Fit", "", "Each channel's volts per division that show its whole trace")
            .OnChange([](V& v) {
                v.FitVoltsPerDiv();
                return true;
            }));
    rows.push_back(
        R::Stored("length", "Block length")
            .Bind(&V::m_blockLength)
            .Check(InRange(0, CDSPData::kMaxSize, "Oscilloscope block length out of range")));
    rows.push_back(gate("gate", "Gate", 0));
    rows.back().type = EFieldType::Int32;
    rows.back().Check(InRange(0, 1, "Oscilloscope gate flag out of range")).Items([](const V&) {
        return std::vector<std::string>{"Off", "On"};
    });
    rows.push_back(gate("leftmarker", "Left marker", 1));
    rows.push_back(gate("rightmarker", "Right marker", 2));
    rows.push_back(gate("gatestart", "Gate start", 3));
    rows.push_back(gate("gatestop", "Gate stop", 4));
    static const CSettingRows<V> table{std::move(rows)};
    return &table;
}
