// The SVG writer: documents that parse as XML with the elements drawn, escaping, clip and layer
// groups, pixel-centre coordinates, and the fixed font model.
#include "XmlCheck.h"

#include "platform/SvgCanvas.h"

#include <gtest/gtest.h>

namespace {

TEST(SvgCanvas, KnownPictureParsesWithTheElementsDrawn) {
    CSvgCanvas canvas(320, 200);
    canvas.FillRect({0, 0, 320, 200}, {192, 192, 192});
    canvas.SetPen({{255, 0, 0}, 2});
    canvas.DrawLine({10, 10}, {100, 10});
    canvas.DrawLine({10, 20}, {100, 20});
    canvas.DrawLine({10, 30}, {100, 30});
    canvas.DrawPolyline({{0, 0}, {5, 5}, {10, 0}, {15, 5}});
    canvas.SetBrush(CColour{0, 0, 0});
    canvas.Rectangle({20, 20, 60, 60});
    canvas.Draw3dRect({70, 20, 90, 40}, {255, 255, 255}, {0, 0, 0});  // four edges
    canvas.DrawSunkenEdge({100, 20, 140, 60}, kEdgeTop | kEdgeRight); // two sides, two deep
    canvas.SetFont({12, 100, {}});
    canvas.DrawText({5, 150}, "1.0kHz", {0, 0, 204});
    canvas.PushClip({0, 0, 160, 100});
    canvas.DrawLine({0, 50}, {300, 50});
    canvas.PopClip();
    canvas.BeginLayer({0, 0, 320, 200});
    canvas.FillRect({150, 150, 160, 160}, {0, 255, 0});
    canvas.EndLayer();
    canvas.InvertRect({200, 0, 220, 200});

    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.root, "svg");
    EXPECT_EQ(xml.Count("svg"), 1);
    EXPECT_EQ(xml.Count("line"), 3 + 4 + 4 + 1);
    EXPECT_EQ(xml.Count("polyline"), 1);
    // Fill, rectangle, clip area, layer fill, inverted band.
    EXPECT_EQ(xml.Count("rect"), 5);
    EXPECT_EQ(xml.Count("text"), 1);
    EXPECT_EQ(xml.Count("clipPath"), 1);
    EXPECT_EQ(xml.Count("g"), 2);
    const auto& svg = xml.elements.front().second;
    EXPECT_EQ(svg.at("version"), "1.1");
    EXPECT_EQ(svg.at("xmlns"), "http://www.w3.org/2000/svg");
    EXPECT_EQ(svg.at("width"), "320");
    EXPECT_EQ(svg.at("height"), "200");
    ASSERT_EQ(xml.texts.size(), 1u);
    EXPECT_EQ(xml.texts[0], "1.0kHz");
}

TEST(SvgCanvas, TextIsEscapedAndForbiddenBytesAreReplaced) {
    CSvgCanvas canvas(100, 100);
    canvas.DrawText({0, 0}, "a<b & \"c\" 'd' 45\xC2\xB0", {0, 0, 0});
    canvas.DrawText({0, 20}, "x\xFFy\x01z\xED\xA0\x80", {0, 0, 0}); // bad byte, control, surrogate
    canvas.SetFont({12, 400, "Deja<Vu>"});
    canvas.DrawText({0, 40}, "f", {0, 0, 0});
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    ASSERT_EQ(xml.texts.size(), 3u);
    EXPECT_EQ(xml.texts[0], "a<b & \"c\" 'd' 45\xC2\xB0");
    EXPECT_EQ(xml.texts[1], "x?y?z???");
    EXPECT_EQ(xml.elements.back().second.at("font-family"), "Deja<Vu>, monospace");
}

TEST(SvgCanvas, OpenGroupsAreClosedAndStrayClosesIgnored) {
    CSvgCanvas canvas(50, 50);
    canvas.PopClip();  // nothing open
    canvas.EndLayer(); // nothing open
    canvas.BeginLayer({0, 0, 50, 50});
    canvas.PushClip({0, 0, 10, 10});
    canvas.EndLayer(); // the clip is innermost: not a layer's end
    canvas.DrawLine({0, 0}, {9, 9});
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.Count("g"), 2);
    EXPECT_EQ(xml.Count("line"), 1);
}

