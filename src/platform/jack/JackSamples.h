#pragma once
// JACK's samples are floats of full scale 1.0, one port per channel; our buffers are integer
// PCM of the device's format. Frames cross the rings as interleaved stereo floats.

#include "platform/WaveFormat.h"

#include <cstddef>
#include <cstdint>

/** Converts `frames` stereo float frames into PCM of `format` (a mono format takes the left). */
void FloatsToPcm(const float* stereo, size_t frames, const CWaveFormat& format, uint8_t* pcm);
/** Converts `frames` PCM frames into stereo floats (a mono format plays on the left only). */
void PcmToFloats(const uint8_t* pcm, size_t frames, const CWaveFormat& format, float* stereo);
