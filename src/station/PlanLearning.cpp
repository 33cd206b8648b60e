#include "station/PlanLearning.h"

#include <algorithm>
#include <cmath>

using nlohmann::json;

namespace {

struct CMoments {
    double mean = 0.0, sigma = 0.0;
};

/** Mean and sample standard deviation (n - 1). */
CMoments Moments(const std::vector<double>& v) {
    CMoments m;
    for (double x : v)
        m.mean += x;
    m.mean /= double(v.size());
    double sum = 0.0;
    for (double x : v)
        sum += (x - m.mean) * (x - m.mean);
    m.sigma = v.size() > 1 ? std::sqrt(sum / double(v.size() - 1)) : 0.0;
    return m;
}

const CCheckResult* FindCheck(const CTestRecord& r, const std::string& id) {
    for (const CCheckResult& c : r.checks)
        if (c.id == id) return &c;
    return nullptr;
}

const CCheckedCurve* FindCurve(const CTestRecord& r, const std::string& id) {
    for (const CCheckedCurve& c : r.curves)
        if (c.id == id) return &c;
    return nullptr;
}

bool LearnLimit(json& limit, const std::vector<CTestRecord>& runs, const CLearnOptions& o,
                std::vector<CLearnedItem>& items, std::string& error) {
    const std::string id = limit["id"];
    std::vector<double> values;
    std::string unit;
    for (const CTestRecord& r : runs) {
        const CCheckResult* c = FindCheck(r, id);
        if (!c || std::isnan(c->value)) {
            error = "limit \"" + id + "\": a run has no value";
            return false;
        }
        values.push_back(c->value);
        unit = c->unit;
    }
    const CMoments m = Moments(values);
    const double half = std::max(o.k * m.sigma, o.minRelativeWidth * std::fabs(m.mean));
    CLearnedItem item{id, unit, m.mean, m.sigma, m.mean - half, m.mean + half, 0};
    // The sides the plan limits stay the sides it limits.
    if (limit.contains("lower")) limit["lower"] = item.lower;
    if (limit.contains("upper")) limit["upper"] = item.upper;
    items.push_back(item);
    return true;
}

bool LearnMask(json& mask, const std::vector<CTestRecord>& runs, const CLearnOptions& o,
               std::vector<CLearnedItem>& items, std::string& error) {
    const std::string id = mask["id"];
    const CCheckedCurve* first = FindCurve(runs.front(), id);
    if (!first) {
        error = "mask \"" + id + "\": a run has no curve";
        return false;
    }
    const size_t n = first->measured.size();
    json golden = json::array(), upper = json::array(), lower = json::array();
    CLearnedItem item{id, first->measured.yUnit, 0.0, 0.0, -INFINITY, INFINITY, n};
    for (size_t k = 0; k < n; ++k) {
        std::vector<double> values;
        for (const CTestRecord& r : runs) {
            const CCheckedCurve* c = FindCurve(r, id);
            if (!c || c->measured.size() != n || c->measured.x[k] != first->measured.x[k]) {
                error = "mask \"" + id + "\": the runs' curves have different points";
                return false;
            }
            values.push_back(c->measured.y[k]);
        }
        const CMoments m = Moments(values);
        const double offset = std::max(o.k * m.sigma, o.minMaskOffset);
        const double f = first->measured.x[k];
        golden.push_back({f, m.mean});
        upper.push_back({f, offset});
        lower.push_back({f, -offset});
        item.sigma = std::max(item.sigma, m.sigma);
        item.upper = std::min(item.upper, offset);
        item.lower = std::max(item.lower, -offset);
    }
    if (n < 2) {
        error = "mask \"" + id + "\": the curve has fewer than two points to learn from";
        return false;
    }
    for (const char* key : {"goldenFile", "upperFile", "lowerFile"})
        mask.erase(key);
    mask["golden"] = golden;
    mask["upper"] = upper;
    mask["lower"] = lower;
    items.push_back(item);
    return true;
}

} // namespace

bool LearnPlan(const std::string& planText, const std::vector<CTestRecord>& runs,
               const CLearnOptions& options, json& learned, std::vector<CLearnedItem>& items,
               std::string& error) {
    if (runs.size() < 2) {
        error = "learning needs at least two runs";
        return false;
    }
    json plan = json::parse(planText, nullptr, false);
    if (plan.is_discarded() || !plan.contains("measurements")) {
        error = "the plan is not a plan";
        return false;
    }
    std::vector<CLearnedItem> found;
    for (json& m : plan["measurements"]) {
        if (m.contains("limits"))
            for (json& limit : m["limits"])
                if (!LearnLimit(limit, runs, options, found, error)) return false;
        if (m.contains("masks"))
            for (json& mask : m["masks"])
                if (!LearnMask(mask, runs, options, found, error)) return false;
    }
    plan["description"] = "Limits learned from " + std::to_string(runs.size()) +
                          " runs at mean \u00b1 " + json(options.k).dump() + " sigma; " +
                          plan.value("description", "");
    learned = std::move(plan);
    items = std::move(found);
    return true;
}
