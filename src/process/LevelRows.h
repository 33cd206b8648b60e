#pragma once
// The rows of a level reading, the same in every module that reads levels: its unit and the
// microphone's sensitivity, and the microphone calibration: the file (an edit that loads what
// it is given, so `set STEP:miccal=PATH` loads too), its "Load..." button and the copy of the
// curve the process keeps.

#include "dsp/LevelUnit.h"
#include "formats/MicCalibrationSetting.h"
#include "process/SettingRows.h"

#include <string>
#include <vector>

/** The path of the process file the view belongs to; empty when it has none. */
std::string ProcessPathOf(const CDspView& view);
/** Asks for a calibration file and loads it into `cal`, showing a refusal as the view's error;
 *  true when a curve was taken. */
bool AskMicCalibration(CDspView& view, CMicCalibrationSetting& cal);

/** "Off", then the level units: a module whose level readout is new reads none by default. */
const std::vector<std::string>& LevelChoicesWithOff();
/** The level of an rms value at `f` Hz in the unit (`choice` of LevelChoicesWithOff, not Off),
 *  through the sensitivity and the calibration's curve and sensitivity factor. */
double CalibratedLevel(int32_t choice, double mvPerPa, const CMicCalibration& curve, double rms,
                       double f);
/** Why a level cannot be read in the unit; empty when it can (or is Off). */
std::string LevelRefusal(int32_t choice, double mvPerPa, const std::string& module);

/** The optional unit (LevelChoicesWithOff) and sensitivity rows of a module named `module`. */
template <class V>
std::vector<CSettingRow<V>> LevelUnitRows(int32_t V::*unit, double V::*sensitivity,
                                          const std::string& group, const std::string& module) {
    using R = CSettingRow<V>;
    return {R::Combo("unit", "Level:", group,
                     "The level readout in dBFS, dBV (calibrated input) or dB SPL (microphone)")
                .Bind(unit)
                .Choice(&LevelChoicesWithOff, module + ": level unit out of range")
                .Listed("Level unit")
                .Optional(),
            R::Control(ERowKind::NumberEdit, "sens", "mV/Pa:", group,
                       "The microphone's sensitivity, for dB SPL")
                .Bind(sensitivity)
                .Check(InRange(0.0, 1e6, module + ": Mic sensitivity must lie from 0 to 1e6"))
                .Listed("Mic sensitivity")
                .Optional()};
}

/** The file, button and stored-curve rows of the calibration `cal` of view type V; `optional`
 *  keeps the file and curve after the last step (a module that had no calibration before). */
template <class V>
std::vector<CSettingRow<V>> MicCalibrationRows(CMicCalibrationSetting V::*cal,
                                               const std::string& group, bool optional) {
    using R = CSettingRow<V>;
    const auto text = [cal](std::string CMicCalibrationSetting::*part) {
        return std::pair{[cal, part](const V& v) { return (v.*cal).*part; },
                         [cal, part](V& v, const std::string& s) { (v.*cal).*part = s; }};
    };
    const auto [getPath, setPath] = text(&CMicCalibrationSetting::path);
    const auto [getCurve, setCurve] = text(&CMicCalibrationSetting::text);
    R file = R::Control(ERowKind::Edit, "miccal", "Mic cal:", group,
                        "Microphone calibration file (frequency and dB per line); empty: none")
                 .AccessText(getPath, setPath)
                 .Listed("Mic cal")
                 .OnText([cal](V& v, const std::string& path, std::string& message) {
                     return (v.*cal).Load(path, ProcessPathOf(v), message);
                 });
    R load = R::Button("micload", "Load...", group, "Choose a microphone calibration file")
                 .OnChange([cal](V& v) { return AskMicCalibration(v, v.*cal); });
    R curve = R::Stored("miccurve").AccessText(getCurve, setCurve);
    if (optional) {
        file.Optional();
        curve.Optional();
    }
    return {file, load, curve};
}
