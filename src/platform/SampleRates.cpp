#include "platform/SampleRates.h"

#include "platform/AudioDevices.h"

#include <algorithm>

const std::vector<int>& StandardSampleRates() {
    static const std::vector<int> rates{5000,  6000,  8000,  11025, 12000, 16000,  22050, 24000,
                                        32000, 44100, 48000, 88200, 96000, 176400, 192000};
    return rates;
}

const std::vector<CSampleResolution>& SampleResolutions() {
    static const std::vector<CSampleResolution> resolutions{
        {8, false, "8"}, {16, false, "16"}, {24, false, "24"}, {32, true, "32 float"}};
    return resolutions;
}

std::vector<std::string> SampleResolutionTexts() {
    std::vector<std::string> texts;
    for (const CSampleResolution& r : SampleResolutions())
        texts.push_back(r.text);
    return texts;
}

bool IsStandardWaveFormat(const CWaveFormat& f) {
    const auto& rates = StandardSampleRates();
    const bool resolution =
        f.isFloat ? f.bitsPerSample == 32
                  : f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24;
    return resolution && (f.channels == 1 || f.channels == 2) &&
           std::find(rates.begin(), rates.end(), f.sampleRate) != rates.end();
}

std::vector<int> AcceptedSampleRates(const IAudioSystem& audio, int inputIndex, int outputIndex) {
    std::vector<int> rates;
    for (int rate : StandardSampleRates()) {
        const CWaveFormat format{2, rate, 16};
        if ((inputIndex >= 0 && audio.QueryFormat(true, inputIndex, format) == kAudioOk) ||
            (outputIndex >= 0 && audio.QueryFormat(false, outputIndex, format) == kAudioOk))
            rates.push_back(rate);
    }
    return rates;
}
