#include "ProcessCommands.h"

#include "CliSession.h"
#include "base/NumberText.h"
#include "formats/ResponseFile.h"
#include "modules/logger/DataLoggerView.h"
#include "modules/rta/RtaView.h"
#include "station/ReadoutQuantity.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>

namespace {

using nlohmann::json;

// A readout's value as a number and its unit, so that scripts need not parse the text.
void AddQuantity(json& entry, const std::string& value) {
    const CReadoutQuantity q = ReadoutQuantity(value);
    entry["number"] = q.number ? json(*q.number) : json(nullptr);
    entry["unit"] = q.unit;
}

json ReadoutsJson(const std::vector<CReadoutValue>& readouts) {
    json list = json::array();
    for (const CReadoutValue& r : readouts) {
        json entry{{"label", r.label}, {"value", r.value}};
        AddQuantity(entry, r.value);
        if (r.channel) entry["channel"] = r.channel;
        list.push_back(entry);
    }
    return list;
}

json SettingsJson(const std::vector<CSettingValue>& settings) {
    json list = json::array();
    for (const CSettingValue& s : settings)
        list.push_back(json{{"id", s.id}, {"label", s.label}, {"value", s.value}});
    return list;
}

// The analyser's bands per channel as {centre, level} pairs in its unit, so that scripts plot
// them without taking the band labels apart; an unresolved band's level is null.
json BandsJson(const CRtaView& rta) {
    json channels = json::array();
    for (int c = 0; c < 2; ++c) {
        const std::vector<double> levels = rta.GetLevels(c);
        if (levels.empty()) continue;
        json pairs = json::array();
        for (size_t b = 0; b < levels.size() && b < rta.GetBands().size(); ++b)
            pairs.push_back({{"centre", rta.GetBands()[b].centre},
                             {"level", std::isnan(levels[b]) ? json(nullptr) : json(levels[b])}});
        channels.push_back({{"channel", c + 1}, {"unit", rta.UnitText()}, {"levels", pairs}});
    }
    return channels;
}

json StepsJson(CProcessSession& session, bool settings, bool readouts) {
    json steps = json::array();
    const CDspDoc& doc = session.Document();
    auto name = doc.GetStepNames().begin();
    auto id = doc.GetStepIdentities().begin();
    for (int step = 1; step <= session.GetStepCount(); ++step, ++name, ++id) {
        json entry{{"step", step}, {"module", *name}, {"identity", *id}};
        if (settings) entry["settings"] = SettingsJson(session.GetSettings(step));
        if (readouts) entry["readouts"] = ReadoutsJson(session.GetReadouts(step));
        const auto* rta = dynamic_cast<const CRtaView*>(session.Step(step));
        if (readouts && rta) entry["bands"] = BandsJson(*rta);
        if (const std::string warning = session.Step(step)->GetRunWarning(); !warning.empty())
            entry["warning"] = warning;
        steps.push_back(entry);
    }
    return steps;
}

// "Step 2: Spectrum Analyzer (identity 2)" with the file's texts made safe to print.
std::string StepHeading(int step, const std::string& name, const std::string& identity) {
    return "Step " + std::to_string(step) + ": " + TerminalText(name) +
           (identity.empty() ? "" : " (identity " + TerminalText(identity) + ")");
}

// Writes the block list the step of this slice handed on as FOLDER/pass-P-step-S.rsp.
bool DumpStep(const CDspDoc& doc, const std::string& folder, int pass, int step,
              std::string& error) {
    const std::string name =
        "pass-" + std::to_string(pass) + "-step-" + std::to_string(step) + ".rsp";
    CDSPFFTDataList* list = doc.GetCurrentList();
    if (!list) {
        error = "Step " + std::to_string(step) + " handed on no block list";
        return false;
    }
    if (ResponseFile::Save(*list, (std::filesystem::path(folder) / name).string()) == 0) {
        error = list->GetErrorText();
        return false;
    }
    return true;
}

// A number given on the command line: the whole text as a decimal number.
bool ParseOption(const std::string& option, const std::string& text, double& value,
                 std::string& error) {
    std::string reason;
    if (ParseExactNumber(text, value, reason)) return true;
    error = option + " \"" + ShortName(text) + "\" " + reason;
    return false;
}

} // namespace

