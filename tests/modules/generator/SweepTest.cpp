// Sweeps: the instantaneous frequency, read from the phase steps of an up ramp (whose value is
// -1 + phase / pi), follows each law from the start to the stop frequency within one sweep and
// starts again every sweep length, across block boundaries.
#include "Generator.h"
#include "common/CaseName.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr double kFs = 48000.0;
constexpr double kStart = 1000.0;
constexpr double kStop = 5000.0;
constexpr int kSweepLength = 300; // samples; not a divisor of the block size

struct CLaw {
    const char* name;
    const char* mode;
    // Frequency in Hz at sweep position c (1 .. S) of a sweep of S samples.
    std::function<double(double c, double s)> frequency;
};

class SweepLaws : public testing::TestWithParam<CLaw> {};

TEST_P(SweepLaws, FrequencyFollowsTheLawAndRestartsEverySweep) {
    const CLaw& law = GetParam();
    CModuleProcess p;
    MakeGenerators(p, 1024, kFs);
    p.Set(1, {"ch1.wave=Up Ramp", std::string("ch1.mode=") + law.mode,
              "ch1.sweepstart=" + Text(kStart), "ch1.sweepstop=" + Text(kStop),
              "ch1.sweeptime=" + Text(kSweepLength / kFs)});
    std::vector<double> phase;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(p.Pass());
        for (double v : p.Out(1))
            phase.push_back(std::numbers::pi * (v + 1.0));
    }

    std::vector<double> frequency(phase.size() - 1, 0.0);
    for (size_t i = 0; i + 1 < phase.size(); ++i) {
        const double c = double(i % kSweepLength + 1);
        if (c == kSweepLength) {
            ASSERT_NEAR(phase[i + 1], 0.0, 1e-9) << "the sweep restarts after sample " << i;
            continue;
        }
        const double step = std::remainder(phase[i + 1] - phase[i], 2 * std::numbers::pi);
        frequency[i] =
            (step < 0 ? step + 2 * std::numbers::pi : step) * kFs / (2 * std::numbers::pi);
        ASSERT_NEAR(frequency[i], law.frequency(c, kSweepLength), 1e-6) << "sample " << i;
    }
}

const double kSpan = kStop - kStart;

INSTANTIATE_TEST_SUITE_P(
    Modes, SweepLaws,
    testing::Values(
        CLaw{"Lin", "Lin Sweep", [](double c, double s) { return kStart + c / s * kSpan; }},
        CLaw{"Log10Up", "Log10Up Swp",
             [](double c, double s) { return kStart + std::log(c) / std::log(s) * kSpan; }},
        CLaw{"Log10Dn", "Log10Dn Swp",
             [](double c, double s) { return kStop - std::log(c) / std::log(s) * kSpan; }},
        CLaw{"Exp10Up", "Exp10Up Swp",
             [](double c, double s) { return kStop - std::pow(10.0, c / s - 1) * kSpan; }},
        CLaw{"Exp10Dn", "Exp10Dn Swp",
             [](double c, double s) { return kStart + std::pow(10.0, c / s - 1) * kSpan; }}),
    CaseName());

} // namespace
