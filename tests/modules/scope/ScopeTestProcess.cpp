#include "ScopeTestProcess.h"
#include "common/ComposeProcess.h"

#include "process/ProcessSelectDlg.h"
#include "modules/BuiltInModules.h"

#include <algorithm>

AURIVO_IMPLEMENT_DYNAMIC(CScopeTestSource, RUNTIME_CLASS(CDspView));
AURIVO_IMPLEMENT_DYNAMIC(CScopeTestSink, RUNTIME_CLASS(CDspView));

int CScopeTestSource::ProcessData() {
    ++m_pass;
    for (int c = 0; c < m_pWorkingList->GetNumChans(); ++c) {
        double* t = m_pWorkingList->GetTimeData(c);
        for (int i = 0; i < m_pWorkingList->GetSize(c); ++i)
            t[i] = m_pattern(c, m_pass, i);
    }
    GetDocument()->SetCurrentList(m_pWorkingList);
    return 1;
}

int CScopeTestSink::ProcessData() {
    const CDSPFFTDataList* input = GetDocument()->GetCurrentList();
    m_received.clear();
    for (int c = 0; c < input->GetNumChans(); ++c)
        m_received.push_back(TimeSamples(*input, c));
    return 1;
}

std::vector<double> TimeSamples(const CDSPFFTDataList& list, int channel) {
    const CDSPFFTData* block = list.GetAt(channel);
    const double* t = block->GetTimeObj()->GetDataPointer();
    return std::vector<double>(t, t + block->GetSize());
}

namespace {

const CModuleClass kSource{"Signal Generator", []() -> CDspView* { return new CScopeTestSource; }};
const CModuleClass kSink{"SoundIO", []() -> CDspView* { return new CScopeTestSink; }};

const CModuleRegistry& ScopeRegistry() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kSource);
        r.Register(&kSink);
        if (const CModuleClass* scope = GetBuiltInModules().Find("Oscilloscope")) r.Register(scope);
        return r;
    }();
    return registry;
}

} // namespace

CScopeTestApp::CScopeTestApp() : app(ScopeRegistry(), sink, clock) {}

CDspDoc* CScopeTestApp::NewProcess(const std::vector<std::string>& names) {
    CDspDoc* doc = app.OnFileNew();
    return ComposeProcess(app, doc, names);
}
