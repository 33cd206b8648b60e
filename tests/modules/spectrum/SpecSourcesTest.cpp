// The analyser's distortion readouts whatever feeds it, against the truth of the signal: a WAV
// file played block by block (its padded last block is no measurement) and averaged noise, whose
// power the readouts must keep.
#include "SpecFixture.h"

#include "base/NumberText.h"
#include "common/TempFolder.h"
#include "common/WavBytes.h"

#include <random>

namespace {

using Lines = std::vector<std::string>;

double ReadoutValue(const Lines& lines, const std::string& label) {
    for (const std::string& line : lines)
        if (line.rfind(label + ": ", 0) == 0) return ParseDouble(line.substr(label.size() + 2));
    ADD_FAILURE() << label << " not among " << testing::PrintToString(lines);
    return 0.0;
}

// A stereo 16-bit file of `frames` frames of a bin-centred tone (bin k of blocks of n) with a
// second and a third harmonic.
std::vector<uint8_t> ToneFile(int frames, int n, int k, double a1, double a2, double a3) {
    std::vector<uint8_t> data;
    for (int i = 0; i < frames; ++i) {
        const double v = Tone(a1, k, i, n) + Tone(a2, 2 * k, i, n) + Tone(a3, 3 * k, i, n);
        const auto sample = LittleEndian(uint32_t(int16_t(std::lround(v * 32767.0))), 2);
        for (int c = 0; c < 2; ++c)
            data.insert(data.end(), sample.begin(), sample.end());
    }
    return RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, 48000, 16)), WavChunk("data", data)});
}

// Two seconds at 48 kHz in blocks of 4096: 23 whole blocks and a last one of 1792 samples that
// the file fills less than half; padded with silence it would read THD 1.6 % and THD+N 20 %.
TEST(SpecSources, AWavFileIsMeasuredBlockByBlockAndItsPaddedLastBlockIsNot) {
    constexpr int kN = 4096, kBin = 85; // 996.09375 Hz
    constexpr double a1 = 0.5, a2 = 0.005, a3 = 0.0025;
    CTempFolder folder;
    const std::string path = folder.File("tone.wav");
    PutBytes(path, ToneFile(96000, kN, kBin, a1, a2, a3));

    CModuleProcess p;
    ASSERT_TRUE(p.Create({"WAV File Open", "Spectrum Analyzer"}, kN, 48000));
    p.Set(1, {"file=" + path});
    p.Set(2, {"yaxis=THDVpk", "window=None", "ref1=0"});
    const double thd = std::hypot(a2, a3) / a1 * 100.0; // 1.1180 %
    // After the first block, and after the whole file (the run ends with it).
    for (const int passes : {1, 30}) {
        SCOPED_TRACE(passes);
        EXPECT_EQ(p.Session().Run(passes), std::min(passes, 24));
        const Lines lines = p.Step<CSpecView>(2).GetChannelTexts(0).readouts;
        // 16-bit quantisation is the only other content: 1/65534 of full scale at worst.
        EXPECT_NEAR(ReadoutValue(lines, "THD"), thd, 0.005);
        EXPECT_NEAR(ReadoutValue(lines, "THD+N"), thd, 0.01);
        EXPECT_NEAR(ReadoutValue(lines, "2nd Harm Dist"), a2 / a1 * 100.0, 0.005);
    }
}

// A tone of 0.5 with white Gaussian noise of RMS 0.001: THD+N = 0.001 / (0.5 / sqrt 2) =
// 0.2828 %. Averaging magnitudes would read it about 1 dB low (sqrt(pi/4) for noise bins).
TEST_F(SpecFixture, AveragedNoiseReadsItsTruePowerInTheDistortionReadouts) {
    Make(4096, 48000.0);
    constexpr double a1 = 0.5, sigma = 0.001;
    constexpr int kBin = 85;
    std::mt19937 random(12345);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<std::vector<double>> noise(80, std::vector<double>(size_t(n)));
    for (auto& block : noise)
        for (double& v : block)
            v = gauss(random);
    Source().m_pattern = [&](int, int pass, int i) {
        return Tone(a1, kBin, i, n) + noise[size_t(pass) % noise.size()][size_t(i)];
    };
    Set({"yaxis=THDVpk", "window=None", "ref1=0"});
    const double truth = sigma / (a1 / std::sqrt(2.0)) * 100.0;
    for (const char* average : {"1", "64"}) {
        SCOPED_TRACE(average);
        Set({std::string("avg=") + average});
        ASSERT_TRUE(p.Doc().OnEditRun());
        for (int pass = 0; pass < 72; ++pass)
            ASSERT_TRUE(p.Pass()) << testing::PrintToString(p.TakeMessages());
        p.Doc().OnEditStop();
        const double thdn = ReadoutValue(Analyser().GetChannelTexts(0).readouts, "THD+N");
        // One block's noise estimate scatters by about 1/sqrt(bins) (2 %); 64 blocks by less.
        EXPECT_NEAR(thdn / truth, 1.0, 0.04) << thdn << " % against " << truth << " %";
    }
}

} // namespace
