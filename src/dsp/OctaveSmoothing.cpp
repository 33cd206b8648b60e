#include "dsp/OctaveSmoothing.h"

#include <algorithm>
#include <cmath>

namespace {
// Width in octaves that slides from `low` at and below f1 to `high` at and above f2, linear in
// the logarithm of the frequency between them.
double Sliding(double f, double f1, double low, double f2, double high) {
    if (f <= f1) return low;
    if (f >= f2) return high;
    const double x = std::log(f / f1) / std::log(f2 / f1);
    return low + x * (high - low);
}
} // namespace

const std::vector<std::string>& OctaveSmoothingNames() {
    static const std::vector<std::string> names{
        "None", "1/48", "1/24", "1/12", "1/6", "1/3", "1/2", "1/1", "Variable", "Psychoacoustic"};
    return names;
}

double OctaveSmoothingWidth(EOctaveSmoothing choice, double f) {
    switch (choice) {
    case EOctaveSmoothing::Oct48:
        return 1.0 / 48;
    case EOctaveSmoothing::Oct24:
        return 1.0 / 24;
    case EOctaveSmoothing::Oct12:
        return 1.0 / 12;
    case EOctaveSmoothing::Oct6:
        return 1.0 / 6;
    case EOctaveSmoothing::Oct3:
        return 1.0 / 3;
    case EOctaveSmoothing::Oct2:
        return 1.0 / 2;
    case EOctaveSmoothing::Oct1:
        return 1.0;
    case EOctaveSmoothing::Variable:
        return Sliding(f, 100.0, 1.0 / 48, 10000.0, 1.0 / 3);
    case EOctaveSmoothing::Psychoacoustic:
        return Sliding(f, 100.0, 1.0 / 3, 1000.0, 1.0 / 6);
    default:
        return 0.0;
    }
}

double OctaveSmoothingPower(EOctaveSmoothing choice) {
    return choice == EOctaveSmoothing::Psychoacoustic ? 3.0 : 2.0;
}

COctaveSmoother::COctaveSmoother(std::span<const double> magnitude, double binHz, double power)
    : m_raw(magnitude.begin(), magnitude.end()), m_binHz(binHz), m_power(power) {
    // The two powers the choices use without the general power's cost.
    m_powered.reserve(m_raw.size());
    for (double m : m_raw) {
        const double a = std::fabs(m);
        m_powered.push_back(power == 2.0 ? a * a : power == 3.0 ? a * a * a : std::pow(a, power));
    }
    // Trapezoids: exact for a |m|^p that is linear between bins.
    m_sum.assign(m_powered.size(), 0.0);
    for (size_t k = 1; k < m_powered.size(); ++k)
        m_sum[k] = m_sum[k - 1] + 0.5 * (m_powered[k - 1] + m_powered[k]);
}

double COctaveSmoother::Integral(double x) const {
    const double last = double(m_powered.size() - 1);
    x = std::clamp(x, 0.0, last);
    const size_t k = std::min(size_t(x), m_powered.size() - 2);
    const double u = x - double(k);
    const double a = m_powered[k], b = m_powered[k + 1];
    return m_sum[k] + u * (a + 0.5 * u * (b - a));
}

double COctaveSmoother::Raw(double f) const {
    if (m_raw.empty()) return 0.0;
    const double x = std::clamp(f / m_binHz, 0.0, double(m_raw.size() - 1));
    const size_t k = std::min(size_t(x), m_raw.size() - 1);
    if (k + 1 >= m_raw.size()) return m_raw[k];
    return m_raw[k] + (x - double(k)) * (m_raw[k + 1] - m_raw[k]);
}

double COctaveSmoother::At(double f, double octaves) const {
    if (m_powered.size() < 2 || octaves <= 0.0) return Raw(f);
    const double half = std::exp2(octaves / 2);
    const double last = double(m_powered.size() - 1);
    const double a = std::clamp(f / half / m_binHz, 0.0, last);
    const double b = std::clamp(f * half / m_binHz, 0.0, last);
    if (b - a < 1e-9) return Raw(f);
    const double mean = (Integral(b) - Integral(a)) / (b - a);
    return m_power == 2.0   ? std::sqrt(mean)
           : m_power == 3.0 ? std::cbrt(mean)
                            : std::pow(mean, 1.0 / m_power);
}

std::vector<double> SmoothOctaves(std::span<const double> magnitude, double binHz,
                                  EOctaveSmoothing choice) {
    std::vector<double> out(magnitude.begin(), magnitude.end());
    if (choice == EOctaveSmoothing::None) return out;
    const COctaveSmoother smoother(magnitude, binHz, OctaveSmoothingPower(choice));
    for (size_t k = 1; k < out.size(); ++k) {
        const double f = double(k) * binHz;
        out[k] = smoother.At(f, OctaveSmoothingWidth(choice, f));
    }
    return out;
}
