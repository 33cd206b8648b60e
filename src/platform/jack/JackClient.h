#pragma once
// Our JACK client and what its real-time callback shares with the polling side: two ring
// buffers and a few atomics. Nothing the callback touches is locked or allocated after Open.

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

/** Heads every input packet in the input ring: the server's frame count of its first frame. */
struct CJackPacket {
    int64_t frame = 0;
    uint32_t frames = 0;
    uint32_t unused = 0;
};

struct CJackClientState {
    jack_client_t* client = nullptr;
    std::array<jack_port_t*, 2> in{}, out{};
    jack_ringbuffer_t* inRing = nullptr;  // CJackPacket, then frames × 2 floats
    jack_ringbuffer_t* outRing = nullptr; // frames × 2 floats
    std::atomic<bool> capturing{false};
    std::atomic<int64_t> frame{0};         // the server's frame time after the last cycle
    std::atomic<int64_t> outConsumed{0};   // frames taken from the output ring
    std::atomic<int64_t> mark{-1};         // output ring position of the next buffer's start
    std::atomic<int64_t> outStartFrame{0}; // the frame where the last marked start played
    std::atomic<uint64_t> outStarts{0};    // marked starts played so far
    std::atomic<bool> flushOutput{false};  // the callback drops what the output ring holds
    std::atomic<int> xruns{0};
    std::atomic<bool> gone{false};
};

/** Opens a client of `server` (empty: the default) within `seconds`; null with `why` when the
 *  server is not running or does not answer. */
std::shared_ptr<CJackClientState> OpenJackClient(const std::string& server, const char* name,
                                                 int ringSeconds, int seconds, std::string& why);
