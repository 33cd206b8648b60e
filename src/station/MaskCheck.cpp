#include "station/MaskCheck.h"

#include "station/StationText.h"

#include <algorithm>

namespace {

double Offset(const CCurve& curve, const std::optional<double>& at) {
    return at ? CurveValueAt(curve, *at) : 0.0;
}

/** The mask's absolute value at f: its own, plus the golden curve's when it is relative. */
double MaskAt(const std::optional<CCurve>& mask, const std::optional<CCurve>& golden,
              double goldenOffset, double f) {
    if (!mask) return std::numeric_limits<double>::quiet_NaN();
    const double value = CurveValueAt(*mask, f);
    return golden ? value + CurveValueAt(*golden, f) - goldenOffset : value;
}

} // namespace

bool CheckMask(const CMaskCheck& mask, const CCurve& measured, CCheckResult& result,
               CCheckedCurve& checked, std::string& error) {
    const std::string item = "mask \"" + mask.id + "\": ";
    const double offset = Offset(measured, mask.normaliseAt);
    if (std::isnan(offset)) {
        error = item + "the curve does not reach the normalising frequency " +
                ShortestNumber(*mask.normaliseAt) + " Hz";
        return false;
    }
    const double goldenOffset = mask.golden ? Offset(*mask.golden, mask.normaliseAt) : 0.0;
    const double from = mask.from.value_or(-std::numeric_limits<double>::infinity());
    const double to = mask.to.value_or(std::numeric_limits<double>::infinity());

    CCheckResult r;
    r.id = mask.id;
    r.kind = ECheckKind::Mask;
    // A normalised decibel curve is in decibels relative to its value at that frequency.
    r.unit = mask.normaliseAt && measured.yUnit.rfind("dB", 0) == 0 ? "dB" : measured.yUnit;
    r.margin = std::numeric_limits<double>::infinity();
    CCheckedCurve curve{mask.id, {{}, {}, r.unit}, {}, {}};
    for (size_t i = 0; i < measured.size(); ++i) {
        const double f = measured.x[i];
        if (f < from || f > to) continue;
        const double upper = MaskAt(mask.upper, mask.golden, goldenOffset, f);
        const double lower = MaskAt(mask.lower, mask.golden, goldenOffset, f);
        if (std::isnan(upper) && std::isnan(lower)) continue;
        const double y = measured.y[i] - offset;
        curve.measured.x.push_back(f);
        curve.measured.y.push_back(y);
        curve.upper.push_back(upper);
        curve.lower.push_back(lower);
        // A value that is not a number lies outside every mask.
        constexpr double kNone = std::numeric_limits<double>::infinity();
        const double margin = std::isnan(y) ? -kNone
                                            : std::min(std::isnan(upper) ? kNone : upper - y,
                                                       std::isnan(lower) ? kNone : y - lower);
        if (margin < r.margin || std::isnan(r.frequency)) {
            r.margin = std::min(margin, r.margin);
            r.value = y;
            r.frequency = f;
            r.upper = std::isnan(upper) ? std::nullopt : std::optional<double>(upper);
            r.lower = std::isnan(lower) ? std::nullopt : std::optional<double>(lower);
        }
    }
    if (curve.measured.size() == 0) {
        error = item + "the curve has no point where the masks apply" +
                (mask.from || mask.to
                     ? " between " + ShortestNumber(from) + " and " + ShortestNumber(to) + " Hz"
                     : std::string());
        return false;
    }
    r.passed = r.margin >= 0.0;
    result = r;
    checked = std::move(curve);
    return true;
}

CCheckResult CheckLimit(const CLimitCheck& limit, double value, const std::string& unit) {
    CCheckResult r;
    r.id = limit.id;
    r.kind = ECheckKind::Limit;
    r.value = value;
    r.unit = unit;
    r.lower = limit.lower;
    r.upper = limit.upper;
    if (std::isnan(value)) return r;
    r.margin =
        std::min(limit.upper ? *limit.upper - value : std::numeric_limits<double>::infinity(),
                 limit.lower ? value - *limit.lower : std::numeric_limits<double>::infinity());
    r.passed = r.margin >= 0.0;
    return r;
}
