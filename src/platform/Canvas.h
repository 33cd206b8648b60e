#pragma once
// What module views draw on: a toolkit-independent canvas. Units are pixels with the origin at
// the top left; a rectangle covers the pixels left..right-1 and top..bottom-1. Every method is
// called on the GUI thread (or the command line's only thread) and keeps no reference to its
// arguments. Implementations: the SVG writer and the recording canvas here, a QPainter one in
// the desktop application.

#include "platform/Colour.h"
#include "base/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/** A pen: outline colour and width in pixels (at least 1). */
struct CPen {
    CColour colour;
    int width = 1;
    bool operator==(const CPen&) const = default;
};

/** A font request: cell height in pixels, weight 0..1000 (400 normal), family (empty: the
 *  toolkit's default sans-serif). */
struct CFont {
    int height = 12;
    int weight = 400;
    std::string face;
    bool operator==(const CFont&) const = default;
};

/** Measures of the current font, in pixels. */
struct CTextMetrics {
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    int height = 0;
    bool operator==(const CTextMetrics&) const = default;
};

/** Sides of a rectangle for DrawSunkenEdge. */
enum EEdgeSide : unsigned {
    kEdgeLeft = 1,
    kEdgeTop = 2,
    kEdgeRight = 4,
    kEdgeBottom = 8,
};

class ICanvas {
public:
    virtual ~ICanvas() = default;

    /** Pen for lines, polylines and rectangle outlines; stays until changed. */
    virtual void SetPen(const CPen& pen) = 0;
    /** Brush that fills Rectangle; no colour means hollow. Stays until changed. */
    virtual void SetBrush(std::optional<CColour> brush) = 0;
    /** Font for text and its metrics; stays until changed. */
    virtual void SetFont(const CFont& font) = 0;

    /** A straight line from `from` to `to` with the pen. */
    virtual void DrawLine(CPoint from, CPoint to) = 0;
    /** Connected lines through the points with the pen; fewer than two points draw nothing. */
    virtual void DrawPolyline(const std::vector<CPoint>& points) = 0;
    /** Fills the rectangle with a solid colour; no outline. */
    virtual void FillRect(const CRect& rect, CColour colour) = 0;
    /** Fills the rectangle with the brush (if any) and outlines it with the pen. */
    virtual void Rectangle(const CRect& rect) = 0;
    /** A one-pixel frame: top and left edges in `topLeft`, bottom and right in `bottomRight`. */
    virtual void Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) = 0;
    /** A two-pixel sunken edge on the given sides (EEdgeSide bits) inside the rectangle: grey
     *  (128) over dark grey (64) on the top and left, white over light grey (223) on the bottom
     *  and right. */
    virtual void DrawSunkenEdge(const CRect& rect, unsigned sides) = 0;
    /** Inverts the colours inside the rectangle (a selection band). */
    virtual void InvertRect(const CRect& rect) = 0;

    /** Measures of the current font. */
    virtual CTextMetrics GetTextMetrics() const = 0;
    /** Width and height of a UTF-8 text in the current font. */
    virtual CSize GetTextExtent(std::string_view text) const = 0;
    /** A UTF-8 text with its cell's top left corner at `topLeft`, transparent background. */
    virtual void DrawText(CPoint topLeft, std::string_view text, CColour colour) = 0;

    /** Limits drawing to the rectangle, intersected with the clip in force, until the matching
     *  PopClip. Calls nest. */
    virtual void PushClip(const CRect& rect) = 0;
    virtual void PopClip() = 0;

    /** Draws everything up to the matching EndLayer off screen and then copies it onto the
     *  canvas in one piece (flicker-free painting). Layers and clips nest inside each other;
     *  a close that does not match the innermost open one is ignored. */
    virtual void BeginLayer(const CRect& area) = 0;
    virtual void EndLayer() = 0;

    /** True when the canvas is a printer page. */
    virtual bool IsPrinting() const = 0;
    /** Pixels per inch horizontally (96 on screen). */
    virtual int GetDpiX() const = 0;
};
