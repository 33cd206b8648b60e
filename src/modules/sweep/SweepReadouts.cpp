// What the analyser reads out and exports: the delay, the level and distortion at the readout
// frequency and the largest THD, per channel; the response as FRD or CSV text.
#include "modules/sweep/SweepView.h"

#include "base/NumberText.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "formats/WavFormat.h"
#include "platform/AtomicFile.h"
#include "platform/FileDialog.h"
#include "process/LevelRows.h"

#include <cmath>

namespace {
double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// The grid point nearest to f; npos when f lies outside the grid.
size_t Nearest(const CSweepResponse& r, double f) {
    if (r.frequency.empty() || f < r.frequency.front() || f > r.frequency.back()) return size_t(-1);
    const double at = std::log2(f / r.frequency.front()) * kSweepPointsPerOctave;
    return std::min(r.frequency.size() - 1, size_t(std::lround(at)));
}

std::string Distortion(double ratio) {
    return std::isnan(ratio) ? std::string("--")
                             : FormatText("%.4g %% (%.2f dB)", 100.0 * ratio, Db(ratio));
}
} // namespace

std::vector<CReadoutValue> CSweepView::GetReadoutValues() const {
    std::vector<CReadoutValue> values;
    const double fs = GetWorkingList() ? GetWorkingList()->GetSampleRate(0) : 0.0;
    for (int c = 1; c <= 2; ++c) {
        const CSweepResponse* r = GetResponse(c);
        if (!r) continue;
        const auto add = [&](const std::string& label, const std::string& value) {
            values.push_back({c, label, value});
        };
        add("Delay", FormatText("%i samples (%.4f ms)", r->delay, 1000.0 * r->delay / fs));
        const size_t i = Nearest(*r, m_readAt);
        const std::string at = FormatText(" at %g Hz", m_readAt);
        if (i != size_t(-1)) {
            const std::complex<double> h = r->response[i];
            add("Level" + at,
                std::isnan(h.real()) ? std::string("--") : FormatText("%.2f dB", Db(std::abs(h))));
            // The level the input received from the played sweep, in the chosen unit.
            if (m_levelUnit != 0 && m_played[size_t(c - 1)] > 0.0 && !std::isnan(h.real()))
                add(LevelChoicesWithOff()[size_t(m_levelUnit)] + at,
                    FormatText("%.2f", CalibratedLevel(m_levelUnit, m_micSensitivity, m_cal.Curve(),
                                                       std::abs(h) * m_played[size_t(c - 1)] /
                                                           std::sqrt(2.0),
                                                       m_readAt)));
            add("Phase" + at, std::isnan(h.real())
                                  ? std::string("--")
                                  : FormatText("%.1f deg", std::arg(h) * 180.0 / std::numbers::pi));
            add("THD" + at, Distortion(r->thd[i]));
            for (int k = 2; k <= 3; ++k)
                add(FormatText("HD%i", k) + at, Distortion(r->harmonic[size_t(k)][i]));
        }
        size_t worst = size_t(-1);
        for (size_t j = 0; j < r->thd.size(); ++j)
            if (!std::isnan(r->thd[j]) && (worst == size_t(-1) || r->thd[j] > r->thd[worst]))
                worst = j;
        if (worst != size_t(-1))
            add("Max THD",
                Distortion(r->thd[worst]) + FormatText(" at %.1f Hz", r->frequency[worst]));
    }
    if (m_passes > 0) values.push_back({0, "Passes", FormatText("%i", m_passes)});
    return values;
}

std::string CSweepView::ResponseFRD(int channel) const {
    const CSweepResponse* r = GetResponse(channel);
    if (!r) return {};
    std::string text;
    for (size_t i = 0; i < r->frequency.size(); ++i) {
        const std::complex<double> h = r->response[i];
        if (std::isnan(h.real())) continue;
        text += FormatText("%.6f %.4f %.4f\r\n", r->frequency[i], Db(std::abs(h)),
                           std::arg(h) * 180.0 / std::numbers::pi);
    }
    return text;
}

std::string CSweepView::ResponseCSV(int channel) const {
    const CSweepResponse* r = GetResponse(channel);
    if (!r) return {};
    std::string text = "Frequency (Hz),Level (dB),Phase (deg),Group delay (ms),THD (%),HD2 (%),"
                       "HD3 (%),HD4 (%),HD5 (%)\r\n";
    const auto cell = [](double v, double scale) {
        return std::isnan(v) ? std::string() : FormatText("%.6g", v * scale);
    };
    for (size_t i = 0; i < r->frequency.size(); ++i) {
        const std::complex<double> h = r->response[i];
        if (std::isnan(h.real())) continue;
        text += FormatText("%.6f,%.4f,%.4f,", r->frequency[i], Db(std::abs(h)),
                           std::arg(h) * 180.0 / std::numbers::pi) +
                cell(r->groupDelay[i], 1000.0) + "," + cell(r->thd[i], 100.0);
        for (int k = 2; k <= CSweepResponse::kMaxOrder; ++k)
            text += "," + cell(r->harmonic[size_t(k)][i], 100.0);
        text += "\r\n";
    }
    return text;
}

bool CSweepView::SaveImpulseResponse(int channel, const std::string& path,
                                     std::string& error) const {
    const CSweepResponse* r = GetResponse(channel);
    const double fs = GetWorkingList() ? GetWorkingList()->GetSampleRate(0) : 0.0;
    if (!r || !(fs > 0.0)) {
        error = "No impulse response to save: run the measurement first";
        return false;
    }
    return WriteFileAtomically(path, FloatWavFileBytes(r->impulse, 1, int(std::lround(fs))), error);
}

std::vector<CMenuEntry> CSweepView::GetContextMenu() const {
    const int channel = GetSelectedChannel() == 0 ? 1 : GetSelectedChannel();
    const bool ready = GetResponse(channel) != nullptr;
    return {{"sel1", "Channel &1", GetSelectedChannel() == 1},
            {"sel2", "Channel &2", GetSelectedChannel() == 2},
            {"selall", "&All Channels", GetSelectedChannel() == 0},
            {},
            {"sweepfrd", "Copy Response as &FRD", false, ready},
            {"sweepcsv", "Copy Response and Distortion as &CSV", false, ready},
            {"sweepir", "Save &Impulse Response as WAV...", false, ready}};
}

bool CSweepView::OnContextCommand(const std::string& id) {
    if (id == "sel1" || id == "sel2" || id == "selall") {
        id == "sel1" ? OnSelCh1() : id == "sel2" ? OnSelCh2() : OnSelAll();
        return true;
    }
    const int channel = GetSelectedChannel() == 0 ? 1 : GetSelectedChannel();
    if (id == "sweepir") {
        const CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
        IFileDialog* dialog = app ? app->GetFileDialog() : nullptr;
        const auto path = dialog ? dialog->AskSavePath("Save Impulse Response", "impulse.wav",
                                                       "wav", "WAV Files (*.wav)|*.wav|")
                                 : std::nullopt;
        std::string error;
        if (path && !SaveImpulseResponse(channel, *path, error)) ShowErrorMessage(error);
        return true;
    }
    if (id != "sweepfrd" && id != "sweepcsv") return false;
    const std::string text = id == "sweepfrd" ? ResponseFRD(channel) : ResponseCSV(channel);
    CDspDoc* doc = GetDocument();
    if (text.empty() || !doc || !doc->GetApp()) return true;
    if (!doc->GetApp()->GetClipboard().SetText(text))
        ShowErrorMessage("Sweep analyser: the clipboard cannot be opened");
    return true;
}
