// Every example process runs at once from the command line on the built-in modules, shows
// what it was made for, and the sine example hands on the tone its description promises,
// running on across passes.
#include "common/CaseName.h"
#include "common/CliRun.h"
#include "common/TextFileUtil.h"
#include "common/XmlCheck.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/ProcessDescription.h"
#include "formats/ResponseFile.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(AURIVO_SOURCE_DIR) / "examples";

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
            examples.push_back({name, e.path().string()});
        }
    std::sort(examples.begin(), examples.end(),
              [](const CExample& a, const CExample& b) { return a.name < b.name; });
    return examples;
}

// The height in pixels of each trace the last step draws after `passes` passes; the render
// exits with 0 only when no module showed a message.
std::vector<double> TraceHeights(CCliRun& cli, const std::string& file, size_t step,
                                 const std::string& passes) {
    const std::string svg = cli.File("last-" + passes + ".svg");
    EXPECT_EQ(cli.Command(
                  {"render", file, "--step", std::to_string(step), "--passes", passes, "-o", svg}),
              0)
        << cli.err;
    EXPECT_NE(cli.out.find(" after " + passes + " passes to "), std::string::npos) << cli.out;
    std::vector<double> heights;
    for (const auto& [name, attributes] : CheckXml(GetFile(svg)).elements) {
        if (name != "polyline") continue;
        std::istringstream points(attributes.at("points"));
        double x, y, low = 1e9, high = -1e9;
        char comma;
        while (points >> x >> comma >> y) {
            low = std::min(low, y);
            high = std::max(high, y);
        }
        heights.push_back(high - low);
    }
    return heights;
}

class Examples : public testing::TestWithParam<CExample> {};

// Every example runs two passes without messages, says what it is for, and running it shows
// that: its last step draws no trace (or only flat ones) before the first pass and at least one
// that is not flat after two.
TEST_P(Examples, RunsAndItsLastStepShowsWhatItIsFor) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command({"info", GetParam().file, "--json"}), 0) << cli.err;
    const size_t steps = nlohmann::json::parse(cli.out)["steps"].size();
    ASSERT_GE(steps, 1u);
    const std::string description = ReadProcessDescription(GetParam().file);
    EXPECT_FALSE(description.empty());
    EXPECT_LT(description.size(), kMaxDescription);
    for (double height : TraceHeights(cli, GetParam().file, steps, "0"))
        EXPECT_EQ(height, 0);
    const std::vector<double> after = TraceHeights(cli, GetParam().file, steps, "2");
    ASSERT_FALSE(after.empty());
    EXPECT_GE(*std::max_element(after.begin(), after.end()), 10);
    if (GetParam().name != "sine_1khz") return;

    // The oscilloscope draws the sine's 1 V and 0.5 V at the same volts per division.
    ASSERT_EQ(after.size(), 2u);
    EXPECT_NEAR(after[0], 2 * after[1], 2);
    // 1 V and 0.5 V at 1 kHz, 1024 samples at 32000/s, running on across passes; response
    // files keep eight digits.
    ASSERT_EQ(cli.Command({"run", GetParam().file, "--passes", "2", "--dump", cli.File("dump")}), 0)
        << cli.err;
    for (int pass = 1; pass <= 2; ++pass)
        for (int channel = 0; channel < 2; ++channel) {
            CDSPFFTDataList list;
            ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 1024, 32000.0));
            ASSERT_EQ(ResponseFile::Open(
                          list, cli.File("dump/pass-" + std::to_string(pass) + "-step-1.rsp")),
                      1024);
            for (int i = 0; i < 1024; ++i) {
                const double t = (i + 1024.0 * (pass - 1)) / 32000.0;
                ASSERT_NEAR(list.GetTimeData(channel)[i],
                            (channel == 0 ? 1.0 : 0.5) * std::sin(2 * std::numbers::pi * 1000 * t),
                            1e-7)
                    << "pass " << pass << " channel " << channel << " sample " << i;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(All, Examples, testing::ValuesIn(AllExamples()), CaseName());

// The filter example's analyser shows the envelope of lowpass.flt on the impulse of channel 1
// (relative to the impulse's flat 2/N) and the 3 kHz tone of channel 2 at -18 dB.
TEST(FilterExample, SpectrumFollowsTheEnvelopeFile) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command({"run", (kExamples / "arbfilter-lowpass.process").string(), "--passes",
                           "1", "--dump", cli.File("dump")}),
              0)
        << cli.err;
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 1024, 48000.0));
    ASSERT_EQ(ResponseFile::Open(list, cli.File("dump/pass-1-step-3.rsp")), 1024);
    const auto db = [&](int channel, int bin, double reference) {
        return 20 * std::log10(list.GetFreqData(channel)[bin] / reference);
    };
    // Bins of 46.875 Hz: 1 kHz is bin 21, 2 kHz bin 43, 4 kHz bin 85, 24 kHz bin 512.
    for (const auto& [bin, level] : std::vector<std::pair<int, double>>{
             {1, 0.0}, {21, 0.0}, {43, -12.0}, {64, -18.0}, {85, -24.0}, {512, -54.0}})
        EXPECT_NEAR(db(0, bin, 2.0 / 1024), level, 1e-4) << bin;
    EXPECT_NEAR(db(1, 64, 1.0), -18.0, 1e-4);
}

