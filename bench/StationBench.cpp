// What a test station adds to the measurement itself: reading and checking the plan, checking
// three readouts and a 424-point response mask, and storing the record (SQLite, each record
// flushed to disk); and the results report over 100,000 stored records. Wall-clock time, since
// storing waits on the disk.

#include "station/MaskCheck.h"
#include "station/ResultsStore.h"
#include "station/SqlConnection.h"
#include "station/YieldReport.h"

#include <benchmark/benchmark.h>

#include <cmath>
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

CCurve Response() {
    CCurve c{{}, {}, "dBVpk"};
    for (int k = 1; k < 512; ++k) {
        c.x.push_back(k * 46.875);
        c.y.push_back(-6.0 - 8.0 * std::pow(k / 512.0, 2));
    }
    return c;
}

void BM_StationOverheadPerTest(benchmark::State& state) {
    std::string error;
    auto store = OpenResultsStore(TempFile("overhead.sqlite"), error);
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
BENCHMARK(BM_StationOverheadPerTest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResultsOver100000Records(benchmark::State& state) {
    const std::string path = TempFile("results.sqlite");
    std::string error;
    auto store = OpenResultsStore(path, error);
    auto db = OpenSqlite(path, 1000, error);
    db->Execute("BEGIN", {}, nullptr, nullptr, error);
    for (int i = 0; i < 100000; ++i) {
        const std::string uuid = NewUuid(),
                          at = "2026-12-07T" + std::to_string(10 + i % 10) + ":00:00.000Z";
        db->Execute("INSERT INTO test_results VALUES ($1, $2, 's1', 'SN', 'ann', 'aurivo', 'p', "
                    "'h', $3, '{}')",
                    {uuid, at, i % 20 ? "PASS" : "FAIL"}, nullptr, nullptr, error);
        for (const char* item : {"thd", "level", "response"})
            db->Execute("INSERT INTO test_items VALUES ($1, $2, 'm', 'limit', $3, '%', 0, 1, 0.5, "
                        "NULL, $4)",
                        {uuid, item, std::to_string(0.3 + (i % 100) / 1000.0), i % 20 ? "1" : "0"},
                        nullptr, nullptr, error);
    }
    db->Execute("COMMIT", {}, nullptr, nullptr, error);
    for (auto _ : state) {
        int64_t tests = 0, passed = 0;
        std::vector<CItemRow> rows;
        if (!store->Count({"p", "", ""}, tests, error) ||
            !store->CountPassed({"p", "", ""}, passed, error) ||
            !store->Items({"p", "", ""}, rows, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(SummariseItems(rows, tests, passed));
    }
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_ResultsOver100000Records)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
