#include "process/LevelRows.h"

#include "platform/OpenFileDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <cmath>

std::string ProcessPathOf(const CDspView& view) {
    return view.GetDocument() ? view.GetDocument()->GetPathName() : std::string();
}

bool AskMicCalibration(CDspView& view, CMicCalibrationSetting& cal) {
    CDspApp* app = view.GetDocument() ? view.GetDocument()->GetApp() : nullptr;
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    if (!dialog) return false;
    const auto path = dialog->AskOpenPath("Microphone Calibration", cal.path, "txt",
                                          "Calibration Files (*.txt;*.cal;*.frd)|*.txt;*.cal;*.frd|"
                                          "All Files (*.*)|*.*|");
    std::string message;
    if (!path) return false;
    if (cal.Load(*path, ProcessPathOf(view), message)) return true;
    view.ShowErrorMessage(message);
    return false;
}

const std::vector<std::string>& LevelChoicesWithOff() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> list{"Off"};
        list.insert(list.end(), LevelUnitNames().begin(), LevelUnitNames().end());
        return list;
    }();
    return items;
}

double CalibratedLevel(int32_t choice, double mvPerPa, const CMicCalibration& curve, double rms,
                       double f) {
    return 20.0 * std::log10(rms) - curve.At(f) +
           LevelUnitOffset(ELevelUnit(choice - 1), mvPerPa,
                           curve.hasSensitivity ? curve.sensitivity : 0.0);
}

std::string LevelRefusal(int32_t choice, double mvPerPa, const std::string& module) {
    if (choice == 0) return {};
    const std::string refusal = LevelUnitRefusal(ELevelUnit(choice - 1), mvPerPa);
    return refusal.empty() ? refusal : module + ": " + refusal;
}
