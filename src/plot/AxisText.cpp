#include "plot/AxisText.h"

#include "base/NumberText.h"

#include <cmath>

namespace {

constexpr const char* kDegreeSign = "\xC2\xB0";

std::string TimeText(double t, double tau, const char* micro, const char* milli, const char* unit) {
    if (tau < 0.001) return FormatText("%3.0f", t * 1e6) + micro;
    if (tau < 1.0) return FormatText("%3.0f", t * 1000.0) + milli;
    if (tau < 1000.0) return FormatText("%3.1f", t) + unit;
    return unit;
}

} // namespace

std::string GetXAxisLinFreqDispText(double f) {
    if (f < 10.0) return FormatText("%4.2fHz", f);
    if (f < 100.0) return FormatText("%4.1fHz", f);
    if (f < 1000.0) return FormatText("%3.0fHz", f);
    if (f < 10000.0) return FormatText("%3.1fkHz", f / 1000.0);
    if (f < 100000.0) return FormatText("%4.1fkHz", f / 1000.0);
    return "Hz";
}

std::string GetXAxisLogFreqDispText(double f) {
    if (f < 10.0) return FormatText("%1.0fHz", f);
    if (f < 100.0) return FormatText("%2.0fHz", f);
    if (f < 1000.0) return FormatText("%3.0fHz", f);
    if (f < 10000.0) return FormatText("%3.0fkHz", f / 1000.0);
    if (f < 100000.0) return FormatText("%4.0fkHz", f / 1000.0);
    return "Hz";
}

std::string GetYAxisVoltsDispText(double v, double d) {
    if (d >= 20.0) return FormatText("%3.0fV", v);
    if (d >= 2.0) return FormatText("%2.0fV", v);
    if (d >= 0.2) return FormatText("%3.1fV", v);
    if (d >= 0.02) return FormatText("%3.2fV", v);
    if (d >= 0.002) return FormatText("%2.0fmV", v * 1000.0);
    if (d >= 0.0002) return FormatText("%3.1fmV", v * 1000.0);
    if (d >= 2e-05) return FormatText("%3.0fuV", v * 1e6);
    if (d >= 2e-06) return FormatText("%2.0fuV", v * 1e6);
    if (d >= 2e-07) return FormatText("%2.1fuV", v * 1e6);
    return "V";
}

std::string GetYAxisRatioDispText(double v, double d) {
    if (d >= 1.0) return FormatText("%.0f", v);
    if (d >= 0.1) return FormatText("%.1f", v);
    return FormatText("%.2f", v);
}

std::string GetYAxisdBDispText(double v, double d) {
    if (d >= 50.0) return FormatText("%4.0fdB", v);
    if (d >= 5.0) return FormatText("%3.0fdB", v);
    if (d >= 0.1) return FormatText("%4.1fdB", v);
    return "dB";
}

std::string GetYAxisOhmsDispText(double v, double d) {
    if (d >= 2000.0) return FormatText("%3.1fK", v / 1000.0);
    if (d >= 200.0) return v < 1000.0 ? FormatText("%3.0f", v) : FormatText("%3.1fK", v / 1000.0);
    if (d >= 20.0) return FormatText("%3.0f", v);
    if (d >= 2.0) return FormatText("%2.0f", v);
    if (d >= 0.02) return FormatText("%3.1f", v);
    return {};
}

std::string GetYAxisDegDispText(double v) {
    return FormatText("%4.0f", v) + kDegreeSign;
}

std::string GetYAxisSPLDispText(double v, double d) {
    // Below 0.1 dB per division the levels need two decimals to differ.
    if (d >= 5.0) return FormatText("%3.0fdB", v);
    if (d >= 0.1) return FormatText("%4.1fdB", v);
    return FormatText("%5.2fdB", v);
}

std::string GetYAxis3DLevelDispText(double v, double span) {
    if (span <= -100.0) return FormatText("%4.0fdB", v);
    if (span <= -10.0) return FormatText("%3.0fdB", v);
    // Spans under 10 dB keep a decimal so neighbouring levels differ.
    return FormatText("%4.1fdB", v);
}

std::string GetZAxisLinTimeDispText(double t, double tau) {
    return TimeText(t, tau, "uS", "mS", "S");
}

std::string GetFormattedVoltsText(double v) {
    const double a = std::fabs(v);
    if (a < 1e-9) return "0.000 nV";
    if (a < 1e-8) return FormatText("%1.3f nV", v * 1e9);
    if (a < 1e-7) return FormatText("%2.2f nV", v * 1e9);
    if (a < 1e-6) return FormatText("%3.1f nV", v * 1e9);
    if (a < 1e-5) return FormatText("%1.3f uV", v * 1e6);
    if (a < 1e-4) return FormatText("%2.2f uV", v * 1e6);
    if (a < 1e-3) return FormatText("%3.1f uV", v * 1e6);
    if (a < 1e-2) return FormatText("%1.3f mV", v * 1000.0);
    if (a < 0.1) return FormatText("%2.2f mV", v * 1000.0);
    if (a < 1.0) return FormatText("%3.1f mV", v * 1000.0);
    if (a < 10.0) return FormatText("%1.3f V", v);
    if (a < 100.0) return FormatText("%2.2f V", v);
    return FormatText("%3.1f V", v);
}

std::string GetFormatteddBText(double v) {
    const double a = std::fabs(v);
    if (a < 0.1) return "0.000 dB";
    if (a < 1.0) return FormatText("%0.4fdB", v);
    if (a < 10.0) return FormatText("%1.3fdB", v);
    if (a < 100.0) return FormatText("%2.2fdB", v);
    return FormatText("%3.1fdB", v);
}

std::string GetFormattedDegText(double v) {
    return FormatText("%4.2f", v) + kDegreeSign;
}

std::string GetFormattedOhmsText(double v) {
    if (v < 0.001) return "0.000";
    if (v < 10.0) return FormatText("%0.3f", v);
    if (v < 100.0) return FormatText("%0.2f", v);
    if (v < 1000.0) return FormatText("%0.1f", v);
    if (v < 10000.0) return FormatText("%0.3fK", v / 1000.0);
    if (v < 100000.0) return FormatText("%0.2fK", v / 1000.0);
    if (v < 1e6) return FormatText("%0.1fK", v / 1000.0);
    return FormatText("%0.3fM", v / 1e6);
}
