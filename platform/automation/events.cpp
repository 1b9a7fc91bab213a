#include "platform/automation/events.h"

#include <algorithm>
#include <cassert>

namespace sw {

uint32_t ConnectionPoint::advise(EventSink* sink) {
    assert(sink);
    if (!sink) return 0;
    const uint32_t cookie = m_nextCookie++;
    if (m_nextCookie == 0) m_nextCookie = 1;
    m_connections.push_back({cookie, sink});
    return cookie;
}

bool ConnectionPoint::unadvise(uint32_t cookie) noexcept {
    const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                 [cookie](const Connection& c) { return c.cookie == cookie; });
    if (it == m_connections.end()) return false;
    m_connections.erase(it);
    return true;
}

size_t ConnectionPoint::sinkCount() const noexcept { return m_connections.size(); }

// Sinks may change the connections while they run, so fire walks a snapshot of the cookies and looks each one
// up again before its call: a sink unadvised by an earlier one is not called, one advised during the call
// first hears the next event.
void ConnectionPoint::fire(DispId eventId, std::span<Variant> args) noexcept {
    assert(m_interface->find(eventId) && "an event fired that the event interface does not declare");
    std::vector<uint32_t> cookies;
    try {
        cookies.reserve(m_connections.size());
    } catch (...) {
        return;
    }
    for (const Connection& c : m_connections) cookies.push_back(c.cookie);

    for (uint32_t cookie : cookies) {
        const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                     [cookie](const Connection& c) { return c.cookie == cookie; });
        if (it == m_connections.end()) continue;
        try {
            it->sink->onEvent(eventId, args);
        } catch (...) {
            // A sink's failure is its own; the remaining sinks still hear the event.
        }
    }
}

}  // namespace sw
