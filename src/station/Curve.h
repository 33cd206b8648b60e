#pragma once
// A curve a station checks: values over frequency (or time), in ascending order of x. Masks,
// golden curves and measured responses are all curves; between its points a curve is read
// linearly over the logarithm of frequency, as response plots show it.

#include <string>
#include <vector>

struct CCurve {
    std::vector<double> x; // Hz (seconds for a time trace), ascending
    std::vector<double> y;
    std::string yUnit; // "dBVpk", "dB", "Ohm", ...: what the values are

    size_t size() const { return x.size(); }
};

/** The curve's value at `f`, linear over log f between its points (over f when a point is at
 *  or below 0 Hz); NaN outside its span or for a curve of fewer than one point. */
double CurveValueAt(const CCurve& curve, double f);

/** The index of the first x that does not rise above the one before; 0 when all rise. */
size_t FirstUnsortedPoint(const CCurve& curve);

/** Reads points from a text file: one "frequency value" pair a line, separated by blanks, a
 *  tab, a comma or a semicolon, further columns ignored (an FRD file reads as its magnitudes);
 *  blank lines and lines starting with '#', '*' or '"' are skipped. False with a message naming
 *  the file and line; frequencies must rise. */
bool ReadCurveFile(const std::string& path, CCurve& curve, std::string& error);

/** The same as text of the file `name`. */
bool ParseCurveText(const std::string& name, const std::string& text, CCurve& curve,
                    std::string& error);

/** The curve as the text ReadCurveFile reads: a comment line naming the unit, then "f value"
 *  lines with the shortest numbers that read back exactly. */
std::string CurveText(const CCurve& curve);
