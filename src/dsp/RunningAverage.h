#pragma once
// The running average of blocks: how block number n (1-based) is taken in with a given
// averaging limit, worked out once per block and then applied to every value of it.

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
