#include "CalibrateCommand.h"

#include "CliSession.h"
#include "base/NumberText.h"
#include "soundio/CalibrationSession.h"
#include "soundio/SoundIOView.h"

#include <cmath>
#include <ostream>

namespace {

// The record's values for the types a command line names.
std::optional<std::string> CalibrationSelect(const std::string& type) {
    if (type == "auto") return "Auto";
    if (type == "input") return "Input";
    if (type == "latency") return "Latency";
    if (type == "frequency") return "Frequency";
    return std::nullopt;
}

bool ParseLevels(const std::string& text, CCalibrationLevelInput& levels, std::string& error) {
    const size_t comma = text.find(',');
    double values[2] = {0.0, 0.0};
    std::string reason;
    if (comma == std::string::npos || !ParseExactNumber(text.substr(0, comma), values[0], reason) ||
        !ParseExactNumber(text.substr(comma + 1), values[1], reason)) {
        error = "--input-levels \"" + ShortName(text) + "\" is not two numbers V1,V2";
        return false;
    }
    levels = {values[0], values[1]};
    const std::string refusal = levels.Validate();
    if (!refusal.empty()) error = "--input-levels " + ShortName(text) + ": " + refusal;
    return refusal.empty();
}

// The measured response's gain at a few frequencies, in dB of the impulse response's spectrum.
void PrintResponse(const CCalibration& record, int channel, std::ostream& out) {
    CDSPFFTDataList* response = record.GetFrequencyResponse();
    const double* magnitude = response ? response->GetFreqData(channel) : nullptr;
    if (!magnitude) return;
    const int n = response->GetSize(channel);
    const double spacing = response->GetSampleRate(channel) / n;
    out << "Ch" << channel + 1 << " response:";
    for (double f : {100.0, 1000.0, 10000.0}) {
        const int bin = int(std::lround(f / spacing));
        if (bin < 1 || bin >= n / 2) continue;
        out << FormatText(" %.6g Hz %+.3f dB", bin * spacing,
                          20.0 * std::log10(magnitude[bin] * n / 2));
    }
    out << "\n";
}

void PrintRecord(const CCalibration& record, std::ostream& out) {
    for (int c = 0; c < 2; ++c) {
        const CLevelCal& level = record.Level[c];
        out << "Ch" << c + 1 << " full scale: " << TerminalText(level.FullScaleLevelParams)
            << " (peak " << level.PeakSampleLevel << " % at "
            << FormatText("%.10g", level.UserInputLevel) << ")\n";
    }
    for (int c = 0; c < 2; ++c)
        out << "Ch" << c + 1 << " latency: " << TerminalText(record.Latency[c].LatencyParams)
            << "\n";
    for (int c = 0; c < 2; ++c) {
        out << "Ch" << c + 1
            << " frequency calibration: " << TerminalText(record.Freq[c].FreqCalParams) << "\n";
        if (record.Freq[c].FreqCalParams != "None") PrintResponse(record, c, out);
    }
}

} // namespace

int CalibrateProcessFile(const CModuleRegistry& registry, const CCalibrateOptions& options,
                         std::ostream& out, std::ostream& err) {
    const std::optional<std::string> select = CalibrationSelect(options.type);
    if (!select)
        return Fail(err, "--type \"" + ShortName(options.type) +
                             "\": one of auto, input, latency, frequency");
    std::optional<CCalibrationLevelInput> levels;
    std::string error;
    if (options.inputLevels) {
        levels.emplace();
        if (!ParseLevels(*options.inputLevels, *levels, error)) return Fail(err, error);
    }
    CCliSession cli(registry);
    if (!cli->Open(options.file, error)) return Fail(err, error);
    auto* owner = dynamic_cast<CSoundIOView*>(cli->Step(options.step));
    if (!owner) return Fail(err, "Step " + std::to_string(options.step) + " is not a SoundIO step");

    CCalibrationHost host;
    host.status = [&](const std::string& status) {
        if (!status.empty()) out << "Status: " << TerminalText(status) << "\n";
    };
    host.askLevels = [&](const CCalibrationLevelInput&) { return levels; };
    CCalibrationSession session(cli->App(), *owner, host);
    const auto messages = [&] {
        for (const std::string& m : cli->GetMessages())
            out << "Message: " << TerminalText(m) << "\n";
    };
    if (!session.Open()) {
        messages();
        return Fail(err, "cannot open the calibration process");
    }
    session.GetEdited()->CalSel = *select;
    if (PlanCalibration(*session.GetEdited()).input && !levels)
        return Fail(err, "an input level calibration needs --input-levels V1,V2 (the voltages "
                         "measured at the two inputs)");
    out << "Calibrating step " << options.step << " of " << TerminalText(options.file) << " with "
        << TerminalText(session.GetPath()) << "\n";
    const bool completed = session.Run();
    messages();
    if (!completed) {
        err << "aurivo-cli: calibration failed: " << TerminalText(session.GetStatus()) << "\n";
        return 1;
    }
    PrintRecord(*session.GetEdited(), out);
    session.Accept();
    if (!options.output.empty()) {
        if (!owner->GetCalibration()->SaveCalFile(options.output, &error)) return Fail(err, error);
        out << "Saved " << TerminalText(options.output) << "\n";
    }
    if (!cli->Save(options.file, error)) return Fail(err, error);
    out << "Saved " << TerminalText(options.file) << "\n";
    return 0;
}
