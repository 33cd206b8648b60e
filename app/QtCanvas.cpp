#include "QtCanvas.h"

#include "QtPlatform.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {
QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
} // namespace

CQtCanvas::CQtCanvas(QPainter& painter, bool printing) : m_painter(painter), m_printing(printing) {
    m_painter.setBrush(Qt::NoBrush);
}

void CQtCanvas::SetPen(const CPen& pen) {
    QPen p(ToQColor(pen.colour));
    p.setWidth(std::max(1, pen.width));
    m_painter.setPen(p);
}

void CQtCanvas::SetBrush(std::optional<CColour> brush) {
    m_painter.setBrush(brush ? QBrush(ToQColor(*brush)) : QBrush(Qt::NoBrush));
}

void CQtCanvas::SetFont(const CFont& font) {
    QFont f = font.face.empty() ? QFont() : QFont(QString::fromStdString(font.face));
    f.setPixelSize(std::max(1, font.height));
    if (font.weight > 0) f.setWeight(QFont::Weight(std::clamp(font.weight, 100, 900)));
    m_painter.setFont(f);
}

void CQtCanvas::DrawLine(CPoint from, CPoint to) {
    m_painter.drawLine(from.x, from.y, to.x, to.y);
}

void CQtCanvas::DrawPolyline(const std::vector<CPoint>& points) {
    if (points.size() < 2) return;
    QPolygon polygon;
    polygon.reserve(qsizetype(points.size()));
    for (const CPoint& p : points)
        polygon << QPoint(p.x, p.y);
    m_painter.drawPolyline(polygon);
}

void CQtCanvas::FillRect(const CRect& rect, CColour colour) {
    m_painter.fillRect(ToQRect(rect), ToQColor(colour));
}

void CQtCanvas::Rectangle(const CRect& rect) {
    // The outline lies on the rectangle's outermost pixels, as the core's rectangles mean.
    m_painter.drawRect(
        QRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1));
}

void CQtCanvas::Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) {
    const int r = rect.right - 1, b = rect.bottom - 1;
    m_painter.setPen(ToQColor(topLeft));
    m_painter.drawLine(rect.left, rect.top, r, rect.top);
    m_painter.drawLine(rect.left, rect.top, rect.left, b);
    m_painter.setPen(ToQColor(bottomRight));
    m_painter.drawLine(rect.left, b, r, b);
    m_painter.drawLine(r, rect.top, r, b);
}

void CQtCanvas::DrawSunkenEdge(const CRect& rect, unsigned sides) {
    const QColor outerTop(128, 128, 128), innerTop(64, 64, 64);
    const QColor outerBottom(255, 255, 255), innerBottom(223, 223, 223);
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    auto edge = [&](QColor c, int x1, int y1, int x2, int y2) {
        m_painter.setPen(c);
        m_painter.drawLine(x1, y1, x2, y2);
    };
    if (sides & kEdgeTop) edge(outerTop, l, t, r, t), edge(innerTop, l + 1, t + 1, r - 1, t + 1);
    if (sides & kEdgeLeft) edge(outerTop, l, t, l, b), edge(innerTop, l + 1, t + 1, l + 1, b - 1);
    if (sides & kEdgeBottom)
        edge(outerBottom, l, b, r, b), edge(innerBottom, l + 1, b - 1, r - 1, b - 1);
    if (sides & kEdgeRight)
        edge(outerBottom, r, t, r, b), edge(innerBottom, r - 1, t + 1, r - 1, b - 1);
}

void CQtCanvas::InvertRect(const CRect& rect) {
    m_painter.save();
    m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter.fillRect(ToQRect(rect), Qt::white);
    m_painter.restore();
}

CTextMetrics CQtCanvas::GetTextMetrics() const {
    const QFontMetrics m(m_painter.font());
    return CTextMetrics{m.averageCharWidth(), m.maxWidth(), m.height()};
}

CSize CQtCanvas::GetTextExtent(std::string_view text) const {
    const QFontMetrics m(m_painter.font());
    return CSize{m.horizontalAdvance(Text(text)), m.height()};
}

void CQtCanvas::DrawText(CPoint topLeft, std::string_view text, CColour colour) {
    m_painter.save();
    m_painter.setPen(ToQColor(colour));
    m_painter.drawText(topLeft.x, topLeft.y + QFontMetrics(m_painter.font()).ascent(), Text(text));
    m_painter.restore();
}

void CQtCanvas::PushClip(const CRect& rect) {
    m_painter.save();
    m_painter.setClipRect(ToQRect(rect),
                          m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void CQtCanvas::PopClip() {
    // Only the clip ends here: pen, brush and font stay as last set.
    const QPen pen = m_painter.pen();
    const QBrush brush = m_painter.brush();
    const QFont font = m_painter.font();
    m_painter.restore();
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    m_painter.setFont(font);
}

// Qt paints widgets through a back buffer of its own, so a layer needs no buffer here.
void CQtCanvas::BeginLayer(const CRect&) {}

void CQtCanvas::EndLayer() {}

int CQtCanvas::GetDpiX() const {
    return m_painter.device() ? m_painter.device()->logicalDpiX() : 96;
}
