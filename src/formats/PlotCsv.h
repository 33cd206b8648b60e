#pragma once
// A plot as comma-separated values for spreadsheets: a header row, then one row per bin of the
// single-sided spectrum (0 Hz up to half the sample rate) holding the frequency and, for each
// channel, the magnitude in the caller's unit and the phase in degrees. Numbers are written the
// same in every locale, with a point and nine significant digits.

#include <cstdint>
#include <functional>
#include <string>

class CDSPFFTDataList;

namespace PlotCsv {

/** The value written for a channel's (0-based) magnitude at a bin. */
using MagnitudeOf = std::function<double(int channel, int32_t bin)>;

/** The CSV text; `unit` names the magnitude columns ("Ch1 Magnitude (dBVpk.)"). */
std::string Text(const CDSPFFTDataList& plot, const std::string& unit,
                 const MagnitudeOf& magnitude);
/** Writes the text atomically; false with the reason. */
bool Save(const CDSPFFTDataList& plot, const std::string& path, const std::string& unit,
          const MagnitudeOf& magnitude, std::string& error);

} // namespace PlotCsv
