#pragma once

#include <windows.h>

#include <eventtoken.h>

#include <cstdint>
#include <string>
#include <vector>

#include "webview/com_ref_win.h"

namespace tunewell::standin
{

/// The handlers registered for the events of one object. Each registration
/// keeps a reference to its handler until it is removed or the object closes.
class EventRegistry
{
public:
    EventRegistry() = default;
    EventRegistry (const EventRegistry&) = delete;
    EventRegistry& operator= (const EventRegistry&) = delete;

    /// Records "add_<event>" and hands out a token of its own; a handler that
    /// does not answer as a COM object of its interface is not registered.
    HRESULT add (const wchar_t* event, IUnknown* handler, REFIID handlerInterface, EventRegistrationToken* token);

    /// Records "remove_<event>"; an unknown token is accepted and ignored.
    HRESULT remove (const wchar_t* event, EventRegistrationToken token);

    /// The event's handlers in registration order, each with a reference of
    /// its own, so that a handler may remove registrations while it runs.
    template <typename Handler>
    std::vector<ui::ComRef<Handler>> handlersOf (const wchar_t* event) const
    {
        std::vector<ui::ComRef<Handler>> handlers;
        for (const auto& registration : registrations)
            if (registration.event == event)
                handlers.push_back (ui::ComRef<Handler>::share (static_cast<Handler*> (registration.handler.get())));

        return handlers;
    }

    /// Releases every handler.
    void clear();

private:
    struct Registration
    {
        std::wstring event;
        ui::ComRef<IUnknown> handler;
        int64_t token;
    };

    std::vector<Registration> registrations;
    int64_t lastToken = 0;
};

} // namespace tunewell::standin

// Defines add_<Event> and remove_<Event> of a class with an `events` registry
// and a `closed` flag.
#define TUNEWELL_STANDIN_WIDE_TEXT(text) L##text
#define TUNEWELL_STANDIN_WIDE(text) TUNEWELL_STANDIN_WIDE_TEXT (text)
#define TUNEWELL_STANDIN_EVENT(Class, Event, Handler) \
    HRESULT Class::add_##Event (Handler* eventHandler, EventRegistrationToken* token) \
    { \
        IUnknown* handler = eventHandler; \
        return guarded ([&] { \
            return closed ? HRESULT_FROM_WIN32 (ERROR_INVALID_STATE) \
                          : events.add (TUNEWELL_STANDIN_WIDE (#Event), handler, IID_##Handler, token); \
        }); \
    } \
    HRESULT Class::remove_##Event (EventRegistrationToken token) \
    { \
        return guarded ([&] { return events.remove (TUNEWELL_STANDIN_WIDE (#Event), token); }); \
    }
