#pragma once
#include <iosfwd>

class IAudioSystem;

/** Lists the input, output and mixer devices with the sample rates each accepts (16-bit
 *  stereo, as the rate list of a SoundIO step asks them); plain text or JSON. */
int ListDevices(const IAudioSystem& audio, bool json, std::ostream& out);
