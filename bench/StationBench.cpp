// What a test station adds to the measurement itself: reading and checking the plan, checking
// three readouts and a 424-point response mask, and storing the record (each record flushed to
// disk); and the results report over 100,000 stored records. SQLite always, PostgreSQL when
// AURIVO_BENCH_POSTGRES holds a server's URL (.ci/postgres-server starts one). Wall-clock time,
// since storing waits on the disk.

#include "station/MaskCheck.h"
#include "station/ResultsStore.h"
#include "station/SqlConnection.h"
#include "station/YieldReport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

const std::string kPlan = std::string(AURIVO_SOURCE_DIR) + "/examples/production-pass.json";

std::string TempFile(const char* name) {
    const std::string folder =
        std::filesystem::temp_directory_path() / ("aurivo-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder + "/" + name;
}

/** The store a benchmark uses, or empty (and the benchmark skipped) without a server. */
std::string StoreUrl(benchmark::State& state, bool server, const char* file) {
    const char* url = std::getenv("AURIVO_BENCH_POSTGRES");
    if (!server) return TempFile(file);
    if (!url || !*url) state.SkipWithError("AURIVO_BENCH_POSTGRES names no server");
    return url && *url ? url : "";
}

/** The time of the i-th of 100,000 records: one a third of a second, from 10:00 on. */
std::string Time(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "2026-12-07T%02d:%02d:%02d.%03dZ", 10 + i / 10800,
                  i / 180 % 60, i / 3 % 60, i % 3 * 333);
    return text;
}

CCurve Response() {
    CCurve c{{}, {}, "dBVpk"};
    for (int k = 1; k < 512; ++k) {
        c.x.push_back(k * 46.875);
        c.y.push_back(-6.0 - 8.0 * std::pow(k / 512.0, 2));
    }
    return c;
}

void BM_StationOverheadPerTest(benchmark::State& state, bool server) {
    const std::string url = StoreUrl(state, server, "overhead.sqlite");
    if (url.empty()) return;
    std::string error;
    auto store = OpenResultsStore(url, error);
    const CCurve measured = Response();
    for (auto _ : state) {
        CTestPlan plan;
        if (!LoadTestPlan(kPlan, plan, error)) state.SkipWithError(error.c_str());
        CTestRecord record;
        record.uuid = NewUuid();
        record.testedAt = UtcNowText();
        record.planHash = Sha256Hex(plan.text);
        for (const CLimitCheck& l : plan.measurements[0].limits)
            record.checks.push_back(CheckLimit(l, 0.4, "%"));
        CCheckResult mask;
        CCheckedCurve curve;
        if (!CheckMask(plan.measurements[1].masks[0], measured, mask, curve, error))
            state.SkipWithError(error.c_str());
        record.checks.push_back(mask);
        record.curves.push_back(curve);
        if (!store->Put(record, error)) state.SkipWithError(error.c_str());
    }
}
BENCHMARK_CAPTURE(BM_StationOverheadPerTest, sqlite, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_StationOverheadPerTest, postgresql, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ResultsOver100000Records(benchmark::State& state, bool server) {
    const std::string url = StoreUrl(state, server, "results.sqlite");
    if (url.empty()) return;
    std::string error;
    auto store = OpenResultsStore(url, error);
    auto db = server ? OpenPostgres(url, 5, error) : OpenSqlite(url, 1000, error);
    const std::string plan = "bench " + NewUuid();
    // A hundred records to a statement, as literals (all of them made here): a server round
    // trip per row would take the seeding minutes. The server's check of each item's record
    // keeps the plan it made while the table was small, a scan; the seeding goes without it.
    db->Execute("BEGIN", {}, nullptr, nullptr, error);
    if (server)
        db->Execute("SET LOCAL session_replication_role = replica", {}, nullptr, nullptr, error);
    for (int batch = 0; batch < 1000; ++batch) {
        std::string records, items;
        for (int i = batch * 100; i < batch * 100 + 100; ++i) {
            const std::string uuid = "'" + NewUuid() + "'", plans = "'" + plan + "'",
                              at = "'" + Time(i) + "'", verdict = i % 20 ? "'PASS'" : "'FAIL'";
            records += (records.empty() ? "(" : ", (") + uuid + ", " + at +
                       ", 's1', 'SN', 'ann', 'aurivo', " + plans + ", 'h', " + verdict + ", '{}')";
            for (const char* item : {"'thd'", "'level'", "'response'"})
                items += (items.empty() ? "(" : ", (") + uuid + ", " + item + ", 'm', 'limit', " +
                         std::to_string(0.3 + (i % 100) / 1000.0) + ", '%', 0, 1, 0.5, NULL, " +
                         (i % 20 ? "1" : "0") + ", " + plans + ", 's1', " + at + ", " + verdict +
                         ")";
        }
        db->Execute("INSERT INTO test_results (uuid, tested_at, station, serial, operator, "
                    "software, plan, plan_sha256, verdict, record) VALUES " +
                        records,
                    {}, nullptr, nullptr, error);
        db->Execute("INSERT INTO test_items (uuid, item, measurement, kind, value, unit, "
                    "lower_limit, upper_limit, margin, frequency, passed, plan, station, "
                    "tested_at, verdict) VALUES " +
                        items,
                    {}, nullptr, nullptr, error);
    }
    db->Execute("COMMIT", {}, nullptr, nullptr, error);
    // What the server's autovacuum does soon after a load: statistics for the planner and the
    // visibility map that lets it answer from the indexes alone.
    db->Execute(server ? "VACUUM ANALYZE" : "ANALYZE", {}, nullptr, nullptr, error);
    for (auto _ : state) {
        CYieldReport report;
        if (!ReadYieldReport(*store, {plan, "", ""}, report, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(report);
    }
    if (server) {
        db->Execute("DELETE FROM test_items WHERE plan = $1", {plan}, nullptr, nullptr, error);
        db->Execute("DELETE FROM test_results WHERE plan = $1", {plan}, nullptr, nullptr, error);
    } else {
        std::filesystem::remove_all(std::filesystem::path(url).parent_path());
    }
}
BENCHMARK_CAPTURE(BM_ResultsOver100000Records, sqlite, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ResultsOver100000Records, postgresql, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
