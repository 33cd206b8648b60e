#pragma once
// Complex number used inside the transforms; also a stored object (real, imaginary).

#include "base/RuntimeClass.h"

#include <cmath>

/** Degrees per radian as the phase arrays use it. */
inline constexpr double kDegreesPerRadian = 57.29577951308;

class CComplex : public CObject {
    AURIVO_DECLARE_SERIAL(CComplex)

public:
    CComplex() = default;
    CComplex(double re) : m_re(re) {}
    CComplex(double re, double im) : m_re(re), m_im(im) {}
    CComplex(const CComplex&) = default;
    CComplex& operator=(const CComplex&) = default;
    CComplex& operator=(double re) {
        m_re = re;
        m_im = 0.0;
        return *this;
    }

    double GetReal() const { return m_re; }
    double GetImag() const { return m_im; }
    double GetMagnitude() const { return std::sqrt(m_re * m_re + m_im * m_im); }
    /** Degrees within +-180. */
    double GetPhase() const { return std::atan2(m_im, m_re) * kDegreesPerRadian; }
    double GetTimeSample() const { return m_re; }

    void Serialize(CArchive& ar) override;

private:
    double m_re = 0.0;
    double m_im = 0.0;
};

// Inline: the transforms run these in their inner loops.
inline CComplex operator+(const CComplex& a, const CComplex& b) {
    return {a.GetReal() + b.GetReal(), a.GetImag() + b.GetImag()};
}

inline CComplex operator-(const CComplex& a, const CComplex& b) {
    return {a.GetReal() - b.GetReal(), a.GetImag() - b.GetImag()};
}

inline CComplex operator*(const CComplex& a, const CComplex& b) {
    return {a.GetReal() * b.GetReal() - a.GetImag() * b.GetImag(),
            a.GetReal() * b.GetImag() + a.GetImag() * b.GetReal()};
}

inline CComplex operator/(const CComplex& a, const CComplex& b) {
    const double d = b.GetReal() * b.GetReal() + b.GetImag() * b.GetImag();
    return {(a.GetReal() * b.GetReal() + a.GetImag() * b.GetImag()) / d,
            (a.GetImag() * b.GetReal() - a.GetReal() * b.GetImag()) / d};
}
