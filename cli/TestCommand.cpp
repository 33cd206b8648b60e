#include "TestCommand.h"

#include "CliSession.h"
#include "station/ResultsStore.h"
#include "station/StationText.h"
#include "station/TestRunner.h"

#include <unistd.h>

#include <cstdlib>
#include <ostream>

namespace {

std::string HostName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}

std::string LoginName() {
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string Limit(const std::optional<double>& v) {
    return v ? RoundedNumber(*v) : "-";
}

/** One failed item: what it measured, the limits, the margin (negative: outside). */
void PrintFailure(const CCheckResult& c, std::ostream& out) {
    const std::string unit = c.unit.empty() ? "" : " " + c.unit;
    out << "  " << TerminalText(c.id) << ": "
        << (std::isnan(c.value) ? "no value" : RoundedNumber(c.value)) << unit;
    if (c.kind == ECheckKind::Mask) out << " at " << RoundedNumber(c.frequency) << " Hz";
    out << ", limits " << Limit(c.lower) << " .. " << Limit(c.upper) << unit << ", margin "
        << RoundedNumber(c.margin) << unit << "\n";
}

std::shared_ptr<CProcessSession> NewSession(const CModuleRegistry& registry) {
    auto owner = std::make_shared<CCliSession>(registry);
    return std::shared_ptr<CProcessSession>(owner, &**owner);
}

} // namespace

int RunTestCommand(const CModuleRegistry& registry, const CTestOptions& options, std::ostream& out,
                   std::ostream& err) {
    if (options.serial.empty()) return Fail(err, "a test needs the unit's serial: --serial SN");
    CTestPlan plan;
    std::string error;
    if (!LoadTestPlan(options.plan, plan, error)) return Fail(err, error);
    const std::string url = options.db.empty() ? DefaultResultsPath() : options.db;
    if (url.empty())
        return Fail(err, "no place for the results: set XDG_DATA_HOME or HOME, or give --db");
    // The store is opened first: a test whose record cannot be kept is not worth running.
    std::unique_ptr<IResultsStore> store = OpenResultsStore(url, error);
    if (!store) return Fail(err, error);

    const CTestIdentity identity{options.serial,
                                 options.station.empty() ? HostName() : options.station,
                                 options.operatorName.empty() ? LoginName() : options.operatorName};
    CTestRecord record;
    if (!RunTestPlan(
            plan, identity, [&] { return NewSession(registry); }, record, error))
        return Fail(err, error);
    if (!store->Put(record, error)) return Fail(err, error);

    if (options.json) {
        nlohmann::json j = RecordJson(record);
        j["stored"] = store->Name();
        out << j.dump(2) << "\n";
    } else {
        out << (record.passed ? "PASS" : "FAIL") << " " << TerminalText(record.serial) << " ("
            << TerminalText(plan.name) << ", " << record.checks.size() << " checks)\n";
        for (const CCheckResult& c : record.checks)
            if (!c.passed) PrintFailure(c, out);
        out << "Record " << record.uuid << " stored in " << TerminalText(store->Name()) << "\n";
    }
    return record.passed ? 0 : 1;
}
