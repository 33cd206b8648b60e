#include "station/YieldReport.h"

#include "station/StationText.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct CAccumulator {
    CItemStatistics stats;
    double sum = 0.0, sumSquares = 0.0; // about the first value, which keeps σ exact
    double shift = NAN;
};

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvNumber(double v) {
    return std::isfinite(v) ? ShortestNumber(v) : std::string();
}
std::string CsvNumber(const std::optional<double>& v) {
    return v ? CsvNumber(*v) : std::string();
}

} // namespace

CYieldReport SummariseItems(const std::vector<CItemRow>& rows, int64_t tests, int64_t passed) {
    std::map<std::string, CAccumulator> items;
    for (const CItemRow& r : rows) {
        CAccumulator& a = items[r.item];
        a.stats.id = r.item;
        a.stats.unit = r.unit;
        a.stats.lower = r.lower;
        a.stats.upper = r.upper;
        if (!r.passed) ++a.stats.failures;
        if (std::isnan(r.value)) continue;
        if (std::isnan(a.shift)) a.shift = r.value;
        const double d = r.value - a.shift;
        a.sum += d;
        a.sumSquares += d * d;
        ++a.stats.count;
    }
    CYieldReport report{tests, passed, {}};
    for (auto& [id, a] : items) {
        CItemStatistics s = a.stats;
        if (s.count > 0) {
            const double n = double(s.count);
            s.mean = a.shift + a.sum / n;
            s.sigma = s.count > 1
                          ? std::sqrt(std::max(0.0, (a.sumSquares - a.sum * a.sum / n) / (n - 1)))
                          : 0.0;
        }
        if (s.sigma > 0 && (s.lower || s.upper)) {
            double distance = INFINITY;
            if (s.upper) distance = std::min(distance, *s.upper - s.mean);
            if (s.lower) distance = std::min(distance, s.mean - *s.lower);
            s.cpk = distance / (3.0 * s.sigma);
        }
        report.items.push_back(s);
    }
    std::stable_sort(
        report.items.begin(), report.items.end(),
        [](const CItemStatistics& a, const CItemStatistics& b) { return a.failures > b.failures; });
    return report;
}

std::string ItemsCsv(const std::vector<CItemRow>& rows) {
    std::string csv = "uuid,tested_at,station,serial,verdict,item,value,unit,lower,upper,margin,"
                      "passed\r\n";
    for (const CItemRow& r : rows)
        csv += r.uuid + "," + r.testedAt + "," + CsvField(r.station) + "," + CsvField(r.serial) +
               "," + r.verdict + "," + CsvField(r.item) + "," + CsvNumber(r.value) + "," +
               CsvField(r.unit) + "," + CsvNumber(r.lower) + "," + CsvNumber(r.upper) + "," +
               CsvNumber(r.margin) + "," + (r.passed ? "1" : "0") + "\r\n";
    return csv;
}
