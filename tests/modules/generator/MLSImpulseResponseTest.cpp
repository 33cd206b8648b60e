// The generator's maximum-length sequence and the fast Hadamard transform together recover a
// known impulse response from a circularly convolved recording.
#include "Generator.h"
#include "common/CaseName.h"

namespace {

struct CSystem {
    const char* name;
    int n;
    int delay;
};

class MLSImpulseResponse : public testing::TestWithParam<CSystem> {};

TEST_P(MLSImpulseResponse, RecoversTheTapsAtTheirLags) {
    const auto [name, n, d] = GetParam();
    CModuleProcess p;
    MakeGenerators(p, n, 48000.0);
    p.Set(1, {"ch1.wave=MLS"});
    ASSERT_TRUE(p.Pass());
    const std::vector<double> mls = p.Out(1);
    const int period = n - 1;

    // The recording: the sequence through 1, 0.5, -0.25 delayed by d, over one period.
    const std::vector<double> taps{1.0, 0.5, -0.25};
    CDSPFFTData reference, recording;
    ASSERT_TRUE(reference.Create(CDSPData::kTimeBlock, n, 48000.0));
    ASSERT_TRUE(recording.Create(CDSPData::kTimeBlock, n, 48000.0));
    std::copy(mls.begin(), mls.end(), reference.GetTimeObj()->GetDataPointer());
    double* y = recording.GetTimeObj()->GetDataPointer();
    for (int i = 0; i < period; ++i)
        for (size_t k = 0; k < taps.size(); ++k)
            y[i] += taps[k] * mls[size_t(((i - d - int(k)) % period + period) % period)];

    std::vector<int32_t> inputTags, outputTags;
    ASSERT_TRUE(recording.DoFHTReorderMatrix(inputTags, outputTags, reference));
    ASSERT_TRUE(recording.DoFHT(inputTags, outputTags));

    // Each lag l holds (N/2 h[l - d] - sum h) / P: the unipolar sequence correlates with its
    // bipolar form to N/2 - 1 at lag 0 and to -1 elsewhere.
    const double sum = 0.5 + 1.0 - 0.25;
    const double* x = recording.GetTimeObj()->GetDataPointer();
    for (int l = 0; l < period; ++l) {
        const int k = ((l - d) % period + period) % period;
        const double tap = k < int(taps.size()) ? taps[size_t(k)] : 0.0;
        ASSERT_NEAR(x[l], (n / 2 * tap - sum) / period, 1e-12) << "lag " << l;
    }
    EXPECT_EQ(x[n - 1], x[n - 2]);
}

INSTANTIATE_TEST_SUITE_P(Systems, MLSImpulseResponse,
                         testing::Values(CSystem{"N8", 8, 0}, CSystem{"N16Delay3", 16, 3},
                                         CSystem{"N1024Delay100", 1024, 100},
                                         CSystem{"N4096Delay4093", 4096, 4093}),
                         CaseName());

} // namespace
