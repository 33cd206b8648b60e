#pragma once
// What checking one item of a plan found: the value, the limits it was held to, the margin to
// the nearer limit (negative outside) and the verdict; for a mask the point where the margin is
// least, and the checked curve with its limits at each point.

#include "station/Curve.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

enum class ECheckKind { Limit, Mask };

struct CCheckResult {
    std::string id;
    std::string measurement;
    ECheckKind kind = ECheckKind::Limit;
    double value = std::numeric_limits<double>::quiet_NaN(); // NaN: the module showed no number
    std::string unit;
    std::optional<double> lower, upper; // a mask's: their values at `frequency`
    double margin = -std::numeric_limits<double>::infinity();
    double frequency = std::numeric_limits<double>::quiet_NaN(); // masks: where margin is least
    bool passed = false;
};

/** A checked curve as the record keeps it: the measured points in the checked range (after
 *  normalising) and the limits that applied at each (NaN where a mask does not reach). */
struct CCheckedCurve {
    std::string id;
    CCurve measured;
    std::vector<double> upper, lower;
};
