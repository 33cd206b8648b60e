#include "process/DspView.h"

#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "ui/StatusLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

AURIVO_IMPLEMENT_DYNAMIC(CDspView, nullptr);

CDspView::CDspView() = default;
CDspView::~CDspView() = default;

void CDspView::Invalidate() {
    if (m_pHost) m_pHost->Invalidate();
}

void CDspView::StopProcess() {
    if (m_pDocument) m_pDocument->StopProcess();
}

void CDspView::PauseProcess() {
    if (m_pDocument) m_pDocument->PauseProcess();
}

void CDspView::RunProcess() {
    if (m_pDocument) m_pDocument->RunProcess();
}

short CDspView::ShowThreadErrorMessage() {
    return ShowErrorMessage(std::strerror(errno));
}

short CDspView::ShowErrorMessage(const std::string& text) {
    if (!m_pDocument) return 1;
    if (m_pDocument->IsCalibrationDocument()) return 1;
    const std::string message =
        "Error Detected In\r\n" + m_pDocument->GetProcessDesc(this) + "\r\n" + text;
    if (CDspApp* app = m_pDocument->GetApp()) app->MessageBox(message, MB_OK);
    return 1;
}

std::unique_ptr<CDSPFFTDataList> CDspView::NewListInDocumentShape() const {
    auto list = std::make_unique<CDSPFFTDataList>();
    const CDspDoc& doc = *m_pDocument;
    if (!list->Create(doc.GetNumChans(), doc.GetType(), doc.GetSize(), doc.GetSampleRate(),
                      doc.GetProcessDesc(this)))
        return nullptr;
    return list;
}

void CDspView::ShowCurrentParams() {
    if (!m_pDocument) return;
    const int step = GetProcessStepNumber();
    const CDspView* previous = step > 1 ? m_pDocument->GetView(size_t(step - 2)) : nullptr;
    if (previous) {
        const std::string desc = m_pDocument->GetProcessDesc(this);
        auto refresh = [&](std::shared_ptr<CDSPFFTDataList>& mine, const CDSPFFTDataList* theirs) {
            if (!theirs || (mine && mine->IsEquivalent(*theirs))) return;
            auto clone = std::make_unique<CDSPFFTDataList>();
            if (clone->Clone(*theirs, desc)) mine = std::move(clone);
        };
        refresh(m_pWorkingList, previous->GetWorkingList());
        refresh(m_pDisplayList, previous->GetDisplayList());
        refresh(m_pThirdList, previous->GetThirdList());
        return;
    }
    m_pWorkingList = NewListInDocumentShape();
    m_pDisplayList = NewListInDocumentShape();
    m_pThirdList = NewListInDocumentShape();
    m_pDocument->SetCurrentList(m_pWorkingList);
    m_pDocument->SetReferenceList(m_pThirdList);
}

void CDspView::OnInitialUpdate() {
    if (!m_pDocument) return;
    for (auto* list : {&m_pWorkingList, &m_pDisplayList, &m_pThirdList}) {
        if (!*list || (*list)->GetSize(0) != m_pDocument->GetSize())
            *list = NewListInDocumentShape();
    }
    CreateChannels();
}

CStatusPane CDspView::UpdateStatusPane(std::time_t now, CColour windowTextColour) const {
    if (!m_pDocument) return {};
    const CDSPFFTDataList* list = m_pDisplayList.get();
    CStatusPane pane;
    pane.text =
        FormatStatusText(m_pDocument->GetProcessDesc(this), list ? list->GetType(0) : 0,
                         list ? list->GetSize(0) : 0, list ? list->GetSampleRate(0) : 0.0, now);
    const CDspApp* app = m_pDocument->GetApp();
    const bool customColour = !app || app->GetSettings().enableCustomModuleTextColor != 0;
    pane.colour = StatusColour(pane.text, m_pDocument->GetCurrentStep(), m_pDocument->IsRunning(),
                               m_pDocument->IsPaused(), customColour, windowTextColour);
    if (const std::string warning = GetRunWarning(); !warning.empty()) pane.text += "  " + warning;
    return pane;
}

