#pragma once
// Processes for driving the oscilloscope through a real application and document: a source
// step that writes a known pattern into both channels on every pass, the built-in
// oscilloscope, and a sink step that keeps a copy of the block it receives.

#include "modules/scope/OscView.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <functional>
#include <string>
#include <vector>

/** Sample i of channel c (0-based) on pass k (1-based). */
using CScopePattern = std::function<double(int c, int k, int i)>;

/** "Signal Generator" of the test registry: writes the pattern into its working list. */
class CScopeTestSource : public CDspView {
    AURIVO_DECLARE_SERIAL(CScopeTestSource)
public:
    int ProcessData() override;
    CScopePattern m_pattern = [](int c, int k, int i) { return (c + 1) * 1000.0 + k * 10.0 + i; };
    int m_pass = 0;
};

/** "SoundIO" of the test registry: copies the time samples it receives. */
class CScopeTestSink : public CDspView {
    AURIVO_DECLARE_SERIAL(CScopeTestSink)
public:
    int ProcessData() override;
    std::vector<std::vector<double>> m_received;
};

/** An application whose registry holds the test source and sink and the built-in
 *  "Oscilloscope". */
struct CScopeTestApp {
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app;

    CScopeTestApp();
    /** A new document with these steps, composed through the process editor. */
    CDspDoc* NewProcess(const std::vector<std::string>& names);
};

template <typename T> T& StepAs(CDspDoc& doc, size_t step) {
    return dynamic_cast<T&>(*doc.GetView(step));
}

/** The time samples of one channel of a list. */
std::vector<double> TimeSamples(const CDSPFFTDataList& list, int channel);
