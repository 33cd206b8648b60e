// "Peak Hold": the largest sample magnitude of each channel since the run started. The block
// goes on to the next step unchanged.
#include <aurivo/PlugIn.h>

#include "base/NumberText.h"
#include "dsp/DSPFFTDataList.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <array>
#include <cmath>

class CPeakHoldView : public CDspView {
    AURIVO_DECLARE_SERIAL(CPeakHoldView)
public:
    int StartRun() override {
        m_peaks.fill(0.0);
        return 1;
    }
    int ProcessData() override {
        CDSPFFTDataList* block = GetDocument() ? GetDocument()->GetCurrentList() : nullptr;
        if (!block) return 0;
        for (int c = 0; c < std::min(block->GetNumChans(), 2); ++c) {
            const double* samples = block->GetTimeData(c);
            for (int32_t i = 0; i < block->GetSize(c); ++i)
                m_peaks[size_t(c)] = std::max(m_peaks[size_t(c)], std::fabs(samples[i]));
        }
        return 1;
    }
    std::vector<CReadoutValue> GetReadoutValues() const override {
        return {{1, "Ch1 peak", FormatText("%.4g V", m_peaks[0])},
                {2, "Ch2 peak", FormatText("%.4g V", m_peaks[1])}};
    }

private:
    std::array<double, 2> m_peaks{};
};

AURIVO_IMPLEMENT_DYNAMIC(CPeakHoldView, RUNTIME_CLASS(CDspView));

AURIVO_PLUGIN_MODULE(CPeakHoldView, "Peak Hold")
