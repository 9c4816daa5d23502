#pragma once

#include <windows.h>

#include "webview/com_ref_win.h"

namespace tunewell::standin
{

/// Hands a plain value to a caller's out-parameter; a null one is refused.
template <typename Target, typename Source>
HRESULT returnValue (Source value, Target* out)
{
    if (out == nullptr)
        return E_POINTER;

    *out = value;
    return S_OK;
}

/// Hands a new reference (or null) to a caller's out-parameter; a null one is refused.
template <typename Interface>
HRESULT returnReference (const ui::ComRef<Interface>& object, Interface** out)
{
    if (out == nullptr)
        return E_POINTER;

    object.copyTo (out);
    return S_OK;
}

/// Leaves nothing behind in an optional out-parameter of a method the
/// stand-in does not offer, so a caller that ignores the failure releases nothing.
template <typename Interface>
void clearOut (Interface** out)
{
    if (out != nullptr)
        *out = nullptr;
}

} // namespace tunewell::standin
