#pragma once
// The arithmetic that turns plotted values into pixels safely: logarithms that never see zero,
// phase wrapping, the impedance of a voltage divider, and pixel clamping.

#include <cstdint>

/** The smallest positive normal double; logarithms take it in place of anything at or below. */
inline constexpr double kSmallestPositive = 2.2250738585072014e-308;

/** log10 of x, with kSmallestPositive in place of values at or below it (and of NaN). */
double SafeLog10(double x);

/** 20·log10 of a ratio, with SafeLog10's floor. */
double Decibels(double ratio);

/** Degrees wrapped into -180..180. */
double WrapDegrees(double degrees);

/** |Z| of a divider driven by V1 = m1∠p1 with V2 = m2∠p2 across the unknown (degrees):
 *  H = V2 / V1, Z = H·reference / (1 − H). 0 when |V2| is not below |V1|. */
double ImpedanceMagnitude(double m1, double p1, double m2, double p2, double reference);

/** Largest pixel coordinate handed to a canvas: every painter represents it exactly in float. */
inline constexpr int32_t kMaxPixel = 1 << 24;

/** A pixel coordinate rounded to the nearest integer (halves up) and clamped to ±kMaxPixel;
 *  NaN gives `fallback`. */
int32_t ClampPixel(double v, int32_t fallback);
