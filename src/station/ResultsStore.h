#pragma once
// Where test records are kept: one interface over an embedded SQLite file (the default, one
// machine, nothing to set up) and a PostgreSQL server (many stations). A record is written whole
// in one transaction or not at all, and its UUID makes writing it again harmless.

#include "station/TestRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

/** Which records a query takes; an empty field takes every record. */
struct CResultsQuery {
    std::string plan;
    std::string station;
    std::string since;  // UTC time text as records write it; records at or after it
    int64_t newest = 0; // Find: only this many of the newest records (0: all)
};

/** One checked item of a stored record, with the record's fields a report groups by. */
struct CItemRow {
    std::string uuid, testedAt, station, serial, verdict;
    std::string item, unit;
    double value = 0.0; // NaN: no value
    std::optional<double> lower, upper;
    double margin = 0.0;
    bool passed = false;
};

/** One checked item over the records a query takes. */
struct CItemStatistics {
    std::string id, unit;
    bool mask = false; // a curve checked against masks (its value is the one of least margin)
    int64_t count = 0; // values checked (items without a number count as failures only)
    int64_t failures = 0;
    double mean = 0.0, sigma = 0.0;     // of the values; sigma the sample deviation
    double least = 0.0, most = 0.0;     // the smallest and largest value
    std::optional<double> lower, upper; // the latest record's limits
    std::optional<double> cpk;          // min(USL - mean, mean - LSL) / 3 sigma; absent
                                        // without limits or spread
};

/** The counts of the records a query takes and the statistics of their items. */
struct CYieldReport {
    int64_t tests = 0, passed = 0;
    std::vector<CItemStatistics> items; // most failures first, then by id
};

class IResultsStore {
public:
    virtual ~IResultsStore() = default;
    /** Stores the record whole; a record whose UUID is stored already is left as it is (and
     *  that is success). False with a message naming the store. */
    virtual bool Put(const CTestRecord& record, std::string& error) = 0;
    /** The records the query takes, oldest first. */
    virtual bool Find(const CResultsQuery& query, std::vector<CTestRecord>& records,
                      std::string& error) = 0;
    virtual bool Count(const CResultsQuery& query, int64_t& count, std::string& error) = 0;
    /** How many of the records the query takes passed. */
    virtual bool CountPassed(const CResultsQuery& query, int64_t& passed, std::string& error) = 0;
    /** The checked items of the records the query takes, oldest record first, without reading
     *  the records' curves. */
    virtual bool Items(const CResultsQuery& query, std::vector<CItemRow>& rows,
                       std::string& error) = 0;
    /** The counts and each item's count, failures, mean, σ, extremes and latest limits and
     *  unit, worked out by the database (the order and Cpk are left to the caller). */
    virtual bool Statistics(const CResultsQuery& query, CYieldReport& report,
                            std::string& error) = 0;
    /** How many of the item's values fall in each bin: [edges[k], edges[k + 1]), the last bin
     *  closed; values outside every bin are not counted. */
    virtual bool Histogram(const CResultsQuery& query, const std::string& item,
                           const std::vector<double>& edges, std::vector<int64_t>& counts,
                           std::string& error) = 0;
    /** Removes a record whole (the spool's, once the server has it); none there is success. */
    virtual bool Remove(const std::string& uuid, std::string& error) = 0;
    /** The store as messages name it: the file, or the server without its password. */
    virtual std::string Name() const = 0;
};

/** Opens (and creates or migrates) the store a URL names: "postgresql://..." or
 *  "postgres://..." a server, "sqlite:PATH" or a plain path an SQLite file (its folder is
 *  created). Null with one line naming the store and the reason. */
std::unique_ptr<IResultsStore> OpenResultsStore(const std::string& url, std::string& error);

/** Whether the URL names a PostgreSQL server (and so may be out of reach for a while). */
bool IsServerUrl(const std::string& url);

/** A server URL that libpq cannot read; empty when it reads (or names no server). */
std::string ServerUrlProblem(const std::string& url);

/** $XDG_DATA_HOME/aurivo/results.sqlite, or ~/.local/share/aurivo/results.sqlite; empty when
 *  neither variable is set. */
std::string DefaultResultsPath();
