#pragma once
// The core's canvas over a QPainter: module views draw on widgets and printer pages with it.

#include "platform/Canvas.h"

#include <QFont>

class QPainter;

class CQtCanvas final : public ICanvas {
public:
    /** The painter must be active and outlive the canvas. */
    CQtCanvas(QPainter& painter, bool printing = false);

    void SetPen(const CPen& pen) override;
    void SetBrush(std::optional<CColour> brush) override;
    void SetFont(const CFont& font) override;
    void DrawLine(CPoint from, CPoint to) override;
    void DrawPolyline(const std::vector<CPoint>& points) override;
    void FillRect(const CRect& rect, CColour colour) override;
    void Rectangle(const CRect& rect) override;
    void Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) override;
    void DrawSunkenEdge(const CRect& rect, unsigned sides) override;
    void InvertRect(const CRect& rect) override;
    CTextMetrics GetTextMetrics() const override;
    CSize GetTextExtent(std::string_view text) const override;
    void DrawText(CPoint topLeft, std::string_view text, CColour colour) override;
    void PushClip(const CRect& rect) override;
    void PopClip() override;
    void BeginLayer(const CRect& area) override;
    void EndLayer() override;
    bool IsPrinting() const override { return m_printing; }
    int GetDpiX() const override;

private:
    QPainter& m_painter;
    bool m_printing;
};
