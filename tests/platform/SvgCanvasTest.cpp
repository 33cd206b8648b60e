// The SVG writer: documents that parse as XML with the elements drawn, escaping, clip and layer
// groups, pixel-centre coordinates, and the fixed font model.
#include "common/XmlCheck.h"
#include "platform/SvgCanvas.h"

#include <gtest/gtest.h>

namespace {

using Attributes = std::map<std::string, std::string>;

TEST(SvgCanvas, KnownPictureParsesWithTheElementsDrawn) {
    CSvgCanvas canvas(320, 200);
    canvas.PopClip();  // nothing open: ignored
    canvas.EndLayer(); // nothing open: ignored
    canvas.FillRect({0, 0, 320, 200}, {192, 192, 192});
    canvas.SetPen({{255, 0, 0}, 2});
    for (int y : {10, 20, 30})
        canvas.DrawLine({10, y}, {100, y});
    canvas.DrawPolyline({{0, 0}, {5, 5}, {10, 0}, {15, 5}});
    canvas.SetBrush(CColour{0, 0, 0});
    canvas.Rectangle({20, 20, 60, 60});
    canvas.Draw3dRect({70, 20, 90, 40}, {255, 255, 255}, {0, 0, 0});  // four edges
    canvas.DrawSunkenEdge({100, 20, 140, 60}, kEdgeTop | kEdgeRight); // two sides, two deep
    canvas.DrawText({5, 150}, "1.0kHz", {0, 0, 204});
    canvas.PushClip({0, 0, 160, 100});
    canvas.DrawLine({0, 50}, {300, 50});
    canvas.PopClip();
    canvas.BeginLayer({0, 0, 320, 200});
    canvas.FillRect({150, 150, 160, 160}, {0, 255, 0});
    canvas.EndLayer();
    canvas.InvertRect({200, 0, 220, 200});
    canvas.BeginLayer({0, 0, 50, 50});
    canvas.PushClip({0, 0, 10, 10});
    canvas.EndLayer(); // the clip is innermost: not a layer's end; both close with the document

    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.root, "svg");
    // Rectangles: fill, rectangle, two clip areas, layer fill, inverted band.
    const std::map<std::string, int> counts = {
        {"svg", 1}, {"line", 3 + 4 + 4 + 1}, {"text", 1}, {"polyline", 1},
        {"g", 4},   {"clipPath", 2},         {"rect", 6}};
    for (const auto& [name, count] : counts)
        EXPECT_EQ(xml.Count(name), count) << name;
    EXPECT_EQ(xml.elements.front().second, (Attributes{{"version", "1.1"},
                                                       {"xmlns", "http://www.w3.org/2000/svg"},
                                                       {"width", "320"},
                                                       {"height", "200"},
                                                       {"viewBox", "0 0 320 200"}}));
    EXPECT_EQ(xml.texts, std::vector<std::string>{"1.0kHz"});
}

TEST(SvgCanvas, TextIsEscapedAndForbiddenBytesAreReplaced) {
    CSvgCanvas canvas(100, 100);
    canvas.DrawText({0, 0}, "a<b & \"c\" 'd' 45\xC2\xB0", {0, 0, 0});
    canvas.DrawText({0, 20}, "x\xFFy\x01z\xED\xA0\x80", {0, 0, 0}); // bad byte, control, surrogate
    canvas.SetFont({12, 400, "Deja<Vu>"});
    canvas.DrawText({0, 40}, "f", {0, 0, 0});
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.texts, (std::vector<std::string>{"a<b & \"c\" 'd' 45\xC2\xB0", "x?y?z???", "f"}));
    EXPECT_EQ(xml.elements.back().second.at("font-family"), "Deja<Vu>, monospace");
}

