// Events: a control fires them synchronously, by event id, to every advised sink.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/automation/dispatch.h"

namespace sw {

class EventSink {
public:
    virtual ~EventSink() = default;
    // Arguments in parameter order; by-reference arguments may be written by the sink.
    virtual void onEvent(DispId eventId, std::span<Variant> args) = 0;
};

// An EventSink over a function, for hosts and tests.
class FunctionSink final : public EventSink {
public:
    explicit FunctionSink(std::function<void(DispId, std::span<Variant>)> fn) : m_fn(std::move(fn)) {}
    void onEvent(DispId eventId, std::span<Variant> args) override { m_fn(eventId, args); }

private:
    std::function<void(DispId, std::span<Variant>)> m_fn;
};

// The source side of a control's event interface. Sinks are borrowed: a sink must unadvise before it dies.
// fire() calls the sinks in advise order on the calling thread and returns after the last one; a sink may
// advise or unadvise (itself or others) during the call (one advised then first hears the next event), and an
// exception thrown by a sink is swallowed.
class ConnectionPoint {
public:
    explicit ConnectionPoint(const InterfaceInfo& eventInterface) noexcept : m_interface(&eventInterface) {}
    const InterfaceInfo& interfaceInfo() const noexcept { return *m_interface; }

    // Returns the cookie for unadvise, never 0 for a sink (0 for null, which is not advised).
    uint32_t advise(EventSink* sink);
    bool unadvise(uint32_t cookie) noexcept;
    size_t sinkCount() const noexcept;

    void fire(DispId eventId, std::span<Variant> args) noexcept;

private:
    struct Connection {
        uint32_t cookie;
        EventSink* sink;
    };
    const InterfaceInfo* m_interface;
    std::vector<Connection> m_connections;
    uint32_t m_nextCookie = 1;
};

}  // namespace sw
