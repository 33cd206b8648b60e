#include "plot/DivisionScales.h"

#include "base/NumberText.h"

#include <array>

namespace {
// The steps of the dB and impedance scale lists; dB lists use the first ten.
constexpr std::array<double, 15> kScaleSteps{0.1,  0.2,   0.5,   1.0,   2.0,    5.0,    10.0,  20.0,
                                             50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0};
constexpr size_t kDbSteps = 10;

// "1 uVpk/Div" ... "10 Vpk/Div" for unit "Vpk" or "Vrms": 1, 2, 5 steps over seven decades.
std::vector<std::string> VoltsList(const char* unit) {
    static const std::array<const char*, 22> steps{
        "1 u", "2 u",  "5 u",  "10 u", "20 u",  "50 u",  "100 u", "200 u", "500 u", "1 m", "2 m",
        "5 m", "10 m", "20 m", "50 m", "100 m", "200 m", "500 m", "1 ",    "2 ",    "5 ",  "10 "};
    std::vector<std::string> items;
    for (const char* step : steps)
        items.push_back(std::string(step) + unit + "/Div");
    return items;
}

std::vector<std::string> StepList(const char* format, size_t count) {
    std::vector<std::string> items;
    for (size_t i = 0; i < count; ++i)
        items.push_back(FormatText(format, kScaleSteps[i]));
    return items;
}
} // namespace

const std::vector<std::string>& TimePerDivisionChoices() {
    static const std::vector<std::string> choices{
        "1 uS/Div",   "2 uS/Div",   "5 uS/Div",   "10 uS/Div",  "20 uS/Div",
        "50 uS/Div",  "100 uS/Div", "200 uS/Div", "500 uS/Div", "1 mS/Div",
        "2 mS/Div",   "5 mS/Div",   "10 mS/Div",  "20 mS/Div",  "50 mS/Div",
        "100 mS/Div", "200 mS/Div", "500 mS/Div", "1 S/Div"};
    return choices;
}

std::vector<std::string> MakeYScaleList(EPlotY y) {
    switch (y) {
    case EPlotY::VoltsRms:
        return VoltsList("Vrms");
    case EPlotY::DBVPeak:
        return StepList("%4.1fdBVpk/Div", kDbSteps);
    case EPlotY::DBVRms:
        return StepList("%4.1fdBVrms/Div", kDbSteps);
    case EPlotY::DBRelative:
        return StepList("%4.1fdB/Div", kDbSteps);
    case EPlotY::DBSPL:
        return {"10dBVpkSPL/Div"};
    case EPlotY::Degrees:
        return {"45\u00B0/Div"};
    case EPlotY::Ohms:
        return StepList("%4.1fohms/Div", kScaleSteps.size());
    default:
        return VoltsList("Vpk");
    }
}

double ParseDivisionText(std::string_view text) {
    const double value = ParseDouble(text);
    const auto has = [text](std::string_view unit) {
        return text.find(unit) != std::string_view::npos;
    };
    if (has("mV") || has("mS")) return value / 1000.0;
    if (has("uV") || has("uS")) return value / 1000000.0;
    return value;
}
