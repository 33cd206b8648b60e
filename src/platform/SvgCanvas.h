#pragma once
// A canvas that writes an SVG 1.1 document (standard C++ only). Clips become clipPath groups,
// layers plain groups; text uses a monospace family sized to the fixed font model, so the
// measured extents match what a browser shows closely enough for label placement.

#include "platform/FixedMetricsCanvas.h"

#include <string>
#include <vector>

class CSvgCanvas final : public CFixedMetricsCanvas {
public:
    /** A document of `width` × `height` pixels (each at least 1). */
    CSvgCanvas(int width, int height);

    void DrawLine(CPoint from, CPoint to) override;
    void DrawPolyline(const std::vector<CPoint>& points) override;
    void FillRect(const CRect& rect, CColour colour) override;
    void Rectangle(const CRect& rect) override;
    void Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) override;
    void DrawSunkenEdge(const CRect& rect, unsigned sides) override;
    void InvertRect(const CRect& rect) override;
    void DrawText(CPoint topLeft, std::string_view text, CColour colour) override;
    void PushClip(const CRect& rect) override;
    void PopClip() override;
    void BeginLayer(const CRect& area) override;
    void EndLayer() override;

    /** The complete document; groups still open are closed in it. */
    std::string GetDocument() const;

    /** Text made safe for XML character data and attribute values: markup characters escaped,
     *  characters XML forbids and bytes that are not well-formed UTF-8 replaced by '?'. */
    static std::string EscapeXml(std::string_view text);

private:
    enum class EGroup { clip, layer };
    void Line(CPoint from, CPoint to, const CPen& pen);
    void CloseGroup(EGroup kind);

    int m_width;
    int m_height;
    std::string m_body;
    std::vector<EGroup> m_groups;
    int m_nextClipId = 1;
};
