#pragma once
// The analyser between a pattern source and a sink, run through the headless session.

#include "common/ModuleProcess.h"
#include "common/PatternModules.h"

#include "modules/spectrum/SpecView.h"

#include <cmath>
#include <numbers>

constexpr double kTwoPi = 2.0 * std::numbers::pi;

/** A tone of amplitude a at bin k of an n-point block, sample i. */
inline double Tone(double a, double k, int i, int n) {
    return a * std::sin(kTwoPi * k * i / n);
}

class SpecFixture : public testing::Test {
protected:
    CModuleProcess p{PatternRegistry()};
    int n = 1024;

    void SetUp() override { Make(); }
    /** Source, analyser and sink with blocks of `size` samples at `rate`. */
    void Make(int size = 1024, double rate = 32000.0) {
        n = size;
        ASSERT_TRUE(p.Create({"Signal Generator", "Spectrum Analyzer", "DataLogger"}, size, rate));
    }
    CPatternSource& Source() { return p.Step<CPatternSource>(1); }
    CSpecView& Analyser() { return p.Step<CSpecView>(2); }
    CPatternSink& Sink() { return p.Step<CPatternSink>(3); }
    /** The displayed magnitude of a 0-based channel. */
    const double* Shown(int channel) {
        return Analyser().GetDisplayList()->GetFreqObj(channel)->GetDataPointer();
    }
    void Set(const std::vector<std::string>& settings) { p.Set(2, settings); }
    /** One pass, then stopped. */
    void RunOnce() {
        ASSERT_TRUE(p.Pass()) << testing::PrintToString(p.TakeMessages());
        p.Doc().OnEditStop();
    }
};
