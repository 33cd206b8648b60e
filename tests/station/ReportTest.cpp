// The HTML results report as a browser shows it: Debian's headless chromium lays it out and
// paints it; its DOM must hold every picture and table, and its screenshot the bars, limit
// lines and curves the pictures draw.
#include "station/ResultsReport.h"
#include "station/YieldReport.h"

#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <tuple>

namespace {

/** Records of three items: two limits and a masked response curve; a few fail. */
void PutRecords(IResultsStore& store, int count) {
    std::mt19937 random(5);
    std::normal_distribution<double> normal(0.0, 1.0);
    for (int i = 0; i < count; ++i) {
        CTestRecord r;
        r.uuid = NewUuid();
        r.testedAt = "2026-12-07T10:00:" + std::to_string(10 + i) + ".000Z";
        r.planName = "p";
        for (const auto& [id, mean, upper] :
             {std::tuple{"thd", 0.3, 0.35}, {"level", 39.0, 40.0}}) {
            CCheckResult& c = r.checks.emplace_back();
            c.id = id;
            c.value = mean * (1 + 0.05 * normal(random));
            c.lower = mean / 2;
            c.upper = upper;
            c.passed = c.value < upper;
        }
        CCheckedCurve& curve = r.curves.emplace_back();
        curve.id = "response";
        const double tilt = 0.5 * normal(random);
        for (double f = 20; f < 20000; f *= 1.25) {
            curve.measured.x.push_back(f);
            curve.measured.y.push_back(tilt * std::log10(f / 1000));
            curve.upper.push_back(2);
            curve.lower.push_back(-2);
        }
        CCheckResult& mask = r.checks.emplace_back();
        mask.id = "response";
        mask.kind = ECheckKind::Mask;
        mask.value = curve.measured.y.front();
        mask.passed = std::fabs(mask.value) < 2;
        r.passed = r.checks[0].passed && r.checks[1].passed && mask.passed;
        std::string error;
        ASSERT_TRUE(store.Put(r, error)) << error;
    }
}

/** The pixels of an 8-bit RGB or RGBA, non-interlaced PNG as RGB triples; empty if it is not
 *  one. */
std::vector<std::array<uint8_t, 3>> PngPixels(const std::string& png) {
    const auto be32 = [&](size_t at) {
        return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
               uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3]));
    };
    uint32_t width = 0, height = 0, channels = 0;
    std::string packed;
    for (size_t at = 8; at + 12 <= png.size(); at += 12 + be32(at)) {
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            width = be32(at + 8);
            height = be32(at + 12);
            channels = png[at + 17] == 6 ? 4 : png[at + 17] == 2 ? 3 : 0;
            if (png[at + 16] != 8 || png[at + 20] != 0) return {};
        } else if (type == "IDAT") {
            packed += png.substr(at + 8, be32(at));
        }
    }
    const size_t stride = size_t(width) * channels;
    std::vector<uint8_t> raw((stride + 1) * height);
    uLongf length = raw.size();
    if (channels == 0 ||
        uncompress(raw.data(), &length, reinterpret_cast<const Bytef*>(packed.data()),
                   packed.size()) != Z_OK)
        return {};
    std::vector<uint8_t> line(stride, 0), previous(stride, 0);
    std::vector<std::array<uint8_t, 3>> pixels;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* in = &raw[y * (stride + 1)];
        for (size_t i = 0; i < stride; ++i) {
            const int a = i >= channels ? line[i - channels] : 0, b = previous[i],
                      c = i >= channels ? previous[i - channels] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b),
                      pc = std::abs(p - c);
            const int predictor[] = {0, a, b, (a + b) / 2,
                                     pa <= pb && pa <= pc ? a
                                     : pb <= pc           ? b
                                                          : c};
            line[i] = uint8_t(in[1 + i] + predictor[in[0] % 5]);
        }
        for (size_t i = 0; i < stride; i += channels)
            pixels.push_back({line[i], line[i + 1], line[i + 2]});
        previous = line;
    }
    return pixels;
}

TEST(ResultsReport, ChromiumShowsEveryPictureAndTable) {
    if (std::system("command -v chromium >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chromium is not installed (make deps installs it)";
    CTempFolder folder;
    std::string error;
    auto store = OpenResultsStore(folder.File("r.sqlite"), error);
    ASSERT_TRUE(store) << error;
    PutRecords(*store, 40);
    CYieldReport yield;
    ASSERT_TRUE(ReadYieldReport(*store, {}, yield, error)) << error;
    ASSERT_GT(yield.tests, yield.passed); // the Pareto has bars
    const std::string report = folder.File("report.html"), shot = folder.File("shot.png");
    ASSERT_TRUE(WriteResultsReport(*store, {}, yield, report, error)) << error;

    const std::string browser = "timeout 120 chromium --headless --no-sandbox --disable-gpu "
                                "--hide-scrollbars --user-data-dir=" +
                                folder.File("profile") + " ";
    ASSERT_EQ(std::system((browser + "--dump-dom file://" + report + " >" + folder.File("dom") +
                           " 2>/dev/null")
                              .c_str()),
              0);
    const std::string dom = GetFile(folder.File("dom"));
    const auto count = [&](const std::string& tag) {
        size_t n = 0;
        for (size_t at = dom.find(tag); at != std::string::npos; at = dom.find(tag, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<svg"), 4u); // the Pareto, two histograms, the curves
    EXPECT_EQ(count("<table"), 2u);
    EXPECT_EQ(count("<polyline"), 40u + 2);     // the curves and their masks
    EXPECT_EQ(count("stroke=\"#d03030\""), 4u); // both histograms' limits
    ASSERT_EQ(std::system((browser + "--window-size=1280,1600 --screenshot=" + shot + " file://" +
                           report + " >/dev/null 2>&1")
                              .c_str()),
              0);
    const auto pixels = PngPixels(GetFile(shot));
    ASSERT_EQ(pixels.size(), 1280u * 1600u) << "not an RGB(A) PNG of the window's size";
    // Pixels of each colour the pictures paint: a picture the browser did not draw leaves its
    // colour out.
    const std::map<std::string, std::array<int, 3>> colours = {{"histogram bars", {74, 126, 187}},
                                                               {"Pareto bars", {96, 160, 96}},
                                                               {"limit lines", {208, 48, 48}},
                                                               {"mask lines", {224, 120, 32}},
                                                               {"curves", {90, 140, 200}}};
    std::map<std::string, int> painted;
    for (const auto& p : pixels)
        for (const auto& [name, c] : colours)
            painted[name] +=
                std::abs(p[0] - c[0]) + std::abs(p[1] - c[1]) + std::abs(p[2] - c[2]) < 12;
    // Both histograms' bars and limit lines, every curve (about 14500, 830 and 3900 pixels).
    for (const auto& [name, least] : std::map<std::string, int>{{"histogram bars", 10000},
                                                                {"Pareto bars", 20000},
                                                                {"limit lines", 600},
                                                                {"mask lines", 600},
                                                                {"curves", 2500}})
        EXPECT_GT(painted[name], least) << name;
}

} // namespace
