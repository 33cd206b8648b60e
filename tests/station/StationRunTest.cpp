// A unit tested through the headless session with the virtual card: the curves the station reads
// from any module against the card model's closed form, verdicts, retries and order, plans that
// do not fit their processes, and aurivo-cli test's exit codes, lines and records.
#include "station/CurveSource.h"
#include "station/ResultsStore.h"
#include "station/TestRunner.h"

#include "common/CliRun.h"
#include "common/TextFileUtil.h"
#include "modules/BuiltInModules.h"
#include "process/ProcessSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

const std::string kExamples = std::string(AURIVO_SOURCE_DIR) + "/examples/";

/** The card model's filter 0.6, 0.3, 0.1 at 48 kHz, in dB relative to its value at 1 kHz. */
double ModelDb(double f) {
    const auto h = [](double f) {
        const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * f / 48000);
        return std::abs(0.6 + 0.3 * z + 0.1 * z * z);
    };
    return 20 * std::log10(h(f) / h(1000));
}

struct CStation {
    CSystemClock clock;
    CSessionFactory sessions = [this] {
        return std::make_shared<CProcessSession>(GetBuiltInModules(), clock);
    };
    CTestRecord record;
    std::string error;

    bool Run(const std::string& planFile, const std::function<void(CTestPlan&)>& change = {}) {
        CTestPlan plan;
        if (!LoadTestPlan(planFile, plan, error)) return false;
        if (change) change(plan);
        return RunTestPlan(plan, {"SN7", "line 1", "ann"}, sessions, record, error);
    }
    const CCheckResult* Check(const std::string& id) const {
        for (const CCheckResult& c : record.checks)
            if (c.id == id) return &c;
        return nullptr;
    }
};

TEST(CurveSource, TheDrawnAndHandedResponseIsTheCardModelsFilter) {
    CSystemClock clock;
    CProcessSession session(GetBuiltInModules(), clock);
    std::string error;
    ASSERT_TRUE(session.Open(kExamples + "loopback-response.process", error)) << error;
    ASSERT_EQ(session.Run(1), 1);
    CCurve drawn, handed;
    ASSERT_TRUE(DrawnCurve(*session.Step(3), 1, drawn, error)) << error;
    ASSERT_TRUE(HandedCurve(*session.Step(3), 1, handed, error)) << error;
    EXPECT_EQ(drawn.yUnit, "dBVpk");
    // The recorded impulse is the filter's response (the noise, 1e-5 RMS, is 90 dB below it).
    const double at1k = CurveValueAt(drawn, 1000);
    int checked = 0;
    for (size_t k = 0; k < drawn.size(); ++k) {
        if (drawn.x[k] < 100 || drawn.x[k] > 20000) continue;
        ASSERT_NEAR(drawn.y[k] - at1k, ModelDb(drawn.x[k]), 0.1) << drawn.x[k] << " Hz";
        ++checked;
    }
    EXPECT_EQ(checked, 424); // bins 3 to 426 of 46.875 Hz
    // The block handed on holds the same bins at the same frequencies.
    for (size_t k = 0; k < drawn.size(); ++k) {
        const auto bin = size_t(std::lround(drawn.x[k] / 46.875));
        ASSERT_DOUBLE_EQ(handed.x[bin], drawn.x[k]);
        ASSERT_NEAR(handed.y[bin], drawn.y[k], 1e-9);
    }
    EXPECT_FALSE(DrawnCurve(*session.Step(3), 3, drawn, error));
    EXPECT_EQ(error, "step 3 channel 3 draws no plot channel there");
    EXPECT_FALSE(DrawnCurve(*session.Step(1), 1, drawn, error)); // the generator draws no plot
}

