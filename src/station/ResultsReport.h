#pragma once
// The results report a quality engineer can mail: one self-contained HTML file (no scripts, no
// links out) with the counts and yield, the failures per item as a Pareto chart, a table of each
// item's statistics, a histogram of each scalar item with its limits and the newest checked
// curves of each masked item over their masks.

#include "station/ResultsStore.h"

#include <string>

/** Writes the report of the records the query takes, whose statistics `yield` holds, to `path`
 *  (the old file stays whole if that fails). False with a message naming the store or file. */
bool WriteResultsReport(IResultsStore& store, const CResultsQuery& query, const CYieldReport& yield,
                        const std::string& path, std::string& error);
