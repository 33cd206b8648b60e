#pragma once
// What a quality engineer asks of the stored results: how many units were tested and passed,
// which items fail most (a Pareto order), and per item the mean, σ and process capability Cpk
// against its limits; and the items as CSV for a spreadsheet.

#include "station/ResultsStore.h"

#include <string>
#include <vector>

/** The report of the records the query takes: the store's statistics, Cpk against the latest
 *  limits and the Pareto order. False with the store's message. */
bool ReadYieldReport(IResultsStore& store, const CResultsQuery& query, CYieldReport& report,
                     std::string& error);

/** The items as CSV (RFC 4180, a header line, CR LF line ends). */
std::string ItemsCsv(const std::vector<CItemRow>& rows);
