#include "station/ResultsReport.h"

#include "platform/AtomicFile.h"
#include "platform/SvgCanvas.h"
#include "station/ReportCharts.h"
#include "station/StationText.h"

#include <cmath>

namespace {

constexpr int kBins = 20;
constexpr int64_t kNewestCurves = 50; // more lines than this only darken the picture

std::string Html(const std::string& text) {
    return CSvgCanvas::EscapeXml(text);
}

std::string Cell(const std::optional<double>& v) {
    return "<td>" + (v ? RoundedNumber(*v, 5) : std::string("-")) + "</td>";
}

/** kBins equal bins over the item's values (a tenth of its size wide around a single value). */
std::vector<double> Edges(const CItemStatistics& s) {
    const double spread =
        s.most > s.least ? s.most - s.least : std::max(std::fabs(s.most) / 10, 1e-9);
    const double from = s.most > s.least ? s.least : s.least - spread / 2;
    std::vector<double> edges;
    for (int k = 0; k <= kBins; ++k)
        edges.push_back(from + spread * k / kBins);
    edges.back() = std::max(edges.back(), s.most);
    return edges;
}

std::string Figure(const std::string& caption, const std::string& svg) {
    return "<figure>" + svg + "<figcaption>" + Html(caption) + "</figcaption></figure>\n";
}

std::string Summary(const CResultsQuery& q, const CYieldReport& r, const std::string& store) {
    std::string filter;
    for (const auto& [name, value] :
         {std::pair{"plan", &q.plan}, {"station", &q.station}, {"since", &q.since}})
        if (!value->empty()) filter += std::string(", ") + name + " " + *value;
    const std::string yield =
        r.tests ? RoundedNumber(100.0 * double(r.passed) / double(r.tests), 4) + " %" : "-";
    return "<h1>Test results</h1>\n<p>" + Html(store + filter) + ", made " + UtcNowText() +
           "</p>\n<table class=\"counts\"><tr><th>Tests</th><th>Passed</th><th>Failed</th>"
           "<th>Yield</th></tr>\n<tr><td>" +
           std::to_string(r.tests) + "</td><td>" + std::to_string(r.passed) + "</td><td>" +
           std::to_string(r.tests - r.passed) + "</td><td>" + yield + "</td></tr></table>\n";
}

std::string ItemTable(const CYieldReport& r) {
    std::string html = "<h2>Items</h2>\n<table class=\"items\"><tr><th>Item</th><th>Unit</th>"
                       "<th>Failures</th><th>Values</th><th>Mean</th><th>&#963;</th>"
                       "<th>Lower</th><th>Upper</th><th>Cpk</th></tr>\n";
    for (const CItemStatistics& s : r.items)
        html += "<tr><td>" + Html(s.id) + "</td><td>" + Html(s.unit) + "</td><td>" +
                std::to_string(s.failures) + "</td><td>" + std::to_string(s.count) + "</td>" +
                Cell(s.mean) + Cell(s.sigma) + Cell(s.lower) + Cell(s.upper) + Cell(s.cpk) +
                "</tr>\n";
    return html + "</table>\n";
}

const char* const kStyle = "<style>body{font-family:sans-serif;margin:24px;color:#282828}"
                           "table{border-collapse:collapse;margin:8px 0 20px}"
                           "th,td{border:1px solid #bbb;padding:3px 8px;text-align:right}"
                           "th:first-child,td:first-child{text-align:left}"
                           "figure{display:inline-block;margin:0 16px 16px 0}"
                           "figcaption{text-align:center;font-size:90%}</style>\n";

} // namespace

bool WriteResultsReport(IResultsStore& store, const CResultsQuery& query, const CYieldReport& yield,
                        const std::string& path, std::string& error) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                       "<title>Test results</title>\n" +
                       std::string(kStyle) + "</head><body>\n" +
                       Summary(query, yield, store.Name());
    html += "<h2>Failures per item</h2>\n" + Figure("Failures per item", ParetoSvg(yield.items));
    html += ItemTable(yield) + "<h2>Histograms</h2>\n";
    for (const CItemStatistics& s : yield.items) {
        if (s.mask || s.count == 0) continue;
        const std::vector<double> edges = Edges(s);
        std::vector<int64_t> counts;
        if (!store.Histogram(query, s.id, edges, counts, error)) return false;
        html += Figure(s.id + " (" + s.unit + ")", HistogramSvg(s, edges, counts));
    }
    CResultsQuery newest = query;
    newest.newest = kNewestCurves;
    std::vector<CTestRecord> records;
    if (!store.Find(newest, records, error)) return false;
    html += "<h2>Curves</h2>\n";
    for (const CItemStatistics& s : yield.items) {
        std::vector<const CCheckedCurve*> curves;
        for (const CTestRecord& r : records)
            for (const CCheckedCurve& c : r.curves)
                if (c.id == s.id) curves.push_back(&c);
        if (!curves.empty())
            html += Figure(s.id + " (" + std::to_string(curves.size()) + " newest, " +
                               curves.back()->measured.yUnit + ")",
                           CurvesSvg(curves));
    }
    html += "</body></html>\n";
    return WriteFileAtomically(path, std::vector<uint8_t>(html.begin(), html.end()), error);
}
