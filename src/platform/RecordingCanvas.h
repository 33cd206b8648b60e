#pragma once
// A canvas that keeps every call with its coordinates and the pen, brush and font in force, so
// tests can check what a view draws without a display.

#include "platform/FixedMetricsCanvas.h"

#include <string>
#include <vector>

class CRecordingCanvas final : public CFixedMetricsCanvas {
public:
    enum class EOp {
        line,
        polyline,
        fillRect,
        rectangle,
        rect3d,
        sunkenEdge,
        invertRect,
        text,
        pushClip,
        popClip,
        beginLayer,
        endLayer,
    };

    /** One recorded call. `points` holds the line's two ends or the polyline; `rect` the
     *  rectangle, clip or layer area; `colour` the fill, text or top-left colour;
     *  `colour2` the bottom-right colour of a 3-D frame; `clip` the clip in force (the whole
     *  plane when none). */
    struct COp {
        EOp op;
        std::vector<CPoint> points;
        CRect rect;
        CColour colour;
        CColour colour2;
        unsigned sides = 0;
        std::string text;
        CPen pen;
        std::optional<CColour> brush;
        CFont font;
        CRect clip;
    };

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

    /** Pretends to be a printer page of that resolution. */
    void SetPrinting(bool printing, int dpiX) {
        m_printing = printing;
        m_dpiX = dpiX;
    }
    bool IsPrinting() const override { return m_printing; }
    int GetDpiX() const override { return m_dpiX; }

    const std::vector<COp>& Ops() const { return m_ops; }
    /** The recorded calls of one kind, in order. */
    std::vector<COp> OpsOf(EOp op) const;
    /** The texts drawn, in order. */
    std::vector<std::string> Texts() const;
    /** Clips and layers still open. */
    size_t OpenGroups() const { return m_clips.size() + m_layers; }
    void Clear();

private:
    COp& Add(EOp op);
    CRect CurrentClip() const;

    std::vector<COp> m_ops;
    std::vector<CRect> m_clips;
    size_t m_layers = 0;
    bool m_printing = false;
    int m_dpiX = 96;
};
