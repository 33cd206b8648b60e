// The transfer function's exports (FRD and comma-separated values), stored curves and menu.
#include "modules/transfer/TransferView.h"

#include "base/NumberText.h"
#include "dsp/DSPFFTData.h"
#include "formats/FRDZMA.h"
#include "formats/TextFile.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/HostMenu.h"

#include <cmath>

bool CTransferView::AskPath(const char* title, const char* extension, const char* filter,
                            std::string& path) {
    if (m_curve.coherence.empty()) {
        ShowErrorMessage("No response to save: run the measurement first");
        return false;
    }
    const CDspDoc* doc = GetDocument();
    CDspApp* app = doc ? doc->GetApp() : nullptr;
    IFileDialog* dialog = app ? app->GetFileDialog() : nullptr;
    const auto chosen = dialog ? dialog->AskSavePath(title, "", extension, filter) : std::nullopt;
    if (!chosen) return false;
    path = *chosen;
    return true;
}

bool CTransferView::SaveFrd(const std::string& path) {
    const int32_t n = m_curve.fftSize;
    CDSPFFTData block;
    if (m_curve.coherence.empty() || !block.Create(CDSPData::kTimeBlock, n, m_curve.sampleRate)) {
        ShowErrorMessage("No response to save: run the measurement first");
        return false;
    }
    std::vector<double> magnitude(size_t(n), 0.0), phase(size_t(n), 0.0);
    for (size_t k = 0; k < m_curve.coherence.size() && k < size_t(n); ++k) {
        magnitude[k] = std::pow(10.0, m_curve.magnitudeDb[k] / 20.0);
        phase[k] = m_curve.phaseDegrees[k];
    }
    block.Fill(n, nullptr, magnitude.data(), phase.data());
    // The FRD writer gives levels re 1 Pa at the reference level (94 dB); this reference makes
    // its level column the response's own gain in dB.
    const double reference = n * std::pow(10.0, 94.0 / 20.0);
    if (SaveFRDdBSPL(block, path, "Aurivo transfer function", reference) == 0) {
        ShowErrorMessage(block.GetErrorText());
        return false;
    }
    return true;
}

bool CTransferView::SaveCsv(const std::string& path) {
    if (m_curve.coherence.empty()) {
        ShowErrorMessage("No response to save: run the measurement first");
        return false;
    }
    std::string text = "Frequency (Hz),Magnitude (dB),Phase (deg),Coherence\n";
    for (size_t k = 0; k < m_curve.coherence.size(); ++k)
        text +=
            FormatText("%.9g,%.9g,%.9g,%.9g\n", double(k) * m_curve.sampleRate / m_curve.fftSize,
                       m_curve.magnitudeDb[k], m_curve.phaseDegrees[k], m_curve.coherence[k]);
    std::string error;
    if (!WriteTextFile(path, text, error)) {
        ShowErrorMessage(error);
        return false;
    }
    return true;
}

void CTransferView::StoreCurve() {
    if (m_curve.coherence.empty()) return;
    if (m_stored.size() == kMaxStored) m_stored.erase(m_stored.begin());
    m_stored.push_back(m_curve);
    m_stored.back().name = FormatText("Stored %d", int(m_stored.size()));
}

std::vector<CMenuEntry> CTransferView::GetContextMenu() const {
    // The response's own commands, then the host's run, process and print commands.
    std::vector<CMenuEntry> menu{{"store", "&Store Trace"},
                                 {"clear", "C&lear Stored Traces", false, !m_stored.empty()},
                                 {"reset", "&Reset Average"},
                                 {}};
    const std::vector<CMenuEntry> host = HostMenuEntries(false);
    menu.insert(menu.end(), host.begin(), host.end());
    return menu;
}

bool CTransferView::OnContextCommand(const std::string& id) {
    if (id == "store")
        StoreCurve();
    else if (id == "clear")
        m_stored.clear();
    else if (id == "reset")
        ResetAverage();
    else
        return false;
    Invalidate();
    return true;
}
