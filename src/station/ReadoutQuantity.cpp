#include "station/ReadoutQuantity.h"

#include <algorithm>
#include <charconv>
#include <cmath>

CReadoutQuantity ReadoutQuantity(const std::string& value) {
    const char* begin = value.data() + std::min(value.find_first_not_of(" +"), value.size());
    double number = 0.0;
    const auto [end, failure] = std::from_chars(begin, value.data() + value.size(), number);
    const bool numeric = failure == std::errc() && std::isfinite(number);
    CReadoutQuantity q;
    q.unit = numeric ? std::string(end) : value;
    if (!numeric && q.unit.rfind("- ", 0) == 0) q.unit.erase(0, 2);
    q.unit.erase(0, q.unit.find_first_not_of(' '));
    if (numeric) q.number = number;
    return q;
}
