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

} // namespace

CArbFilterView::CArbFilterView() {
    AddControls();
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

void CArbFilterView::OnSelChangeEditSel(int selection) {
    if (selection < 0 || selection >= kEnvelopes) return;
    m_editedEnvelope = selection;
    if (!m_paths[size_t(m_editedEnvelope)].empty()) LoadFileInEditCtrl();
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

// ---- Refresh ------------------------------------------------------------------------------

void CArbFilterView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    if (ShapeEnvelopeList()) UpdateAllEnvelopes();
    UpdateControls();
    Invalidate();
}

// ---- Settings and process file --------------------------------------------------------------

const ISettingRows* CArbFilterView::Rows() const {
    using V = CArbFilterView;
    using R = CSettingRow<V>;
    constexpr const char* kFilter = "Filter";
    constexpr const char* kEnvelope = "Envelope";
    const auto choice = [](const char* id, const char* bar, const char* group, const char* tip,
                           const std::vector<std::string>& items, const char* what) {
        return R::Combo(id, bar, group, tip)
            .Choice(items, std::string("Arbitrary filter: ") + what + " out of range");
    };
    const auto channel = [&](int c, const char* tip) {
        return choice(c == 0 ? "chan1" : "chan2", c == 0 ? "Chan1:" : "Chan2:", kFilter, tip,
                      EnvelopeChoices(), c == 0 ? "channel 1 envelope" : "channel 2 envelope")
            .Access(
                EFieldType::Int32,
                [c](const V& v) { return double(v.m_channelEnvelope[size_t(c)]); },
                [c](V& v, double x) { v.m_channelEnvelope[size_t(c)] = int32_t(x); })
            .Listed(c == 0 ? "Chan1" : "Chan2")
            .Places(c, -1);
    };
    const auto button = [&](const char* id, const char* face, int place, const char* tip,
                            void (V::*command)()) {
        return R::Button(id, face, kEnvelope, tip)
            .OnChange([command](V& v) {
                (v.*command)();
                return false; // the command refreshes what it changed
            })
            .Places(place, -1);
    };
    // Stored order; the bar orders the controls by their places.
    static const CSettingRows<V> rows{{
        choice("editenv", "Edit Env:", kEnvelope, "The envelope shown, edited, opened and saved",
               EnvelopeChoices(), "edited envelope")
            .Bind(&V::m_editedEnvelope)
            .Listed("Edit Env")
            .OnChange([](V& v, CRowChange& c) {
                v.OnSelChangeEditSel(c.state.selection);
                return false;
            })
            .Places(3, -1),
        R::Stored("").Bind(&V::m_paths),
        R::Stored("").Bind(&V::m_fileNames),
        R::Stored("").Bind(&V::m_extensions),
        R::Stored("").Bind(&V::m_titles),
        channel(0, "The envelope that filters channel 1"),
        channel(1, "The envelope that filters channel 2"),
        choice("type", "Type:", kFilter,
               "FFT: multiply the block's spectrum (circular within the block); Trans: FIR filter "
               "with the envelope's impulse response",
               TypeChoices(), "filter type")
            .Bind(&V::m_filterType)
            .Listed("Type")
            .Places(2, -1),
        button("edit", "Edit", 7, "Show or hide the edited envelope's text beside the plot",
               &V::OnClickedEdit)
            .Bind(&V::m_editShown)
            .Check(InRange(0, 1, "Arbitrary filter: edit flag out of range"))
            .Show([](const V& v, CControl&, CControlState& s) { s.checked = v.m_editShown != 0; }),
        R::Stored("").Bind(&V::m_inverted),
        R::Stored("").Bind(&V::m_pasted),
        // Controls and listed values that store nothing of their own.
        button("new", "New", 4, "Clear the edited envelope (its response goes to the clipboard)",
               &V::OnClickedNew),
        button("open", "Open", 5,
               "Load a filter file (.flt) into the edited envelope, or a response file (.rsp) "
               "into all six",
               &V::OnClickedOpen),
        button("title", "Title", 6, "Name the edited envelope", &V::OnClickedTitle),
        button("update", "Update", 8, "Parse the edited envelope's text into its response",
               &V::OnClickedUpdate),
        button("save", "Save", 9, "Save the edited envelope's text (.flt) or all envelopes (.rsp)",
               &V::OnClickedSave),
        button("inv", "Inv", 10, "Invert the edited envelope (reciprocal gain, negated phase)",
               &V::OnClickedInvert)
            .Show([](const V& v, CControl&, CControlState& s) {
                s.checked = v.IsInverted(v.m_editedEnvelope);
            }),
        // Listed as the edited envelope's path, which `set` opens as "Open" opens it; the bar
        // shows its file name.
        R::Text("file", "File:", kEnvelope, "The edited envelope's file")
            .Shown([](const V& v) { return v.m_paths[size_t(v.m_editedEnvelope)]; })
            .Show([](const V& v, CControl&, CControlState& s) {
                s.text = v.m_fileNames[size_t(v.m_editedEnvelope)];
            })
            .OnText([](V& v, const std::string& path, std::string& message) {
                v.m_errorText.clear();
                if (v.OpenFile(path)) return true;
                message = v.m_errorText;
                return false;
            })
            .Listed("File")
            .Places(11, -1),
        R::Stored("envtitle", "Envelope title")
            .Access(EFieldType::None, {}, {})
            .Shown([](const V& v) { return v.m_titles[size_t(v.m_editedEnvelope)]; })
            .OnText([](V& v, const std::string& title, std::string&) {
                v.SetEnvelopeTitle(title);
                return true;
            }),
        R::Text("dcgain", "DC Gain:", kEnvelope, "The edited envelope's gain at 0 Hz")
            .Shown([](const V& v) { return v.GetDCGainText(); })
            .Places(12, -1),
    }};
    return &rows;
}

void CArbFilterView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteObject(m_pEnvelopes.get());
        return;
    }
    if (!ar.Ok()) return;
    std::unique_ptr<CObject> list = ar.ReadObject(RUNTIME_CLASS(CDSPFFTDataList));
    if (!ar.Ok()) return;
    // A list of another shape is rebuilt (and reloaded from the files) at the next refresh.
    if (list) m_pEnvelopes.reset(static_cast<CDSPFFTDataList*>(list.release()));
    ReloadTexts();
    UpdateControls();
}
