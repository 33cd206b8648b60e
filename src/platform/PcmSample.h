#pragma once
// The two high-resolution sample layouts that sound cards and WAVE files share: 24-bit signed
// PCM packed in three little-endian bytes, and 32-bit IEEE float, little-endian. Values are in
// full-scale units (1.0 is full scale).

#include "platform/WaveFormat.h"

#include <cstddef>
#include <cstdint>

/** Stores x·2^23 rounded to the nearest step and clipped to the 24-bit range (so +1.0 gives
 *  the largest positive code, −1.0 the most negative); NaN stores silence. */
void StorePcm24(double x, uint8_t* p);
/** The 24-bit sample at `p` over 2^23. */
double Pcm24Value(const uint8_t* p);
/** Stores x as the nearest float; values beyond full scale are kept, NaN stores silence. */
void StoreFloat32(double x, uint8_t* p);
/** The float at `p`; one that is not finite reads as 0. */
double Float32Value(const uint8_t* p);

/** Whether a device that does not take `format`'s own samples can be fed 32-bit integers for it
 *  instead (24-bit and float samples; the high-resolution converters of many cards take only
 *  those). */
bool HasWideSamples(const CWaveFormat& format);
/** `samples` samples of the format at `from` as 32-bit little-endian integers at `to`: a 24-bit
 *  sample fills the top three bytes, a float is rounded and clipped to full scale. */
void WidenSamples(const uint8_t* from, size_t samples, const CWaveFormat& format, uint8_t* to);
/** The reverse: 32-bit integers at `from` as samples of the format at `to`, a 24-bit sample
 *  taking the top three bytes. */
void NarrowSamples(const uint8_t* from, size_t samples, const CWaveFormat& format, uint8_t* to);
