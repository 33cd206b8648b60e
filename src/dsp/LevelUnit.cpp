#include "dsp/LevelUnit.h"

#include <cmath>

namespace {
// 20 log10 of 1 Pa re 20 uPa, and 10 log10(2), the rms of a sine of peak 1 in dB.
constexpr double kPascalDb = 93.979400086720375;
constexpr double kFullScaleDb = 3.0102999566398120;
} // namespace

const std::vector<std::string>& LevelUnitNames() {
    static const std::vector<std::string> names{"dBFS", "dBV", "dB SPL"};
    return names;
}

double LevelUnitOffset(ELevelUnit unit, double mvPerPa, double factorDb) {
    switch (unit) {
    case ELevelUnit::DBFS:
        return kFullScaleDb - factorDb;
    case ELevelUnit::DBSPL:
        return kPascalDb - 20.0 * std::log10(mvPerPa / 1000.0) - factorDb;
    default:
        return -factorDb;
    }
}

std::string LevelUnitRefusal(ELevelUnit unit, double mvPerPa) {
    if (unit == ELevelUnit::DBSPL && !(mvPerPa > 0.0))
        return "dB SPL needs the microphone's sensitivity (mV/Pa)";
    return {};
}