// The bin nearest Ref1 = 1220 Hz is bin 39 of 31.25 Hz: the tone readout shows all six digits
// of its 1218.75 Hz.
TEST(ExampleReadouts, ToneOfTheReferenceBinShowsSixDigits) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command({"run", (kExamples / "thd-1khz.process").string(), "--set", "3:ref1=1220",
                           "--json"}),
              0)
        << cli.err;
    const nlohmann::json readouts = nlohmann::json::parse(cli.out)["steps"][2]["readouts"];
    const auto tone = std::find_if(readouts.begin(), readouts.end(),
                                   [](const nlohmann::json& r) { return r["label"] == "Tone1"; });
    ASSERT_NE(tone, readouts.end());
    EXPECT_EQ((*tone)["value"], "1218.75Hz");
}

// The RTA's bands in the JSON as {centre, level} pairs: exact base-10 third-octave centres, each
// level the one its band's readout shows, null where that reads "unresolved".
TEST(RtaExample, JsonGivesTheBandsAsCentreAndLevel) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command({"run", (kExamples / "rta-white-noise.process").string(), "--passes", "2",
                           "--json"}),
              0)
        << cli.err;
    const nlohmann::json step = nlohmann::json::parse(cli.out)["steps"][2];
    ASSERT_EQ(step["bands"].size(), 2u);
    for (const nlohmann::json& channel : step["bands"]) {
        EXPECT_EQ(channel["unit"], "dBFS");
        std::vector<nlohmann::json> shown; // Overall, Average, then one readout per band
        for (const nlohmann::json& r : step["readouts"])
            if (r["channel"] == channel["channel"]) shown.push_back(r);
        const nlohmann::json& levels = channel["levels"];
        ASSERT_EQ(levels.size() + 2, shown.size());
        for (size_t b = 0; b < levels.size(); ++b) {
            const double tenths = 10 * std::log10(double(levels[b]["centre"]));
            EXPECT_NEAR(tenths, std::round(tenths), 1e-9) << b;
            const nlohmann::json& readout = shown[b + 2];
            if (readout["value"] == "unresolved")
                EXPECT_TRUE(levels[b]["level"].is_null()) << b;
            else
                EXPECT_NEAR(double(levels[b]["level"]), double(readout["number"]), 0.005) << b;
        }
    }
}

// The WAV example plays the sweep's 16 blocks from the file beside it, wherever the run starts,
// and the run ends there; the last block holds the half-scale sine near the top of the sweep.
TEST(WavExample, PlaysTheSixteenBlocksOfTheSweepAndEnds) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command({"run", (kExamples / "wav-spectrum.process").string(), "--passes", "20",
                           "--json", "--dump", cli.File("dump")}),
              0)
        << cli.err;
    const nlohmann::json result = nlohmann::json::parse(cli.out);
    EXPECT_EQ(result["passes"], 16);
    EXPECT_EQ(result["messages"], nlohmann::json::array());
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 1024, 16000.0));
    ASSERT_EQ(ResponseFile::Open(list, cli.File("dump/pass-16-step-1.rsp")), 1024);
    const double* t = list.GetTimeData(0);
    EXPECT_NEAR(*std::max_element(t, t + 1024), 0.5, 0.005);
    EXPECT_NEAR(*std::min_element(t, t + 1024), -0.5, 0.005);
}

} // namespace
