#include "modules/scope/OscScales.h"

const std::vector<std::string>& OscVoltsPerDivChoices() {
    static const std::vector<std::string> choices{
        "1 uVpk/Div",   "2 uVpk/Div",   "5 uVpk/Div",   "10 uVpk/Div",  "20 uVpk/Div",
        "50 uVpk/Div",  "100 uVpk/Div", "200 uVpk/Div", "500 uVpk/Div", "1 mVpk/Div",
        "2 mVpk/Div",   "5 mVpk/Div",   "10 mVpk/Div",  "20 mVpk/Div",  "50 mVpk/Div",
        "100 mVpk/Div", "200 mVpk/Div", "500 mVpk/Div", "1 Vpk/Div",    "2 Vpk/Div",
        "5 Vpk/Div",    "10 Vpk/Div"};
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
