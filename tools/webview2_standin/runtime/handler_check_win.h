#pragma once

#include <windows.h>

namespace tunewell::standin
{

/// Asks a handler that the runtime is handed for IUnknown and for its own
/// interface, as any COM caller may (when the control wants it). False when
/// it refuses either; the call that handed it over then fails with
/// E_NOINTERFACE. A refusal is logged as "HandlerRefused" with the identifier.
bool answersAsComObject (IUnknown* handler, REFIID ownInterface);

} // namespace tunewell::standin
