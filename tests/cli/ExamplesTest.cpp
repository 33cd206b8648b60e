// Every example process runs at once from the command line on the built-in modules, and the
// generator's examples hand on the blocks their descriptions promise.
#include "common/CaseName.h"
#include "common/CliRun.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/ResponseFile.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(AURIVO_SOURCE_DIR) / "examples";

class ExampleRun : public CCliRun {
public:
    ExampleRun() : CCliRun(GetBuiltInModules()) {}
    /** Runs two passes of an example with the dump in the temporary folder. */
    nlohmann::json RunTwoPasses(const std::string& example) {
        const int rc = Command({"run", (kExamples / example).string(), "--passes", "2", "--json",
                                "--dump", File("dump")});
        EXPECT_EQ(rc, 0) << err;
        return rc == 0 ? nlohmann::json::parse(out) : nlohmann::json();
    }
    /** Channel samples (1-based) of the first step's dumped block list of two channels. */
    std::vector<double> Dumped(int pass, int channel, int32_t size, double fs) {
        CDSPFFTDataList list;
        EXPECT_TRUE(list.Create(2, CDSPData::kTimeBlock, size, fs));
        const std::string path = File("dump/pass-" + std::to_string(pass) + "-step-1.rsp");
        EXPECT_EQ(ResponseFile::Open(list, path), size) << list.GetErrorText();
        return {list.GetTimeData(channel - 1), list.GetTimeData(channel - 1) + size};
    }
};

struct CExample {
    std::string name, file;
};

std::vector<CExample> AllExamples() {
    std::vector<CExample> examples;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (e.path().extension() == ".process") {
            std::string name = e.path().stem().string();
            std::replace_if(
                name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
            examples.push_back({name, e.path().filename().string()});
        }
    std::sort(examples.begin(), examples.end(),
              [](const CExample& a, const CExample& b) { return a.name < b.name; });
    return examples;
}

class Examples : public testing::TestWithParam<CExample> {};

TEST_P(Examples, RunsTwoPassesWithoutMessagesAndDumpsEveryStep) {
    ExampleRun r;
    const nlohmann::json result = r.RunTwoPasses(GetParam().file);
    ASSERT_FALSE(result.is_null());
    EXPECT_EQ(result["passes"], 2);
    EXPECT_EQ(result["messages"], nlohmann::json::array());
    ASSERT_GE(result["steps"].size(), 1u);
    EXPECT_EQ(r.folder.Entries(r.File("dump")).size(), 2 * result["steps"].size());
}

INSTANTIATE_TEST_SUITE_P(All, Examples, testing::ValuesIn(AllExamples()), CaseName());

// Response files keep eight significant digits.
constexpr double kDumpPrecision = 1e-7;
constexpr double kTwoPi = 2 * std::numbers::pi;

TEST(GeneratorExamples, SineOfOneKilohertzRunsOnAcrossPasses) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("sine-1khz.process").is_null());
    for (int pass = 1; pass <= 2; ++pass)
        for (int channel = 1; channel <= 2; ++channel) {
            const std::vector<double> x = r.Dumped(pass, channel, 1024, 32000.0);
            for (int i = 0; i < 1024; ++i) {
                const double t = (i + 1024.0 * (pass - 1)) / 32000.0;
                ASSERT_NEAR(x[size_t(i)], (channel == 1 ? 1.0 : 0.5) * std::sin(kTwoPi * 1000 * t),
                            kDumpPrecision)
                    << "pass " << pass << " channel " << channel << " sample " << i;
            }
        }
}

TEST(GeneratorExamples, SweepsStartAtTwentyHertzAndRunOn) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("log-sweep.process").is_null());
    const double fs = 48000.0;
    const std::vector<double> log1 = r.Dumped(1, 1, 4096, fs), lin1 = r.Dumped(1, 2, 4096, fs);
    EXPECT_EQ(log1[0], 0.0);
    // The first step is the start frequency on the log law, one sample's worth above on the
    // linear law.
    EXPECT_NEAR(log1[1], std::sin(kTwoPi * 20 / fs), kDumpPrecision);
    EXPECT_NEAR(lin1[1], std::sin(kTwoPi * (20 + 19980 / fs) / fs), kDumpPrecision);
    const std::vector<double> log2 = r.Dumped(2, 1, 4096, fs);
    EXPECT_NE(log1, log2) << "the sweep runs on across blocks";
    for (const auto* block : {&log1, &lin1, &log2})
        for (double v : *block)
            ASSERT_LE(std::fabs(v), 1.0);
}

TEST(GeneratorExamples, SequenceAndComplementRepeatInEveryBlock) {
    ExampleRun r;
    ASSERT_FALSE(r.RunTwoPasses("mls.process").is_null());
    const std::vector<double> mls = r.Dumped(1, 1, 1024, 48000.0);
    const std::vector<double> complement = r.Dumped(1, 2, 1024, 48000.0);
    EXPECT_EQ(std::count(mls.begin(), mls.end(), 1.0), 512) << "511 in the period and the filler";
    EXPECT_EQ(std::count(mls.begin(), mls.end(), 0.0), 512);
    for (size_t i = 0; i < mls.size(); ++i)
        ASSERT_EQ(complement[i], 1.0 - mls[i]) << i;
    EXPECT_EQ(r.Dumped(2, 1, 1024, 48000.0), mls);
}

} // namespace
