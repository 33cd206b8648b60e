#pragma once
// Stand-ins around a built-in module under test: a source step that writes a known pattern into
// both channels on every pass and publishes a reference block, and a sink step that keeps what
// it receives. Their registry holds them with the built-in oscilloscope and analyser.

#include "process/DspView.h"
#include "process/ModuleRegistry.h"

#include <functional>
#include <vector>

/** Sample i of channel c (0-based) on pass k (1-based). */
using CPattern = std::function<double(int c, int k, int i)>;

/** "Signal Generator" of the pattern registry. */
class CPatternSource : public CDspView {
    AURIVO_DECLARE_SERIAL(CPatternSource)
public:
    int ProcessData() override;
    bool PublishesReferenceSignal() const override { return true; }
    CPattern m_pattern = [](int c, int k, int i) { return (c + 1) * 1000.0 + k * 10.0 + i; };
    CPattern m_reference = [](int, int, int) { return 0.0; };
    int m_pass = 0;
};

/** "DataLogger" of the pattern registry: the time and magnitude arrays of every channel. */
class CPatternSink : public CDspView {
    AURIVO_DECLARE_SERIAL(CPatternSink)
public:
    int ProcessData() override;
    std::vector<std::vector<double>> m_time, m_magnitude;
};

/** The source, the sink, "Oscilloscope", "Spectrum Analyzer" and the two WAV modules. */
const CModuleRegistry& PatternRegistry();
