#include "event_registry_win.h"

#include <algorithm>

#include "control_link_win.h"
#include "handler_check_win.h"

namespace tunewell::standin
{

HRESULT EventRegistry::add (const wchar_t* event, IUnknown* handler, REFIID handlerInterface,
                            EventRegistrationToken* token)
{
    record ((L"add_" + std::wstring (event)).c_str());

    if (handler == nullptr || token == nullptr)
        return E_INVALIDARG;
    if (! answersAsComObject (handler, handlerInterface))
        return E_NOINTERFACE;

    registrations.push_back ({ event, ui::ComRef<IUnknown>::share (handler), ++lastToken });
    token->value = lastToken;
    return S_OK;
}

HRESULT EventRegistry::remove (const wchar_t* event, EventRegistrationToken token)
{
    record ((L"remove_" + std::wstring (event)).c_str());

    auto found = std::find_if (registrations.begin(), registrations.end(),
                               [&] (const Registration& r) { return r.token == token.value && r.event == event; });

    // Moved out before the release, which may re-enter this registry.
    if (found != registrations.end())
    {
        auto handler = std::move (found->handler);
        registrations.erase (found);
    }
    return S_OK;
}

void EventRegistry::clear()
{
    auto released = std::move (registrations);
    registrations.clear();
}

} // namespace tunewell::standin
