#include "modules/spectrum/SpecAxes.h"

#include "base/NumberText.h"

#include <array>

namespace {
// The steps of the dB and impedance scale lists; dB lists use the first ten.
constexpr std::array<double, 15> kScaleSteps{0.1,  0.2,   0.5,   1.0,   2.0,    5.0,    10.0,  20.0,
                                             50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0};
constexpr size_t kDbSteps = 10;

std::vector<std::string> Numbered(int first, int last) {
    std::vector<std::string> items;
    for (int i = first; i <= last; ++i)
        items.push_back(FormatText("%i", i));
    return items;
}

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

const std::vector<std::string>& SpecXAxisChoices() {
    static const std::vector<std::string> items{"Lin.", "Log1.", "Log10.", "Log20.", "Log100."};
    return items;
}

const std::vector<std::string>& SpecYAxisChoices() {
    static const std::vector<std::string> items{"Vpk.",   "Vrms",    "dBVpk.", "dBVrms", "dBRel",
                                                "dBVSPL", "Degrees", "| Z |",  "THDVpk", "IMDVpk"};
    return items;
}

const std::vector<std::string>& SpecFFTTypeChoices() {
    static const std::vector<std::string> items{"Off",       "FFT", "XCorr",
                                                "XCorr/FFT", "FHT", "FHT/FFT"};
    return items;
}

const std::vector<std::string>& SpecWindowChoices() {
    static const std::vector<std::string> items{"None",    "TapRect", "Triangle",
                                                "Hanning", "Hamming", "Blackman"};
    return items;
}

const std::vector<std::string>& SpecPlotChoices() {
    static const std::vector<std::string> items{
        "Line", "Solid Bar", "Sunk Bar", "Lined Bar", "Multi Bar", "Lined Multi", "Sunk Multi"};
    return items;
}

const std::vector<std::string>& SpecBlockAverageChoices() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> powers;
        for (int n = 1; n <= 4096; n *= 2)
            powers.push_back(FormatText("%i", n));
        return powers;
    }();
    return items;
}

const std::vector<std::string>& SpecSmoothingChoices() {
    static const std::vector<std::string> items = Numbered(0, 32);
    return items;
}

const CSpecYAxisType& SpecYAxisType(int type) {
    static const std::array<CSpecYAxisType, kYAxisCount> types{{
        {1000.0, "Hz", 17, true}, // Vpk.
        {1000.0, "Hz", 17, true}, // Vrms
        {1000.0, "Hz", 3, true},  // dBVpk.
        {1000.0, "Hz", 3, true},  // dBVrms
        {1000.0, "Hz", 3, true},  // dBRel
        {1.0, "V", 0, true},      // dBVSPL
        {1.0, "", 0, false},      // Degrees
        {10.0, "Ohm", 5, true},   // | Z |
        {0.0, "Hz", 17, true},    // THDVpk
        {0.0, "Hz", 17, true},    // IMDVpk
    }};
    return types[static_cast<size_t>(type >= 0 && type < kYAxisCount ? type : kYVpk)];
}

std::vector<std::string> MakeSpecYScaleList(int type) {
    switch (type) {
    case kYVrms:
        return VoltsList("Vrms");
    case kYdBVpk:
        return StepList("%4.1fdBVpk/Div", kDbSteps);
    case kYdBVrms:
        return StepList("%4.1fdBVrms/Div", kDbSteps);
    case kYdBRel:
        return StepList("%4.1fdB/Div", kDbSteps);
    case kYdBVSPL:
        return {"10dBVpkSPL/Div"};
    case kYDegrees:
        return {"45\u00B0/Div"};
    case kYImpedance:
        return StepList("%4.1fohms/Div", kScaleSteps.size());
    default: // Vpk., THDVpk and IMDVpk
        return VoltsList("Vpk");
    }
}

double ParseSpecScaleText(const std::string& text) {
    const double value = ParseDouble(text);
    if (text.find("mV") != std::string::npos) return value / 1000.0;
    if (text.find("uV") != std::string::npos) return value / 1000000.0;
    return value;
}
