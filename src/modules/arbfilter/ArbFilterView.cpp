// The arbitrary filter's control bar, its choice handlers, the refresh of controls from the
// settings and its part of a process file.

#include "modules/arbfilter/ArbFilterView.h"

#include "base/NumberText.h"
#include "process/DspDoc.h"

#include <array>
#include <cmath>
#include <utility>

AURIVO_IMPLEMENT_DYNAMIC(CArbFilterView, RUNTIME_CLASS(CDspView));

namespace {

const std::vector<std::string>& EnvelopeChoices() {
    static const std::vector<std::string> items{"Env1", "Env2", "Env3", "Env4", "Env5", "Env6"};
    return items;
}
const std::vector<std::string>& TypeChoices() {
    static const std::vector<std::string> items{"FFT", "Trans"};
    return items;
}

constexpr const char* kFilterGroup = "Filter";
constexpr const char* kEnvelopeGroup = "Envelope";

CControl Combo(const char* id, const char* label, const std::vector<std::string>& items,
               const char* group, const char* tooltip) {
    return {id, EControlKind::ComboBox, label, items, INT_MIN, INT_MAX, false, group, tooltip};
}
CControl Button(const char* id, const char* label, const char* tooltip) {
    return {id,    EControlKind::PushButton, label,  {}, INT_MIN, INT_MAX,
            false, kEnvelopeGroup,           tooltip};
}
CControl Text(const char* id, const char* label, const char* tooltip) {
    return {id,     EControlKind::ReadOnlyText, label, {}, INT_MIN, INT_MAX, false, kEnvelopeGroup,
            tooltip};
}

bool IsChoice(int selection, size_t count) {
    return selection >= 0 && size_t(selection) < count;
}

} // namespace

CArbFilterView::CArbFilterView() {
    CControlModel& c = Controls();
    c.Add(Combo("chan1", "Chan1:", EnvelopeChoices(), kFilterGroup,
                "The envelope that filters channel 1"));
    c.Add(Combo("chan2", "Chan2:", EnvelopeChoices(), kFilterGroup,
                "The envelope that filters channel 2"));
    c.Add(Combo("type", "Type:", TypeChoices(), kFilterGroup,
                "FFT: multiply the block's spectrum (circular within the block); Trans: FIR "
                "filter with the envelope's impulse response"));
    c.Add(Combo("editenv", "Edit Env:", EnvelopeChoices(), kEnvelopeGroup,
                "The envelope shown, edited, opened and saved"));
    c.Add(Button("new", "New", "Clear the edited envelope (its response goes to the clipboard)"));
    c.Add(Button("open", "Open",
                 "Load a filter file (.flt) into the edited envelope, or a "
                 "response file (.rsp) into all six"));
    c.Add(Button("title", "Title", "Name the edited envelope"));
    c.Add(Button("edit", "Edit", "Show or hide the edited envelope's text beside the plot"));
    c.Add(Button("update", "Update", "Parse the edited envelope's text into its response"));
    c.Add(Button("save", "Save", "Save the edited envelope's text (.flt) or all envelopes (.rsp)"));
    c.Add(Button("inv", "Inv", "Invert the edited envelope (reciprocal gain, negated phase)"));
    c.Add(Text("file", "File:", "The edited envelope's file"));
    c.Add(Text("dcgain", "DC Gain:", "The edited envelope's gain at 0 Hz"));
    UpdateControls();
}

void CArbFilterView::OnInitialUpdate() {
    CDspView::OnInitialUpdate();
    ShowCurrentParams();
}

CDSPFFTData* CArbFilterView::EditedBlock() {
    return m_pEnvelopes ? m_pEnvelopes->GetAt(m_editedEnvelope) : nullptr;
}
const CDSPFFTData* CArbFilterView::EditedBlock() const {
    return m_pEnvelopes ? m_pEnvelopes->GetAt(m_editedEnvelope) : nullptr;
}

const CDSPFFTData* CArbFilterView::GetTaps(int envelope) const {
    return m_pTaps ? m_pTaps->GetAt(envelope) : nullptr;
}

const std::string& CArbFilterView::GetEnvelopeText(int envelope) const {
    return m_texts[size_t(envelope)];
}

void CArbFilterView::SetEnvelopeText(const std::string& text) {
    if (!IsEnvelopeTextReadOnly()) m_texts[size_t(m_editedEnvelope)] = text;
}

bool CArbFilterView::IsEnvelopeTextReadOnly() const {
    return m_readOnly[size_t(m_editedEnvelope)];
}

std::string CArbFilterView::GetDCGainText() const {
    const CDSPFFTData* block = EditedBlock();
    const double m = block && block->HasArrays() ? block->GetFreqObj()->GetDataPointer()[0] : 0.0;
    return FormatText("% 7.2f%s", m > 0.0 ? 20.0 * std::log10(m) : 0.0, " dB");
}

// ---- Handlers -----------------------------------------------------------------------------

