#pragma once
// Fractional-octave smoothing of a magnitude response given on the bins of a DFT. Each
// smoothed value is the power mean of the magnitude over the band f 2^(-w/2) .. f 2^(w/2), w
// octaves wide, with the magnitude taken as linear between bins, so a band that ends inside a
// bin counts the part of the bin it covers: smoothing a curve that is smooth at the bin spacing
// gives its analytic band average. The power is 2 for the energy average users expect, 3 for
// the cubic mean of the psychoacoustic smoothing that favours peaks as hearing does.

#include <span>
#include <string>
#include <vector>

/** The smoothing choices: none, fixed fractions of an octave, and two that vary with
 *  frequency. */
enum class EOctaveSmoothing : int {
    None = 0,
    Oct48,
    Oct24,
    Oct12,
    Oct6,
    Oct3,
    Oct2,
    Oct1,
    Variable,       // 1/48 octave up to 100 Hz, widening to 1/3 octave at 10 kHz and above
    Psychoacoustic, // 1/3 octave up to 100 Hz, narrowing to 1/6 octave at 1 kHz; cubic mean
    Count
};

/** The choices as users name them: "None", "1/48", ..., "1/1", "Variable", "Psychoacoustic". */
const std::vector<std::string>& OctaveSmoothingNames();
/** The band width in octaves of a choice at `f` Hz; 0 for None. */
double OctaveSmoothingWidth(EOctaveSmoothing choice, double f);
/** The power mean a choice takes: 3 for Psychoacoustic, else 2. */
double OctaveSmoothingPower(EOctaveSmoothing choice);

class COctaveSmoother {
public:
    /** `magnitude[k]` is the magnitude at k * binHz. */
    COctaveSmoother(std::span<const double> magnitude, double binHz, double power = 2.0);
    /** The power mean over the band of `octaves` around `f`; the magnitude at f for a width of
     *  0, and the band clipped to the bins there are. */
    double At(double f, double octaves) const;
    /** The magnitude itself at `f`, linear between bins. */
    double Raw(double f) const;

private:
    /** The integral of |m|^p from bin 0 to fractional bin x. */
    double Integral(double x) const;

    std::vector<double> m_powered; // |m[k]|^p
    std::vector<double> m_sum;     // integral up to bin k
    std::vector<double> m_raw;
    double m_binHz;
    double m_power;
};

/** Smooths a whole response: every bin but 0 replaced by the choice's mean around it. */
std::vector<double> SmoothOctaves(std::span<const double> magnitude, double binHz,
                                  EOctaveSmoothing choice);
