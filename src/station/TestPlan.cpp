#include "station/TestPlan.h"

#include "platform/AtomicFile.h"
#include "station/JsonSchema.h"
#include "station/StationText.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>

using nlohmann::json;

namespace {

constexpr size_t kMaxPlanBytes = 16u << 20;

/** What reading one plan needs: its name in messages, its folder for relative files. */
struct CPlanReader {
    std::string name;
    std::filesystem::path folder;

    std::string Resolve(const std::string& file) const {
        const std::filesystem::path p(file);
        return (p.is_absolute() ? p : folder / p).lexically_normal().string();
    }

    bool Fail(std::string& error, const std::string& item, const std::string& reason) const {
        error = name + ": " + item + ": " + reason;
        return false;
    }

    /** A curve given inline as `key` or in the file `key`File (exactly one may be given). */
    bool ReadCurve(const json& mask, const std::string& key, const std::string& item,
                   std::optional<CCurve>& curve, std::string& error) const {
        const std::string fileKey = key + "File";
        if (mask.contains(key) && mask.contains(fileKey))
            return Fail(error, item, "give \"" + key + "\" or \"" + fileKey + "\", not both");
        if (mask.contains(fileKey)) {
            CCurve read;
            std::string reason;
            if (!ReadCurveFile(Resolve(mask[fileKey].get<std::string>()), read, reason))
                return Fail(error, item, reason);
            curve = std::move(read);
        } else if (mask.contains(key)) {
            CCurve points;
            for (const json& p : mask[key]) {
                points.x.push_back(p[0].get<double>());
                points.y.push_back(p[1].get<double>());
            }
            if (const size_t bad = FirstUnsortedPoint(points))
                return Fail(error, item,
                            "the frequencies of \"" + key + "\" must rise, and " +
                                ShortestNumber(points.x[bad]) + " follows " +
                                ShortestNumber(points.x[bad - 1]));
            curve = std::move(points);
        }
        return true;
    }

    bool ReadLimit(const json& j, CLimitCheck& limit, std::string& error) const {
        limit.id = j["id"];
        limit.step = j["step"];
        limit.readout = j["readout"];
        limit.channel = j.value("channel", 0);
        limit.unit = j.value("unit", "");
        if (j.contains("lower")) limit.lower = j["lower"].get<double>();
        if (j.contains("upper")) limit.upper = j["upper"].get<double>();
        const std::string statistic = j.value("statistic", "last");
        limit.statistic = statistic == "mean"  ? EStatistic::Mean
                          : statistic == "min" ? EStatistic::Min
                          : statistic == "max" ? EStatistic::Max
                                               : EStatistic::Last;
        const std::string item = "limit \"" + limit.id + "\"";
        if (!limit.lower && !limit.upper) return Fail(error, item, "needs \"lower\" or \"upper\"");
        if (limit.lower && limit.upper && *limit.lower > *limit.upper)
            return Fail(error, item,
                        "lower " + ShortestNumber(*limit.lower) + " is above upper " +
                            ShortestNumber(*limit.upper));
        return true;
    }

    bool ReadMask(const json& j, CMaskCheck& mask, std::string& error) const {
        mask.id = j["id"];
        mask.step = j["step"];
        mask.channel = j.value("channel", 1);
        mask.source =
            j.value("curve", "drawn") == "handed" ? ECurveSource::Handed : ECurveSource::Drawn;
        if (j.contains("from")) mask.from = j["from"].get<double>();
        if (j.contains("to")) mask.to = j["to"].get<double>();
        if (j.contains("normaliseAt")) mask.normaliseAt = j["normaliseAt"].get<double>();
        const std::string item = "mask \"" + mask.id + "\"";
        if (!ReadCurve(j, "golden", item, mask.golden, error) ||
            !ReadCurve(j, "upper", item, mask.upper, error) ||
            !ReadCurve(j, "lower", item, mask.lower, error))
            return false;
        if (!mask.upper && !mask.lower) return Fail(error, item, "needs an upper or a lower mask");
        if (mask.from && mask.to && !(*mask.from < *mask.to))
            return Fail(error, item,
                        "\"from\" " + ShortestNumber(*mask.from) + " Hz must lie below \"to\" " +
                            ShortestNumber(*mask.to) + " Hz");
        if (mask.normaliseAt && mask.golden &&
            std::isnan(CurveValueAt(*mask.golden, *mask.normaliseAt)))
            return Fail(error, item,
                        "the golden curve does not reach the normalising frequency " +
                            ShortestNumber(*mask.normaliseAt) + " Hz");
        return true;
    }

    bool ReadMeasurement(const json& j, CMeasurement& m, std::string& error) const {
        m.name = j["name"];
        m.process = Resolve(j["process"].get<std::string>());
        m.settings = j.value("set", std::vector<std::string>());
        m.passes = j.value("passes", 1);
        m.retries = j.value("retries", 0);
        for (const json& limit : j.value("limits", json::array()))
            if (!ReadLimit(limit, m.limits.emplace_back(), error)) return false;
        for (const json& mask : j.value("masks", json::array()))
            if (!ReadMask(mask, m.masks.emplace_back(), error)) return false;
        if (m.limits.empty() && m.masks.empty())
            return Fail(error, "measurement \"" + m.name + "\"",
                        "checks nothing: give limits or masks");
        return true;
    }
};

const json& PlanSchema() {
    static const json schema = json::parse(TestPlanSchemaText());
    return schema;
}

} // namespace

bool ParseTestPlan(const std::string& path, const std::string& text, CTestPlan& plan,
                   std::string& error) {
    const CPlanReader reader{path, std::filesystem::path(path).parent_path()};
    json j;
    try {
        j = json::parse(text);
    } catch (const json::parse_error& e) {
        return reader.Fail(error, "the plan",
                           "is not JSON text (at byte " + std::to_string(e.byte) + ")");
    } catch (const json::exception&) {
        // A number beyond what a double holds (1e555) is well-formed JSON the parser refuses.
        return reader.Fail(error, "the plan", "holds a number too large to read");
    }
    if (std::string problem = CheckJsonSchema(PlanSchema(), j); !problem.empty()) {
        error = path + ": " + problem;
        return false;
    }
    CTestPlan read;
    read.path = path;
    read.text = text;
    read.name = j["name"];
    read.description = j.value("description", "");
    read.stopAtFirstFailure = j.value("stopAtFirstFailure", false);
    std::vector<std::string> ids;
    for (const json& m : j["measurements"]) {
        if (!reader.ReadMeasurement(m, read.measurements.emplace_back(), error)) return false;
        for (const CLimitCheck& l : read.measurements.back().limits)
            ids.push_back(l.id);
        for (const CMaskCheck& k : read.measurements.back().masks)
            ids.push_back(k.id);
    }
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t k = 0; k < i; ++k)
            if (ids[i] == ids[k])
                return reader.Fail(error, "check \"" + ids[i] + "\"", "the id is used twice");
    plan = std::move(read);
    return true;
}

bool LoadTestPlan(const std::string& path, CTestPlan& plan, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error, kMaxPlanBytes)) return false;
    return ParseTestPlan(path, std::string(bytes.begin(), bytes.end()), plan, error);
}
