// Our WAV files against two other implementations: what the save module writes opens in
// libsndfile with its format, frame count and samples, also when the disk filled up half-way;
// what sox writes in every layout we read plays through the open module with its samples.
#include "common/CaseName.h"
#include "common/ModuleProcess.h"
#include "common/PatternModules.h"
#include "common/TempFolder.h"
#include "common/WavBytes.h"
#include "modules/wav/WavSaveView.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace {

constexpr int kBlock = 64;
constexpr double kRate = 8000.0;

// The test signal: a 1 kHz sine at half scale on channel 1, a ramp from -0.25 on channel 2.
double Signal(int channel, int frame) {
    return channel == 0 ? 0.5 * std::sin(2 * std::numbers::pi * 1000.0 * frame / kRate)
                        : -0.25 + frame / 400.0;
}

struct CSndFile {
    SF_INFO info{};
    SNDFILE* file;
    explicit CSndFile(const std::string& path) : file(sf_open(path.c_str(), SFM_READ, &info)) {}
    ~CSndFile() {
        if (file) sf_close(file);
    }
};

struct CWritten {
    std::string name;
    std::string bits, channels;
    int format; // libsndfile's sub-format
};

class WavWritten : public testing::TestWithParam<CWritten> {};

TEST_P(WavWritten, OpensInLibsndfileWithItsFormatFramesAndSamples) {
    CTempFolder folder;
    CModuleProcess p{PatternRegistry()};
    ASSERT_TRUE(p.Create({"Signal Generator", "WAV File Save"}, kBlock, kRate));
    p.Step<CPatternSource>(1).m_pattern = [](int c, int k, int i) {
        return Signal(c, (k - 1) * kBlock + i);
    };
    p.Set(2, {"file=" + folder.File("a.wav"), "rate=22050", "bits=" + GetParam().bits,
              "channels=" + GetParam().channels});
    for (int pass = 0; pass < 3; ++pass)
        ASSERT_TRUE(p.Pass());
    p.Doc().OnEditStop();

    CSndFile sf(folder.File("a.wav"));
    ASSERT_NE(sf.file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(sf.info.format, SF_FORMAT_WAV | GetParam().format);
    EXPECT_EQ(sf.info.samplerate, 22050);
    ASSERT_EQ(sf.info.channels, std::stoi(GetParam().channels));
    ASSERT_EQ(sf.info.frames, 3 * kBlock);
    std::vector<double> samples(size_t(sf.info.frames * sf.info.channels));
    ASSERT_EQ(sf_readf_double(sf.file, samples.data(), sf.info.frames), sf.info.frames);
    // Two steps of the sample size: our truncation plus libsndfile's 2^(bits-1) full scale; a
    // float's rounding.
    const double tolerance = GetParam().bits == "8"    ? 2.0 / 128
                             : GetParam().bits == "16" ? 2.0 / 32768
                                                       : 1e-7;
    for (int f = 0; f < 3 * kBlock; ++f)
        for (int c = 0; c < sf.info.channels; ++c)
            ASSERT_NEAR(samples[size_t(f * sf.info.channels + c)], Signal(c, f), tolerance)
                << f << " " << c;
}

INSTANTIATE_TEST_SUITE_P(Formats, WavWritten,
                         testing::Values(CWritten{"Mono8", "8", "1", SF_FORMAT_PCM_U8},
                                         CWritten{"Stereo8", "8", "2", SF_FORMAT_PCM_U8},
                                         CWritten{"Mono16", "16", "1", SF_FORMAT_PCM_16},
                                         CWritten{"Stereo16", "16", "2", SF_FORMAT_PCM_16},
                                         CWritten{"Stereo24", "24", "2", SF_FORMAT_PCM_24},
                                         CWritten{"Float", "32 float", "2", SF_FORMAT_FLOAT}),
                         CaseName());

TEST(WavWrittenHalfWay, AFullDiskLeavesTheBlocksWrittenSoFarInAValidFile) {
    CTempFolder folder;
    const std::string path = folder.File("cut.wav");
    CModuleProcess p{PatternRegistry()};
    ASSERT_TRUE(p.Create({"Signal Generator", "WAV File Save"}, kBlock, kRate));
    p.Set(2, {"file=" + path, "bits=16", "channels=2"});
    // The file size limit stands in for a full disk: the third block's write comes up short.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit = old;
    limit.rlim_cur = 44 + 2 * kBlock * 4 + 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool first = p.Pass(), second = p.Pass(), third = p.Pass();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(first && second);
    EXPECT_FALSE(third);
    EXPECT_THAT(p.TakeMessages(), testing::ElementsAre("Error writing to WAV file"));
    EXPECT_EQ(GetBytes(path).size(), 44u + 2 * kBlock * 4);
    CSndFile sf(path);
    ASSERT_NE(sf.file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(sf.info.frames, 2 * kBlock);
}

struct CSoxFormat {
    std::string name;
    std::string options; // sox's output options
    uint16_t tag;        // the format tag sox writes
    double tolerance;    // a step of the sample size, or float rounding
};

const CSoxFormat kSoxFormats[] = {
    // Our 8-bit scale is 1/127 against sox's 1/128: 0.5 reads as 0.504.
    {"Unsigned8", "-t wavpcm -e unsigned -b 8", 1, 0.5 / 127 + 1.0 / 128},
    {"Signed16", "-t wavpcm -e signed -b 16", 1, 1.0 / 32768},
    {"Signed24", "-t wavpcm -e signed -b 24", 1, 1.0 / 8388608},
    {"Signed24Extensible", "-t wav -e signed -b 24", 0xFFFE, 1.0 / 8388608},
    {"Signed32", "-t wavpcm -e signed -b 32", 1, 1.0 / 2147483648.0},
    {"Signed32Extensible", "-t wav -e signed -b 32", 0xFFFE, 1.0 / 2147483648.0},
    {"Float32", "-t wav -e floating-point -b 32", 3, 1e-7},
    {"Float64", "-t wav -e floating-point -b 64", 3, 1e-7},
};

class WavFromSox : public testing::TestWithParam<CSoxFormat> {};

TEST_P(WavFromSox, PlaysWithTheSamplesItWasGiven) {
    CTempFolder folder;
    std::vector<uint8_t> raw;
    for (int f = 0; f < kBlock; ++f)
        for (int c = 0; c < 2; ++c) {
            const float v = float(Signal(c, f));
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            raw = Joined(raw, LittleEndian(bits, 4));
        }
    PutBytes(folder.File("in.f32"), raw);
    const std::string command =
        std::string(AURIVO_SOX) + " -D -t raw -e floating-point -b 32 -c 2 -r 8000 '" +
        folder.File("in.f32") + "' " + GetParam().options + " '" + folder.File("sox.wav") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> bytes = GetBytes(folder.File("sox.wav"));
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes[20] | bytes[21] << 8, GetParam().tag);

    CModuleProcess p;
    ASSERT_TRUE(p.Create({"WAV File Open"}, kBlock, 48000));
    p.Set(1, {"file=" + folder.File("sox.wav")});
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(p.Doc().GetCurrentList()->GetSampleRate(0), kRate);
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> out = p.Out(c + 1);
        for (int f = 0; f < kBlock; ++f)
            ASSERT_NEAR(out[size_t(f)], float(Signal(c, f)), GetParam().tolerance) << f << " " << c;
    }
    EXPECT_FALSE(p.Pass());
}

INSTANTIATE_TEST_SUITE_P(Formats, WavFromSox, testing::ValuesIn(kSoxFormats), CaseName());

} // namespace
