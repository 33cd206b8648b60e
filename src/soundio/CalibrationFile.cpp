// The calibration text file: one keyed line per field, then the frequency response in the
// response text format. Lines are written ending "\r\n" through a text-mode stream, so CR CR LF
// on disk; files whose line ends an editor changed to LF or CR LF read as well.

#include "base/NumberText.h"
#include "base/TextLines.h"
#include "formats/ResponseFile.h"
#include "formats/TextFile.h"
#include "soundio/Calibration.h"

#include <charconv>
#include <functional>
#include <vector>

namespace {
constexpr const char* kResponseKey = ";FrequencyResponseParams   :";

enum class EKind { Text, Int, Double, Flag };

/** One line of the file: its key and the field it holds. */
struct CCalField {
    std::string key;
    EKind kind;
    std::function<void*(CCalibration&)> field;
};

int ParseInt(std::string_view text) {
    // As atoi: leading blanks, a sign, digits; anything else ends the number.
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) return 0;
    if (text[i] == '+') ++i;
    long long v = 0;
    std::from_chars(text.data() + i, text.data() + text.size(), v);
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

/** The fields in file order, which is also the order in which a line's key is looked for. */
const std::vector<CCalField>& CalFields() {
    static const std::vector<CCalField> fields = [] {
        std::vector<CCalField> f;
        auto text = [&f](const char* key, std::string CCalibration::*member) {
            f.push_back({key, EKind::Text, [member](CCalibration& c) { return &(c.*member); }});
        };
        text(";ProcessName", &CCalibration::ProcessName);
        text(";Path Name", &CCalibration::PathName);
        text(";CalSel", &CCalibration::CalSel);
        text(";MeasSel", &CCalibration::MeasSel);
        text(";FreqCalTypeSel", &CCalibration::FreqCalTypeSel);
        for (int c = 0; c < 2; ++c) {
            const std::string ch = ";Ch" + std::to_string(c + 1);
            auto level = [&f, &ch, c](const char* name, EKind kind, auto member) {
                f.push_back({ch + name, kind, [c, member](CCalibration& cal) -> void* {
                                 return &(cal.Level[c].*member);
                             }});
            };
            level("FullScaleLevelParams", EKind::Text, &CLevelCal::FullScaleLevelParams);
            level("PeakSampleLevel", EKind::Int, &CLevelCal::PeakSampleLevel);
            level("UserInputLevel", EKind::Double, &CLevelCal::UserInputLevel);
            level("TriggerLevel", EKind::Int, &CLevelCal::TriggerLevel);
            level("TriggerOffset", EKind::Int, &CLevelCal::TriggerOffset);
            level("LevelOutputDeviceName", EKind::Text, &CLevelCal::LevelOutputDeviceName);
            level("LevelInputDeviceName", EKind::Text, &CLevelCal::LevelInputDeviceName);
            level("MixerName", EKind::Text, &CLevelCal::MixerName);
            level("MixerSource", EKind::Text, &CLevelCal::MixerSource);
            level("Gain", EKind::Int, &CLevelCal::Gain);
            level("MixerDestination", EKind::Text, &CLevelCal::MixerDestination);
            level("InputLevelCalApply", EKind::Flag, &CLevelCal::InputLevelCalApply);
        }
        for (int c = 0; c < 2; ++c) {
            const std::string ch = ";Ch" + std::to_string(c + 1);
            auto latency = [&f, &ch, c](const char* name, EKind kind, auto member) {
                f.push_back({ch + name, kind, [c, member](CCalibration& cal) -> void* {
                                 return &(cal.Latency[c].*member);
                             }});
            };
            latency("LatencyOutputDeviceName", EKind::Text, &CLatencyCal::LatencyOutputDeviceName);
            latency("LatencyInputDeviceName", EKind::Text, &CLatencyCal::LatencyInputDeviceName);
            latency("LatencyParams", EKind::Text, &CLatencyCal::LatencyParams);
            latency("LatencyCalApply", EKind::Flag, &CLatencyCal::LatencyCalApply);
        }
        for (int c = 0; c < 2; ++c) {
            const std::string ch = ";Ch" + std::to_string(c + 1);
            auto freq = [&f, &ch, c](const char* name, EKind kind, auto member) {
                f.push_back({ch + name, kind, [c, member](CCalibration& cal) -> void* {
                                 return &(cal.Freq[c].*member);
                             }});
            };
            freq("FreqOutputDeviceName", EKind::Text, &CFreqCal::FreqOutputDeviceName);
            freq("FreqInputDeviceName", EKind::Text, &CFreqCal::FreqInputDeviceName);
            freq("FreqCalParams", EKind::Text, &CFreqCal::FreqCalParams);
            freq("FreqCalApply", EKind::Flag, &CFreqCal::FreqCalApply);
        }
        text(";ReturnedErrors", &CCalibration::ReturnedErrors);
        return f;
    }();
    return fields;
}

/** The key padded to the value column. */
std::string PaddedKey(const std::string& key) {
    constexpr size_t kKeyWidth = 27;
    return key + std::string(key.size() < kKeyWidth ? kKeyWidth - key.size() : 0, ' ');
}
} // namespace