int CDspView::GetProcessStepNumber() const {
    if (!m_pDocument) return 0;
    const int index = m_pDocument->FindView(this);
    if (index < 0 || index >= m_pDocument->GetStepCount()) return 0;
    return index + 1;
}

int CDspView::CheckClipboardAction(int count, int channels) {
    const int expected = (m_pDocument ? m_pDocument->GetSize() : 0) * channels;
    if (count == 0) {
        ShowErrorMessage("Invalid data on clipboard.\r\nCannot perform clipboard operation.");
        return 0;
    }
    if (count < expected)
        ShowErrorMessage(
            "Clipboard data < Destination data.\r\nDestination data may be truncated.");
    else if (count > expected)
        ShowErrorMessage("Clipboard data > Destination data.\r\nSource data may be lost.");
    if (m_pDocument)
        for (size_t i = 0; i < m_pDocument->GetViewCount(); ++i)
            m_pDocument->GetView(i)->Invalidate();
    return 1;
}

int CDspView::CheckClipboardAction(int count) {
    return CheckClipboardAction(count, 1);
}

void CDspView::SelectChannel(int channel) {
    m_selectedChannel = channel;
    m_plot.SelectChannel(channel);
    Invalidate();
}

namespace {
// The base's own settings: the selected channel.
const CSettingRows<CDspView>& BaseRows() {
    static const CSettingRows<CDspView> rows{{
        CSettingRow<CDspView>::Stored("channel", "Selected channel")
            .Access(
                EFieldType::Int32, [](const CDspView& v) { return double(v.GetSelectedChannel()); },
                [](CDspView& v, double x) {
                    if (x == 1)
                        v.OnSelCh1();
                    else if (x == 2)
                        v.OnSelCh2();
                    else
                        v.OnSelAll();
                })
            .Check(InRange(0, 2, "Selected channel out of range")),
    }};
    return rows;
}
} // namespace

std::vector<std::string> CDspView::GetReadouts() const {
    std::vector<std::string> lines;
    for (const CReadoutValue& r : GetReadoutValues())
        lines.push_back(r.Text());
    return lines;
}

bool CDspView::SetControl(const std::string& idOrLabel, const std::string& value,
                          std::string& message, bool strict) {
    // A setting named by its listed id or label goes to the control that edits it, if any.
    std::string name = idOrLabel;
    const int control = m_controls.Find(idOrLabel);
    if (control < 0 || m_controls.GetControl(size_t(control)).kind == EControlKind::ReadOnlyText) {
        for (const CSettingValue& s : GetSettings()) {
            if (!SettingTextMatches(s.id, idOrLabel) && !SettingTextMatches(s.label, idOrLabel))
                continue;
            const int edit = m_controls.Find(s.id);
            if (edit >= 0 &&
                m_controls.GetControl(size_t(edit)).kind != EControlKind::ReadOnlyText) {
                name = s.id;
                break;
            }
            const std::vector<uint8_t> before = StoredState();
            if (!SetSetting(s.id, value, message)) return false;
            ShowCurrentParams();
            if (StoredState() != before) SetModified();
            return true;
        }
    }
    const std::string id = m_controls.SetFromText(name, value, message, strict);
    if (id.empty()) return false;
    m_refusal.clear();
    // A change marks the document modified only when it changed what the module stores: an
    // edit left as it was, or a number spelled another way, leaves the file as it is.
    const std::vector<uint8_t> before = StoredState();
    m_modifiedPending = false;
    m_inControlChange = true;
    const bool accepted = OnControlChanged(id);
    m_inControlChange = false;
    if (m_modifiedPending && m_pDocument && StoredState() != before)
        m_pDocument->SetModifiedFlag(true);
    if (accepted) return true;
    if (message.empty())
        message = m_refusal.empty() ? "The module refused the value \"" + value + "\"" : m_refusal;
    return false;
}

