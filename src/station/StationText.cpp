#include "station/StationText.h"

#include <charconv>

std::string ShortestNumber(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

std::string RoundedNumber(double value, int digits) {
    char text[48];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}
