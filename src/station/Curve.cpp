#include "station/Curve.h"

#include "platform/AtomicFile.h"
#include "station/StationText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kMaxCurveFileBytes = 64u << 20;

bool ParseNumber(const char*& p, const char* end, double& value) {
    while (p < end && (*p == ' ' || *p == '\t' || *p == ',' || *p == ';' || *p == '\r'))
        ++p;
    if (p < end && *p == '+') ++p;
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || !std::isfinite(value)) return false;
    p = next;
    return true;
}

} // namespace

double CurveValueAt(const CCurve& c, double f) {
    const size_t n = c.size();
    if (n == 0 || !(f >= c.x.front() && f <= c.x.back()))
        return std::numeric_limits<double>::quiet_NaN();
    if (n == 1) return c.y.front();
    size_t hi = 1;
    while (hi < n - 1 && c.x[hi] < f)
        ++hi;
    const double x0 = c.x[hi - 1], x1 = c.x[hi];
    const bool logarithmic = x0 > 0.0;
    const double t = logarithmic ? std::log(f / x0) / std::log(x1 / x0) : (f - x0) / (x1 - x0);
    return c.y[hi - 1] + t * (c.y[hi] - c.y[hi - 1]);
}

size_t FirstUnsortedPoint(const CCurve& curve) {
    for (size_t i = 1; i < curve.size(); ++i)
        if (!(curve.x[i] > curve.x[i - 1])) return i;
    return 0;
}

bool ParseCurveText(const std::string& name, const std::string& text, CCurve& curve,
                    std::string& error) {
    CCurve read;
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t stop = text.find('\n', start);
        if (stop == std::string::npos) stop = text.size();
        ++lineNumber;
        const char* p = text.data() + start;
        const char* end = text.data() + stop;
        start = stop + 1;
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\r'))
            ++p;
        if (p == end || *p == '#' || *p == '*' || *p == '"') continue;
        double f = 0.0, v = 0.0;
        if (!ParseNumber(p, end, f) || !ParseNumber(p, end, v)) {
            error = name + ": line " + std::to_string(lineNumber) +
                    " is not a pair of numbers \"frequency value\"";
            return false;
        }
        if (!read.x.empty() && !(f > read.x.back())) {
            error = name + ": line " + std::to_string(lineNumber) +
                    ": the frequencies must rise, and " + ShortestNumber(f) + " follows " +
                    ShortestNumber(read.x.back());
            return false;
        }
        read.x.push_back(f);
        read.y.push_back(v);
    }
    if (read.size() < 2) {
        error = name + ": a curve needs at least two points";
        return false;
    }
    curve = std::move(read);
    return true;
}

bool ReadCurveFile(const std::string& path, CCurve& curve, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error, kMaxCurveFileBytes)) return false;
    return ParseCurveText(path, std::string(bytes.begin(), bytes.end()), curve, error);
}

std::string CurveText(const CCurve& curve) {
    std::string text = "# frequency/Hz value/" + (curve.yUnit.empty() ? "1" : curve.yUnit) + "\n";
    for (size_t i = 0; i < curve.size(); ++i)
        text += ShortestNumber(curve.x[i]) + " " + ShortestNumber(curve.y[i]) + "\n";
    return text;
}
