#pragma once
// Modules for exercising the process engine: each records the calls it receives in a shared log
// and can be told to refuse a start, fail or stop the run in a step. They carry one stored
// setting so process files have something of their own to write.

#include "common/ModuleProcess.h"

#include "process/DspView.h"
#include "process/ModuleRegistry.h"

#include <string>
#include <vector>

std::vector<std::string>& CallLog();

class CTestModuleView : public CDspView {
    AURIVO_DECLARE_SERIAL(CTestModuleView)
public:
    CTestModuleView();
    bool OnInitialModuleSetup() override;
    int StartRun() override;
    int ProcessData() override;
    int EndRun() override;
    void ShowCurrentParams() override;
    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::vector<CSettingValue> GetSettings() const override;
    void Serialize(CArchive& ar) override;

    int32_t m_level = 50;       // the stored setting; ProcessData fails while it is negative
    bool m_refuseStart = false; // StartRun returns 0 on a real start
    int m_failAtCall = 0;       // ProcessData fails on this call (1-based), 0 = never
    int m_stopAtCall = 0;       // ProcessData stops the run on this call, as a Stop pressed
    int m_reshapeAtCall = 0;    // ProcessData replaces the working list on this call
    int m_processCalls = 0;
    int m_stepSeenAtStart = -1;  // the document's current step during the last StartRun
    bool m_startingSeen = false; // the starting flag during the last StartRun
    const CDSPFFTDataList* m_inputSeen = nullptr;
    int32_t m_inputSize = 0; // block size of the list handed to the last ProcessData

protected:
    bool OnControlChanged(const std::string& id) override;

private:
    std::string Tag(const char* what) const;
};

/** A second module class, so process files hold two kinds of module record. */
class CTestScopeView : public CTestModuleView {
    AURIVO_DECLARE_SERIAL(CTestScopeView)
public:
    void Serialize(CArchive& ar) override;
};

/** A registry with test modules under the names "Signal Generator" (CTestModuleView),
 *  "Oscilloscope" (CTestScopeView) and "SoundIO" (CTestModuleView). */
const CModuleRegistry& TestRegistry();

/** A new process of test modules in `t` (on TestRegistry()), with an empty call log. */
inline CDspDoc* NewTestProcess(CModuleProcess& t, const std::vector<std::string>& modules) {
    CDspDoc* doc = t.Create(modules);
    CallLog().clear();
    return doc;
}

CTestModuleView& ModuleAt(CDspDoc& doc, size_t step);
