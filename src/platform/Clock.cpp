#include "platform/Clock.h"

#include <locale.h>
#include <time.h>

#include <vector>

std::time_t CSystemClock::Now() const {
    return std::time(nullptr);
}

namespace {

locale_t ClassicLocale() {
    // Created once and kept for the life of the program.
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
    return classic;
}

} // namespace

std::string FormatLocalTime(std::time_t t, const char* strftimeFormat) {
    std::tm local{};
    if (strftimeFormat == nullptr || strftimeFormat[0] == '\0' ||
        localtime_r(&t, &local) == nullptr)
        return {};
    const locale_t classic = ClassicLocale();
    // strftime reports 0 both for "too small" and for an empty result, so the buffer grows a
    // bounded number of times before the result is taken to be empty.
    std::vector<char> buffer(64);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const size_t n =
            classic ? strftime_l(buffer.data(), buffer.size(), strftimeFormat, &local, classic)
                    : strftime(buffer.data(), buffer.size(), strftimeFormat, &local);
        if (n > 0) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
    return {};
}
