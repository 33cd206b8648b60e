#pragma once
// The drawing state shared by the portable canvases (pen, brush, font) and their font model.
// Without a font engine, text is measured as a monospaced font: every character (UTF-8 code
// point) advances 0.6 of the font's cell height, rounded, and the cell is the font's height.
// The SVG writer asks the viewer for a monospace family so the picture matches the model.

#include "platform/Canvas.h"

class CFixedMetricsCanvas : public ICanvas {
public:
    void SetPen(const CPen& pen) override { m_pen = pen; }
    void SetBrush(std::optional<CColour> brush) override { m_brush = brush; }
    void SetFont(const CFont& font) override { m_font = font; }
    CTextMetrics GetTextMetrics() const override;
    CSize GetTextExtent(std::string_view text) const override;
    bool IsPrinting() const override { return false; }
    int GetDpiX() const override { return 96; }

    const CPen& GetPen() const { return m_pen; }
    const std::optional<CColour>& GetBrush() const { return m_brush; }
    const CFont& GetFont() const { return m_font; }

    /** Code points in a UTF-8 text; each byte that does not start a valid sequence counts as
     *  one. */
    static int CountCharacters(std::string_view text);
    /** Length of the well-formed UTF-8 sequence starting at text[i], 0 when none does. */
    static size_t Utf8SequenceLength(std::string_view text, size_t i);

private:
    CPen m_pen;
    std::optional<CColour> m_brush;
    CFont m_font;
};
