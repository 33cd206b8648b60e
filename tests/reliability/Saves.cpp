#include "Saves.h"

#include "common/ModuleProcess.h"

#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"
#include "formats/ResponseFile.h"
#include "modules/BuiltInModules.h"
#include "platform/IniSettings.h"
#include "soundio/Calibration.h"

namespace {

// The second version is twice the size of the first, so a mix of the two is neither.
int32_t BlockSize(int version) {
    return 64 << version;
}

std::string LoggedPlots(bool wholeLog, const std::string& path, int version) {
    CDSPFFTDataLogList log;
    if (!log.AddEmpty(2, CDSPData::kTimeBlock, BlockSize(version), 48000.0)) return "no plot";
    const int32_t sum = wholeLog ? DataLogFile::Save(log, path, "Log")
                                 : DataLogFile::SavePlot(log, 0, path, "Plot");
    return sum != 0 ? "" : log.GetErrorText();
}

} // namespace

const std::vector<CSaveKind>& SaveKinds() {
    static const std::vector<CSaveKind> kinds = {
        {"process file",
         [](const std::string& path, int version) {
             CModuleProcess t{GetBuiltInModules()};
             t.Create({"Signal Generator", "Spectrum Analyzer"},
                      CSessionOptions{2048 << version, 48000.0});
             std::string error;
             return t.Session().Save(path, error) ? std::string() : error;
         }},
        {"data log file",
         [](const std::string& path, int version) { return LoggedPlots(true, path, version); }},
        {"plot file",
         [](const std::string& path, int version) { return LoggedPlots(false, path, version); }},
        {"response file",
         [](const std::string& path, int version) {
             CDSPFFTDataLogList log;
             const auto list = log.CreateEx(2, CDSPData::kTimeBlock, BlockSize(version), 48000.0);
             return ResponseFile::Save(*list, path) != 0 ? std::string() : list->GetErrorText();
         }},
        {"calibration file",
         [](const std::string& path, int version) {
             CCalibration calibration;
             calibration.ProcessName = std::string(size_t(100) << version, 'p');
             std::string error;
             return calibration.SaveCalFile(path, &error) ? std::string() : error;
         }},
        {"settings",
         [](const std::string& path, int version) {
             CIniSettings settings(path);
             settings.SetString("Settings", "Recent", std::string(size_t(200) << version, 'x'));
             std::string error;
             return settings.Save(error) ? std::string() : error;
         }},
    };
    return kinds;
}
