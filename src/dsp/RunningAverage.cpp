#include "dsp/RunningAverage.h"

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
