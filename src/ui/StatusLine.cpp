#include "ui/StatusLine.h"

#include "platform/Clock.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

std::string FormatStatusText(const std::string& processDesc, int blockType, int blockSize,
                             double sampleRate, std::time_t now) {
    static constexpr const char* kFormat = "Data Type:%d FFT Size:%d Sample Rate:%6.0f  ";
    // No decimal point is printed, so the user's numeric locale cannot change the text.
    const int length = std::snprintf(nullptr, 0, kFormat, blockType, blockSize, sampleRate);
    std::vector<char> formatted(static_cast<size_t>(length > 0 ? length : 0) + 1);
    std::snprintf(formatted.data(), formatted.size(), kFormat, blockType, blockSize, sampleRate);
    return processDesc + " " + formatted.data() + FormatLocalTime(now, "%H:%M:%S %d %b %y");
}

int StatusStepFromText(const std::string& text) {
    static constexpr std::string_view kLabel = "Step: ";
    const size_t at = text.find(kLabel);
    if (at == std::string::npos) return 0;
    const char* begin = text.data() + at + kLabel.size();
    const char* end = text.data() + text.size();
    if (begin == end || *begin < '0' || *begin > '9') return 0;
    int step = 0;
    return std::from_chars(begin, end, step).ec == std::errc() ? step : 0;
}

CColour StatusColour(const std::string& text, int currentStep, bool running, bool paused,
                     bool customTextColour, CColour windowTextColour) {
    const int step = StatusStepFromText(text);
    if (step != 0 && step == currentStep) {
        if (paused) return kStatusPausedColour;
        if (running) return kStatusRunningColour;
    }
    return customTextColour ? kStatusIdleCustomColour : windowTextColour;
}
