#include "process/StepRate.h"

#include "base/NumberText.h"

#include <cmath>

int NearestRateIndex(const std::vector<int>& rates, double rate) {
    int nearest = -1;
    for (size_t i = 0; i < rates.size(); ++i)
        if (nearest < 0 || std::fabs(rates[i] - rate) < std::fabs(rates[size_t(nearest)] - rate))
            nearest = int(i);
    return nearest;
}

std::string RateMismatchWarning(double stepRate, double processRate) {
    if (stepRate == processRate || !(stepRate > 0.0) || !(processRate > 0.0)) return {};
    return FormatText("Rate %.0f Hz is not the process rate %.0f Hz: frequencies come out "
                      "scaled by %.5g",
                      stepRate, processRate, stepRate / processRate);
}
