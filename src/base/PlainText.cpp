#include "base/PlainText.h"

#include <algorithm>
#include <charconv>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view TrimBlanks(std::string_view text, std::string_view blanks) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

bool ParseWholeNumber(std::string_view text, int& value) {
    const std::string_view t = TrimBlanks(text);
    const char* begin = t.data();
    const char* end = t.data() + t.size();
    // from_chars takes a minus sign but not a plus sign.
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') return false;
    }
    int parsed = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, parsed);
    if (begin == end || ec != std::errc() || ptr != end) return false;
    value = parsed;
    return true;
}
