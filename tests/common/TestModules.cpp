#include "common/TestModules.h"

#include "process/DspDoc.h"

#include <algorithm>

AURIVO_IMPLEMENT_DYNAMIC(CTestModuleView, RUNTIME_CLASS(CDspView));
AURIVO_IMPLEMENT_DYNAMIC(CTestScopeView, RUNTIME_CLASS(CTestModuleView));

std::vector<std::string>& CallLog() {
    static std::vector<std::string> log;
    return log;
}

CTestModuleView::CTestModuleView() {
    Controls().Add({"level", EControlKind::Edit, "&Level:", {}}, {"50"});
}

std::string CTestModuleView::Tag(const char* what) const {
    return what + std::to_string(GetProcessStepNumber());
}

bool CTestModuleView::OnInitialModuleSetup() {
    CallLog().push_back(Tag("setup"));
    return true;
}

int CTestModuleView::StartRun() {
    CallLog().push_back(Tag("start"));
    m_stepSeenAtStart = GetDocument()->GetCurrentStep();
    m_startingSeen = GetDocument()->IsStarting();
    return m_refuseStart && GetDocument()->IsStarting() ? 0 : 1;
}

int CTestModuleView::ProcessData() {
    CallLog().push_back(Tag("process"));
    ++m_processCalls;
    if (m_reshapeAtCall == m_processCalls && m_pWorkingList) {
        // Replaces its lists by ones of another shape, as a module whose settings change the
        // block size does; the old ones may be what the document hands this step.
        auto reshaped = std::make_shared<CDSPFFTDataList>();
        reshaped->Create(1, CDSPData::kTimeBlock, m_pWorkingList->GetSize(0) / 2, 8000.0);
        m_pWorkingList = reshaped;
    }
    m_inputSeen = GetDocument()->GetCurrentList();
    m_inputSize = m_inputSeen ? m_inputSeen->GetSize(0) : 0;
    if (m_stopAtCall == m_processCalls) GetDocument()->OnEditStop();
    if (m_failAtCall == m_processCalls) {
        ShowErrorMessage("Test failure");
        return 0;
    }
    if (m_level < 0) {
        ShowErrorMessage("Level below zero");
        return 0;
    }
    GetDocument()->SetCurrentList(m_pWorkingList);
    return 1;
}

int CTestModuleView::EndRun() {
    CallLog().push_back(Tag("end"));
    return 1;
}

void CTestModuleView::ShowCurrentParams() {
    CDspView::ShowCurrentParams();
    CallLog().push_back(Tag("params"));
}

std::vector<CReadoutValue> CTestModuleView::GetReadoutValues() const {
    return {{0, "Level", std::to_string(m_level)}, {0, "Calls", std::to_string(m_processCalls)}};
}

std::vector<CSettingValue> CTestModuleView::GetSettings() const {
    auto settings = CDspView::GetSettings();
    settings.push_back({"level", "Level", std::to_string(m_level)});
    return settings;
}

bool CTestModuleView::OnControlChanged(const std::string& id) {
    if (id != "level") return true;
    m_level = std::atoi(Controls().StateById("level")->text.c_str());
    ShowCurrentParams();
    SetModified();
    return true;
}

void CTestModuleView::Serialize(CArchive& ar) {
    CDspView::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteClass(GetRuntimeClass());
        ar.WriteInt32(m_level);
    } else {
        ar.ReadClass(GetRuntimeClass());
        m_level = ar.ReadInt32();
        Controls().StateById("level")->text = std::to_string(m_level);
    }
}

void CTestScopeView::Serialize(CArchive& ar) {
    CTestModuleView::Serialize(ar);
}

namespace {
const CModuleClass kGenerator{"Signal Generator",
                              []() -> CDspView* { return new CTestModuleView; }};
const CModuleClass kScope{"Oscilloscope", []() -> CDspView* { return new CTestScopeView; }};
const CModuleClass kSoundIO{"SoundIO", []() -> CDspView* { return new CTestModuleView; }};
} // namespace

const CModuleRegistry& TestRegistry() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kGenerator);
        r.Register(&kScope);
        r.Register(&kSoundIO);
        return r;
    }();
    return registry;
}

CTestModuleView& ModuleAt(CDspDoc& doc, size_t step) {
    return dynamic_cast<CTestModuleView&>(*doc.GetView(step));
}
