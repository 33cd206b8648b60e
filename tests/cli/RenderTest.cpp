// aurivo-cli render: runs a process and writes what one step draws as an SVG document.
#include "Cli.h"
#include "RenderCommand.h"

#include "../platform/XmlCheck.h"
#include "PlotTestModule.h"
#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

class Render : public testing::Test {
protected:
    CTempFolder dir;
    std::string out, err;

    void SetUp() override {
        ASSERT_FALSE(dir.Path().empty());
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "aurivo-cli");
        std::vector<const char*> argv;
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::ostringstream o, e;
        const int rc = RunCli(int(argv.size()), argv.data(), PlotTestRegistry(), o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    // A generator (test module) followed by the plotting module, 256 points at 48 kHz.
    std::string NewProcess() {
        const std::string p = dir.File("p.process");
        EXPECT_EQ(Run({"new", p, "Signal Generator", "Spectrum Analyzer", "--fft-size", "256",
                       "--rate", "48000"}),
                  0)
            << err;
        return p;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(Render, DrawsTheStepsGridAndTraceAsValidSvg) {
    const std::string p = NewProcess();
    const std::string svg = dir.File("plot.svg");
    ASSERT_EQ(Run({"render", p, "--step", "2", "--passes", "2", "--size", "800x600", "-o", svg}), 0)
        << err;
    EXPECT_EQ(out, "Rendered step 2 after 2 passes to " + svg + "\n");
    const CXmlCheck xml = CheckXml(Read(svg));
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.root, "svg");
    EXPECT_EQ(xml.elements.front().second.at("width"), "800");
    EXPECT_EQ(xml.elements.front().second.at("height"), "600");
    // 11 + 9 division lines, 49 + 39 ticks on the centre lines of a dB plot.
    EXPECT_EQ(xml.Count("line"), 108);
    ASSERT_EQ(xml.Count("polyline"), 1);
    EXPECT_EQ(xml.Count("clipPath"), 1);
    EXPECT_EQ(xml.texts.front(), "0.00Hz");
    EXPECT_NE(std::find(xml.texts.begin(), xml.texts.end(), " 40dB"), xml.texts.end());
    EXPECT_NE(std::find(xml.texts.begin(), xml.texts.end(), "-40dB"), xml.texts.end());

    // The trace: bins 0..128 on 710 pixels; the full-scale tone at bin 32 peaks at 0 dBV, the
    // plot's centre line (20 + 540 ÷ 2).
    std::string points;
    for (const auto& [name, attributes] : xml.elements)
        if (name == "polyline") points = attributes.at("points");
    std::istringstream list(points);
    std::vector<std::string> pairs{std::istream_iterator<std::string>(list), {}};
    ASSERT_EQ(pairs.size(), 129u);
    const int x = 70 + int(std::floor(33 * 710.0 / 128 + 0.5));
    EXPECT_EQ(pairs[32], std::to_string(x) + ".5,290.5");
}

TEST_F(Render, StepsWithoutPlotsShowTheBackgroundOnly) {
    const std::string p = NewProcess();
    const std::string svg = dir.File("base.svg");
    ASSERT_EQ(Run({"render", p, "--step", "1", "-o", svg}), 0) << err;
    EXPECT_EQ(out, "Rendered step 1 after 1 pass to " + svg + "\n");
    const CXmlCheck xml = CheckXml(Read(svg));
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.elements.front().second.at("width"), "1200");
    EXPECT_EQ(xml.elements.front().second.at("height"), "800");
    EXPECT_EQ(xml.Count("rect"), 1);
    EXPECT_EQ(xml.Count("polyline"), 0);
}

TEST_F(Render, AModuleErrorStillWritesThePictureAndExitsWithOne) {
    const std::string p = NewProcess();
    ASSERT_EQ(Run({"set", p, "1:Level=-1"}), 0) << err;
    const std::string svg = dir.File("failed.svg");
    EXPECT_EQ(Run({"render", p, "--step", "2", "--passes", "3", "-o", svg}), 1);
    EXPECT_EQ(out, "Rendered step 2 after 0 passes to " + svg + "\n");
    EXPECT_EQ(err, "aurivo-cli: a module reported an error: Error Detected In | Step: 1 Signal "
                   "Generator | Level below zero\n");
    EXPECT_TRUE(CheckXml(Read(svg)).ok);
}

struct CUsageCase {
    std::vector<std::string> args; // after "render FILE"
    const char* reason;            // part of the message, or empty for a usage error
};

class RenderRefuses : public Render, public testing::WithParamInterface<CUsageCase> {};

TEST_P(RenderRefuses, WithExitCodeTwoAndNoFile) {
    const std::string p = NewProcess();
    const std::string svg = dir.File("x.svg");
    std::vector<std::string> args{"render", p};
    for (const auto& a : GetParam().args)
        args.push_back(a == "OUT" ? svg : a);
    EXPECT_EQ(Run(args), 2);
    EXPECT_NE(err.find(GetParam().reason), std::string::npos) << err;
    EXPECT_FALSE(std::ifstream(svg).good());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderRefuses,
    testing::Values(
        CUsageCase{{"--step", "3", "-o", "OUT"}, "The process has no step 3"},
        CUsageCase{{"--step", "0", "-o", "OUT"}, "The process has no step 0"},
        CUsageCase{{"--step", "1", "--size", "0x10", "-o", "OUT"}, "is not WIDTHxHEIGHT"},
        CUsageCase{{"--step", "1", "--size", "800", "-o", "OUT"}, "is not WIDTHxHEIGHT"},
        CUsageCase{{"--step", "1", "--size", "800x600x2", "-o", "OUT"}, "is not WIDTHxHEIGHT"},
        CUsageCase{{"--step", "1", "--size", "20000x10", "-o", "OUT"}, "is not WIDTHxHEIGHT"},
        CUsageCase{{"--step", "1"}, "output"}, CUsageCase{{"-o", "OUT"}, "step"},
        CUsageCase{{"--step", "1", "--passes", "-1", "-o", "OUT"}, "passes"}));

TEST_F(Render, FileErrorsExitWithTwo) {
    EXPECT_EQ(Run({"render", dir.File("missing.process"), "--step", "1", "-o", dir.File("a.svg")}),
              2);
    EXPECT_NE(err.find("missing.process"), std::string::npos) << err;
    const std::string p = NewProcess();
    EXPECT_EQ(Run({"render", p, "--step", "1", "-o", dir.File("no/such/folder/a.svg")}), 2);
    EXPECT_NE(err.find("no/such/folder"), std::string::npos) << err;
}

TEST(RenderSize, ParsesWidthByHeight) {
    int w = 0, h = 0;
    EXPECT_TRUE(ParseRenderSize("1x16384", w, h));
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 16384);
    for (const char* bad :
         {"", "x", "12x", "x12", "-5x5", "5x-5", "5 x5", "5x5 ", "0x5", "16385x1"})
        EXPECT_FALSE(ParseRenderSize(bad, w, h)) << bad;
}

} // namespace
