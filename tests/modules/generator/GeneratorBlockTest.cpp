// The blocks the generator hands on, pass by pass: continuity across blocks, the single modes,
// pulses, impulses, half squares, maximum-length sequences, noise and the sum of two steps.
#include "Generator.h"
#include "common/CaseName.h"

#include <bit>

namespace {

constexpr double kFs = 48000.0;
constexpr double r = 0.70710678118654752; // sin(pi / 4)
using Block = std::vector<double>;

// Settings "2:..." belong to a second generator step. Each pass lists channel 1's samples, then
// channel 2's where it is checked.
struct CBlockCase {
    const char* name;
    int n;
    std::vector<std::string> settings;
    std::vector<Block> passes;
};

class GeneratorBlocks : public testing::TestWithParam<CBlockCase> {};

TEST_P(GeneratorBlocks, HandOnTheStatedSamplesPassByPass) {
    const CBlockCase& c = GetParam();
    CModuleProcess p;
    const bool second = c.settings.back().starts_with("2:");
    MakeGenerators(p, c.n, kFs, second ? 2 : 1);
    for (const std::string& s : c.settings)
        s.starts_with("2:") ? p.Set(2, {s.substr(2)}) : p.Set(1, {s});
    for (size_t k = 0; k < c.passes.size(); ++k) {
        ASSERT_TRUE(p.Pass());
        Block out = p.Out(1);
        if (c.passes[k].size() > out.size()) {
            const Block ch2 = p.Out(2);
            out.insert(out.end(), ch2.begin(), ch2.end());
        }
        EXPECT_THAT(out, Near(c.passes[k], 1e-12)) << "pass " << k + 1;
    }
    EXPECT_EQ(p.TakeMessages(), std::vector<std::string>{});
}

const std::string kPulse2Of5 = "ch1.pulsestop=" + Text(2.5 / kFs);
const Block kPulse16{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Block kMls8{0, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0}; // and its complement
const Block kImpulses{1, 0, 0, 0, 0, 0, 0, 0, 0, .25, .25, .25, .25, .25, .25, .25};
const Block kCosine{.5, 0, -.5, 0, .5, .5, .5, .5};

const CBlockCase kBlocks[] = {
    {"SineAtQuarterRateRunsOn", 2, {"ch1.freq=12000"}, {{0, 1}, {0, -1}, {0, 1}}},
    {"HalfLevelSineAndCosine",
     8,
     {"ch1.freq=6000", "ch1.level=50", "ch2.wave=Cosine", "ch2.freq=6000"},
     {{0, r / 2, .5, r / 2, 0, -r / 2, -.5, -r / 2, 1, r, 0, -r, -1, -r, 0, r}}},
    {"SingleCycleSineEveryBlock",
     8,
     {"ch1.freq=12000", "ch1.mode=Single Cycle"},
     {{0, 1, 0, -1, 0, 0, 0, 0}, {0, 1, 0, -1, 0, 0, 0, 0}}},
    {"SingleCycleCosineRestsAtItsLevel",
     8,
     {"ch1.wave=Cosine", "ch1.freq=12000", "ch1.mode=Single Cycle", "ch1.level=50"},
     {kCosine, kCosine}},
    // A period of 5 samples, inside the pulse for the first 2 (and the sample at 2.5).
    {"SingleCyclePulseOnePeriodPerBlock",
     16,
     {"ch1.wave=DC+ Pulse", "ch1.mode=Single Cycle", "ch1.pulsestart=0", kPulse2Of5,
      "ch1.pulseperiod=" + Text(5.0 / kFs)},
     {kPulse16, kPulse16}},
    // Three samples per period at phases 0, 2 pi / 3, 4 pi / 3; inside the pulse below pi.
    {"PulsePeriodRunsOnAcrossBlocks",
     4,
     {"ch1.wave=AC Pulse", "ch1.pulsestart=0", "ch1.pulsestop=" + Text(1.5 / kFs),
      "ch1.pulseperiod=" + Text(3.0 / kFs)},
     {{1, 1, -1, 1}, {1, -1, 1, 1}, {-1, 1, 1, -1}}},
    {"ImpulsesMarkEveryBlockStart",
     8,
     {"ch1.wave=Impulse", "ch2.wave=Impulse180", "ch2.level=25"},
     {kImpulses, kImpulses}},
    {"SequenceOf8AndComplement", 8, {"ch1.wave=MLS", "ch2.wave=MLS180"}, {kMls8, kMls8, kMls8}},
    {"SecondStepAddsToTheIncomingBlock",
     8,
     {"ch1.freq=12000", "ch1.level=50", "2:ch1.wave=Impulse", "2:ch1.level=25"},
     {{.25, .5, 0, -.5, 0, .5, 0, -.5}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, GeneratorBlocks, testing::ValuesIn(kBlocks), CaseName());

TEST(GeneratorBlock, SingleShotWaitsForResetThenEmitsOneCycleAndRests) {
    CModuleProcess p;
    MakeGenerators(p, 8, kFs);
    p.Set(1, {"ch1.freq=12000", "ch1.mode=Single Shot"});
    const Block silence(8, 0.0);
    const CControlState& button = ControlState(p.Step(1), "ch1.reset");
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near(silence));
    EXPECT_TRUE(button.text == "Reset" && button.enabled);
    p.Set(1, {"ch1.reset=1"});
    EXPECT_TRUE(button.text == "Run" && !button.enabled);
    EXPECT_TRUE(p.Doc().IsRunning()) << "re-arming does not stop the run";
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near({0, 1, 0, -1, 0, 0, 0, 0}));
    EXPECT_TRUE(button.text == "Reset" && button.enabled);
    ASSERT_TRUE(p.Pass());
    EXPECT_THAT(p.Out(1), Near(silence));
}

// Every block size up to the largest transform gives a sequence of maximal length: each m-bit
// window of one period occurs once.
TEST(GeneratorBlock, EveryPowerOfTwoGivesAMaximalLengthSequence) {
    for (int n = 4; n <= 131072; n *= 2) {
        CModuleProcess p;
        MakeGenerators(p, n, kFs);
        p.Set(1, {"ch1.wave=MLS"});
        ASSERT_TRUE(p.Pass());
        const Block s = p.Out(1);
        const int period = n - 1, m = std::countr_zero(unsigned(n));
        std::vector<bool> seen(size_t(n), false);
        for (int i = 0; i < period; ++i) {
            unsigned window = 0;
            for (int j = 0; j < m; ++j)
                window |= unsigned(s[size_t((i + j) % period)] > 0.5) << j;
            ASSERT_FALSE(seen[window]) << "n " << n << ": window at " << i << " repeats";
            seen[window] = true;
        }
        EXPECT_EQ(s[size_t(n - 1)], 1.0);
    }
}

} // namespace
