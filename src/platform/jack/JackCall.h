#pragma once
// Calls into libjack that may wait on the server: a server that is stopped or hung blocks them,
// so each runs on a thread of its own and its caller goes on without it after a time limit.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

struct CJackCallLimit {
    static constexpr int kSeconds = 2;
};

/** Runs `call` on a thread of its own; its result, or nothing when it did not return within
 *  `seconds` (it then finishes, or not, on its own; the thread is never joined). */
template <class Call> auto CallWithin(int seconds, Call call) {
    using Result = std::invoke_result_t<Call>;
    struct CState {
        std::mutex mutex;
        std::condition_variable finished;
        std::optional<Result> result;
    };
    auto state = std::make_shared<CState>();
    std::thread([state, call = std::move(call)]() mutable {
        Result r = call();
        std::lock_guard lock(state->mutex);
        state->result = std::move(r);
        state->finished.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    state->finished.wait_for(lock, std::chrono::seconds(seconds),
                             [&state] { return state->result.has_value(); });
    return state->result;
}

/** libjack prints to standard error when no server runs; every failure reaches the user
 *  through our own texts. */
void SilenceJackLibrary();
