#pragma once
// The oscilloscope's gate: a time window dragged with the mouse across the plot. Samples of
// the block outside the window are zeroed in what the oscilloscope hands on. Positions are
// pixel columns of the plot; marker and gate values are in samples.

#include "base/Archive.h"

#include <cstdint>

/** Where the block lies in the plot when a drag ends. */
struct COscGateGeometry {
    /** Pixel column of sample 0. */
    int32_t origin = 0;
    /** Plot width in pixels (ten divisions). */
    int32_t width = 0;
    /** Samples in the block. */
    double blockLength = 0.0;
    /** Samples per second. */
    double sampleRate = 0.0;
    /** Seconds per division. */
    double timePerDivision = 0.0;
};

class COscGate {
public:
    /** Button down at column x: forgets the gate (whole block, off) and starts a drag. */
    void Press(int32_t x, double blockLength);
    /** Mouse moved to column x during the drag. */
    void Drag(int32_t x);
    /** Button up at column x: a drag (x differs from where it began) sets the window and turns
     *  the gate on; a window wholly after the block or wholly before its start becomes the whole
     *  block, still on. A click leaves the gate off. Ends the drag. */
    void Release(int32_t x, const COscGateGeometry& geometry);
    /** Ends the drag without setting a window (the mouse left the plot or lost its capture). */
    void Abandon() { m_dragging = false; }

    bool IsDragging() const { return m_dragging; }
    /** Whether sample i is handed on unchanged: always with the gate off, else inside the
     *  window (both ends included). */
    bool Passes(int32_t i) const { return !m_on || (i >= m_start && i <= m_stop); }

    /** Pixel columns of the band that shows the window, `origin` and `width` as in the
     *  geometry; false while the gate is off or the block is empty. */
    bool Band(int32_t origin, int32_t width, double blockLength, int32_t& from, int32_t& to) const;

    bool IsOn() const { return m_on; }
    double GetLeftMarker() const { return m_leftMarker; }
    double GetRightMarker() const { return m_rightMarker; }
    double GetStart() const { return m_start; }
    double GetStop() const { return m_stop; }
    int32_t GetPressX() const { return m_pressX; }
    int32_t GetCurrentX() const { return m_currentX; }

    /** Restores stored values (the caller has checked them). */
    void Set(bool on, double leftMarker, double rightMarker, double start, double stop);

private:
    void WholeBlock(double blockLength);

    bool m_on = false;
    bool m_dragging = false;
    double m_leftMarker = 0.0;
    double m_rightMarker = 0.0;
    double m_start = 0.0;
    double m_stop = 1024.0;
    int32_t m_pressX = 0;
    int32_t m_currentX = 0;
};
