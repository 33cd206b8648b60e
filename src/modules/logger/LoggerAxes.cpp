#include "modules/logger/LoggerAxes.h"
#include "plot/DivisionScales.h"

#include <array>

namespace {
struct CXAxis {
    bool time;
    int channel;
    EAxisKind kind;
    double lowest;
};
constexpr std::array<CXAxis, kLogXAxisCount> kXAxes{{
    {true, 0, EAxisKind::time, 0.0},
    {true, 1, EAxisKind::time, 0.0},
    {false, 0, EAxisKind::linear, 0.0},
    {false, 0, EAxisKind::log, 1.0},
    {false, 0, EAxisKind::log, 10.0},
    {false, 0, EAxisKind::log, 20.0},
    {false, 0, EAxisKind::log, 100.0},
    {false, 1, EAxisKind::linear, 0.0},
    {false, 1, EAxisKind::log, 1.0},
    {false, 1, EAxisKind::log, 10.0},
    {false, 1, EAxisKind::log, 20.0},
    {false, 1, EAxisKind::log, 100.0},
}};

const CXAxis& XAxis(int xAxis) {
    return kXAxes[size_t(xAxis >= 0 && xAxis < kLogXAxisCount ? xAxis : kLogF1Lin)];
}
} // namespace

const std::vector<std::string>& LoggerXAxisChoices() {
    static const std::vector<std::string> items{"T1Lin",   "T2Lin",   "F1Lin",    "F1Log1",
                                                "F1Log10", "F1Log20", "F1Log100", "F2 Lin",
                                                "F2Log1",  "F2Log10", "F2Log20",  "F2Log100"};
    return items;
}

const std::vector<std::string>& LoggerYAxisChoices() {
    static const std::vector<std::string> items{"None",  "Vpk.",   "Vrms",    "dBVpk.", "dBVrms",
                                                "dBRel", "dBVSPL", "Degrees", "| Z |"};
    return items;
}

bool LoggerIsTimeAxis(int xAxis) {
    return XAxis(xAxis).time;
}

int LoggerDrawnChannel(int xAxis) {
    return XAxis(xAxis).channel;
}

EAxisKind LoggerAxisKind(int xAxis) {
    return XAxis(xAxis).kind;
}

double LoggerLowestFrequency(int xAxis) {
    return XAxis(xAxis).lowest;
}

const CLoggerYAxisType& LoggerYAxisType(int type) {
    static const std::array<CLoggerYAxisType, kLogYAxisCount> types{{
        {1.0, "", 0, false},     // None
        {1.0, "", 17, false},    // Vpk.
        {1.0, "", 17, false},    // Vrms
        {1.0, "", 3, false},     // dBVpk.
        {1.0, "", 3, false},     // dBVrms
        {1000.0, "Hz", 3, true}, // dBRel
        {1.0, "V", 0, true},     // dBVSPL
        {1.0, "", 0, false},     // Degrees
        {10.0, "Ohm", 5, true},  // | Z |
    }};
    return types[size_t(type >= 0 && type < kLogYAxisCount ? type : kLogYNone)];
}

bool LoggerIsDecibels(int type) {
    return type >= kLogYdBVpk && type <= kLogYdBVSPL;
}

std::vector<std::string> MakeLoggerYScaleList(int type) {
    // The analyser's lists from "Vpk." to "| Z |" are the logger's from position 1 on.
    if (type <= kLogYNone || type >= kLogYAxisCount) return {"None"};
    return MakeYScaleList(static_cast<EPlotY>(type));
}

CColour LoggerPlotColour(int plot) {
    static constexpr std::array<CColour, 6> colours{
        {{255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {255, 0, 255}, {255, 0, 0}, {255, 255, 255}}};
    return colours[size_t(plot < 0 ? 0 : plot % 6)];
}
