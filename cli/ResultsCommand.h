#pragma once
// aurivo-cli results: counts, yield, failures per item (Pareto), per-item statistics and a CSV
// export and an HTML report of the stored test records.

#include <iosfwd>
#include <string>

struct CResultsOptions {
    std::string db; // empty: the default SQLite file
    std::string plan, since, station;
    std::string csv;    // file to write the items to; empty: none
    std::string report; // HTML report to write; empty: none
    bool json = false;
};

/** 0 when the store answered, 2 with a message when it did not. */
int ShowResults(const CResultsOptions& options, std::ostream& out, std::ostream& err);
