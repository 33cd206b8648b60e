// Every example process runs at once from the command line on the built-in modules, and the
// sine example hands on the tone its description promises, running on across passes.
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

class Examples : public testing::TestWithParam<CExample> {};

TEST_P(Examples, RunsTwoPassesWithoutMessagesAndDumpsEveryStep) {
    CCliRun cli(GetBuiltInModules());
    ASSERT_EQ(cli.Command(
                  {"run", GetParam().file, "--passes", "2", "--json", "--dump", cli.File("dump")}),
              0)
        << cli.err;
    const nlohmann::json result = nlohmann::json::parse(cli.out);
    EXPECT_EQ(result["passes"], 2);
    EXPECT_EQ(result["messages"], nlohmann::json::array());
    ASSERT_GE(result["steps"].size(), 1u);
    EXPECT_EQ(cli.folder.Entries(cli.File("dump")).size(), 2 * result["steps"].size());
    if (GetParam().name != "sine_1khz") return;

    // 1 V and 0.5 V at 1 kHz, 1024 samples at 32000/s; response files keep eight digits.
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

} // namespace

namespace {

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

} // namespace
