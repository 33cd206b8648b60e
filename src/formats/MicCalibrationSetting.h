#pragma once
// A module's microphone calibration as a process keeps it: the file's path as the user gave
// it, a copy of the curve (so a process whose file has moved or changed measures as it did),
// the curve in use and a note saying when the copy stands in for the file.

#include "formats/MicCalibration.h"

#include <string>

class CMicCalibrationSetting {
public:
    std::string path; // as given; empty: none
    std::string text; // the curve, kept in the process

    /** Loads the file at `file` (a relative path that does not lead from the working folder
     *  leads from the folder of `processPath`); an empty one clears the calibration. False with
     *  the reason, nothing changed. */
    bool Load(const std::string& file, const std::string& processPath, std::string& message);
    /** After `path` and `text` were read from a process: the stored curve in use, and a note
     *  when the file cannot be read or no longer holds that curve. */
    void Restore(const std::string& processPath);

    const CMicCalibration& Curve() const { return m_curve; }
    const std::string& Note() const { return m_note; }

private:
    std::string Resolved(const std::string& processPath) const;

    CMicCalibration m_curve;
    std::string m_note;
};