namespace {
constexpr std::string_view kPlugInMark = " (plug-in)";

// The module a name on the command line means. `modules` marks plug-in modules, and a line it
// prints, mark and all, names the module as the plain name does.
std::string ModuleNamed(const CModuleRegistry& registry, const std::string& name) {
    const auto& plugIns = registry.GetPlugIns();
    const auto named = [&](const std::string& wanted) {
        return std::any_of(plugIns.begin(), plugIns.end(),
                           [&](const CPlugInModule& p) { return p.name == wanted; });
    };
    if (!name.ends_with(kPlugInMark) || registry.Find(name) || named(name)) return name;
    const std::string plain = name.substr(0, name.size() - kPlugInMark.size());
    return named(plain) ? plain : name;
}
} // namespace

int ListModules(const CModuleRegistry& registry, std::ostream& out) {
    for (const std::string& name : registry.GetNames())
        out << TerminalText(name) << "\n";
    for (const CPlugInModule& plugIn : registry.GetPlugIns())
        out << TerminalText(plugIn.name) << kPlugInMark << "\n";
    return 0;
}

int NewProcess(const CModuleRegistry& registry, const CNewOptions& options, std::ostream& err) {
    CSessionOptions session;
    std::string error;
    double value = 0;
    if (options.fftSize) {
        if (!ParseOption("--fft-size", *options.fftSize, value, error)) return Fail(err, error);
        if (!CDspDoc::IsValidBlockSize(value))
            return Fail(err, "--fft-size " + ShortName(*options.fftSize) + ": " +
                                 CDspDoc::kBlockSizeRange);
        session.fftSize = int(value);
    }
    if (options.rate) {
        if (!ParseOption("--rate", *options.rate, value, error)) return Fail(err, error);
        if (!CDspDoc::IsValidSampleRate(value))
            return Fail(err,
                        "--rate " + ShortName(*options.rate) + ": " + CDspDoc::kSampleRateRange);
        session.sampleRate = value;
    }
    std::vector<std::string> modules;
    for (const std::string& name : options.modules)
        modules.push_back(ModuleNamed(registry, name));
    CCliSession cli(registry);
    if (!cli->Create(modules, session, error))
        return Fail(
            err, error + (error.starts_with("Unknown module") ? " (see aurivo-cli modules)" : ""));
    if (!cli->Save(options.file, error)) return Fail(err, error);
    return 0;
}

int ShowInfo(const CModuleRegistry& registry, const std::string& file, bool asJson,
             std::ostream& out, std::ostream& err) {
    CCliSession cli(registry);
    std::string error;
    if (!cli->Open(file, error)) return Fail(err, error);
    const CDspDoc& doc = cli->Document();
    json info{
        {"file", file},
        {"schema", doc.GetSchemaText()},
        {"fftSize", doc.GetSize()},
        {"sampleRate", doc.GetSampleRate()},
        {"pauseOnRecord", doc.GetPauseOnRecordCount()},
        {"pauseOnEveryModule", doc.GetPauseOnEveryModule()},
        {"windowAmplitudeCorrection", cli->App().GetSettings().windowAmplitudeCorrection != 0},
        {"steps", StepsJson(*cli, true, false)}};
    // What the steps said while the file opened (a device that does not answer, say).
    json messages = json::array();
    for (const std::string& m : cli->GetMessages())
        messages.push_back(TerminalText(m));
    if (!messages.empty()) info["messages"] = messages;
    if (asJson) {
        out << info.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
        return 0;
    }
    out << "File: " << TerminalText(file) << "\n"
        << "Schema: " << TerminalText(doc.GetSchemaText()) << "\n"
        << "FFT size: " << doc.GetSize() << "\n"
        << "Sample rate: " << doc.GetSampleRate() << "\n"
        << "Pause on record: " << doc.GetPauseOnRecordCount() << "\n"
        << "Pause on every module: " << (doc.GetPauseOnEveryModule() ? "yes" : "no") << "\n"
        << "Window amplitude correction: "
        << (info["windowAmplitudeCorrection"].get<bool>() ? "on" : "off")
        << " (application setting [Settings] WindowAmplitudeCorrection)\n";
    for (const json& step : info["steps"]) {
        out << StepHeading(step["step"], step["module"], step["identity"]) << "\n";
        // "id (label): value", and `set FILE STEP:id=value` takes the same id and value.
        for (const json& s : step["settings"])
            out << "  " << TerminalText(s["id"].get<std::string>()) << " ("
                << TerminalText(s["label"].get<std::string>())
                << "): " << TerminalText(s["value"].get<std::string>()) << "\n";
    }
    for (const json& m : messages)
        out << "Message: " << m.get<std::string>() << "\n";
    return 0;
}

