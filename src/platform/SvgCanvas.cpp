#include "platform/SvgCanvas.h"

#include "base/NumberText.h"

#include <algorithm>

namespace {

std::string Hex(CColour c) {
    return FormatText("#%02x%02x%02x", c.r, c.g, c.b);
}

// Pixel centres: an odd-width stroke along x + 0.5 covers whole pixels.
std::string Centre(int32_t v) {
    return FormatText("%.1f", v + 0.5);
}

std::string Stroke(const CPen& pen) {
    return FormatText(" stroke=\"%s\" stroke-width=\"%d\"", Hex(pen.colour).c_str(),
                      std::max(1, pen.width));
}

std::string RectAttributes(const CRect& r) {
    return FormatText(" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"", r.left, r.top,
                      std::max(0, r.right - r.left), std::max(0, r.bottom - r.top));
}

} // namespace

CSvgCanvas::CSvgCanvas(int width, int height)
    : m_width(std::max(1, width)), m_height(std::max(1, height)) {}

std::string CSvgCanvas::EscapeXml(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceLength(text, i);
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (length == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
            out += '?';
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

void CSvgCanvas::Line(CPoint from, CPoint to, const CPen& pen) {
    m_body += "<line x1=\"" + Centre(from.x) + "\" y1=\"" + Centre(from.y) + "\" x2=\"" +
              Centre(to.x) + "\" y2=\"" + Centre(to.y) + "\"" + Stroke(pen) +
              " stroke-linecap=\"square\"/>\n";
}

void CSvgCanvas::DrawLine(CPoint from, CPoint to) {
    Line(from, to, GetPen());
}

void CSvgCanvas::DrawPolyline(const std::vector<CPoint>& points) {
    if (points.size() < 2) return;
    m_body += "<polyline points=\"";
    for (size_t i = 0; i < points.size(); ++i)
        m_body += (i ? " " : "") + Centre(points[i].x) + "," + Centre(points[i].y);
    m_body += "\" fill=\"none\"" + Stroke(GetPen()) + " stroke-linejoin=\"round\"/>\n";
}

void CSvgCanvas::FillRect(const CRect& rect, CColour colour) {
    if (rect.IsRectEmpty()) return;
    m_body += "<rect" + RectAttributes(rect) + " fill=\"" + Hex(colour) + "\"/>\n";
}

void CSvgCanvas::Rectangle(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    if (rect.right - rect.left == 1 || rect.bottom - rect.top == 1) {
        Line({rect.left, rect.top}, {rect.right - 1, rect.bottom - 1}, GetPen());
        return;
    }
    // The outline runs along the outermost pixels, as the fill's edge.
    const std::string fill = GetBrush() ? Hex(*GetBrush()) : std::string("none");
    m_body += FormatText("<rect x=\"%s\" y=\"%s\" width=\"%d\" height=\"%d\" fill=\"%s\"",
                         Centre(rect.left).c_str(), Centre(rect.top).c_str(),
                         rect.right - rect.left - 1, rect.bottom - rect.top - 1, fill.c_str()) +
              Stroke(GetPen()) + "/>\n";
}

void CSvgCanvas::Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) {
    if (rect.IsRectEmpty()) return;
    const int32_t r = rect.right - 1, b = rect.bottom - 1;
    Line({rect.left, rect.top}, {r, rect.top}, {topLeft, 1});
    Line({rect.left, rect.top}, {rect.left, b}, {topLeft, 1});
    Line({rect.left, b}, {r, b}, {bottomRight, 1});
    Line({r, rect.top}, {r, b}, {bottomRight, 1});
}

void CSvgCanvas::DrawSunkenEdge(const CRect& rect, unsigned sides) {
    if (rect.IsRectEmpty()) return;
    const CColour shadow{128, 128, 128}, darkShadow{64, 64, 64};
    const CColour highlight{255, 255, 255}, light{223, 223, 223};
    for (int32_t inset = 0; inset < 2; ++inset) {
        const int32_t l = rect.left + inset, t = rect.top + inset;
        const int32_t r = rect.right - 1 - inset, b = rect.bottom - 1 - inset;
        if (r < l || b < t) break;
        const CColour upper = inset == 0 ? shadow : darkShadow;
        const CColour lower = inset == 0 ? highlight : light;
        if (sides & kEdgeTop) Line({l, t}, {r, t}, {upper, 1});
        if (sides & kEdgeLeft) Line({l, t}, {l, b}, {upper, 1});
        if (sides & kEdgeBottom) Line({l, b}, {r, b}, {lower, 1});
        if (sides & kEdgeRight) Line({r, t}, {r, b}, {lower, 1});
    }
}

void CSvgCanvas::InvertRect(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    // White in difference blending inverts what lies below.
    m_body += "<rect" + RectAttributes(rect) +
              " fill=\"#ffffff\" style=\"mix-blend-mode:difference\"/>\n";
}

void CSvgCanvas::DrawText(CPoint topLeft, std::string_view text, CColour colour) {
    if (text.empty()) return;
    const CFont& font = GetFont();
    const int height = GetTextMetrics().height;
    const int weight = std::clamp((font.weight + 50) / 100 * 100, 100, 900);
    // Baseline at 0.8 of the cell: a monospace font's ascent at this size. The text is held to
    // the width it was laid out with, since a viewer's monospace font may be a little wider and
    // would push it past the plot or the picture's edge.
    m_body +=
        FormatText("<text x=\"%d\" y=\"%d\" font-family=\"%s\" font-size=\"%d\" "
                   "font-weight=\"%d\" fill=\"%s\" textLength=\"%d\" "
                   "lengthAdjust=\"spacingAndGlyphs\" xml:space=\"preserve\">",
                   topLeft.x, topLeft.y + (height * 4 + 2) / 5,
                   font.face.empty() ? "monospace" : EscapeXml(font.face + ", monospace").c_str(),
                   height, weight, Hex(colour).c_str(), GetTextExtent(text).cx) +
        EscapeXml(text) + "</text>\n";
}

void CSvgCanvas::PushClip(const CRect& rect) {
    const int id = m_nextClipId++;
    const CRect visible{rect.left, rect.top, std::max(rect.left, rect.right),
                        std::max(rect.top, rect.bottom)};
    m_body += FormatText("<clipPath id=\"clip%d\"><rect", id) + RectAttributes(visible) +
              FormatText("/></clipPath>\n<g clip-path=\"url(#clip%d)\">\n", id);
    m_groups.push_back(EGroup::clip);
}

void CSvgCanvas::PopClip() {
    CloseGroup(EGroup::clip);
}

void CSvgCanvas::BeginLayer(const CRect&) {
    // A group is composed before it is shown, which is what an off-screen layer is for.
    m_body += "<g>\n";
    m_groups.push_back(EGroup::layer);
}

void CSvgCanvas::EndLayer() {
    CloseGroup(EGroup::layer);
}

void CSvgCanvas::CloseGroup(EGroup kind) {
    // An unmatched close is ignored, so a caller's mistake cannot break the document.
    if (m_groups.empty() || m_groups.back() != kind) return;
    m_groups.pop_back();
    m_body += "</g>\n";
}

std::string CSvgCanvas::GetDocument() const {
    std::string doc = FormatText("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
                                 "width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n",
                                 m_width, m_height, m_width, m_height);
    doc += m_body;
    for (size_t i = 0; i < m_groups.size(); ++i)
        doc += "</g>\n";
    return doc + "</svg>\n";
}
