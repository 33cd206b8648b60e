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

// Control ids, per channel where the bar has one of each per channel.
struct CChannelIds {
    const char* voltsDown;
    const char* voltsUp;
    const char* positionDown;
    const char* positionUp;
    const char* display;
    const char* average;
};
constexpr CChannelIds kIds[2] = {
    {"ch1.vdivdown", "ch1.vdivup", "ch1.posdown", "ch1.posup", "ch1.disp", "ch1.avg"},
    {"ch2.vdivdown", "ch2.vdivup", "ch2.posdown", "ch2.posup", "ch2.disp", "ch2.avg"}};
constexpr const char* kTimeDown = "tdivdown";
constexpr const char* kTimeUp = "tdivup";
constexpr const char* kXPositionDown = "xposdown";
constexpr const char* kXPositionUp = "xposup";
constexpr const char* kFit = "fit";

// Each handler by the id of its control.
using Handler = void (COscView::*)();
const std::pair<const char*, Handler> kHandlers[] = {
    {kTimeDown, &COscView::OnClickedDownTimeDiv},
    {kTimeUp, &COscView::OnClickedUpTimeDiv},
    {kIds[0].voltsDown, &COscView::OnClickedDownCh1VoltsDiv},
    {kIds[0].voltsUp, &COscView::OnClickedUpCh1VoltsDiv},
    {kIds[0].positionDown, &COscView::OnClickedDownCh1YPos},
    {kIds[0].positionUp, &COscView::OnClickedUpCh1YPos},
    {kIds[0].display, &COscView::OnClickedCh1DispType},
    {kIds[0].average, &COscView::OnSelChangeCh1BlockAvg},
    {kIds[1].voltsDown, &COscView::OnClickedDownCh2VoltsDiv},
    {kIds[1].voltsUp, &COscView::OnClickedUpCh2VoltsDiv},
    {kIds[1].positionDown, &COscView::OnClickedDownCh2YPos},
    {kIds[1].positionUp, &COscView::OnClickedUpCh2YPos},
    {kIds[1].display, &COscView::OnClickedCh2DispType},
    {kIds[1].average, &COscView::OnSelChangeCh2BlockAvg},
    {kXPositionDown, &COscView::OnClickedDownXPos},
    {kXPositionUp, &COscView::OnClickedUpXPos},
    {kFit, &COscView::OnClickedFit},
};

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
    const auto add = [this](CControl control, const std::string& group, const std::string& tip) {
        control.group = group;
        control.tooltip = tip;
        Controls().Add(control);
    };
    const auto button = [&](const char* id, const char* label, const std::string& group,
                            const std::string& tip) {
        add({id, EControlKind::PushButton, label, {}}, group, tip);
    };
    button(kTimeDown, "Dn", "T/Div", "Less time per division");
    button(kTimeUp, "Up", "T/Div", "More time per division");
    for (size_t c = 0; c < std::size(kIds); ++c) {
        const CChannelIds& ids = kIds[c];
        const std::string chan = "Chan" + std::to_string(c + 1);
        button(ids.voltsDown, "Dn", chan + " V/Div", chan + ": fewer volts per division");
        button(ids.voltsUp, "Up", chan + " V/Div", chan + ": more volts per division");
        button(ids.positionDown, "Dn", chan + " Pos", chan + ": trace lower");
        button(ids.positionUp, "Up", chan + " Pos", chan + ": trace higher");
        button(ids.display, "Alg", chan,
               chan + " display: Off, Gnd (zero line), Alg (analogue), Dig (digital); click "
                      "for the next");
        add({ids.average, EControlKind::ComboBox, "Avg:", OscAverageChoices()}, chan,
            chan + ": number of blocks averaged");
    }
    button(kXPositionDown, "Dn", "Time Pos", "Trace to the left");
    button(kXPositionUp, "Up", "Time Pos", "Trace to the right");
    button(kFit, "Fit", "", "Each channel's volts per division that show its whole trace");
    UpdateControlStates();
}

