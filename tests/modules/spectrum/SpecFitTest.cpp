// "Fit" picks the smallest Y scale that shows the whole trace of a signal of known levels.
#include "SpecFixture.h"

#include "common/CaseName.h"

#include <cmath>

namespace {

struct CFitCase {
    std::string name;
    const char* yaxis;
    const char* scale; // the scale text Fit must leave
};

// Channel 1: 0.7 V at bin 33 with a 1 % second harmonic; channel 2 the same at half level.
// Linear axes fit the 0.7 V tone in 8 divisions (100 mV/div, 50 mV/div holds only 0.4 V).
// Decibel axes are centred on 0 dB and fit the lowest tone within 100 dB of the top: channel
// 2's harmonic at 20 log10(0.0035) = -49.1 dBVpk (-52.1 dBVrms) needs 20 dB/div, 10 dB/div
// reaching only 40 dB. Degrees have a single scale and keep it.
const CFitCase kCases[] = {
    {"Vpk", "Vpk.", "100 mVpk/Div"},          {"Vrms", "Vrms", "100 mVrms/Div"},
    {"dBVpk", "dBVpk.", "20.0dBVpk/Div"},     {"dBVrms", "dBVrms", "20.0dBVrms/Div"},
    {"Degrees", "Degrees", "45\xC2\xB0/Div"},
};

class SpecFit : public SpecFixture, public testing::WithParamInterface<CFitCase> {};

TEST_P(SpecFit, ChoosesTheSmallestScaleThatHoldsTheTrace) {
    Source().m_pattern = [this](int c, int, int i) {
        return (c == 0 ? 1.0 : 0.5) * (Tone(0.7, 33, i, n) + Tone(0.007, 66, i, n));
    };
    Set({std::string("yaxis=") + GetParam().yaxis, "window=None"});
    RunOnce();
    // From the finest scale, so Fit has to climb; and again from the coarsest.
    for (const char* from : {"scaledn", "scaleup"}) {
        for (int i = 0; i < 25; ++i)
            Set({from});
        Set({"fit"});
        const CControlModel& bar = Analyser().GetControls();
        EXPECT_EQ(bar.GetState(size_t(bar.Find("scale"))).text, GetParam().scale) << from;
    }
}

INSTANTIATE_TEST_SUITE_P(YAxes, SpecFit, testing::ValuesIn(kCases), CaseName());

} // namespace
