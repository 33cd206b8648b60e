#include "plot/PlotCodes.h"

#include <iterator>

const CPlotXTraits& PlotXTraits(EPlotX code) {
    static const CPlotXTraits kTable[] = {
        {true, EAxisKind::time, 0.0},   {true, EAxisKind::linear, 0.0},
        {true, EAxisKind::log, 1.0},    {true, EAxisKind::log, 10.0},
        {true, EAxisKind::log, 20.0},   {true, EAxisKind::log, 100.0},
        {true, EAxisKind::linear, 0.0},
    };
    static const CPlotXTraits kUnknown{false, EAxisKind::linear, 0.0};
    const auto i = static_cast<int32_t>(code);
    return i >= 0 && i < int32_t(std::size(kTable)) ? kTable[i] : kUnknown;
}

const CPlotYTraits& PlotYTraits(EPlotY code) {
    using L = EYLayout;
    using T = EYLabels;
    static const CPlotYTraits kTable[] = {
        {L::Nothing, T::Volts, {}},
        {L::FromBottom, T::Volts, {0, 0, 10}},        // volts peak
        {L::FromBottom, T::Volts, {0, 0, 10}},        // volts rms
        {L::CentredDecibels, T::Decibels, {4, 5}},    // dBV peak
        {L::CentredDecibels, T::Decibels, {4, 5}},    // dBV rms
        {L::CentredDecibels, T::Decibels, {}},        // dB relative
        {L::SoundPressure, T::SoundPressure, {0, 5}}, // dB SPL
        {L::CentredDegrees, T::Degrees, {4, 5}},      // degrees
        {L::FromBottom, T::Ohms, {0, 0, 10}},         // ohms
        {L::FromBottom, T::Volts, {0, 0, 10}},        // THD volts peak
        {L::FromBottom, T::Volts, {0, 0, 10}},        // IMD volts peak
        {L::Depth, T::Decibels, {}},                  // 3-D
        {L::FromBottom, T::Ratio, {0, 0, 10}},        // ratio
    };
    const auto i = static_cast<int32_t>(code);
    return i >= 0 && i < int32_t(std::size(kTable)) ? kTable[i] : kTable[0];
}
