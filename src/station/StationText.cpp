#include "station/StationText.h"

#include "station/CheckResult.h"

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

std::string CheckText(const CCheckResult& c) {
    const auto limit = [](const std::optional<double>& v) { return v ? RoundedNumber(*v) : "-"; };
    const std::string unit = c.unit.empty() ? "" : " " + c.unit;
    std::string text =
        c.id + ": " + (std::isnan(c.value) ? "no value" : RoundedNumber(c.value)) + unit;
    if (c.kind == ECheckKind::Mask) text += " at " + RoundedNumber(c.frequency) + " Hz";
    return text + ", limits " + limit(c.lower) + " .. " + limit(c.upper) + unit + ", margin " +
           RoundedNumber(c.margin) + unit;
}
