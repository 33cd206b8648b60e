#include "ResultsCommand.h"

#include "CliSession.h"
#include "platform/AtomicFile.h"
#include "station/ResultsReport.h"
#include "station/StationSettings.h"
#include "station/StationText.h"
#include "station/YieldReport.h"

#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>

namespace {

using nlohmann::json;

json Optional(const std::optional<double>& v) {
    return v ? json(*v) : json(nullptr);
}

std::string Text(const std::optional<double>& v) {
    return v ? RoundedNumber(*v, 4) : "-";
}

void PrintReport(const CYieldReport& r, std::ostream& out) {
    out << r.tests << " tests, " << r.passed << " passed";
    if (r.tests)
        out << ": yield " << RoundedNumber(100.0 * double(r.passed) / double(r.tests), 4) << " %";
    out << "\n";
    if (r.items.empty()) return;
    out << std::left << std::setw(20) << "Item" << std::setw(8) << "Fails" << std::setw(8)
        << "Values" << std::setw(12) << "Mean" << std::setw(12) << "Sigma" << std::setw(10)
        << "Lower" << std::setw(10) << "Upper" << std::setw(8) << "Cpk"
        << "Unit\n";
    for (const CItemStatistics& s : r.items)
        out << std::setw(20) << TerminalText(s.id) << std::setw(8) << s.failures << std::setw(8)
            << s.count << std::setw(12) << RoundedNumber(s.mean, 5) << std::setw(12)
            << RoundedNumber(s.sigma, 3) << std::setw(10) << Text(s.lower) << std::setw(10)
            << Text(s.upper) << std::setw(8) << Text(s.cpk) << TerminalText(s.unit) << "\n";
}

json ReportJson(const CYieldReport& r) {
    json items = json::array();
    for (const CItemStatistics& s : r.items)
        items.push_back({{"id", s.id},
                         {"unit", s.unit},
                         {"failures", s.failures},
                         {"values", s.count},
                         {"mean", s.mean},
                         {"sigma", s.sigma},
                         {"lower", Optional(s.lower)},
                         {"upper", Optional(s.upper)},
                         {"cpk", Optional(s.cpk)}});
    return {{"tests", r.tests}, {"passed", r.passed}, {"items", items}};
}

} // namespace

int ShowResults(const CResultsOptions& options, std::ostream& out, std::ostream& err) {
    // The same store `test` writes to: a station whose settings name a database reads it back.
    const std::string url = options.db.empty() ? ConfiguredResultsUrl(UserSettings()) : options.db;
    std::string error;
    std::unique_ptr<IResultsStore> store = OpenResultsStore(url, error);
    if (!store) return Fail(err, error);
    const CResultsQuery query{options.plan, options.station, options.since};
    CYieldReport report;
    if (!ReadYieldReport(*store, query, report, error)) return Fail(err, error);
    if (!options.csv.empty()) {
        std::vector<CItemRow> rows;
        if (!store->Items(query, rows, error)) return Fail(err, error);
        const std::string csv = ItemsCsv(rows);
        if (!WriteFileAtomically(options.csv, std::vector<uint8_t>(csv.begin(), csv.end()), error))
            return Fail(err, error);
    }
    if (!options.report.empty() &&
        !WriteResultsReport(*store, query, report, options.report, error))
        return Fail(err, error);
    if (options.json) {
        out << ReportJson(report).dump(2) << "\n";
        return 0;
    }
    PrintReport(report, out);
    for (const std::string& written : {options.csv, options.report})
        if (!written.empty()) out << "Wrote " << TerminalText(written) << "\n";
    return 0;
}
