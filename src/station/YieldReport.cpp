#include "station/YieldReport.h"

#include "station/StationText.h"

#include <algorithm>
#include <cmath>

namespace {

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

bool ReadYieldReport(IResultsStore& store, const CResultsQuery& query, CYieldReport& report,
                     std::string& error) {
    if (!store.Statistics(query, report, error)) return false;
    for (CItemStatistics& s : report.items) {
        s.cpk.reset();
        if (s.sigma > 0 && (s.lower || s.upper)) {
            double distance = INFINITY;
            if (s.upper) distance = std::min(distance, *s.upper - s.mean);
            if (s.lower) distance = std::min(distance, s.mean - *s.lower);
            s.cpk = distance / (3.0 * s.sigma);
        }
    }
    std::sort(report.items.begin(), report.items.end(),
              [](const CItemStatistics& a, const CItemStatistics& b) {
                  return a.failures != b.failures ? a.failures > b.failures : a.id < b.id;
              });
    return true;
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
