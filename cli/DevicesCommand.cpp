#include "DevicesCommand.h"

#include "platform/AudioDevices.h"
#include "platform/SampleRates.h"

#include <nlohmann/json.hpp>

#include <ostream>

int ListDevices(const IAudioSystem& audio, bool json, std::ostream& out) {
    struct CKind {
        const char* name;
        std::vector<CAudioDeviceInfo> devices;
        bool input;
        bool hasRates;
    };
    const CKind kinds[] = {{"input", audio.GetInputDevices(), true, true},
                           {"output", audio.GetOutputDevices(), false, true},
                           {"mixer", audio.GetMixerDevices(), false, false}};
    nlohmann::ordered_json result;
    for (const CKind& kind : kinds) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        if (!json) out << kind.name << " devices:\n";
        for (size_t i = 0; i < kind.devices.size(); ++i) {
            const CAudioDeviceInfo& d = kind.devices[i];
            nlohmann::ordered_json entry{
                {"index", i}, {"name", d.name}, {"description", d.description}};
            std::string rateText;
            if (kind.hasRates) {
                const std::vector<int> rates =
                    AcceptedSampleRates(audio, kind.input ? int(i) : -1, kind.input ? -1 : int(i));
                entry["rates"] = rates;
                for (int r : rates)
                    rateText += (rateText.empty() ? "" : " ") + std::to_string(r);
                // A device in use by another program, or whose server is not running or does
                // not answer, opens for no format at all: the device layer says why.
                if (rates.empty()) {
                    const int code =
                        audio.QueryFormat(kind.input, int(i), CWaveFormat{2, 48000, 16});
                    std::string reason = audio.GetErrorText(kind.input, code);
                    if (reason.empty()) reason = "the device does not open now";
                    entry["error"] = reason;
                    rateText = "none: " + reason;
                }
            } else {
                const int m = static_cast<int>(i);
                entry["source"] = audio.GetMixerSourceName(m);
                entry["destination"] = audio.GetMixerDestinationName(m);
                entry["level"] = audio.GetMixerInputLevel(m);
                rateText = "source \"" + audio.GetMixerSourceName(m) + "\", level " +
                           std::to_string(audio.GetMixerInputLevel(m));
            }
            list.push_back(entry);
            if (!json)
                out << "  " << i << ": " << d.name << " - " << d.description << "\n     "
                    << (kind.hasRates ? "rates: " : "") << rateText << "\n";
        }
        result[kind.name] = list;
    }
    if (json) out << result.dump(2) << "\n";
    return 0;
}
