#pragma once

#include <string>

#include "../standin_runtime.h"

namespace tunewell::standin
{

/// The control DLL's runtime interface, loaded by name on first use and kept
/// for the life of the process; null when the DLL or its export is missing.
const StandinRuntimeInterface* controlInterface();

/// The behaviours as the control has switched them; the defaults without one.
StandinBehaviour currentBehaviour();

/// Appends one entry to the control's log; nothing without a control.
void record (const wchar_t* operation, const std::wstring& text = {});

/// Counts the runtime's live objects in the control, so tests can tell that
/// every reference was given back.
class LiveObject
{
public:
    LiveObject();
    LiveObject (const LiveObject&) = delete;
    LiveObject& operator= (const LiveObject&) = delete;
    ~LiveObject();
};

} // namespace tunewell::standin
