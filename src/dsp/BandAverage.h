#pragma once
// Time averaging of band levels block by block, as a real-time analyser reads them: the sound
// level meter's exponential time weightings Fast (125 ms) and Slow (1 s), the equivalent level
// over the whole run (Leq), or an exponential average over N blocks; and beside the average a
// peak hold that decays, and the greatest and least averages of the run. Levels are mean
// squares (any unit squared); a NaN band (unresolved) stays NaN.

#include <cstddef>
#include <vector>

enum class EBandAveraging { Fast, Slow, Leq, Blocks };

class CBandAverage {
public:
    /** Forgets every block; the next one starts the average, the peaks and the extremes. */
    void Reset() { m_blocks = 0; }
    /** Takes one block's mean squares, which lasted `seconds`. `blocks`: the N of
     *  EBandAveraging::Blocks (the first N blocks are averaged evenly, then exponentially). A
     *  peak falls by `decay` dB per second until a higher level replaces it. */
    void Add(const std::vector<double>& power, double seconds, EBandAveraging mode, int blocks,
             double decay);

    size_t Count() const { return m_blocks; }
    const std::vector<double>& Average() const { return m_average; }
    const std::vector<double>& Peak() const { return m_peak; }
    const std::vector<double>& Max() const { return m_max; }
    const std::vector<double>& Min() const { return m_min; }

private:
    size_t m_blocks = 0;
    std::vector<double> m_average, m_peak, m_max, m_min;
};