TEST(SvgCanvas, ShapesLieOnPixelCentresAndTextOnTheModelsBaseline) {
    CSvgCanvas canvas(200, 100);
    canvas.SetPen({{1, 2, 3}, 1});
    canvas.DrawLine({-3, 0}, {10, 7});
    canvas.FillRect({2, 3, 12, 8}, {255, 0, 0});
    canvas.Rectangle({20, 20, 21, 30}); // one pixel wide: a line down its column
    canvas.SetFont({20, 700, {}});
    EXPECT_EQ(canvas.GetTextExtent("abc"), (CSize{36, 20}));
    canvas.DrawText({10, 30}, "abc", {0, 0, 0});
    const CXmlCheck xml = CheckXml(canvas.GetDocument());
    ASSERT_TRUE(xml.ok) << xml.error;
    ASSERT_EQ(xml.elements.size(), 5u);
    const Attributes& line = xml.elements[1].second;
    EXPECT_EQ(line.at("x1") + " " + line.at("y1") + " " + line.at("x2") + " " + line.at("y2"),
              "-2.5 0.5 10.5 7.5");
    EXPECT_EQ(line.at("stroke"), "#010203");
    const Attributes& rect = xml.elements[2].second;
    EXPECT_EQ(rect.at("x") + " " + rect.at("y") + " " + rect.at("width") + " " + rect.at("height") +
                  " " + rect.at("fill"),
              "2 3 10 5 #ff0000");
    EXPECT_EQ(xml.elements[3].first, "line");
    EXPECT_EQ(xml.elements[3].second.at("y2"), "29.5");
    // 30 + 0.8 × 20 below the top, held to its laid-out width whatever the viewer's font.
    EXPECT_EQ(xml.elements[4].second, (Attributes{{"x", "10"},
                                                  {"y", "46"},
                                                  {"font-size", "20"},
                                                  {"font-weight", "700"},
                                                  {"font-family", "monospace"},
                                                  {"fill", "#000000"},
                                                  {"textLength", "36"},
                                                  {"lengthAdjust", "spacingAndGlyphs"},
                                                  {"xml:space", "preserve"}}));
}

TEST(SvgCanvas, CharactersAdvanceSixTenthsOfTheHeight) {
    for (const auto& [height, advance] :
         {std::pair{12, 7}, {10, 6}, {60, 36}, {1, 1}, {0, 1}, {13, 8}}) {
        CSvgCanvas canvas(10, 10);
        canvas.SetFont({height, 400, {}});
        const CTextMetrics m = canvas.GetTextMetrics();
        EXPECT_EQ(m.averageCharWidth, advance) << height;
        EXPECT_EQ(m.maxCharWidth, advance) << height;
        EXPECT_EQ(m.height, std::max(1, height)) << height;
    }
}

TEST(SvgCanvas, CountsCodePointsAndEachStrayByteOnce) {
    for (const auto& [text, characters] : {std::pair{"", 0},
                                           {"45\xC2\xB0", 3},
                                           {"\xE2\x82\xAC", 1},
                                           {"\xF0\x9F\x8E\xB5x", 2},
                                           {"\xFF\xFE", 2},
                                           {"\xC2", 1},
                                           {"\xE0\x80\x80", 3},
                                           {"\xC0\xAF", 2}})
        EXPECT_EQ(CFixedMetricsCanvas::CountCharacters(text), characters) << text;
}

// The check must be able to fail, or the tests above prove nothing.
TEST(XmlCheck, RefusesMalformedDocuments) {
    EXPECT_TRUE(CheckXml("<?xml version=\"1.0\"?>\n<a x=\"&lt;\"><b/>t&#38;</a>\n").ok);
    for (const char* bad : {"<a><b></a></b>", "<a x=1/>", "<a>&bogus;</a>", "<a/><b/>",
                            "<a x=\"1\" x=\"2\"/>", "<a>1 < 2</a>", "<a>\x01</a>", "<a", "<a>",
                            "<a x=\"1\"y=\"2\"/>", "", "x<a/>", "<a/>x", "<a>&amp</a>"})
        EXPECT_FALSE(CheckXml(bad).ok) << bad;
}

} // namespace
