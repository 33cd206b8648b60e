#include "PatternModules.h"
#include "DspTestUtil.h"

#include "modules/BuiltInModules.h"
#include "process/DspDoc.h"

AURIVO_IMPLEMENT_DYNAMIC(CPatternSource, RUNTIME_CLASS(CDspView));
AURIVO_IMPLEMENT_DYNAMIC(CPatternSink, RUNTIME_CLASS(CDspView));

int CPatternSource::ProcessData() {
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

int CPatternSink::ProcessData() {
    const CDSPFFTDataList* input = GetDocument()->GetCurrentList();
    m_time.clear();
    m_magnitude.clear();
    for (int c = 0; c < input->GetNumChans(); ++c) {
        m_time.push_back(Values(input->GetAt(c)->GetTimeObj()));
        m_magnitude.push_back(Values(input->GetAt(c)->GetFreqObj()));
    }
    return 1;
}

const CModuleRegistry& PatternRegistry() {
    static const CModuleClass source{"Signal Generator",
                                     []() -> CDspView* { return new CPatternSource; }};
    static const CModuleClass sink{"DataLogger", []() -> CDspView* { return new CPatternSink; }};
    static const CModuleRegistry registry = [] {
        const CModuleRegistry& builtIn = GetBuiltInModules();
        CModuleRegistry r;
        r.Register(builtIn.Find("WAV File Open"));
        r.Register(&source);
        r.Register(builtIn.Find("Oscilloscope"));
        r.Register(builtIn.Find("Spectrum Analyzer"));
        r.Register(&sink);
        r.Register(builtIn.Find("WAV File Save"));
        return r;
    }();
    return registry;
}
