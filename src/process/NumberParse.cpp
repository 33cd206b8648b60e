#include "process/NumberParse.h"

#include <cctype>
#include <charconv>

double ParseDouble(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0.0;
    // Out-of-range and non-numeric texts both read as 0.
    if (std::from_chars(text.data() + i, text.data() + text.size(), value).ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}