int SetControls(const CModuleRegistry& registry, const std::string& file,
                const std::vector<std::string>& settings, const std::string& outFile,
                std::ostream& err) {
    CCliSession cli(registry);
    std::string error;
    if (!cli->Open(file, error)) return Fail(err, error);
    for (const std::string& s : settings)
        if (!ApplySetting(*cli, s, error)) return Fail(err, error);
    if (!cli->CheckRunSettings(error)) return Fail(err, error);
    if (!cli->Save(outFile.empty() ? file : outFile, error)) return Fail(err, error);
    return 0;
}

namespace {
// The data logger named by "STEP:OUT.dlg" and the path to write its log to.
bool FindLogger(CProcessSession& session, const std::string& argument, CDataLoggerView*& logger,
                std::string& path, std::string& error) {
    const size_t colon = argument.find(':');
    double step = 0.0;
    std::string reason;
    if (colon == std::string::npos || colon + 1 == argument.size() ||
        !ParseExactNumber(argument.substr(0, colon), step, reason)) {
        error = "--save-log " + TerminalText(argument) + ": expected STEP:OUT.dlg";
        return false;
    }
    logger = step >= 1 && step <= session.GetStepCount()
                 ? dynamic_cast<CDataLoggerView*>(session.Step(int(step)))
                 : nullptr;
    if (!logger) {
        error = "--save-log " + TerminalText(argument) + ": step " +
                TerminalText(argument.substr(0, colon)) + " is not a DataLogger";
        return false;
    }
    path = argument.substr(colon + 1);
    return true;
}
} // namespace

int RunProcessFile(const CModuleRegistry& registry, const CRunOptions& options, std::ostream& out,
                   std::ostream& err) {
    CCliSession cli(registry);
    std::string error;
    if (!cli->Open(options.file, error)) return Fail(err, error);
    for (const std::string& s : options.settings)
        if (!ApplySetting(*cli, s, error)) return Fail(err, error);
    if (!options.settings.empty() && !cli->CheckRunSettings(error)) return Fail(err, error);
    if (!options.dump.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.dump, ec);
        if (ec) return Fail(err, "Cannot create " + options.dump + ": " + ec.message());
    }

    CDataLoggerView* logger = nullptr;
    std::string logPath;
    if (!options.saveLog.empty() && !FindLogger(*cli, options.saveLog, logger, logPath, error))
        return Fail(err, error);

    std::string dumpError;
    const int passes = cli->Run(options.passes, [&](int pass, int step) {
        return options.dump.empty() ||
               DumpStep(cli->Document(), options.dump, pass, step, dumpError);
    });
    if (!dumpError.empty()) return Fail(err, dumpError);
    // What was logged is written even when the run stopped early (a full log, say).
    if (logger && !logger->SaveDataLogFile(logPath))
        return Fail(err, "Cannot write the data log " + TerminalText(logPath) + ": " +
                             TerminalText(cli->GetMessages().empty() ? std::string()
                                                                     : cli->GetMessages().back()));
    for (const std::string& s : options.then)
        if (!ApplySetting(*cli, s, error)) return Fail(err, error);
    json messages = json::array();
    for (const std::string& m : cli->GetMessages())
        messages.push_back(TerminalText(m));

    if (options.json) {
        json result{{"file", options.file},
                    {"passes", passes},
                    {"steps", StepsJson(*cli, false, true)},
                    {"messages", messages}};
        out << result.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    } else {
        out << "Ran " << passes << " pass" << (passes == 1 ? "" : "es") << " of "
            << TerminalText(options.file) << "\n";
        const CDspDoc& doc = cli->Document();
        auto name = doc.GetStepNames().begin();
        for (int step = 1; step <= cli->GetStepCount(); ++step, ++name) {
            out << StepHeading(step, *name, "") << "\n";
            int channel = 0;
            for (const CReadoutValue& r : cli->GetReadouts(step)) {
                if (r.channel != channel && r.channel != 0)
                    out << "  Channel " << r.channel << "\n";
                channel = r.channel;
                out << "  " << TerminalText(r.Text()) << "\n";
            }
            // A warning, not an error: the run did what it was asked, the exit code stays.
            if (const std::string warning = cli->Step(step)->GetRunWarning(); !warning.empty())
                out << "  Warning: " << TerminalText(warning) << "\n";
        }
        for (const auto& m : messages)
            out << "Message: " << m.get<std::string>() << "\n";
    }
    if (!messages.empty()) {
        err << "aurivo-cli: a module reported an error: " << messages[0].get<std::string>() << "\n";
        return 1;
    }
    return 0;
}