void CArbFilterView::Refresh() {
    ShowCurrentParams();
    SetModified();
}

bool CArbFilterView::Choose(int32_t& setting, int selection) {
    if (!IsChoice(selection, EnvelopeChoices().size())) return false;
    setting = selection;
    return true;
}

void CArbFilterView::OnSelChangeEditSel(int selection) {
    if (!Choose(m_editedEnvelope, selection)) return;
    if (!m_paths[size_t(m_editedEnvelope)].empty()) LoadFileInEditCtrl();
    Refresh();
}

void CArbFilterView::OnSelChangeChan1EnvSel(int selection) {
    if (Choose(m_channelEnvelope[0], selection)) Refresh();
}

void CArbFilterView::OnSelChangeChan2EnvSel(int selection) {
    if (Choose(m_channelEnvelope[1], selection)) Refresh();
}

void CArbFilterView::OnSelChangeFilterTypeSel(int selection) {
    if (!IsChoice(selection, TypeChoices().size())) return;
    m_filterType = selection;
    Refresh();
}

void CArbFilterView::OnClickedEdit() {
    m_editShown = !m_editShown;
    Refresh();
}

void CArbFilterView::OnClickedUpdate() {
    if (!ParseEditControl()) {
        ShowErrorMessage(m_errorText);
        return;
    }
    if (m_filterType == kTrans) MakeTaps(m_editedEnvelope);
    Refresh();
}

void CArbFilterView::OnClickedInvert() {
    CDSPFFTData* block = EditedBlock();
    if (!block || !block->Invert()) {
        ShowErrorMessage("Unable To Invert Data");
        return;
    }
    m_inverted[size_t(m_editedEnvelope)] ^= 1;
    if (m_filterType == kTrans) MakeTaps(m_editedEnvelope);
    Refresh();
}

void CArbFilterView::SetEnvelopeTitle(const std::string& title) {
    m_titles[size_t(m_editedEnvelope)] = title;
    Refresh();
}

bool CArbFilterView::OnControlChanged(const std::string& id) {
    using Handler = void (*)(CArbFilterView&, const CControlState&);
    static const std::array<std::pair<const char*, Handler>, 11> kHandlers{{
        {"chan1",
         [](CArbFilterView& v, const CControlState& s) { v.OnSelChangeChan1EnvSel(s.selection); }},
        {"chan2",
         [](CArbFilterView& v, const CControlState& s) { v.OnSelChangeChan2EnvSel(s.selection); }},
        {"type", [](CArbFilterView& v,
                    const CControlState& s) { v.OnSelChangeFilterTypeSel(s.selection); }},
        {"editenv",
         [](CArbFilterView& v, const CControlState& s) { v.OnSelChangeEditSel(s.selection); }},
        {"new", [](CArbFilterView& v, const CControlState&) { v.OnClickedNew(); }},
        {"open", [](CArbFilterView& v, const CControlState&) { v.OnClickedOpen(); }},
        {"title", [](CArbFilterView& v, const CControlState&) { v.OnClickedTitle(); }},
        {"edit", [](CArbFilterView& v, const CControlState&) { v.OnClickedEdit(); }},
        {"update", [](CArbFilterView& v, const CControlState&) { v.OnClickedUpdate(); }},
        {"save", [](CArbFilterView& v, const CControlState&) { v.OnClickedSave(); }},
        {"inv", [](CArbFilterView& v, const CControlState&) { v.OnClickedInvert(); }},
    }};
    for (const auto& [name, handler] : kHandlers)
        if (id == name) handler(*this, *Controls().StateById(id));
    return true;
}

// ---- Refresh ------------------------------------------------------------------------------

void CArbFilterView::UpdateControls() {
    CControlModel& c = Controls();
    auto choose = [&](const char* id, int index) {
        const CControl& control = *c.ControlById(id);
        CControlState& state = *c.StateById(id);
        state.selection = index;
        state.text = control.items[size_t(index)];
    };
    choose("chan1", m_channelEnvelope[0]);
    choose("chan2", m_channelEnvelope[1]);
    choose("type", m_filterType);
    choose("editenv", m_editedEnvelope);
    c.StateById("edit")->checked = m_editShown != 0;
    c.StateById("inv")->checked = IsInverted(m_editedEnvelope);
    c.StateById("file")->text = m_fileNames[size_t(m_editedEnvelope)];
    c.StateById("dcgain")->text = GetDCGainText();
}

void CArbFilterView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    if (ShapeEnvelopeList()) UpdateAllEnvelopes();
    UpdateControls();
    Invalidate();
}

// ---- Settings and process file --------------------------------------------------------------

