#include "station/TestRunner.h"

#include "base/NumberText.h"
#include "base/Version.h"
#include "platform/AtomicFile.h"
#include "process/ProcessSession.h"
#include "station/CurveSource.h"
#include "station/MaskCheck.h"
#include "station/ReadoutQuantity.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace {

constexpr size_t kMaxProcessBytes = 256u << 20;

/** One readout's numbers over the passes of an attempt, and its unit. */
struct CReadoutSeries {
    std::vector<double> values;
    std::string unit;
    bool found = false;
};

double Statistic(const std::vector<double>& v, EStatistic statistic) {
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    switch (statistic) {
    case EStatistic::Mean:
        return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    case EStatistic::Min:
        return *std::min_element(v.begin(), v.end());
    case EStatistic::Max:
        return *std::max_element(v.begin(), v.end());
    case EStatistic::Last:
        break;
    }
    return v.back();
}

class CMeasurementRun {
public:
    CMeasurementRun(const CTestPlan& plan, const CMeasurement& m, CProcessSession& session)
        : m_plan(plan), m_m(m), m_session(session) {}

    std::string Fail(const std::string& reason) const {
        return m_plan.path + ": measurement \"" + m_m.name + "\": " + reason;
    }

    bool Prepare(std::string& error) {
        std::string reason;
        if (!m_session.Open(m_m.process, reason)) {
            error = Fail(reason);
            return false;
        }
        for (const std::string& setting : m_m.settings)
            if (!Apply(setting, reason)) {
                error = Fail("\"" + setting + "\": " + reason);
                return false;
            }
        if (!m_session.CheckRunSettings(reason)) {
            error = Fail(reason);
            return false;
        }
        for (const CLimitCheck& l : m_m.limits)
            if (!m_session.Step(l.step)) {
                error = Fail("limit \"" + l.id + "\": the process has no step " +
                             std::to_string(l.step));
                return false;
            }
        for (const CMaskCheck& k : m_m.masks)
            if (!m_session.Step(k.step)) {
                error = Fail("mask \"" + k.id + "\": the process has no step " +
                             std::to_string(k.step));
                return false;
            }
        return true;
    }

    /** One attempt: runs the passes and checks everything; false on an error. */
    bool Attempt(std::vector<CCheckResult>& results, std::vector<CCheckedCurve>& curves,
                 std::string& error) {
        std::vector<CReadoutSeries> series(m_m.limits.size());
        const int steps = m_session.GetStepCount();
        const int done = m_session.Run(m_m.passes, [&](int, int step) {
            if (step == steps) Collect(series);
            return true;
        });
        const std::vector<std::string> messages = m_session.GetMessages();
        if (!messages.empty() || done < m_m.passes) {
            error =
                Fail(messages.empty() ? "the run ended after " + std::to_string(done) + " of " +
                                            std::to_string(m_m.passes) + " passes"
                                      : "a module reported an error: " + OneLine(messages.front()));
            return false;
        }
        results.clear();
        curves.clear();
        for (size_t i = 0; i < m_m.limits.size(); ++i)
            if (!CheckReadout(m_m.limits[i], series[i], results, error)) return false;
        for (const CMaskCheck& mask : m_m.masks) {
            CCurve measured;
            std::string reason;
            CCheckResult result;
            CCheckedCurve checked;
            if (!ViewCurve(*m_session.Step(mask.step), mask.source, mask.channel, measured,
                           reason) ||
                !CheckMask(mask, measured, result, checked, reason)) {
                error = Fail("mask \"" + mask.id + "\": " + reason);
                return false;
            }
            result.measurement = m_m.name;
            results.push_back(result);
            curves.push_back(std::move(checked));
        }
        return true;
    }

    std::vector<std::string> Devices() const {
        std::vector<std::string> devices;
        for (int step = 1; step <= m_session.GetStepCount(); ++step)
            for (const CSettingValue& s : m_session.GetSettings(step))
                if (s.id == "in" || s.id == "out")
                    devices.push_back("step " + std::to_string(step) + " " + s.id + ": " + s.value);
        return devices;
    }

private:
    static std::string OneLine(std::string text) {
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    }

