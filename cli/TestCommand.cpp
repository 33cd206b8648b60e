#include "TestCommand.h"

#include "CliSession.h"
#include "platform/AtomicFile.h"
#include "platform/system/SystemAudio.h"
#include "station/PlanLearning.h"
#include "station/ResultsSpool.h"
#include "station/StationSettings.h"
#include "station/StationText.h"
#include "station/TestRunner.h"

#include <filesystem>
#include <ostream>

namespace {

/** Runs the plan `runs` times on the units before the station (nothing is stored: these are not
 *  production tests) and writes the plan with the learned limits and masks. */
int Learn(const CTestPlan& plan, const CTestOptions& options, const CSessionFactory& sessions,
          std::ostream& out, std::ostream& err) {
    if (options.output.empty()) return Fail(err, "--learn needs the new plan's file: -o NEW.json");
    if (options.learn < 2) return Fail(err, "--learn needs at least 2 runs");
    std::vector<CTestRecord> runs(size_t(options.learn));
    std::string error;
    for (size_t i = 0; i < runs.size(); ++i)
        if (!RunTestPlan(plan, {"learn-" + std::to_string(i + 1), "", ""}, sessions, runs[i],
                         error))
            return Fail(err, error);
    CLearnOptions learn;
    if (options.k > 0) learn.k = options.k;
    nlohmann::json learned;
    std::vector<CLearnedItem> items;
    if (!LearnPlan(plan.text, runs, learn, learned, items, error))
        return Fail(err, options.plan + ": " + error);
    // The new plan finds its processes from its own folder.
    const std::filesystem::path folder = std::filesystem::absolute(options.output).parent_path();
    for (size_t i = 0; i < plan.measurements.size(); ++i)
        learned["measurements"][i]["process"] =
            std::filesystem::absolute(plan.measurements[i].process)
                .lexically_relative(folder)
                .string();
    const std::string text = learned.dump(2) + "\n";
    if (!WriteFileAtomically(options.output, std::vector<uint8_t>(text.begin(), text.end()), error))
        return Fail(err, error);
    out << "Learned from " << runs.size() << " runs at mean +/- " << RoundedNumber(learn.k)
        << " sigma:\n";
    for (const CLearnedItem& i : items) {
        out << "  " << TerminalText(i.id) << ": ";
        if (i.points)
            out << "golden curve of " << i.points << " points, largest sigma "
                << RoundedNumber(i.sigma) << ", offsets ";
        else
            out << "mean " << RoundedNumber(i.mean) << ", sigma " << RoundedNumber(i.sigma)
                << ", limits ";
        out << RoundedNumber(i.lower) << " .. " << RoundedNumber(i.upper)
            << (i.unit.empty() ? "" : " " + TerminalText(i.unit)) << "\n";
    }
    out << "Wrote " << TerminalText(options.output) << "\n";
    return 0;
}

} // namespace

int RunTestCommand(const CModuleRegistry& registry, const CTestOptions& options, std::ostream& out,
                   std::ostream& err) {
    CTestPlan plan;
    std::string error;
    if (!LoadTestPlan(options.plan, plan, error)) return Fail(err, error);
    const CMemorySettings settings = UserSettings();
    const CSessionFactory sessions = [&] {
        return NewUserSession(registry, settings, NewSystemAudio(settings));
    };
    if (options.learn) return Learn(plan, options, sessions, out, err);
    if (options.serial.empty()) return Fail(err, "a test needs the unit's serial: --serial SN");
    const std::string url = options.db.empty() ? ConfiguredResultsUrl(settings) : options.db;
    if (url.empty())
        return Fail(err, "no place for the results: set XDG_DATA_HOME or HOME, or give --db");
    if (std::string problem = ServerUrlProblem(url); !problem.empty()) return Fail(err, problem);
    // A file store is opened first: a test whose record cannot be kept is not worth running. A
    // server out of reach is no reason to stop the line: the record then waits in the spool.
    if (!IsServerUrl(url) && !OpenResultsStore(url, error)) return Fail(err, error);

    CTestIdentity identity = LocalIdentity(options.serial);
    if (!options.station.empty()) identity.station = options.station;
    if (!options.operatorName.empty()) identity.operatorName = options.operatorName;
    CTestRecord record;
    if (!RunTestPlan(plan, identity, sessions, record, error)) return Fail(err, error);
    CStoreOutcome stored;
    if (!StoreRecord(url, DefaultSpoolPath(), record, stored, error)) return Fail(err, error);

    if (options.json) {
        nlohmann::json j = RecordJson(record);
        j["stored"] = stored.where;
        j["spooled"] = stored.spooled;
        out << j.dump(2) << "\n";
    } else {
        out << (record.passed ? "PASS" : "FAIL") << " " << TerminalText(record.serial) << " ("
            << TerminalText(plan.name) << ", " << record.checks.size() << " checks)\n";
        for (const CCheckResult& c : record.checks)
            if (!c.passed) out << "  " << TerminalText(CheckText(c)) << "\n";
        out << "Record " << record.uuid << " stored in " << TerminalText(stored.where) << "\n";
        if (stored.sent)
            out << "Sent " << stored.sent << " record" << (stored.sent == 1 ? "" : "s")
                << " from the spool\n";
    }
    if (stored.spooled)
        err << "aurivo-cli: the results server is out of reach (" << TerminalText(stored.reason)
            << "); the record waits in the spool and is sent with the next test that reaches it\n";
    return record.passed ? 0 : 1;
}
