#include "ProcessCommands.h"

#include "CliHost.h"
#include "process/ProcessSelectDlg.h"
#include "formats/ResponseFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace {

using nlohmann::json;

// A message box's message on one line per line of text.
std::string Plain(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        out += text[i] == '\n' ? std::string(" | ") : std::string(1, text[i]);
    }
    return out;
}

int Fail(std::ostream& err, const std::string& reason) {
    err << "aurivo-cli: " << reason << "\n";
    return 2;
}

// Readout lines as label/value pairs, split at the first ": " ("THD: 0.1%" gives "THD" and
// "0.1%"); a line without one is a label alone.
json ReadoutPairs(const std::vector<std::string>& lines) {
    json pairs = json::array();
    for (const std::string& line : lines) {
        const size_t colon = line.find(": ");
        pairs.push_back(json{{"label", line.substr(0, colon)},
                             {"value", colon == std::string::npos ? "" : line.substr(colon + 2)}});
    }
    return pairs;
}

json StepsJson(const CDspDoc& doc, bool settings, bool readouts) {
    json steps = json::array();
    auto name = doc.GetStepNames().begin();
    auto id = doc.GetStepIdentities().begin();
    for (int i = 0; i < doc.GetStepCount(); ++i, ++name, ++id) {
        const CDspView* view = doc.GetView(size_t(i));
        json step{{"step", i + 1}, {"module", *name}, {"identity", *id}};
        if (settings) {
            json s = json::object();
            for (const auto& [key, value] : view->GetSettings())
                s[key] = value;
            step["settings"] = s;
        }
        if (readouts) {
            step["readouts"] = view->GetReadouts();
            step["readoutValues"] = ReadoutPairs(view->GetReadouts());
        }
        steps.push_back(step);
    }
    return steps;
}

// Writes the block list the step of this slice handed on (slices count from 0, one step each)
// as FOLDER/pass-P-step-S.rsp.
bool DumpStep(const CDspDoc& doc, const std::string& folder, int slice, std::string& error) {
    const int steps = doc.GetStepCount();
    const std::string step = std::to_string(slice % steps + 1);
    const std::string name = "pass-" + std::to_string(slice / steps + 1) + "-step-" + step + ".rsp";
    CDSPFFTDataList* list = doc.GetCurrentList();
    if (!list) {
        error = "Step " + step + " handed on no block list";
        return false;
    }
    if (ResponseFile::Save(*list, (std::filesystem::path(folder) / name).string()) == 0) {
        error = list->GetErrorText();
        return false;
    }
    return true;
}

} // namespace

int ListModules(const CModuleRegistry& registry, std::ostream& out) {
    for (const std::string& name : registry.GetNames())
        out << name << "\n";
    return 0;
}

int NewProcess(const CModuleRegistry& registry, const std::string& outFile,
               const std::vector<std::string>& modules, int fftSize, double rate,
               std::ostream& err) {
    CCliHost host(registry);
    CDspApp& app = host.App();
    std::string error;
    CDspDoc* doc = app.OnChangeProcessFlow(app.OnFileNew(), [&](CProcessSelectDlg& dlg) {
        const auto& available = dlg.GetAvailable();
        for (const std::string& module : modules) {
            auto it = std::find(available.begin(), available.end(), module);
            if (it == available.end()) {
                error = "Unknown module \"" + module + "\" (see aurivo-cli modules)";
                return false;
            }
            dlg.m_availableSel = int(it - available.begin());
            dlg.m_moduleSel = int(dlg.GetNames().size());
            if (!dlg.OnInsert()) {
                error = "Too many modules in process (at most 6)";
                return false;
            }
        }
        return dlg.OnOK(error);
    });
    if (!doc) return Fail(err, error);
    CFFTOptions options;
    doc->FillFFTOptions(options);
    if (fftSize > 0) options.m_size = std::to_string(fftSize);
    if (rate > 0) options.m_sampleRate = std::to_string(rate);
    if (!doc->ApplyFFTOptions(options, error)) return Fail(err, error);
    if (!CCliHost::Save(*doc, outFile, error)) return Fail(err, error);
    return 0;
}

