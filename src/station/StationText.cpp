#include "station/StationText.h"

#include <charconv>
#include <cmath>

std::string ShortestNumber(double value) {
    char text[48];
    // Plain digits where they stay short (200000, not 2e+05), an exponent only beyond.
    const double size = std::fabs(value);
    const bool plain = value == 0.0 || (size >= 1e-5 && size < 1e15);
    const auto [end, ec] =
        plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
              : std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

std::string RoundedNumber(double value, int digits) {
    char text[48];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}
