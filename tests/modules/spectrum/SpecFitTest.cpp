// "Fit" picks the smallest Y scale that shows the whole trace of a signal of known levels.
#include "SpecFixture.h"

#include <cmath>

namespace {

// Channel 1: 0.7 V at bin 33 with a 1 % second harmonic; channel 2 the same at half level.
// Linear axes fit the 0.7 V tone in 8 divisions (100 mV/div, 50 mV/div holds only 0.4 V).
// Decibel axes are centred on 0 dB and fit the lowest tone within 100 dB of the top: channel
// 2's harmonic at 20 log10(0.0035) = -49.1 dBVpk (-52.1 dBVrms) needs 20 dB/div, 10 dB/div
// reaching only 40 dB. Degrees have a single scale and keep it.
TEST_F(SpecFixture, FitChoosesTheSmallestScaleThatHoldsTheTrace) {
    Source().m_pattern = [this](int c, int, int i) {
        return (c == 0 ? 1.0 : 0.5) * (Tone(0.7, 33, i, n) + Tone(0.007, 66, i, n));
    };
    for (const auto& [yaxis, scale] : {std::pair{"Vpk.", "100 mVpk/Div"},
                                       {"Vrms", "100 mVrms/Div"},
                                       {"dBVpk.", "20.0dBVpk/Div"},
                                       {"dBVrms", "20.0dBVrms/Div"},
                                       {"Degrees", "45\xC2\xB0/Div"}}) {
        Set({std::string("yaxis=") + yaxis, "window=None"});
        RunOnce();
        // From the finest scale, so Fit has to climb; and again from the coarsest.
        for (const char* from : {"scaledn", "scaleup"}) {
            for (int i = 0; i < 25; ++i)
                Set({from});
            Set({"fit"});
            EXPECT_EQ(ControlState(Analyser(), "scale").text, scale) << yaxis << " " << from;
        }
    }
}

} // namespace
