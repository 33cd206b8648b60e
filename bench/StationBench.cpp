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
    db->Execute("BEGIN", {}, nullptr, nullptr, error);
    for (int i = 0; i < 100000; ++i) {
        const std::string uuid = NewUuid(),
                          at = "2026-12-07T" + std::to_string(10 + i % 10) + ":00:00.000Z";
        const char* verdict = i % 20 ? "PASS" : "FAIL";
        db->Execute("INSERT INTO test_results (uuid, tested_at, station, serial, operator, "
                    "software, plan, plan_sha256, verdict, record) VALUES ($1, $2, 's1', 'SN', "
                    "'ann', 'aurivo', $3, 'h', $4, '{}')",
                    {uuid, at, plan, verdict}, nullptr, nullptr, error);
        for (const char* item : {"thd", "level", "response"})
            db->Execute("INSERT INTO test_items (uuid, item, measurement, kind, value, unit, "
                        "lower_limit, upper_limit, margin, frequency, passed, plan, station, "
                        "tested_at, verdict) VALUES ($1, $2, 'm', 'limit', $3, '%', 0, 1, 0.5, "
                        "NULL, $4, $5, 's1', $6, $7)",
                        {uuid, item, std::to_string(0.3 + (i % 100) / 1000.0), i % 20 ? "1" : "0",
                         plan, at, verdict},
                        nullptr, nullptr, error);
    }
    db->Execute("COMMIT", {}, nullptr, nullptr, error);
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