// ---- Control bar ----------------------------------------------------------------------------

bool COscView::OnControlChanged(const std::string& id) {
    for (const auto& [handlerId, handler] : kHandlers)
        if (id == handlerId) {
            (this->*handler)();
            return true;
        }
    return true;
}

void COscView::SettingChanged() {
    ShowCurrentParams();
    SetModified();
}

void COscView::StepVoltsPerDiv(int channel, int step) {
    CChannelSettings& ch = m_channels[Ch(channel)];
    ch.voltsIndex = Stepped(ch.voltsIndex, step, kMaxVoltsIndex);
    SettingChanged();
}

void COscView::StepPosition(int channel, int step) {
    CChannelSettings& ch = m_channels[Ch(channel)];
    ch.position = Stepped(ch.position, step, kMaxPosition);
    SettingChanged();
}

void COscView::OnClickedFit() {
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
    SettingChanged();
}

void COscView::CycleDisplayType(int channel) {
    CChannelSettings& ch = m_channels[Ch(channel)];
    ch.displayType = (ch.displayType + 1) % int32_t(OscDisplayTypeNames().size());
    SettingChanged();
}

void COscView::SelectBlockAverage(int channel) {
    const CControlState* state = Controls().StateById(kIds[Ch(channel)].average);
    m_channels[Ch(channel)].averageIndex = state->selection;
    SettingChanged();
}

void COscView::StepTimePerDiv(int step) {
    m_timeIndex = Stepped(m_timeIndex, step, kMaxTimeIndex);
    SettingChanged();
}

void COscView::StepXPosition(int step) {
    m_xPosition = Stepped(m_xPosition, step, kMaxPosition);
    SettingChanged();
}