TEST(SvgCanvas, CoordinatesAreAtPixelCentres) {
    CSvgCanvas canvas(50, 50);
    canvas.SetPen({{1, 2, 3}, 1});
    canvas.DrawLine({-3, 0}, {10, 7});
    canvas.FillRect({2, 3, 12, 8}, {255, 0, 0});
    canvas.Rectangle({20, 20, 21, 30}); // one pixel wide: a line down its column
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    ASSERT_EQ(xml.elements.size(), 4u);
    const auto& line = xml.elements[1].second;
    EXPECT_EQ(line.at("x1"), "-2.5");
    EXPECT_EQ(line.at("y1"), "0.5");
    EXPECT_EQ(line.at("x2"), "10.5");
    EXPECT_EQ(line.at("y2"), "7.5");
    EXPECT_EQ(line.at("stroke"), "#010203");
    const auto& rect = xml.elements[2].second;
    EXPECT_EQ(rect.at("x"), "2");
    EXPECT_EQ(rect.at("width"), "10");
    EXPECT_EQ(rect.at("height"), "5");
    EXPECT_EQ(rect.at("fill"), "#ff0000");
    EXPECT_EQ(xml.elements[3].first, "line");
    EXPECT_EQ(xml.elements[3].second.at("y2"), "29.5");
}

TEST(SvgCanvas, TextSitsOnTheModelsBaselineAtTheFontSize) {
    CSvgCanvas canvas(200, 100);
    canvas.SetFont({20, 700, {}});
    EXPECT_EQ(canvas.GetTextExtent("abc"), (CSize{36, 20}));
    canvas.DrawText({10, 30}, "abc", {0, 0, 0});
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    const auto& text = xml.elements.back().second;
    EXPECT_EQ(text.at("x"), "10");
    EXPECT_EQ(text.at("y"), "46"); // 30 + 0.8 × 20
    EXPECT_EQ(text.at("font-size"), "20");
    EXPECT_EQ(text.at("font-weight"), "700");
    EXPECT_EQ(text.at("font-family"), "monospace");
    // Held to its laid-out width, whatever the viewer's font.
    EXPECT_EQ(text.at("textLength"), "36");
    EXPECT_EQ(text.at("lengthAdjust"), "spacingAndGlyphs");
}

struct CMetricsCase {
    int height;
    int advance;
};

class FixedFontModel : public testing::TestWithParam<CMetricsCase> {};

TEST_P(FixedFontModel, CharactersAdvanceSixTenthsOfTheHeight) {
    CSvgCanvas canvas(10, 10);
    canvas.SetFont({GetParam().height, 400, {}});
    const CTextMetrics m = canvas.GetTextMetrics();
    EXPECT_EQ(m.averageCharWidth, GetParam().advance);
    EXPECT_EQ(m.maxCharWidth, GetParam().advance);
    EXPECT_EQ(m.height, std::max(1, GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(Heights, FixedFontModel,
                         testing::Values(CMetricsCase{12, 7}, CMetricsCase{10, 6},
                                         CMetricsCase{60, 36}, CMetricsCase{1, 1},
                                         CMetricsCase{0, 1}, CMetricsCase{13, 8}));

struct CCountCase {
    const char* text;
    int characters;
};

class CharacterCount : public testing::TestWithParam<CCountCase> {};

TEST_P(CharacterCount, CountsCodePointsAndEachStrayByteOnce) {
    EXPECT_EQ(CFixedMetricsCanvas::CountCharacters(GetParam().text), GetParam().characters);
}

INSTANTIATE_TEST_SUITE_P(Texts, CharacterCount,
                         testing::Values(CCountCase{"", 0}, CCountCase{"45\xC2\xB0", 3},
                                         CCountCase{"\xE2\x82\xAC", 1},
                                         CCountCase{"\xF0\x9F\x8E\xB5x", 2},
                                         CCountCase{"\xFF\xFE", 2}, CCountCase{"\xC2", 1},
                                         CCountCase{"\xE0\x80\x80", 3}, CCountCase{"\xC0\xAF", 2}));

class XmlCheckRejects : public testing::TestWithParam<const char*> {};

// The check must be able to fail, or the tests above prove nothing.
TEST_P(XmlCheckRejects, MalformedDocuments) {
    EXPECT_FALSE(CheckXml(GetParam()).ok) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Documents, XmlCheckRejects,
                         testing::Values("<a><b></a></b>", "<a x=1/>", "<a>&bogus;</a>", "<a/><b/>",
                                         "<a x='1' x='2'/>", "<a>1 < 2</a>", "<a>\xC0\x80</a>",
                                         "<a>\x01</a>", "<a", "<a>", "<a x=\"1\"y=\"2\"/>"));

} // namespace
