#pragma once
// The one thread's message queue. Devices post their completions here and the host's run loop
// (the GUI's idle slice, the command line's loop) dispatches them between slices; a step that
// waits for its buffers answers "pending" and is asked again after the next dispatch. Every
// message is taken off the queue before it runs, so a message that closes a device never sees
// its own completions twice.

#include <deque>
#include <functional>
#include <vector>

struct pollfd;
class CEventPump;

/** Something that produces messages: a device that finishes buffers when the pump asks (the
 *  virtual card) or when its descriptors become ready (ALSA). GUI thread. */
class IEventSource {
public:
    virtual ~IEventSource() = default;
    /** Does the work that is due now and posts its completions. */
    virtual void Poll(CEventPump& pump) = 0;
    /** Descriptors the pump may wait on when nothing is due. */
    virtual void AddDescriptors(std::vector<pollfd>& /*fds*/) const {}
};

class CEventPump {
public:
    using Message = std::function<void()>;

    /** Queues a message from `sender` (a device), dispatched in order. */
    void Post(const void* sender, Message message);
    /** Drops the messages of `sender` not yet dispatched. */
    void Cancel(const void* sender);
    void AddSource(IEventSource* source);
    void RemoveSource(IEventSource* source);

    /** One round: every source does its due work, then every queued message runs. When nothing was
     * dispatched it waits up to `waitMs` milliseconds for a source's descriptor. Returns the number
     * of messages dispatched. */
    int DispatchPending(int waitMs);

    /** Seconds on a steady clock, for bounded waits. */
    double Seconds() const;
    /** Replaces the clock (tests step it). */
    void SetTimeSource(std::function<double()> seconds) { m_seconds = std::move(seconds); }

private:
    struct CEntry {
        const void* sender;
        Message message;
    };
    std::deque<CEntry> m_queue;
    std::vector<IEventSource*> m_sources;
    std::function<double()> m_seconds;
};
