// The analyser with the real signal generator: the example processes through aurivo-cli, and
// the built-in generator's tones and sequences measured against their closed forms.
#include "SpecTestProcess.h"
#include "common/ComposeProcess.h"

#include "Cli.h"
#include "base/NumberText.h"
#include "process/ProcessSelectDlg.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

using nlohmann::json;

// Runs `aurivo-cli run FILE --passes 4 --json` on an example with the built-in modules.
json RunExample(const std::string& name) {
    const std::string path = std::string(AURIVO_SOURCE_DIR) + "/examples/" + name;
    const char* argv[] = {"aurivo-cli", "run", path.c_str(), "--passes", "4", "--json"};
    std::ostringstream out, err;
    const int rc = RunCli(6, argv, GetBuiltInModules(), out, err);
    EXPECT_EQ(rc, 0) << err.str();
    return json::parse(out.str(), nullptr, false);
}

// The label/value pairs of the last step (the analyser).
std::vector<std::pair<std::string, std::string>> AnalyserPairs(const json& result) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!result.contains("steps") || result["steps"].empty()) return pairs;
    const json& step = result["steps"].back();
    EXPECT_EQ(step["module"], "Spectrum Analyzer");
    for (const json& p : step["readouts"])
        pairs.emplace_back(p["label"].get<std::string>(), p["value"].get<std::string>());
    return pairs;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(SpecExamples, THDExampleShowsTheAddedHarmonics) {
    const Pairs pairs = AnalyserPairs(RunExample("thd-1khz.process"));
    // Channel 1: 2 kHz at 1 % of a 50 % tone; channel 2: 3 kHz at 2 %.
    const Pairs expected1{{"Ch1 scale", "500 mVpk/Div"},
                          {"Start", "0Hz"},
                          {"Stop", "16000Hz"},
                          {"Tone1", "1000Hz"},
                          {"2nd Harm Dist", "  2%"}};
    ASSERT_EQ(pairs.size(), 20u);
    EXPECT_EQ(Pairs(pairs.begin(), pairs.begin() + 5), expected1);
    EXPECT_EQ(pairs[8], (std::pair<std::string, std::string>{"THD", "  2%"}));
    EXPECT_EQ(pairs[9], (std::pair<std::string, std::string>{"THD+N", "  2%"}));
    EXPECT_EQ(pairs[15], (std::pair<std::string, std::string>{"3rd Harm Dist", "  4%"}));
    EXPECT_EQ(pairs[18], (std::pair<std::string, std::string>{"THD", "  4%"}));
}

TEST(SpecExamples, IMDExampleShowsItsProducts) {
    const Pairs pairs = AnalyserPairs(RunExample("imd.process"));
    ASSERT_EQ(pairs.size(), 16u);
    EXPECT_EQ(pairs[3], (std::pair<std::string, std::string>{"Tone1", "1000Hz"}));
    EXPECT_EQ(pairs[4], (std::pair<std::string, std::string>{"Tone2", "1500Hz"}));
    // 1 % against two 40 % tones: 1 / sqrt(3200) = 1.76777 %.
    EXPECT_EQ(pairs[5].second, "1.76777%");
    EXPECT_EQ(pairs[6].second, "1.76777%");
    EXPECT_EQ(pairs[13].second, "1.76777%");
    EXPECT_LT(ParseDouble(pairs[14].second), 1e-9);
}

TEST(SpecExamples, MLSExampleRuns) {
    const Pairs pairs = AnalyserPairs(RunExample("mls-impulse.process"));
    ASSERT_EQ(pairs.size(), 6u);
    EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"Ch1 scale", "20.0dBVpk/Div"}));
}

// A process of built-in modules composed through the editor.
class SpecWithGenerator : public testing::Test {
protected:
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CDspDoc* doc = nullptr;

    void Make(const std::vector<std::string>& names, const char* size, const char* rate) {
        doc = ComposeProcess(app, app.OnFileNew(), names);
        ASSERT_NE(doc, nullptr);
        CFFTOptions options;
        doc->FillFFTOptions(options);
        options.m_size = size;
        options.m_sampleRate = rate;
        std::string message;
        ASSERT_TRUE(doc->ApplyFFTOptions(options, message)) << message;
    }
    void Set(size_t step, const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(doc->GetView(step)->SetControl(id, value, message)) << id << ": " << message;
    }
    void RunPasses(int passes) {
        ASSERT_TRUE(doc->OnEditRun());
        for (int i = 0; i < passes * doc->GetStepCount(); ++i)
            ASSERT_EQ(doc->OnIdle(), 1);
        doc->OnEditStop();
        EXPECT_TRUE(sink.Records().empty()) << sink.Records().front().message;
    }
};

TEST_F(SpecWithGenerator, THDOfTwoGeneratorStepsMatchesTheClosedForm) {
    // 1 kHz at 60 % plus 2 kHz at 3 % and (on channel 2) 3 kHz at 4 %: bin-centred tones.
    Make({"Signal Generator", "Signal Generator", "Spectrum Analyzer"}, "1024", "32000");
    for (const char* c : {"ch1.", "ch2."}) {
        Set(0, std::string(c) + "wave", "Sine");
        Set(0, std::string(c) + "freq", "1000");
        Set(0, std::string(c) + "level", "60");
        Set(1, std::string(c) + "wave", "Sine");
    }
    Set(1, "ch1.freq", "2000");
    Set(1, "ch1.level", "3");
    Set(1, "ch2.freq", "3000");
    Set(1, "ch2.level", "4");
    Set(2, "yaxis", "THDVpk");
    RunPasses(2);
    const CDSPFFTDataList& shown = *doc->GetView(2)->GetDisplayList();
    const double closed[2] = {3.0 / 60 * 100, 4.0 / 60 * 100};
    for (int c = 0; c < 2; ++c) {
        const CDSPData& magnitude = *shown.GetAt(c)->GetFreqObj();
        EXPECT_NEAR(magnitude.GetTHD(0.0), closed[c], closed[c] * 1e-6);
        EXPECT_NEAR(magnitude.GetTHDPlusN(0.0), closed[c], closed[c] * 1e-6);
        EXPECT_NEAR(magnitude.GetHarmonicDistortion(0.0, c + 2), closed[c], closed[c] * 1e-6);
    }
    const auto readouts = StepAs<CSpecView>(*doc, 2).GetChannelTexts(1).readouts;
    EXPECT_EQ(readouts[5], FormatText("THD: %3.6G%%", closed[1]));
}

TEST_F(SpecWithGenerator, FHTOfTheGeneratorsSequenceIsASingleImpulse) {
    Make({"Signal Generator", "Spectrum Analyzer"}, "1024", "48000");
    Set(0, "ch1.wave", "MLS");
    Set(0, "ch2.wave", "MLS");
    Set(1, "type", "FHT");
    RunPasses(1);
    const CDSPData& h = *doc->GetView(1)->GetWorkingList()->GetAt(0)->GetTimeObj();
    const double* v = h.GetDataPointer();
    EXPECT_EQ(std::max_element(v, v + 1023) - v, 0);
    for (int i = 2; i < 1024; ++i)
        ASSERT_NEAR(v[i], v[1], 1e-12) << i;
    EXPECT_GT(v[0] - v[1], 100 * std::fabs(v[1]));
}

} // namespace
