#pragma once
// The PCM formats the device layer handles, and which sample rates a device takes.

#include "platform/WaveFormat.h"

#include <vector>

class IAudioSystem;

/** The fifteen sample rates a device may offer, in ascending order. */
const std::vector<int>& StandardSampleRates();

/** Whether a format is one the device layer handles: 8 or 16 bits, 1 or 2 channels, one of the
 *  fifteen rates from 5000 to 192000 Hz. */
bool IsStandardWaveFormat(const CWaveFormat& format);

/** The standard rates at which input device `inputIndex` or else output device `outputIndex`
 *  takes two-channel 16-bit PCM; an index below 0 asks no device of its kind. */
std::vector<int> AcceptedSampleRates(const IAudioSystem& audio, int inputIndex, int outputIndex);
