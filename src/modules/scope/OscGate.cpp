#include "modules/scope/OscGate.h"

#include "modules/scope/OscTrace.h"

#include <algorithm>
#include <cmath>

void COscGate::WholeBlock(double blockLength) {
    m_leftMarker = 0.0;
    m_rightMarker = blockLength;
    m_start = 0.0;
    m_stop = blockLength;
}

void COscGate::Press(int32_t x, double blockLength) {
    m_pressX = m_currentX = x;
    WholeBlock(blockLength);
    m_on = false;
    m_dragging = true;
}

void COscGate::Drag(int32_t x) {
    if (m_dragging) m_currentX = x;
}

void COscGate::Release(int32_t x, const COscGateGeometry& g) {
    if (!m_dragging) return;
    m_dragging = false;
    m_currentX = x;
    if (x == m_pressX) return;
    m_on = true;
    // The block's own width in pixels at this time base.
    const double blockWidth = g.width / 10.0 * (g.blockLength / g.sampleRate) / g.timePerDivision;
    const auto marker = [&](int32_t column) {
        return double(column - g.origin) / g.width * g.blockLength;
    };
    const auto sample = [&](int32_t column) {
        return double(column - g.origin) / blockWidth * g.blockLength;
    };
    const int32_t lo = std::min(x, m_pressX);
    const int32_t hi = std::max(x, m_pressX);
    m_leftMarker = marker(lo);
    m_rightMarker = marker(hi);
    m_start = sample(lo);
    m_stop = sample(hi);
    // A window that misses the block (or a geometry without a width) keeps the gate on over
    // the whole block.
    if (!(m_start < g.blockLength) || !(m_stop > 0.0) || !std::isfinite(m_start) ||
        !std::isfinite(m_stop))
        WholeBlock(g.blockLength);
}

bool COscGate::Band(int32_t origin, int32_t width, double blockLength, int32_t& from,
                    int32_t& to) const {
    if (!m_on || !(blockLength > 0.0)) return false;
    from = OscPixel(origin + m_leftMarker / blockLength * width);
    to = OscPixel(origin + m_rightMarker / blockLength * width);
    return true;
}

void COscGate::Set(bool on, double leftMarker, double rightMarker, double start, double stop) {
    m_on = on;
    m_leftMarker = leftMarker;
    m_rightMarker = rightMarker;
    m_start = start;
    m_stop = stop;
}
