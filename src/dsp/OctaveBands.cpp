#include "dsp/OctaveBands.h"

#include "base/NumberText.h"

#include <cmath>

namespace {
// The preferred numbers (R10 series) that name the third-octave bands of a decade: G^(x/3)
// steps through them exactly, since G^(10/3) = 10.
constexpr double kThirdOctaveNames[10] = {1.0, 1.25, 1.6, 2.0, 2.5, 3.15, 4.0, 5.0, 6.3, 8.0};

// Band index x of 1/b octave: the exponent of the midband frequency 1000 G^(e / b).
double Exponent(int x, int b) {
    return b % 2 != 0 ? double(x) : (2.0 * x + 1.0) / 2.0;
}

// Finer bands have no names of their own: the midband frequency to three significant digits
// when it starts with 1 to 4, else to two.
double RoundedNominal(double f) {
    const double digits = std::floor(std::log10(f));
    const double lead = f / std::pow(10.0, digits);
    const double step = std::pow(10.0, digits - (lead < 5.0 ? 2.0 : 1.0));
    return std::round(f / step) * step;
}

double Nominal(int x, int b, double exact) {
    // Octaves and thirds share the R10 names: an octave band is every third third-octave band.
    const int third = b == 1 ? 3 * x : b == 3 ? x : 0;
    if (b != 1 && b != 3) return RoundedNominal(exact);
    const int decade = third >= 0 ? third / 10 : -((-third + 9) / 10);
    return kThirdOctaveNames[third - 10 * decade] * std::pow(10.0, decade + 3);
}
} // namespace

double OctaveRatio() {
    return std::pow(10.0, 0.3);
}

std::vector<COctaveBand> MakeOctaveBands(int fraction, double lowest, double highest) {
    std::vector<COctaveBand> bands;
    if (fraction != 1 && fraction != 3 && fraction != 6 && fraction != 12 && fraction != 24 &&
        fraction != 48)
        return bands;
    const double g = OctaveRatio(), b = fraction;
    const double half = std::pow(g, 1.0 / (2.0 * b));
    // The first band whose upper edge lies above `lowest`.
    int x = int(std::floor(b * std::log(lowest / 1000.0) / std::log(g))) - 1;
    while (1000.0 * std::pow(g, Exponent(x, fraction) / b) * half <= lowest)
        ++x;
    for (;; ++x) {
        COctaveBand band;
        band.centre = 1000.0 * std::pow(g, Exponent(x, fraction) / b);
        band.lower = band.centre / half;
        band.upper = band.centre * half;
        if (band.upper > highest) break;
        band.nominal = Nominal(x, fraction, band.centre);
        bands.push_back(band);
    }
    return bands;
}

std::string BandLabel(double nominal) {
    if (nominal >= 1000.0) return FormatText("%.4gk", nominal / 1000.0);
    return FormatText("%.4g", nominal);
}

double BandFilterPower(const COctaveBand& band, double f) {
    if (f <= 0.0) return 0.0;
    // The low-pass prototype's frequency: 0 at the midband frequency, +-1 at the edges.
    const double x = (f * f - band.centre * band.centre) / (f * (band.upper - band.lower));
    const double x2 = x * x;
    return 1.0 / (1.0 + x2 * x2 * x2);
}