void COscView::UpdateControlStates() {
    for (size_t c = 0; c < m_channels.size(); ++c) {
        const CChannelSettings& ch = m_channels[c];
        const CChannelIds& ids = kIds[c];
        const bool scaled = ch.displayType == OscDispAlg || ch.displayType == OscDispDig;
        const bool shown = ch.displayType != OscDispOff;
        Controls().StateById(ids.voltsDown)->enabled = scaled;
        Controls().StateById(ids.voltsUp)->enabled = scaled;
        Controls().StateById(ids.positionDown)->enabled = shown;
        Controls().StateById(ids.positionUp)->enabled = shown;
        const std::string& type = Item(OscDisplayTypeNames(), ch.displayType);
        Controls().ControlById(ids.display)->label = type;
        Controls().StateById(ids.display)->text = type;
        CControlState* average = Controls().StateById(ids.average);
        average->selection = ch.averageIndex;
        average->text = Item(OscAverageChoices(), ch.averageIndex);
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
    UpdateControlStates();
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

const CFieldTable<COscView>& COscView::Fields() {
    using V = COscView;
    using F = CSettingField<V>;
    using List = const std::vector<std::string>& (*)();
    // A whole-number setting of a channel (c = 0, 1) or of the view (c = -1).
    const auto whole = [](std::string id, std::string label, int c, int32_t CChannelSettings::*ch,
                          int32_t V::*own, int32_t maximum, const char* message, List items) {
        F f{std::move(id),
            std::move(label),
            EFieldType::Int32,
            [=](const V& v) { return double(c < 0 ? v.*own : v.m_channels[size_t(c)].*ch); },
            [=](V& v, double x) { (c < 0 ? v.*own : v.m_channels[size_t(c)].*ch) = int32_t(x); },
            InRange(0, maximum, message)};
        if (items) f.items = [items](const V&) { return items(); };
        return f;
    };
    // The gate's fields: on, left and right markers, start, stop.
    const auto gate = [](const char* id, const char* label, int index) {
        F f{id,
            label,
            EFieldType::Double,
            [=](const V& v) {
                const COscGate& g = v.m_gate;
                const double fields[] = {g.IsOn() ? 1.0 : 0.0, g.GetLeftMarker(),
                                         g.GetRightMarker(), g.GetStart(), g.GetStop()};
                return fields[index];
            },
            [=](V& v, double x) {
                const COscGate& g = v.m_gate;
                double fields[] = {g.IsOn() ? 1.0 : 0.0, g.GetLeftMarker(), g.GetRightMarker(),
                                   g.GetStart(), g.GetStop()};
                fields[index] = x;
                v.m_gate.Set(fields[0] != 0, fields[1], fields[2], fields[3], fields[4]);
            },
            Finite("Oscilloscope gate is not a number")};
        return f;
    };
    std::vector<F> fields;
    for (int c = 0; c < 2; ++c) {
        const std::string id = FormatText("ch%d.", c + 1), label = FormatText("Ch%d ", c + 1);
        using S = CChannelSettings;
        fields.push_back(whole(id + "vdiv", label + "V/Div", c, &S::voltsIndex, nullptr,
                               kMaxVoltsIndex, "Oscilloscope volts/div index out of range",
                               &OscVoltsPerDivChoices));
        fields.push_back(whole(id + "pos", label + "Pos", c, &S::position, nullptr, kMaxPosition,
                               "Oscilloscope vertical position out of range", nullptr));
        fields.push_back(whole(id + "display", label + "Disp", c, &S::displayType, nullptr,
                               int32_t(OscDisplayTypeNames().size()) - 1,
                               "Oscilloscope display type out of range", &OscDisplayTypeNames));
        fields.push_back(whole(id + "avg", label + "Avg", c, &S::averageIndex, nullptr,
                               int32_t(OscAverageChoices().size()) - 1,
                               "Oscilloscope block average index out of range",
                               &OscAverageChoices));
    }
    fields.push_back(whole("tdiv", "T/Div", -1, nullptr, &V::m_timeIndex, kMaxTimeIndex,
                           "Oscilloscope time/div index out of range", &TimePerDivisionChoices));
    fields.push_back(whole("xpos", "X Pos", -1, nullptr, &V::m_xPosition, kMaxPosition,
                           "Oscilloscope horizontal position out of range", nullptr));
    fields.push_back({"length", "Block length", EFieldType::Double,
                      [](const V& v) { return v.m_blockLength; },
                      [](V& v, double x) { v.m_blockLength = x; },
                      InRange(0, CDSPData::kMaxSize, "Oscilloscope block length out of range")});
    fields.push_back(gate("gate", "Gate", 0));
    fields.back().type = EFieldType::Int32;
    fields.back().check = InRange(0, 1, "Oscilloscope gate flag out of range");
    fields.back().items = [](const V&) { return std::vector<std::string>{"Off", "On"}; };
    fields.push_back(gate("leftmarker", "Left marker", 1));
    fields.push_back(gate("rightmarker", "Right marker", 2));
    fields.push_back(gate("gatestart", "Gate start", 3));
    fields.push_back(gate("gatestop", "Gate stop", 4));
    static const CFieldTable<V> table{std::move(fields)};
    return table;
}

std::vector<CSettingValue> COscView::GetSettings() const {
    auto settings = CDspView::GetSettings();
    const auto mine = Fields().List(*this);
    settings.insert(settings.end(), mine.begin(), mine.end());
    return settings;
}

bool COscView::SetSetting(const std::string& id, const std::string& value, std::string& message) {
    if (const auto* field = Fields().Find(id))
        return Fields().SetFromText(*this, *field, value, message);
    return CDspView::SetSetting(id, value, message);
}

// ---- Archive --------------------------------------------------------------------------------

void COscView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(COscView));
        Fields().Store(ar, *this);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(COscView));
    ar.GetObjectSchema();
    const auto values = Fields().Load(ar);
    if (!values) return;
    Fields().Apply(*this, *values);
    UpdateControlStates();
}
