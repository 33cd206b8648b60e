#include "formats/MicCalibration.h"

#include "base/NumberText.h"
#include "base/TextLines.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
// A deviation beyond this is no microphone's: a file in another unit, or damaged.
constexpr double kMaxDecibels = 60.0;

std::string_view Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The next field of a data line and the rest after its separators; false at the end.
bool NextField(std::string_view& rest, std::string_view& field) {
    const size_t start = rest.find_first_not_of(" \t,;");
    if (start == std::string_view::npos) return false;
    rest.remove_prefix(start);
    const size_t end = std::min(rest.find_first_of(" \t,;"), rest.size());
    field = rest.substr(0, end);
    rest.remove_prefix(end);
    return true;
}

bool ReadNumber(std::string_view field, double& value) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    const auto [end, failure] = std::from_chars(field.data(), field.data() + field.size(), value);
    return failure == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

// The number after "Sens Factor =" in a comment line; false when the line carries none.
bool SensitivityOf(std::string_view line, double& value, bool& malformed) {
    std::string lower(line);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const size_t at = lower.find("sens factor");
    if (at == std::string::npos) return false;
    const size_t equals = lower.find('=', at);
    std::string_view rest = line.substr(equals == std::string::npos ? line.size() : equals + 1);
    rest = Trim(rest);
    const size_t end = rest.find_first_not_of("+-.0123456789eE");
    malformed = equals == std::string::npos ||
                !ReadNumber(rest.substr(0, std::min(end, rest.size())), value) ||
                std::abs(value) > kMaxDecibels;
    return true;
}
} // namespace

double CMicCalibration::At(double f) const {
    if (frequencies.empty()) return 0.0;
    if (!(f > frequencies.front())) return decibels.front();
    if (f >= frequencies.back()) return decibels.back();
    const size_t i =
        size_t(std::upper_bound(frequencies.begin(), frequencies.end(), f) - frequencies.begin());
    const double x0 = std::log(frequencies[i - 1]), x1 = std::log(frequencies[i]);
    const double t = (std::log(f) - x0) / (x1 - x0);
    return decibels[i - 1] + t * (decibels[i] - decibels[i - 1]);
}

bool ParseMicCalibration(std::string_view text, const std::string& name, CMicCalibration& out,
                         std::string& message) {
    if (text.size() > kMaxMicCalibrationBytes) {
        message = name + ": " + std::to_string(text.size()) +
                  " bytes is too long for a microphone calibration file";
        return false;
    }
    CMicCalibration curve;
    CTextLineReader reader(text);
    std::string_view raw;
    const auto refuse = [&](const std::string& why) {
        message = name + " line " + std::to_string(reader.GetLineNumber()) + ": " + why;
        return false;
    };
    while (reader.ReadLine(raw)) {
        const std::string_view line = Trim(raw);
        if (line.empty()) continue;
        if (line.front() == '*' || line.front() == '"' || line.front() == '#') {
            bool malformed = false;
            double sensitivity = 0.0;
            if (!curve.IsEmpty() || !SensitivityOf(line, sensitivity, malformed)) continue;
            if (malformed) return refuse("the sensitivity factor is not a level in dB");
            curve.hasSensitivity = true;
            curve.sensitivity = sensitivity;
            continue;
        }
        std::string_view rest = line, field;
        double f = 0.0, db = 0.0;
        if (!NextField(rest, field) || !ReadNumber(field, f) || !NextField(rest, field) ||
            !ReadNumber(field, db))
            return refuse("\"" + std::string(line.substr(0, 40)) +
                          "\" is not a frequency and a level");
        if (!(f > 0.0)) return refuse(FormatText("frequency %g Hz is not positive", f));
        if (std::abs(db) > kMaxDecibels)
            return refuse(FormatText("%g dB is beyond the +-60 dB a microphone deviates", db));
        if (!curve.IsEmpty() && f <= curve.frequencies.back())
            return refuse(FormatText("frequencies must rise (%g Hz after %g Hz)", f,
                                     curve.frequencies.back()));
        curve.frequencies.push_back(f);
        curve.decibels.push_back(db);
    }
    if (curve.IsEmpty()) {
        message = name + ": no frequency and level lines";
        return false;
    }
    out = std::move(curve);
    return true;
}

bool LoadMicCalibration(const std::string& path, CMicCalibration& out, std::string& message) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, message, kMaxMicCalibrationBytes)) return false;
    return ParseMicCalibration({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, path,
                               out, message);
}

std::string MicCalibrationText(const CMicCalibration& curve) {
    std::string text;
    if (curve.hasSensitivity) text = FormatText("\"Sens Factor =%.17gdB\"\n", curve.sensitivity);
    for (size_t i = 0; i < curve.frequencies.size(); ++i)
        text += FormatText("%.17g %.17g\n", curve.frequencies[i], curve.decibels[i]);
    return text;
}