std::vector<uint8_t> CDspView::StoredState() {
    CArchive ar;
    Serialize(ar);
    for (const COptionalSetting& setting : GetOptionalSettings()) {
        ar.WriteString(setting.id);
        for (uint8_t b : setting.value)
            ar.WriteByte(b);
    }
    return ar.GetBuffer();
}

std::vector<COptionalSetting> CDspView::GetOptionalSettings() const {
    std::vector<COptionalSetting> settings;
    for (const CRowSet& set : RowSets())
        set.rows->AppendOptional(*set.object, set.prefix, settings);
    return settings;
}

bool CDspView::ReadOptionalSettings(const std::vector<COptionalSetting>& stored,
                                    std::string& message) {
    const std::vector<CRowSet> sets = RowSets();
    for (const COptionalSetting& setting : stored) {
        const bool known = std::any_of(sets.begin(), sets.end(), [&](const CRowSet& set) {
            return set.rows->HasOptional(set.prefix, setting.id);
        });
        if (!known && setting.needed) {
            message = "setting '" + setting.id + "' needs a newer Aurivo";
            return false;
        }
    }
    for (const CRowSet& set : sets)
        if (!set.rows->ReadOptional(*set.object, set.prefix, stored, message)) return false;
    SettingsLoaded();
    return true;
}

bool CDspView::OnControlChanged(const std::string& id) {
    for (const CRowSet& set : RowSets()) {
        const CChangeResult result =
            set.rows->Dispatch(*set.object, set.prefix, id, *this, m_controls);
        if (result.outcome == EChange::NotMine) continue;
        if (result.outcome == EChange::Refused) {
            if (!result.reason.empty()) RefuseControl(result.reason);
            return false;
        }
        if (result.outcome == EChange::Changed) SettingChanged();
        return !IsControlRefused();
    }
    return true;
}

std::vector<CRowSet> CDspView::RowSets() const {
    // The listing is const but a set binds the object it also changes.
    if (const ISettingRows* rows = Rows()) return {{rows, const_cast<CDspView*>(this)}};
    return {};
}

void CDspView::SettingChanged() {
    UpdateControls();
    ShowCurrentParams();
    SetModified();
}

void CDspView::AddControls(const CRowSet& set) {
    set.rows->AddControls(*set.object, set.prefix, m_controls);
}

void CDspView::AddControls() {
    for (const CRowSet& set : RowSets())
        AddControls(set);
}

void CDspView::UpdateControls() {
    for (const CRowSet& set : RowSets())
        set.rows->UpdateControls(*set.object, set.prefix, m_controls);
}

void CDspView::SetModified() {
    if (m_inControlChange)
        m_modifiedPending = true; // SetControl decides once it sees what changed
    else if (m_pDocument)
        m_pDocument->SetModifiedFlag(true);
}

bool CDspView::SetSetting(const std::string& id, const std::string& value, std::string& message) {
    for (const CRowSet& set : RowSets())
        if (const auto done = set.rows->SetListed(*set.object, set.prefix, id, value, message))
            return *done;
    if (const auto* row = BaseRows().Find(id))
        return BaseRows().SetFromText(*this, *row, value, message);
    message = "'" + id + "' cannot be changed";
    return false;
}

std::vector<CSettingValue> CDspView::GetSettings() const {
    std::vector<CSettingValue> settings = BaseRows().List(*this);
    for (const CRowSet& set : RowSets())
        set.rows->AppendList(*set.object, set.prefix, settings);
    return settings;
}

void CDspView::Serialize(CArchive& ar) {
    const ISettingRows* rows = Rows();
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDspView));
        BaseRows().Store(ar, *this);
        if (!rows) return;
        ar.WriteClass(GetRuntimeClass());
        rows->Store(ar, *this);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CDspView));
    if (const auto values = BaseRows().Load(ar)) m_selectedChannel = int(values->front().number);
    if (!rows || !ar.Ok()) return;
    ar.ReadClass(GetRuntimeClass());
    ar.GetObjectSchema();
    if (rows->Read(ar, *this)) SettingsLoaded();
}