TEST(TestRunner, ThePassingExamplePassesAndTheFailingOneFailsOnTheItemsItNames) {
    CStation pass, fail;
    ASSERT_TRUE(pass.Run(kExamples + "production-pass.json")) << pass.error;
    EXPECT_TRUE(pass.record.passed);
    ASSERT_EQ(pass.record.checks.size(), 4u);
    for (const CCheckResult& c : pass.record.checks)
        EXPECT_TRUE(c.passed && c.margin >= 0) << c.id;
    EXPECT_EQ(pass.record.measurements.at(0).attempts, 1);
    EXPECT_EQ(
        pass.record.measurements.at(0).devices,
        (std::vector<std::string>{"step 2 in: Virtual Loopback", "step 2 out: Virtual Loopback"}));
    EXPECT_EQ(pass.record.measurements.at(1).processHash,
              Sha256Hex(GetFile(kExamples + "loopback-response.process")));
    EXPECT_EQ(pass.record.planHash, Sha256Hex(GetFile(kExamples + "production-pass.json")));
    EXPECT_EQ(pass.record.serial, "SN7");

    ASSERT_TRUE(fail.Run(kExamples + "production-fail.json")) << fail.error;
    EXPECT_FALSE(fail.record.passed);
    std::vector<std::string> failed;
    for (const CCheckResult& c : fail.record.checks)
        if (!c.passed) failed.push_back(c.id);
    EXPECT_EQ(failed, (std::vector<std::string>{"thd-ch1", "response-ch1"}));
    // THD of the model's closed form, 0.39584 %; the response at the top bin 20 kHz.
    const CCheckResult* thd = fail.Check("thd-ch1");
    EXPECT_NEAR(thd->value, 0.39584, 0.0005);
    EXPECT_NEAR(thd->margin, 0.3 - thd->value, 1e-12);
    const CCheckResult* response = fail.Check("response-ch1");
    EXPECT_DOUBLE_EQ(response->frequency, 426 * 46.875);
    EXPECT_NEAR(response->value, ModelDb(426 * 46.875), 0.1);
    EXPECT_NEAR(response->margin, response->value + 1.0, 1e-12);
    EXPECT_EQ(response->unit, "dB");
}

TEST(TestRunner, AFailedMeasurementIsMeasuredAgainUpToItsRetriesAndMayStopTheTest) {
    CStation retried, stopped;
    ASSERT_TRUE(retried.Run(kExamples + "production-fail.json", [](CTestPlan& p) {
        p.measurements[0].retries = 2;
    })) << retried.error;
    EXPECT_EQ(retried.record.measurements.at(0).attempts, 3);
    EXPECT_EQ(retried.record.measurements.size(), 2u);
    ASSERT_TRUE(stopped.Run(kExamples + "production-fail.json", [](CTestPlan& p) {
        p.stopAtFirstFailure = true;
    })) << stopped.error;
    EXPECT_EQ(stopped.record.measurements.size(), 1u);
    EXPECT_EQ(stopped.record.measurements.at(0).attempts, 1);
}

TEST(TestRunner, TheStatisticOverPassesIsTakenOfEveryPass) {
    // The level readout of SoundIO is the same every pass, THD+N varies with the noise: the
    // mean lies between the least and the most.
    std::map<EStatistic, double> values;
    for (EStatistic s : {EStatistic::Min, EStatistic::Mean, EStatistic::Max}) {
        CStation station;
        ASSERT_TRUE(station.Run(kExamples + "production-pass.json", [s](CTestPlan& p) {
            p.measurements[0].passes = 4;
            p.measurements[0].limits[1].statistic = s;
        })) << station.error;
        values[s] = station.Check("thdn-ch1")->value;
    }
    EXPECT_LT(values[EStatistic::Min], values[EStatistic::Mean]);
    EXPECT_LT(values[EStatistic::Mean], values[EStatistic::Max]);
}

TEST(TestRunner, APlanThatDoesNotFitItsProcessIsAnErrorNamingTheItem) {
    const std::string plan = kExamples + "production-pass.json";
    const std::string prefix = plan + ": measurement \"distortion\": ";
    const std::pair<std::function<void(CTestPlan&)>, std::string> cases[] = {
        {[](CTestPlan& p) { p.measurements[0].limits[0].readout = "THDX"; },
         "limit \"thd-ch1\": step 3 shows no readout \"THDX\" on channel 1 (it shows Ch1 scale, "
         "Start, Stop, Tone1, 2nd Harm Dist, 3rd Harm Dist, 4th Harm Dist, 5th Harm Dist, THD, "
         "THD+N)"},
        {[](CTestPlan& p) { p.measurements[0].limits[0].unit = "dB"; },
         "limit \"thd-ch1\": step 3 shows \"THD\" in \"%\", the plan expects \"dB\""},
        {[](CTestPlan& p) { p.measurements[0].limits[0].step = 5; },
         "limit \"thd-ch1\": the process has no step 5"},
        {[](CTestPlan& p) { p.measurements[0].settings = {"3:window=Square"}; },
         "\"3:window=Square\": Step 3: "},
    };
    for (const auto& [change, message] : cases) {
        CStation station;
        EXPECT_FALSE(station.Run(plan, change));
        EXPECT_EQ(station.error.substr(0, prefix.size() + message.size()), prefix + message);
        EXPECT_EQ(station.error.find('\n'), std::string::npos) << station.error;
    }
}