std::vector<CSettingValue> CArbFilterView::GetSettings() const {
    auto settings = CDspView::GetSettings();
    const auto& env = EnvelopeChoices();
    settings.push_back({"editenv", "Edit Env", env[size_t(m_editedEnvelope)]});
    settings.push_back({"chan1", "Chan1", env[size_t(m_channelEnvelope[0])]});
    settings.push_back({"chan2", "Chan2", env[size_t(m_channelEnvelope[1])]});
    settings.push_back({"type", "Type", TypeChoices()[size_t(m_filterType)]});
    settings.push_back({"file", "File", m_paths[size_t(m_editedEnvelope)]});
    settings.push_back({"envtitle", "Envelope title", m_titles[size_t(m_editedEnvelope)]});
    return settings;
}

bool CArbFilterView::SetSetting(const std::string& id, const std::string& value,
                                std::string& message) {
    if (id == "envtitle") {
        SetEnvelopeTitle(value);
        return true;
    }
    if (id != "file") return CDspView::SetSetting(id, value, message);
    // The file is opened as "Open" opens the one a dialog returns.
    m_errorText.clear();
    if (OpenFile(value)) return true;
    message = m_errorText;
    return false;
}

namespace {

void WriteTexts(CArchive& ar, const std::array<std::string, CArbFilterView::kEnvelopes>& texts) {
    ar.WriteStringList({texts.begin(), texts.end()});
}

// Another installation may store more or fewer envelope entries than six: the first six are
// taken and missing ones stay empty, as an envelope without a file is.
bool ReadTexts(CArchive& ar, std::array<std::string, CArbFilterView::kEnvelopes>& texts) {
    std::list<std::string> list;
    ar.ReadStringList(list);
    if (!ar.Ok()) return false;
    texts = {};
    auto from = list.begin();
    for (size_t e = 0; e < texts.size() && from != list.end(); ++e, ++from)
        texts[e] = std::move(*from);
    return true;
}

void WriteFlags(CArchive& ar, const std::array<uint8_t, CArbFilterView::kEnvelopes>& flags) {
    ar.WriteCount(uint32_t(flags.size()));
    for (uint8_t flag : flags)
        ar.WriteByte(flag);
}

bool ReadFlags(CArchive& ar, std::array<uint8_t, CArbFilterView::kEnvelopes>& flags) {
    const uint32_t count = ar.ReadCount();
    if (!ar.Ok() || !ar.Require(count)) return false;
    flags = {};
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t flag = ar.ReadByte() != 0;
        if (i < flags.size()) flags[i] = flag;
    }
    return ar.Ok();
}

bool InRange(CArchive& ar, int32_t value, int32_t last, const char* what) {
    if (ar.Ok() && (value < 0 || value > last))
        ar.Fail(std::string("Arbitrary filter: ") + what + " out of range");
    return ar.Ok();
}

} // namespace

void CArbFilterView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CArbFilterView));
        ar.WriteInt32(m_editedEnvelope);
        for (const auto* texts : {&m_paths, &m_fileNames, &m_extensions, &m_titles})
            WriteTexts(ar, *texts);
        ar.WriteInt32(m_channelEnvelope[0]);
        ar.WriteInt32(m_channelEnvelope[1]);
        ar.WriteInt32(m_filterType);
        ar.WriteInt32(m_editShown);
        WriteFlags(ar, m_inverted);
        WriteFlags(ar, m_pasted);
        ar.WriteObject(m_pEnvelopes.get());
        return;
    }
    if (!ar.Ok()) return;
    ar.ReadClass(RUNTIME_CLASS(CArbFilterView));
    ar.GetObjectSchema();
    const int32_t edited = ar.ReadInt32();
    std::array<std::string, kEnvelopes> paths, names, extensions, titles;
    for (auto* texts : {&paths, &names, &extensions, &titles})
        if (!ReadTexts(ar, *texts)) return;
    const int32_t chan1 = ar.ReadInt32(), chan2 = ar.ReadInt32();
    const int32_t type = ar.ReadInt32(), shown = ar.ReadInt32();
    std::array<uint8_t, kEnvelopes> inverted{}, pasted{};
    if (!ReadFlags(ar, inverted) || !ReadFlags(ar, pasted)) return;
    std::unique_ptr<CObject> list = ar.ReadObject(RUNTIME_CLASS(CDSPFFTDataList));
    if (!InRange(ar, edited, kEnvelopes - 1, "edited envelope") ||
        !InRange(ar, chan1, kEnvelopes - 1, "channel 1 envelope") ||
        !InRange(ar, chan2, kEnvelopes - 1, "channel 2 envelope") ||
        !InRange(ar, type, kTrans, "filter type") || !InRange(ar, shown, 1, "edit flag"))
        return;
    m_editedEnvelope = edited;
    m_paths = std::move(paths);
    m_fileNames = std::move(names);
    m_extensions = std::move(extensions);
    m_titles = std::move(titles);
    m_channelEnvelope = {chan1, chan2};
    m_filterType = type;
    m_editShown = shown;
    m_inverted = inverted;
    m_pasted = pasted;
    // A list of another shape is rebuilt (and reloaded from the files) at the next refresh.
    if (list) m_pEnvelopes.reset(static_cast<CDSPFFTDataList*>(list.release()));
    ReloadTexts();
    UpdateControls();
}
