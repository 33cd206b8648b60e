#pragma once
// The system's sound devices a host adds beside the virtual card: ALSA's, then JACK's (when the
// program is built with them and a JACK server runs), in that order, so that the device indices
// stored in processes keep naming the ALSA devices they named before.

#include "platform/AudioDevices.h"
#include "platform/SettingsStore.h"

#include <memory>

/** The system's devices; JACK's ports come from the settings' [JACK] section. Null when the
 *  program is built with neither. */
std::unique_ptr<IAudioSystem> NewSystemAudio(const ISettingsStore& settings);
