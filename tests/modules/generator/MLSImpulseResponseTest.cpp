// The generator's maximum-length sequence and the fast Hadamard transform together recover a
// known impulse response from a circularly convolved recording.
#include "GeneratorHarness.h"

namespace {

struct CSystem {
    int n;
    int delay;
};

void PrintTo(const CSystem& s, std::ostream* os) {
    *os << "N " << s.n << " delay " << s.delay;
}

class MLSImpulseResponse : public testing::TestWithParam<CSystem> {};

TEST_P(MLSImpulseResponse, RecoversTheTapsAtTheirLags) {
    const auto [n, d] = GetParam();
    CGeneratorHarness h;
    h.NewProcess(n, 48000.0);
    h.Set({"ch1.wave=MLS"});
    ASSERT_TRUE(h.doc->OnEditRun());
    const std::vector<double> mls = h.Pass();
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
                         testing::Values(CSystem{8, 0}, CSystem{16, 3}, CSystem{1024, 0},
                                         CSystem{1024, 100}, CSystem{4096, 4093}));

} // namespace
