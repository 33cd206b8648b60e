// The "Pink" wave, measured on the generated blocks with a transform of their own: equal power
// in every octave, the level as the peak, a new block every pass, and the crest factor the
// generator reads out of each block it played.
#include "Generator.h"

#include "base/NumberText.h"
#include "dsp/FFTPlan.h"

#include <algorithm>
#include <cmath>

namespace {

// Power per octave from 25 Hz to 12.8 kHz: the octaves' bins sum 1 / k to ln 2 within 1 / (2 * 34)
// of their lowest bin, under 0.1 dB; white noise rises 3 dB per octave, red noise falls 3.
// The crest factor, peak over rms, is that of the very block played (each pass's differs), on
// the readouts and on the channel's bar, and of no wave but pink.
TEST(Pink, EqualPowerPerOctaveAndThePeakIsTheLevel) {
    constexpr int kN = 65536;
    constexpr double kFs = 48000.0;
    CModuleProcess p;
    MakeGenerators(p, kN, kFs);
    p.Set(1, {"ch1.wave=Pink", "ch1.level=50", "ch2.wave=Pink", "ch2.level=100"});
    std::vector<double> first;
    std::vector<std::string> crests;
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(p.Pass()) << testing::PrintToString(p.TakeMessages());
        const std::vector<double> x = p.Out(1);
        ASSERT_EQ(x.size(), size_t(kN));
        const std::vector<CReadoutValue> readouts = p.Step(1).GetReadoutValues();
        ASSERT_EQ(readouts.size(), 2u);
        for (int c : {1, 2}) {
            long double squares = 0.0L, top = 0.0L;
            for (double v : p.Out(c)) {
                squares += (long double)v * v;
                top = std::max(top, std::fabs((long double)v));
            }
            const std::string crest =
                FormatText("%.1f dB", double(20.0L * std::log10(top / std::sqrt(squares / kN))));
            EXPECT_EQ(readouts[size_t(c - 1)].channel, c);
            EXPECT_EQ(readouts[size_t(c - 1)].Text(), "Crest: " + crest);
            EXPECT_EQ(ControlState(p.Step(1), "ch" + std::to_string(c) + ".crest").text, crest);
            crests.push_back(crest);
        }
        double peak = 0.0;
        for (double v : x)
            peak = std::max(peak, std::fabs(v));
        EXPECT_NEAR(peak, 0.5, 1e-12);
        std::vector<double> re(kN / 2 + 1), im(kN / 2 + 1);
        CFFTPlan::ForSize(kN)->Forward(x.data(), kN, nullptr, re.data(), im.data());
        std::vector<double> octaves;
        for (double f = 25.0; 2 * f <= kFs / 2; f *= 2) {
            double power = 0.0;
            for (int k = int(std::ceil(f * kN / kFs)); k < 2 * f * kN / kFs; ++k)
                power += re[size_t(k)] * re[size_t(k)] + im[size_t(k)] * im[size_t(k)];
            octaves.push_back(10.0 * std::log10(power));
        }
        for (double db : octaves)
            EXPECT_NEAR(db, octaves.back(), 0.1);
        if (pass == 0) first = x;
        EXPECT_EQ(x == first, pass == 0);
        EXPECT_NE(p.Out(2), x);
    }
    EXPECT_NE(crests[0], crests[2]) << "a new block has a crest of its own";
    p.Set(1, {"ch2.wave=Sine"});
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(p.Step(1).GetReadoutValues().size(), 1u);
    EXPECT_EQ(ControlState(p.Step(1), "ch2.crest").text, "--");
}

} // namespace
