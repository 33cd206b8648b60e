#pragma once
// Microphone calibration files as measurement microphones ship them: text lines of
// "frequency dB [phase]" (Hz, the microphone's deviation in dB, the phase ignored), separated by
// blanks, tabs or commas; blank lines and lines starting with '*', '"' or '#' are comments,
// except a line before the first point that carries the sensitivity as
// "Sens Factor =-1.23dB, SERNO: 1234567". A reading is corrected by subtracting the curve (a
// microphone that reads 3 dB high at 1 kHz has +3 there) and the sensitivity factor.

#include <string>
#include <string_view>
#include <vector>

struct CMicCalibration {
    std::vector<double> frequencies; // Hz, strictly rising
    std::vector<double> decibels;    // the deviation at each frequency
    bool hasSensitivity = false;
    double sensitivity = 0.0; // dB

    bool IsEmpty() const { return frequencies.empty(); }
    /** The deviation in dB at `f` Hz: linear between points on a log-frequency axis, held flat
     *  outside the curve's range; 0 for an empty curve. */
    double At(double f) const;
    bool operator==(const CMicCalibration&) const = default;
};

/** Largest calibration file read (a curve of some thousand points takes well under this). */
constexpr size_t kMaxMicCalibrationBytes = 1 << 20;

/** Reads a calibration text. On failure `out` is untouched and `message` names `name`, the
 *  line and the reason ("mic.txt line 4: frequencies must rise (1000 after 1000)"). */
bool ParseMicCalibration(std::string_view text, const std::string& name, CMicCalibration& out,
                         std::string& message);
/** Reads the file at `path` (at most kMaxMicCalibrationBytes) as above. */
bool LoadMicCalibration(const std::string& path, CMicCalibration& out, std::string& message);
/** The curve as a text the parser reads back to the same curve. */
std::string MicCalibrationText(const CMicCalibration& curve);
