#include "platform/EventPump.h"

#include <algorithm>
#include <chrono>
#include <poll.h>

void CEventPump::Post(const void* sender, Message message) {
    m_queue.push_back({sender, std::move(message)});
}

void CEventPump::Cancel(const void* sender) {
    std::erase_if(m_queue, [sender](const CEntry& e) { return e.sender == sender; });
}

void CEventPump::AddSource(IEventSource* source) {
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void CEventPump::RemoveSource(IEventSource* source) {
    std::erase(m_sources, source);
}

int CEventPump::DispatchPending(int waitMs) {
    // A source may remove itself while polling (a device closed by a handler), so poll a copy
    // and skip sources that have gone.
    const std::vector<IEventSource*> sources = m_sources;
    for (IEventSource* source : sources)
        if (std::find(m_sources.begin(), m_sources.end(), source) != m_sources.end())
            source->Poll(*this);

    int dispatched = 0;
    while (!m_queue.empty()) {
        Message message = std::move(m_queue.front().message);
        m_queue.pop_front();
        message();
        ++dispatched;
    }
    if (dispatched == 0 && waitMs > 0) {
        std::vector<pollfd> fds;
        for (IEventSource* source : m_sources)
            source->AddDescriptors(fds);
        poll(fds.data(), fds.size(), waitMs);
    }
    return dispatched;
}

double CEventPump::Seconds() const {
    if (m_seconds) return m_seconds();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
