#include "modules/scope/OscScales.h"

#include "base/NumberText.h"

const std::vector<std::string>& OscVoltsPerDivChoices() {
    static const std::vector<std::string> choices{
        "1 uVpk/Div",   "2 uVpk/Div",   "5 uVpk/Div",   "10 uVpk/Div",  "20 uVpk/Div",
        "50 uVpk/Div",  "100 uVpk/Div", "200 uVpk/Div", "500 uVpk/Div", "1 mVpk/Div",
        "2 mVpk/Div",   "5 mVpk/Div",   "10 mVpk/Div",  "20 mVpk/Div",  "50 mVpk/Div",
        "100 mVpk/Div", "200 mVpk/Div", "500 mVpk/Div", "1 Vpk/Div",    "2 Vpk/Div",
        "5 Vpk/Div",    "10 Vpk/Div"};
    return choices;
}

const std::vector<std::string>& OscTimePerDivChoices() {
    static const std::vector<std::string> choices{
        "1 uS/Div",   "2 uS/Div",   "5 uS/Div",   "10 uS/Div",  "20 uS/Div",
        "50 uS/Div",  "100 uS/Div", "200 uS/Div", "500 uS/Div", "1 mS/Div",
        "2 mS/Div",   "5 mS/Div",   "10 mS/Div",  "20 mS/Div",  "50 mS/Div",
        "100 mS/Div", "200 mS/Div", "500 mS/Div", "1 S/Div"};
    return choices;
}

const std::vector<std::string>& OscDisplayTypeNames() {
    static const std::vector<std::string> names{"Off", "Gnd", "Alg", "Dig"};
    return names;
}

const std::vector<std::string>& OscAverageChoices() {
    static const std::vector<std::string> choices{"1",   "2",   "4",   "8",    "16",   "32",  "64",
                                                  "128", "256", "512", "1024", "2048", "4096"};
    return choices;
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
