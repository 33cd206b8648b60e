#include "dsp/RunningAverage.h"

#include "dsp/VectorClones.h"

#include <cmath>

CAverageStep CAverageStep::Of(int n, int limit) {
    if (n == 1) return {};
    if (n > 1 && n < limit) {
        // Divisor 2^j grows by one power of two each time n passes ln 2 * 2^j.
        const int j = static_cast<int>(std::trunc(1.44269 * std::log(n / std::log(2.0))));
        return {false, std::ldexp(1.0, j)};
    }
    if (limit < 1) return {}; // nothing to average over (and no division by zero)
    return {false, double(limit)};
}

// The choice is made once for the block, so that each loop is a plain one the vectoriser takes.
AURIVO_CLONES
void AverageInto(const CAverageStep& step, int32_t count, const double* __restrict values,
                 double* __restrict averages) {
    if (step.replace) {
        for (int32_t i = 0; i < count; ++i)
            averages[i] = values[i];
        return;
    }
    const double divisor = step.divisor;
    for (int32_t i = 0; i < count; ++i)
        averages[i] += (values[i] - averages[i]) / divisor;
}

AURIVO_CLONES
void AverageRootPowerInto(const CAverageStep& step, int32_t count,
                          const double* __restrict magnitudes, double* __restrict roots) {
    if (step.replace) {
        for (int32_t i = 0; i < count; ++i)
            roots[i] = std::sqrt(magnitudes[i] * magnitudes[i]);
        return;
    }
    const double divisor = step.divisor;
    for (int32_t i = 0; i < count; ++i) {
        const double power = roots[i] * roots[i];
        roots[i] = std::sqrt(power + (magnitudes[i] * magnitudes[i] - power) / divisor);
    }
}
