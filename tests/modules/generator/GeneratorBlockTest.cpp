// The blocks the generator hands on, pass by pass: continuity across blocks, the single modes,
// impulses, half squares, maximum-length sequences, noise and the sum with an incoming block.
#include "GeneratorHarness.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace {

constexpr double kFs = 48000.0;

class GeneratorBlocks : public testing::Test {
protected:
    CGeneratorHarness h;
};

TEST_F(GeneratorBlocks, SineAtQuarterRateContinuesAcrossBlocks) {
    h.NewProcess(2, kFs);
    h.Set({"ch1.freq=12000"});
    ASSERT_TRUE(h.doc->OnEditRun());
    ExpectSamples(h.Pass(), {0.0, 1.0});
    ExpectSamples(h.Pass(), {0.0, -1.0});
    ExpectSamples(h.Pass(), {0.0, 1.0});
    EXPECT_TRUE(h.Messages().empty());
}

TEST_F(GeneratorBlocks, ConstPhsRestartsEveryBlockAtPhaseZero) {
    h.NewProcess(2, kFs);
    h.Set({"ch1.freq=12000", "ch1.mode=Const Phs"});
    ASSERT_TRUE(h.doc->OnEditRun());
    for (int pass = 0; pass < 3; ++pass)
        ExpectSamples(h.Pass(), {0.0, 1.0});
}

TEST_F(GeneratorBlocks, EighthRateSineAtHalfLevelOnBothChannels) {
    h.NewProcess(8, kFs);
    h.Set({"ch1.freq=6000", "ch1.level=50", "ch2.wave=Cosine", "ch2.freq=6000"});
    ASSERT_TRUE(h.doc->OnEditRun());
    h.Pass();
    std::vector<double> sine, cosine;
    for (int i = 0; i < 8; ++i) {
        sine.push_back(0.5 * std::sin(i * std::numbers::pi / 4));
        cosine.push_back(std::cos(i * std::numbers::pi / 4));
    }
    ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 1), sine);
    ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2), cosine);
}

// At half the sample rate the phase alternates between 0 and pi: a cosine alternates and a
// ramp stays within full scale however long the run.
TEST_F(GeneratorBlocks, HalfTheSampleRateIsAcceptedAndStaysInRange) {
    h.NewProcess(4, kFs);
    h.Set({"ch1.wave=Cosine", "ch1.freq=24000", "ch2.wave=Up Ramp", "ch2.freq=24000"});
    ASSERT_TRUE(h.doc->OnEditRun());
    for (int pass = 0; pass < 1000; ++pass) {
        ExpectSamples(h.Pass(1), {1.0, -1.0, 1.0, -1.0}, 1e-9);
        for (double v : CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2)) {
            ASSERT_GE(v, -1.0) << "pass " << pass;
            ASSERT_LE(v, 1.0) << "pass " << pass;
        }
    }
    EXPECT_TRUE(h.Messages().empty());
}

TEST_F(GeneratorBlocks, SingleShotWaitsForResetThenEmitsOneCycleAndRests) {
    h.NewProcess(8, kFs);
    h.Set({"ch1.freq=12000", "ch1.mode=Single Shot"});
    ASSERT_TRUE(h.doc->OnEditRun());
    const std::vector<double> silence(8, 0.0);
    ExpectSamples(h.Pass(), silence);
    ExpectSamples(h.Pass(), silence);
    const CControlState* button = &StateOf(h.View(), "ch1.reset");
    EXPECT_EQ(button->text, "Reset");
    EXPECT_TRUE(button->enabled);

    h.Set({"ch1.reset=1"});
    EXPECT_EQ(button->text, "Run");
    EXPECT_FALSE(button->enabled);
    EXPECT_TRUE(h.doc->IsRunning()) << "re-arming does not stop the run";
    ExpectSamples(h.Pass(), {0.0, 1.0, 0.0, -1.0, 0.0, 0.0, 0.0, 0.0});
    EXPECT_EQ(button->text, "Reset");
    EXPECT_TRUE(button->enabled);
    ExpectSamples(h.Pass(), silence);
}

TEST_F(GeneratorBlocks, SingleCycleCosineRestsAtTheLevelAndRearmsEveryBlock) {
    h.NewProcess(8, kFs);
    h.Set({"ch1.wave=Cosine", "ch1.freq=12000", "ch1.mode=Single Cycle", "ch1.level=50"});
    ASSERT_TRUE(h.doc->OnEditRun());
    for (int pass = 0; pass < 2; ++pass)
        ExpectSamples(h.Pass(), {0.5, 0.0, -0.5, 0.0, 0.5, 0.5, 0.5, 0.5});
}

TEST_F(GeneratorBlocks, SingleCyclePulseEmitsOneWholePeriodEveryBlock) {
    h.NewProcess(16, kFs);
    // A period of 5 samples, inside the pulse for the first 2.
    h.Set({"ch1.wave=DC+ Pulse", "ch1.mode=Single Cycle", "ch1.pulsestart=0",
           "ch1.pulsestop=" + Text(2.5 / kFs), "ch1.pulseperiod=" + Text(5.0 / kFs)});
    ASSERT_TRUE(h.doc->OnEditRun());
    const std::vector<double> expected{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int pass = 0; pass < 3; ++pass)
        ExpectSamples(h.Pass(), expected);
}

TEST_F(GeneratorBlocks, PulsePeriodRunsOnAcrossBlocks) {
    h.NewProcess(4, kFs);
    h.Set({"ch1.wave=AC Pulse", "ch1.pulsestart=0", "ch1.pulsestop=" + Text(1.5 / kFs),
           "ch1.pulseperiod=" + Text(3.0 / kFs)});
    ASSERT_TRUE(h.doc->OnEditRun());
    std::vector<double> samples;
    for (int pass = 0; pass < 3; ++pass)
        for (double v : h.Pass())
            samples.push_back(v);
    // Three samples per period at phases 0, 2 pi / 3, 4 pi / 3; inside the pulse below pi.
    ExpectSamples(samples, {1, 1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1});
}

