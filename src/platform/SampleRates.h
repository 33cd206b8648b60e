#pragma once
// The PCM formats the device layer handles, and which sample rates a device takes.

#include "platform/WaveFormat.h"

#include <string>
#include <vector>

class IAudioSystem;

/** A resolution offered for recording, playing and writing files, and its name in lists. */
struct CSampleResolution {
    int bits = 16;
    bool isFloat = false;
    const char* text = "16";
};
/** 8, 16 and 24-bit integers and 32-bit float, in the order stored settings number them (new
 *  ones only ever go at the end). */
const std::vector<CSampleResolution>& SampleResolutions();
/** The resolutions' names, in their order. */
std::vector<std::string> SampleResolutionTexts();

/** The fifteen sample rates a device may offer, in ascending order. */
const std::vector<int>& StandardSampleRates();

/** Whether a format is one the device layer handles: 8, 16 or 24-bit integers or 32-bit float,
 *  1 or 2 channels, one of the fifteen rates from 5000 to 192000 Hz. */
bool IsStandardWaveFormat(const CWaveFormat& format);

/** The standard rates at which input device `inputIndex` or else output device `outputIndex`
 *  takes two-channel 16-bit PCM; an index below 0 asks no device of its kind. */
std::vector<int> AcceptedSampleRates(const IAudioSystem& audio, int inputIndex, int outputIndex);
