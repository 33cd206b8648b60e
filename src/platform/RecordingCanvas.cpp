#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <climits>

CRecordingCanvas::COp& CRecordingCanvas::Add(EOp op) {
    COp& rec = m_ops.emplace_back();
    rec.op = op;
    rec.pen = GetPen();
    rec.brush = GetBrush();
    rec.font = GetFont();
    rec.clip = CurrentClip();
    return rec;
}

CRect CRecordingCanvas::CurrentClip() const {
    return m_clips.empty() ? CRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX} : m_clips.back();
}

void CRecordingCanvas::DrawLine(CPoint from, CPoint to) {
    Add(EOp::line).points = {from, to};
}

void CRecordingCanvas::DrawPolyline(const std::vector<CPoint>& points) {
    Add(EOp::polyline).points = points;
}

void CRecordingCanvas::FillRect(const CRect& rect, CColour colour) {
    COp& rec = Add(EOp::fillRect);
    rec.rect = rect;
    rec.colour = colour;
}

void CRecordingCanvas::Rectangle(const CRect& rect) {
    Add(EOp::rectangle).rect = rect;
}

void CRecordingCanvas::Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) {
    COp& rec = Add(EOp::rect3d);
    rec.rect = rect;
    rec.colour = topLeft;
    rec.colour2 = bottomRight;
}

void CRecordingCanvas::DrawSunkenEdge(const CRect& rect, unsigned sides) {
    COp& rec = Add(EOp::sunkenEdge);
    rec.rect = rect;
    rec.sides = sides;
}

void CRecordingCanvas::InvertRect(const CRect& rect) {
    Add(EOp::invertRect).rect = rect;
}

void CRecordingCanvas::DrawText(CPoint topLeft, std::string_view text, CColour colour) {
    COp& rec = Add(EOp::text);
    rec.points = {topLeft};
    rec.text = std::string(text);
    rec.colour = colour;
}

void CRecordingCanvas::PushClip(const CRect& rect) {
    Add(EOp::pushClip).rect = rect;
    const CRect outer = CurrentClip();
    m_clips.push_back({std::max(outer.left, rect.left), std::max(outer.top, rect.top),
                       std::min(outer.right, rect.right), std::min(outer.bottom, rect.bottom)});
}

void CRecordingCanvas::PopClip() {
    if (m_clips.empty()) return;
    m_clips.pop_back();
    Add(EOp::popClip);
}

void CRecordingCanvas::BeginLayer(const CRect& area) {
    Add(EOp::beginLayer).rect = area;
    ++m_layers;
}

void CRecordingCanvas::EndLayer() {
    if (m_layers == 0) return;
    --m_layers;
    Add(EOp::endLayer);
}

std::vector<CRecordingCanvas::COp> CRecordingCanvas::OpsOf(EOp op) const {
    std::vector<COp> out;
    std::copy_if(m_ops.begin(), m_ops.end(), std::back_inserter(out),
                 [op](const COp& rec) { return rec.op == op; });
    return out;
}

std::vector<std::string> CRecordingCanvas::Texts() const {
    std::vector<std::string> out;
    for (const COp& rec : m_ops)
        if (rec.op == EOp::text) out.push_back(rec.text);
    return out;
}

void CRecordingCanvas::Clear() {
    m_ops.clear();
    m_clips.clear();
    m_layers = 0;
}
