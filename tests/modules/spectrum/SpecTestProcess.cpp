#include "SpecTestProcess.h"
#include "common/ComposeProcess.h"

#include "process/ProcessSelectDlg.h"
#include "modules/BuiltInModules.h"

#include <algorithm>

AURIVO_IMPLEMENT_DYNAMIC(CSpecTestSource, RUNTIME_CLASS(CDspView));
AURIVO_IMPLEMENT_DYNAMIC(CSpecTestSink, RUNTIME_CLASS(CDspView));

int CSpecTestSource::ProcessData() {
    ++m_pass;
    for (int c = 0; c < m_pWorkingList->GetNumChans(); ++c) {
        double* t = m_pWorkingList->GetTimeData(c);
        double* r = m_pThirdList->GetTimeData(c);
        for (int i = 0; i < m_pWorkingList->GetSize(c); ++i) {
            t[i] = m_pattern(c, m_pass, i);
            r[i] = m_reference(c, m_pass, i);
        }
        m_pWorkingList->SetNumUsed(c, m_pWorkingList->GetSize(c));
    }
    GetDocument()->SetCurrentList(m_pWorkingList);
    GetDocument()->SetReferenceList(m_pThirdList);
    return 1;
}

int CSpecTestSink::ProcessData() {
    const CDSPFFTDataList* input = GetDocument()->GetCurrentList();
    m_time.clear();
    m_magnitude.clear();
    for (int c = 0; c < input->GetNumChans(); ++c) {
        m_time.push_back(Values(*input->GetAt(c)->GetTimeObj()));
        m_magnitude.push_back(Values(*input->GetAt(c)->GetFreqObj()));
    }
    return 1;
}

std::vector<double> Values(const CDSPData& array) {
    const double* v = array.GetDataPointer();
    return std::vector<double>(v, v + array.GetSize());
}

std::string SpecError(int step, const std::string& text) {
    return "Error Detected In\r\nStep: " + std::to_string(step) + " Spectrum Analyzer\r\n" + text;
}

namespace {
const CModuleClass kSource{"Signal Generator", []() -> CDspView* { return new CSpecTestSource; }};
const CModuleClass kSink{"DataLogger", []() -> CDspView* { return new CSpecTestSink; }};
} // namespace

const CModuleRegistry& SpecTestRegistry() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kSource);
        r.Register(&kSink);
        if (const CModuleClass* spectrum = GetBuiltInModules().Find("Spectrum Analyzer"))
            r.Register(spectrum);
        return r;
    }();
    return registry;
}

CSpecTestApp::CSpecTestApp() : app(SpecTestRegistry(), sink, clock) {}

CDspDoc* CSpecTestApp::NewProcess(const std::vector<std::string>& names, int size, double rate) {
    CDspDoc* doc = ComposeProcess(app, app.OnFileNew(), names);
    if (!doc) return nullptr;
    CFFTOptions options;
    doc->FillFFTOptions(options);
    options.m_size = std::to_string(size);
    options.m_sampleRate = std::to_string(static_cast<int>(rate));
    std::string message;
    if (!doc->ApplyFFTOptions(options, message)) return nullptr;
    TakeMessages();
    return doc;
}

std::vector<std::string> CSpecTestApp::TakeMessages() {
    std::vector<std::string> messages;
    for (const auto& r : sink.Records())
        messages.push_back(r.message);
    sink.ClearRecords();
    return messages;
}
