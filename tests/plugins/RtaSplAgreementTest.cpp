// The RTA's A-weighted overall level and the SPL Meter's LAeq read the same noise alike: the
// analyser weights FFT bins by the standard's curve, the meter filters sample by sample, so
// agreement within 0.1 dB checks both weightings and both level scales against each other.

#include "modules/rta/RtaView.h"

#include "SplMeter.h"
#include "common/ModuleProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(RtaAndSplMeter, AWeightedOverallLevelAgreesWithLAeq) {
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"Signal Generator", "RTA"}, 16384, 48000.0));
    p.Set(1, {"ch1.wave=White", "ch1.level=50", "ch2.wave=Sine", "ch2.freq=250"});
    // 1000 mV/Pa: a volt is a pascal, as the meter is told below.
    p.Set(2, {"weighting=A", "avg=Leq", "unit=dB SPL", "sens=1000"});
    CSplChannelMeter meters[2];
    for (CSplChannelMeter& meter : meters)
        meter.Start(EFrequencyWeighting::A, ETimeWeighting::Fast, 48000.0, 1.0);
    for (int pass = 0; pass < 24; ++pass) {
        ASSERT_TRUE(p.Pass());
        for (int c = 0; c < 2; ++c) {
            const std::vector<double> block = p.Out(c + 1);
            meters[c].Process(block.data(), block.size());
        }
    }
    const CRtaView& rta = p.Step<CRtaView>(2);
    for (int c = 0; c < 2; ++c)
        EXPECT_NEAR(rta.GetOverallLevel(c), meters[c].Levels().leq, 0.1) << c;
}

} // namespace
