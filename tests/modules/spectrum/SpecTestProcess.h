#pragma once
// Processes for driving the spectrum analyser through a real application and document: a
// source step that writes known signals into both channels and publishes a reference, the
// built-in "Spectrum Analyzer", and a sink step that keeps what the analyser hands on.

#include "modules/spectrum/SpecView.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <functional>
#include <string>
#include <vector>

/** Sample i of channel c (0-based) on pass k (1-based). */
using CSpecPattern = std::function<double(int c, int k, int i)>;

/** "Signal Generator" of the test registry: writes the pattern into its working list and the
 *  reference pattern into its third list, and publishes both. */
class CSpecTestSource : public CDspView {
    AURIVO_DECLARE_SERIAL(CSpecTestSource)
public:
    int ProcessData() override;
    CSpecPattern m_pattern = [](int, int, int) { return 0.0; };
    CSpecPattern m_reference = [](int, int, int) { return 0.0; };
    int m_pass = 0;
};

/** "DataLogger" of the test registry: keeps the time and magnitude arrays it receives. */
class CSpecTestSink : public CDspView {
    AURIVO_DECLARE_SERIAL(CSpecTestSink)
public:
    int ProcessData() override;
    std::vector<std::vector<double>> m_time;
    std::vector<std::vector<double>> m_magnitude;
};

/** The test registry: the source, the sink and the built-in "Spectrum Analyzer". */
const CModuleRegistry& SpecTestRegistry();

/** An application on the test registry with a recording message sink and a fixed clock. */
struct CSpecTestApp {
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app;

    CSpecTestApp();
    /** A new document with these steps, composed through the process editor, with the given
     *  block size and sample rate. */
    CDspDoc* NewProcess(const std::vector<std::string>& names, int size = 1024,
                        double rate = 32000.0);
    /** The messages shown so far (the caller's text alone), then forgets them. */
    std::vector<std::string> TakeMessages();
};

template <typename T> T& StepAs(CDspDoc& doc, size_t step) {
    return dynamic_cast<T&>(*doc.GetView(step));
}

/** One array of a block as a vector. */
std::vector<double> Values(const CDSPData& array);

/** "Error Detected In\r\n" + "Step: <step> Spectrum Analyzer" + "\r\n" + text. */
std::string SpecError(int step, const std::string& text);