bool CCalibration::SaveCalFile(const std::string& given, std::string* error) {
    const std::string path = CalibrationAbsolutePath(given);
    const std::string previous = PathName;
    PathName = path;
    std::string text;
    for (const CCalField& f : CalFields()) {
        void* p = f.field(*this);
        text += PaddedKey(f.key) + ": ";
        switch (f.kind) {
        case EKind::Text:
            text += *static_cast<std::string*>(p);
            break;
        case EKind::Int:
            text += FormatText("%-3i", *static_cast<int*>(p));
            break;
        case EKind::Double:
            text += FormatText("%-6.4f", *static_cast<double*>(p));
            break;
        case EKind::Flag:
            text += *static_cast<bool*>(p) ? "1" : "0";
            break;
        }
        text += "\r\n";
    }
    text += std::string(kResponseKey) + "\r\n";
    if (m_pFreqResponse)
        for (int c = 0; c < m_pFreqResponse->GetNumChans(); ++c)
            ResponseFile::WriteText(*m_pFreqResponse->GetAt(c), text);
    std::string reason;
    if (!WriteTextFile(path, text, reason)) {
        if (error) *error = reason;
        PathName = previous;
        return false;
    }
    return true;
}

bool CCalibration::OpenCalFile(const std::string& path) {
    InitializeDefaults();
    std::string text;
    std::string error;
    if (!ReadTextFile(path, text, error)) return false;
    return ReadCalText(text, path);
}

bool CCalibration::ReadCalText(std::string_view text, const std::string& path) {
    CTextLineReader reader(text);
    std::string_view full;
    while (reader.ReadLine(full)) {
        const std::string_view line = full.substr(0, full.find('\r'));
        if (line.find(kResponseKey) != std::string_view::npos) {
            // The response takes the rest of the text after this line's end.
            size_t rest = static_cast<size_t>(full.data() - text.data()) + full.size();
            while (rest < text.size() && (text[rest] == '\r' || text[rest] == '\n')) {
                const bool lf = text[rest] == '\n';
                ++rest;
                if (lf) break;
            }
            if (!m_pFreqResponse) return false;
            return ResponseFile::ReadText(*m_pFreqResponse, text.substr(rest), path) != 0;
        }
        const CCalField* match = nullptr;
        for (const CCalField& f : CalFields())
            if (line.find(f.key) != std::string_view::npos) {
                match = &f;
                break;
            }
        if (!match) return false;
        const size_t colon = line.find(':');
        const std::string_view value = (colon == std::string_view::npos || colon + 2 >= line.size())
                                           ? std::string_view{}
                                           : line.substr(colon + 2);
        void* p = match->field(*this);
        switch (match->kind) {
        case EKind::Text:
            *static_cast<std::string*>(p) = std::string(value);
            break;
        case EKind::Int:
            *static_cast<int*>(p) = ParseInt(value);
            break;
        case EKind::Double:
            *static_cast<double*>(p) = ParseDouble(value);
            break;
        case EKind::Flag:
            *static_cast<bool*>(p) = value == "1";
            break;
        }
    }
    return true;
}
