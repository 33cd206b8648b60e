#include "dsp/BandAverage.h"

#include <algorithm>
#include <cmath>

void CBandAverage::Add(const std::vector<double>& power, double seconds, EBandAveraging mode,
                       int blocks, double decay) {
    if (m_blocks == 0 || m_average.size() != power.size()) {
        m_average = m_peak = m_max = m_min = power;
        m_blocks = 1;
        return;
    }
    ++m_blocks;
    // The share of the new block in the average.
    double share = 1.0 / double(m_blocks); // Leq: every block weighs the same
    if (mode == EBandAveraging::Fast || mode == EBandAveraging::Slow)
        share = 1.0 - std::exp(-seconds / (mode == EBandAveraging::Fast ? 0.125 : 1.0));
    else if (mode == EBandAveraging::Blocks)
        share = 1.0 / double(std::min<size_t>(m_blocks, size_t(std::max(blocks, 1))));
    const double fall = std::pow(10.0, -std::max(decay, 0.0) * seconds / 10.0);
    for (size_t i = 0; i < power.size(); ++i) {
        double& average = m_average[i];
        average += share * (power[i] - average);
        m_peak[i] = std::max(power[i], m_peak[i] * fall);
        m_max[i] = std::max(m_max[i], average);
        m_min[i] = std::min(m_min[i], average);
    }
}
