// aurivo-cli render: runs a process and writes what one step draws as an SVG document.
#include "PlotTestModule.h"
#include "common/CliRun.h"
#include "common/TextFileUtil.h"
#include "common/XmlCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>

namespace {

class Render : public testing::Test, public CCliRun {
protected:
    Render() : CCliRun(PlotTestRegistry()) {}
    // A generator (test module) followed by the plotting module, 256 points at 48 kHz.
    std::string NewProcess() {
        const std::string p = File("p.process");
        EXPECT_EQ(Command({"new", p, "Signal Generator", "Spectrum Analyzer", "--fft-size", "256",
                           "--rate", "48000"}),
                  0)
            << err;
        return p;
    }
};

TEST_F(Render, DrawsTheStepsGridAndTraceAsValidSvg) {
    const std::string p = NewProcess(), svg = File("plot.svg");
    ASSERT_EQ(
        Command({"render", p, "--step", "2", "--passes", "2", "--size", "800x600", "-o", svg}), 0)
        << err;
    EXPECT_EQ(out, "Rendered step 2 after 2 passes to " + svg + "\n");
    const CXmlCheck xml = CheckXml(GetFile(svg));
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

    // A step without plots shows the background only, at the default size.
    ASSERT_EQ(Command({"render", p, "--step", "1", "-o", svg}), 0) << err;
    EXPECT_EQ(out, "Rendered step 1 after 1 pass to " + svg + "\n");
    const CXmlCheck plain = CheckXml(GetFile(svg));
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(plain.elements.front().second.at("width"), "1200");
    EXPECT_EQ(plain.elements.front().second.at("height"), "800");
    EXPECT_EQ(plain.elements.size(), 2u) << "the document and its background";
}

TEST_F(Render, AModuleErrorStillWritesThePictureAndExitsWithOne) {
    const std::string p = NewProcess(), svg = File("failed.svg");
    ASSERT_EQ(Command({"set", p, "1:Level=-1"}), 0) << err;
    EXPECT_EQ(Command({"render", p, "--step", "2", "--passes", "3", "-o", svg}), 1);
    EXPECT_EQ(out, "Rendered step 2 after 0 passes to " + svg + "\n");
    EXPECT_EQ(err, "aurivo-cli: a module reported an error: Error Detected In | Step: 1 Signal "
                   "Generator | Level below zero\n");
    EXPECT_TRUE(CheckXml(GetFile(svg)).ok);
}

// Each refusal exits with 2, names its reason and writes no picture; OUT is the picture's path.
TEST_F(Render, RefusesBadArgumentsWithExitCodeTwoAndNoFile) {
    const std::string p = NewProcess();
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--step", "3", "-o", "OUT"}, "The process has no step 3"},
        {{"--step", "0", "-o", "OUT"}, "The process has no step 0"},
        {{"--step", "1", "--size", "0x10", "-o", "OUT"}, "WIDTHxHEIGHT"},
        {{"--step", "1", "--size", "800", "-o", "OUT"}, "WIDTHxHEIGHT"},
        {{"--step", "1", "--size", "800x6x2", "-o", "OUT"}, "WIDTHxHEIGHT"},
        {{"--step", "1", "--size", "16385x10", "-o", "OUT"}, "WIDTHxHEIGHT"},
        {{"--step", "1", "--size", "5 x5", "-o", "OUT"}, "WIDTHxHEIGHT"},
        {{"--step", "1"}, "output"},
        {{"-o", "OUT"}, "step"},
        {{"--step", "1", "--passes", "-1", "-o", "OUT"}, "passes"},
        {{"--step", "1", "-o", "no/such/folder/a.svg"}, "no/such/folder"}};
    for (const auto& [tail, reason] : cases) {
        std::vector<std::string> args{"render", p};
        for (const std::string& a : tail)
            args.push_back(a == "OUT" ? File("x.svg") : a);
        EXPECT_EQ(Command(args), 2) << reason;
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(File("x.svg"))) << reason;
    }
}

} // namespace