TEST(TestCommand, ExitsZeroOnPassOneOnFailTwoOnErrorAndStoresOnlyVerdicts) {
    CCliRun cli(GetBuiltInModules());
    const std::string db = cli.File("results.sqlite");
    EXPECT_EQ(
        cli.Command({"test", kExamples + "production-pass.json", "--serial", "A1", "--db", db}), 0)
        << cli.err;
    EXPECT_EQ(cli.out.substr(0, 46), "PASS A1 (Loopback unit, end of line, 4 checks)");
    EXPECT_EQ(cli.Command({"test", kExamples + "production-fail.json", "--serial", "A2", "--db", db,
                           "--station", "s9", "--operator", "bob"}),
              1);
    EXPECT_NE(cli.out.find("FAIL A2 (Loopback unit, strict, 3 checks)\n  thd-ch1: 0.3957"),
              std::string::npos)
        << cli.out;
    EXPECT_NE(cli.out.find("\n  response-ch1: -8.0"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find(" Hz, limits -1 .. 1 dB, margin -7.0"), std::string::npos) << cli.out;

    std::string error;
    std::vector<CTestRecord> records;
    ASSERT_TRUE(OpenResultsStore(db, error)->Find({}, records, error)) << error;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].serial, "A2");
    EXPECT_EQ(records[1].station, "s9");
    EXPECT_EQ(records[1].operatorName, "bob");
    EXPECT_FALSE(records[1].passed);

    ASSERT_EQ(cli.Command({"results", "--db", db, "--json", "--csv", cli.File("items.csv"),
                           "--report", cli.File("report.html")}),
              0)
        << cli.err;
    const nlohmann::json report = nlohmann::json::parse(cli.out);
    EXPECT_EQ(report["tests"], 2);
    EXPECT_EQ(report["passed"], 1);
    EXPECT_EQ(report["items"][0]["failures"], 1); // the failed items lead
    EXPECT_EQ(report["items"].size(), 4u);        // thdn-ch1 is not in the strict plan
    // The HTML report: the counts, a table row per item with its limits, and its picture.
    const std::string html = GetFile(cli.File("report.html"));
    EXPECT_NE(html.find("<td>2</td><td>1</td><td>1</td><td>50 %</td>"), std::string::npos);
    for (const nlohmann::json& item : report["items"]) {
        const auto limit = [&](const char* side) {
            char text[32] = "-";
            if (item[side].is_number())
                std::snprintf(text, sizeof text, "%.5g", double(item[side]));
            return "<td>" + std::string(text) + "</td>";
        };
        const std::string id = item["id"], unit = item["unit"];
        const size_t row = html.find("<tr><td>" + id + "</td><td>" + unit + "</td><td>" +
                                     to_string(item["failures"]) + "</td><td>" +
                                     to_string(item["values"]) + "</td>");
        ASSERT_NE(row, std::string::npos) << id;
        EXPECT_NE(
            html.substr(row, html.find("</tr>", row) - row).find(limit("lower") + limit("upper")),
            std::string::npos)
            << id;
        const std::string caption =
            id == "response-ch1" ? id + " (2 newest, dB)" : id + " (" + unit + ")";
        EXPECT_NE(html.find("</svg>\n<figcaption>" + caption + "</figcaption>"), std::string::npos)
            << id;
    }
    const std::string csv = GetFile(cli.File("items.csv"));
    const size_t second = csv.find("\r\n") + 2; // the oldest record's first item
    EXPECT_NE(csv.substr(second, csv.find("\r\n", second) - second).find(",A1,PASS,"),
              std::string::npos)
        << csv;
    ASSERT_EQ(cli.Command({"results", "--db", db, "--plan", "Loopback unit, strict", "--json"}), 0);
    EXPECT_EQ(nlohmann::json::parse(cli.out)["tests"], 1);

    // Errors: one line, exit 2, nothing written.
    PutFile(cli.File("bad.json"), "{\"format\": \"aurivo-test-plan/1\"}");
    const std::string other = cli.File("other.sqlite");
    EXPECT_EQ(cli.Command({"test", cli.File("bad.json"), "--serial", "A3", "--db", other}), 2);
    EXPECT_EQ(cli.err, "aurivo-cli: " + cli.File("bad.json") + ": the plan: \"name\" is missing\n");
    EXPECT_EQ(cli.Command({"test", kExamples + "production-pass.json", "--serial", "A3", "--db",
                           "mysql://x/y"}),
              2);
    EXPECT_EQ(cli.err, "aurivo-cli: mysql://x/y: not a results database (postgresql://..., "
                       "sqlite:PATH or a file path)\n");
    EXPECT_EQ(cli.Command({"test", kExamples + "production-pass.json", "--db", other}), 2);
    EXPECT_EQ(cli.err, "aurivo-cli: a test needs the unit's serial: --serial SN\n");
    EXPECT_FALSE(std::filesystem::exists(other));
}

} // namespace
