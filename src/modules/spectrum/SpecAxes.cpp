#include "modules/spectrum/SpecAxes.h"

#include "base/NumberText.h"

#include <array>

namespace {
std::vector<std::string> Numbered(int first, int last) {
    std::vector<std::string> items;
    for (int i = first; i <= last; ++i)
        items.push_back(FormatText("%i", i));
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
    static const std::vector<std::string> items{"None",    "TapRect",  "Triangle", "Hanning",
                                                "Hamming", "Blackman", "Flat Top"};
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

const std::vector<std::string>& SpecTHDHarmonicChoices() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list{"All"};
        for (int h = 2; h <= 10; ++h)
            list.push_back("HD" + std::to_string(h));
        return list;
    }();
    return items;
}

const std::vector<std::string>& SpecNoiseChoices() {
    static const std::vector<std::string> items{"Off", "Z", "A"};
    return items;
}

const std::vector<std::string>& SpecIMDMethodChoices() {
    static const std::vector<std::string> items{"Orders", "SMPTE/DIN", "CCIF"};
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
