#pragma once
// What a quality engineer asks of the stored results: how many units were tested and passed,
// which items fail most (a Pareto order), and per item the mean, σ and process capability Cpk
// against its limits; and the items as CSV for a spreadsheet.

#include "station/ResultsStore.h"

#include <optional>
#include <string>
#include <vector>

struct CItemStatistics {
    std::string id, unit;
    int64_t count = 0; // values checked (items without a number count as failures only)
    int64_t failures = 0;
    double mean = 0.0, sigma = 0.0;     // of the values; sigma the sample deviation
    std::optional<double> lower, upper; // the latest record's limits
    std::optional<double> cpk;          // min(USL - mean, mean - LSL) / 3 sigma; absent
                                        // without limits or spread
};

struct CYieldReport {
    int64_t tests = 0, passed = 0;
    std::vector<CItemStatistics> items; // most failures first, then by id
};

/** The report of the items of the records a query took, and the records' counts. */
CYieldReport SummariseItems(const std::vector<CItemRow>& rows, int64_t tests, int64_t passed);

/** The items as CSV (RFC 4180, a header line, CR LF line ends). */
std::string ItemsCsv(const std::vector<CItemRow>& rows);