int ShowInfo(const CModuleRegistry& registry, const std::string& file, bool asJson,
             std::ostream& out, std::ostream& err) {
    CCliHost host(registry);
    std::string error;
    CDspDoc* doc = host.Open(file, error);
    if (!doc) return Fail(err, error);
    json info{{"file", file},
              {"schema", doc->GetSchemaText()},
              {"fftSize", doc->GetSize()},
              {"sampleRate", doc->GetSampleRate()},
              {"pauseOnRecord", doc->GetPauseOnRecordCount()},
              {"pauseOnEveryModule", doc->GetPauseOnEveryModule()},
              {"steps", StepsJson(*doc, true, false)}};
    if (asJson) {
        out << info.dump(2) << "\n";
        return 0;
    }
    out << "File: " << file << "\n"
        << "Schema: " << doc->GetSchemaText() << "\n"
        << "FFT size: " << doc->GetSize() << "\n"
        << "Sample rate: " << doc->GetSampleRate() << "\n"
        << "Pause on record: " << doc->GetPauseOnRecordCount() << "\n"
        << "Pause on every module: " << (doc->GetPauseOnEveryModule() ? "yes" : "no") << "\n";
    for (const json& step : info["steps"]) {
        out << "Step " << step["step"].get<int>() << ": " << step["module"].get<std::string>()
            << " (identity " << step["identity"].get<std::string>() << ")\n";
        for (const auto& [key, value] : step["settings"].items())
            out << "  " << key << ": " << value.get<std::string>() << "\n";
    }
    return 0;
}

int SetControls(const CModuleRegistry& registry, const std::string& file,
                const std::vector<std::string>& settings, const std::string& outFile,
                std::ostream& err) {
    CCliHost host(registry);
    std::string error;
    CDspDoc* doc = host.Open(file, error);
    if (!doc) return Fail(err, error);
    for (const std::string& s : settings)
        if (!CCliHost::ApplySetting(*doc, s, error)) return Fail(err, error);
    if (!CCliHost::Save(*doc, outFile.empty() ? file : outFile, error)) return Fail(err, error);
    return 0;
}

int RunProcessFile(const CModuleRegistry& registry, const CRunOptions& options, std::ostream& out,
                   std::ostream& err) {
    CCliHost host(registry);
    std::string error;
    CDspDoc* doc = host.Open(options.file, error);
    if (!doc) return Fail(err, error);
    for (const std::string& s : options.settings)
        if (!CCliHost::ApplySetting(*doc, s, error)) return Fail(err, error);
    // Messages shown while opening and applying settings are not the run's.
    host.Sink().ClearRecords();
    if (!options.dump.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options.dump, ec);
        if (ec) return Fail(err, "Cannot create " + options.dump + ": " + ec.message());
    }

    int slices = 0;
    if (doc->OnEditRun()) {
        // Pauses from the FFT options are resumed at once: the command runs unattended.
        const long total = long(options.passes) * doc->GetStepCount();
        while (slices < total) {
            host.App().OnIdle();
            if (!doc->IsRunning()) break; // a step failed or stopped the run
            if (!options.dump.empty() && !DumpStep(*doc, options.dump, slices, error)) {
                doc->OnEditStop();
                return Fail(err, error);
            }
            ++slices;
            if (doc->IsPaused()) doc->OnEditRun();
        }
        doc->OnEditStop();
    }
    const int passes = doc->GetStepCount() ? slices / doc->GetStepCount() : 0;
    json messages = json::array();
    for (const auto& r : host.Sink().Records())
        messages.push_back(Plain(r.message));

    if (options.json) {
        json result{{"file", options.file},
                    {"passes", passes},
                    {"steps", StepsJson(*doc, false, true)},
                    {"messages", messages}};
        out << result.dump(2) << "\n";
    } else {
        out << "Ran " << passes << " pass" << (passes == 1 ? "" : "es") << " of " << options.file
            << "\n";
        auto name = doc->GetStepNames().begin();
        for (int i = 0; i < doc->GetStepCount(); ++i, ++name) {
            out << "Step " << i + 1 << ": " << *name << "\n";
            for (const std::string& line : doc->GetView(size_t(i))->GetReadouts())
                out << "  " << line << "\n";
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