TEST_F(GeneratorBlocks, ImpulsesMarkTheStartOfEveryBlock) {
    h.NewProcess(8, kFs);
    h.Set({"ch1.wave=Impulse", "ch2.wave=Impulse180", "ch2.level=25"});
    ASSERT_TRUE(h.doc->OnEditRun());
    for (int pass = 0; pass < 2; ++pass) {
        ExpectSamples(h.Pass(1), {1, 0, 0, 0, 0, 0, 0, 0});
        ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2),
                      {0, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25, 0.25});
    }
}

TEST_F(GeneratorBlocks, HalfSquaresOfEight) {
    h.NewProcess(8, kFs);
    h.Set({"ch1.wave=Half Square", "ch2.wave=Half Square180"});
    ASSERT_TRUE(h.doc->OnEditRun());
    ExpectSamples(h.Pass(1), {1, 1, 1, 1, -1, -1, -1, -1});
    ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2),
                  {-1, -1, -1, -1, 1, 1, 1, 1});
}

struct CMLSCase {
    int n;
    std::vector<double> mls;
};

void PrintTo(const CMLSCase& c, std::ostream* os) {
    *os << "N " << c.n;
}

class GeneratorMLS : public testing::TestWithParam<CMLSCase> {};

TEST_P(GeneratorMLS, SequenceAndComplementAreTheSameInEveryBlock) {
    const CMLSCase& c = GetParam();
    CGeneratorHarness h;
    h.NewProcess(c.n, kFs);
    h.Set({"ch1.wave=MLS", "ch2.wave=MLS180"});
    ASSERT_TRUE(h.doc->OnEditRun());
    std::vector<double> complement;
    for (double v : c.mls)
        complement.push_back(1.0 - v);
    for (int pass = 0; pass < 3; ++pass) {
        ExpectSamples(h.Pass(1), c.mls, 0.0);
        ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2), complement, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, GeneratorMLS,
                         testing::Values(CMLSCase{8, {0, 0, 0, 1, 0, 1, 1, 1}},
                                         CMLSCase{
                                             16, {0, 0, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 0, 1, 1}}),
                         [](const auto& info) { return "N" + std::to_string(info.param.n); });

// Every block size up to the largest transform gives a sequence of maximal length: each m-bit
// window of one period occurs once.
TEST(GeneratorMLSLength, EveryPowerOfTwoGivesAMaximalLengthSequence) {
    for (int n = 4; n <= 131072; n *= 2) {
        CGeneratorHarness h;
        h.NewProcess(n, kFs);
        h.Set({"ch1.wave=MLS"});
        ASSERT_TRUE(h.doc->OnEditRun());
        const std::vector<double> s = h.Pass();
        const int period = n - 1;
        const int m = std::countr_zero(unsigned(n));
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

TEST_F(GeneratorBlocks, WhiteNoiseIsUniformInRangeAndTheSameInEveryRun) {
    h.NewProcess(4096, kFs);
    h.Set({"ch1.wave=White"});
    ASSERT_TRUE(h.doc->OnEditRun());
    const std::vector<double> first = h.Pass();
    double sum = 0.0, squares = 0.0;
    for (double v : first) {
        ASSERT_GE(v, -1.0);
        ASSERT_LE(v, 1.0);
        sum += v;
        squares += v * v;
    }
    // Uniform on [-1, 1]: mean 0 and mean square 1/3; 4096 draws give a few percent.
    EXPECT_NEAR(sum / 4096, 0.0, 0.05);
    EXPECT_NEAR(squares / 4096, 1.0 / 3.0, 0.03);
    EXPECT_NE(first, h.Pass()) << "noise runs on from block to block";
    h.doc->OnEditStop();
    ASSERT_TRUE(h.doc->OnEditRun());
    EXPECT_EQ(h.Pass(), first) << "a new run starts from the same seed";
}

TEST_F(GeneratorBlocks, LaterStepAddsItsSignalToTheIncomingBlock) {
    h.NewProcess(8, kFs, 2);
    h.Set({"ch1.freq=12000", "ch1.level=50"}, 0);
    h.Set({"ch1.wave=Impulse", "ch1.level=25"}, 1);
    ASSERT_TRUE(h.doc->OnEditRun());
    const std::vector<double> out = h.Pass();
    ExpectSamples(out, {0.25, 0.5, 0.0, -0.5, 0.0, 0.5, 0.0, -0.5});
    CSigGenView& second = h.View(1);
    EXPECT_EQ(h.doc->GetCurrentList(), second.GetWorkingList());
    EXPECT_EQ(h.doc->GetReferenceList(), second.GetThirdList());
    ExpectSamples(CGeneratorHarness::Samples(*second.GetThirdList(), 1), out, 0.0);
    EXPECT_EQ(second.GetDisplayList()->GetNumUsed(0), 8);
}

TEST_F(GeneratorBlocks, FirstStepPublishesItsListsWithoutAddingTheDocumentBlock) {
    h.NewProcess(8, kFs);
    // Whatever the document's own block holds does not reach the first step's output.
    std::fill_n(h.doc->GetDocumentList()->GetTimeData(0), 8, 7.0);
    h.Set({"ch1.wave=Impulse"});
    ASSERT_TRUE(h.doc->OnEditRun());
    ExpectSamples(h.Pass(), {1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(h.doc->GetCurrentList(), h.View().GetWorkingList());
    EXPECT_EQ(h.doc->GetReferenceList(), h.View().GetThirdList());
}

} // namespace