    bool Apply(const std::string& setting, std::string& reason) {
        const size_t colon = setting.find(':'), equals = setting.find('=');
        if (colon == std::string::npos || equals == std::string::npos || equals < colon) {
            reason = "is not STEP:SETTING=VALUE";
            return false;
        }
        double step = 0.0;
        std::string why;
        if (!ParseExactNumber(setting.substr(0, colon), step, why) || step < 1 || step > 6 ||
            step != double(int(step))) {
            reason = "names no step 1 to 6";
            return false;
        }
        return m_session.SetControl(int(step), setting.substr(colon + 1, equals - colon - 1),
                                    setting.substr(equals + 1), reason);
    }

    void Collect(std::vector<CReadoutSeries>& series) const {
        std::map<int, std::vector<CReadoutValue>> shown;
        for (size_t i = 0; i < m_m.limits.size(); ++i) {
            const CLimitCheck& l = m_m.limits[i];
            if (!shown.count(l.step)) shown[l.step] = m_session.GetReadouts(l.step);
            for (const CReadoutValue& r : shown[l.step]) {
                if (r.label != l.readout || (l.channel && r.channel != l.channel)) continue;
                const CReadoutQuantity q = ReadoutQuantity(r.value);
                series[i].found = true;
                series[i].unit = q.unit;
                series[i].values.push_back(
                    q.number.value_or(std::numeric_limits<double>::quiet_NaN()));
                break;
            }
        }
    }

    bool CheckReadout(const CLimitCheck& l, const CReadoutSeries& s,
                      std::vector<CCheckResult>& results, std::string& error) const {
        const std::string item = "limit \"" + l.id + "\": ";
        if (!s.found) {
            std::string shown;
            for (const CReadoutValue& r : m_session.GetReadouts(l.step))
                if (!l.channel || r.channel == l.channel)
                    shown += (shown.empty() ? "" : ", ") + r.label;
            error =
                Fail(item + "step " + std::to_string(l.step) + " shows no readout \"" + l.readout +
                     "\"" + (l.channel ? " on channel " + std::to_string(l.channel) : "") +
                     (shown.empty() ? " (it shows none)" : " (it shows " + shown + ")"));
            return false;
        }
        if (!l.unit.empty() && l.unit != s.unit) {
            error = Fail(item + "step " + std::to_string(l.step) + " shows \"" + l.readout +
                         "\" in \"" + s.unit + "\", the plan expects \"" + l.unit + "\"");
            return false;
        }
        CCheckResult result = CheckLimit(l, Statistic(s.values, l.statistic), s.unit);
        result.measurement = m_m.name;
        results.push_back(result);
        return true;
    }

    const CTestPlan& m_plan;
    const CMeasurement& m_m;
    CProcessSession& m_session;
};

bool HashFile(const std::string& path, std::string& hash, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error, kMaxProcessBytes)) return false;
    hash = Sha256Hex(std::string(bytes.begin(), bytes.end()));
    return true;
}

} // namespace

bool RunTestPlan(const CTestPlan& plan, const CTestIdentity& identity,
                 const CSessionFactory& sessions, CTestRecord& record, std::string& error) {
    CTestRecord r;
    r.uuid = NewUuid();
    r.serial = identity.serial;
    r.station = identity.station;
    r.operatorName = identity.operatorName;
    r.testedAt = UtcNowText();
    r.software = std::string("aurivo ") + kAurivoVersion;
    r.planName = plan.name;
    r.planHash = Sha256Hex(plan.text);
    r.passed = true;
    for (const CMeasurement& m : plan.measurements) {
        if (!r.passed && plan.stopAtFirstFailure) break;
        const std::shared_ptr<CProcessSession> session = sessions();
        CMeasurementRun run(plan, m, *session);
        CMeasurementRecord mr;
        mr.name = m.name;
        std::string reason;
        if (!HashFile(m.process, mr.processHash, reason)) {
            error = run.Fail(reason);
            return false;
        }
        if (!run.Prepare(error)) return false;
        std::vector<CCheckResult> results;
        std::vector<CCheckedCurve> curves;
        do {
            ++mr.attempts;
            if (!run.Attempt(results, curves, error)) return false;
            mr.passed = std::all_of(results.begin(), results.end(),
                                    [](const CCheckResult& c) { return c.passed; });
        } while (!mr.passed && mr.attempts <= m.retries);
        mr.devices = run.Devices();
        r.passed = r.passed && mr.passed;
        r.measurements.push_back(mr);
        r.checks.insert(r.checks.end(), results.begin(), results.end());
        r.curves.insert(r.curves.end(), curves.begin(), curves.end());
    }
    record = std::move(r);
    return true;
}
