#pragma once
// The running average of blocks: how block number n (1-based) is taken in with a given
// averaging limit, worked out once per block and then applied to every value of it.

#include <cstdint>

struct CAverageStep {
    bool replace = true; // the new value stands alone
    double divisor = 1.0;

    /** Block n of `limit`: the first replaces; the next ones divide by a power of two that
     *  grows with n, up to the limit itself (a limit below 1 averages nothing). */
    static CAverageStep Of(int n, int limit);

    double Apply(double newValue, double oldAverage) const {
        return replace ? newValue : oldAverage + (newValue - oldAverage) / divisor;
    }
};

/** Takes `count` new values into their running averages. */
void AverageInto(const CAverageStep& step, int32_t count, const double* values, double* averages);
/** Takes `count` magnitudes into a running average of their powers, kept as its root. */
void AverageRootPowerInto(const CAverageStep& step, int32_t count, const double* magnitudes,
                          double* roots);
