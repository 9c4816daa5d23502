#include "navigation_args_win.h"

#include "co_task_text_win.h"
#include "out_param_win.h"

namespace tunewell::standin
{

NavigationStartingArgs::NavigationStartingArgs (std::wstring target, bool byUser, UINT64 id)
    : uri (std::move (target)), userInitiated (byUser), navigationId (id)
{
}

HRESULT NavigationStartingArgs::get_Uri (LPWSTR* out)
{
    return guarded ([&] { return returnText (uri, out); });
}

HRESULT NavigationStartingArgs::get_IsUserInitiated (BOOL* out)
{
    return returnValue (userInitiated ? TRUE : FALSE, out);
}

HRESULT NavigationStartingArgs::get_IsRedirected (BOOL* out)
{
    return returnValue (FALSE, out);
}

HRESULT NavigationStartingArgs::get_RequestHeaders (ICoreWebView2HttpRequestHeaders** out)
{
    clearOut (out);
    return E_NOTIMPL;
}

HRESULT NavigationStartingArgs::get_Cancel (BOOL* out)
{
    return returnValue (cancel ? TRUE : FALSE, out);
}

HRESULT NavigationStartingArgs::put_Cancel (BOOL value)
{
    cancel = value != FALSE;
    return S_OK;
}

HRESULT NavigationStartingArgs::get_NavigationId (UINT64* out)
{
    return returnValue (navigationId, out);
}

NewWindowArgs::NewWindowArgs (std::wstring target) : uri (std::move (target)) {}

HRESULT NewWindowArgs::get_Uri (LPWSTR* out)
{
    return guarded ([&] { return returnText (uri, out); });
}

HRESULT NewWindowArgs::put_NewWindow (ICoreWebView2* newWindow)
{
    // Once given, the new window cannot be changed.
    if (given)
        return HRESULT_FROM_WIN32 (ERROR_INVALID_STATE);

    given = ui::ComRef<ICoreWebView2>::share (newWindow);
    return S_OK;
}

HRESULT NewWindowArgs::get_NewWindow (ICoreWebView2** out)
{
    return returnReference (given, out);
}

HRESULT NewWindowArgs::put_Handled (BOOL value)
{
    isHandled = value != FALSE;
    return S_OK;
}

HRESULT NewWindowArgs::get_Handled (BOOL* out)
{
    return returnValue (isHandled ? TRUE : FALSE, out);
}

HRESULT NewWindowArgs::get_IsUserInitiated (BOOL* out)
{
    return returnValue (TRUE, out);
}

HRESULT NewWindowArgs::GetDeferral (ICoreWebView2Deferral** out)
{
    clearOut (out);
    return E_NOTIMPL;
}

HRESULT NewWindowArgs::get_WindowFeatures (ICoreWebView2WindowFeatures** out)
{
    clearOut (out);
    return E_NOTIMPL;
}

AcceleratorKeyArgs::AcceleratorKeyArgs (const KeyChord& pressed) : chord (pressed)
{
    status.RepeatCount = 1;
    status.ScanCode = MapVirtualKeyW (chord.virtualKey, MAPVK_VK_TO_VSC);
    status.IsExtendedKey = chord.extended ? TRUE : FALSE;
    status.IsMenuKeyDown = chord.alt ? TRUE : FALSE;
    status.WasKeyDown = FALSE;
    status.IsKeyReleased = FALSE;
}

HRESULT AcceleratorKeyArgs::get_KeyEventKind (COREWEBVIEW2_KEY_EVENT_KIND* out)
{
    // With Alt held, Windows sends the key as a system key.
    return returnValue (chord.alt ? COREWEBVIEW2_KEY_EVENT_KIND_SYSTEM_KEY_DOWN : COREWEBVIEW2_KEY_EVENT_KIND_KEY_DOWN,
                        out);
}

HRESULT AcceleratorKeyArgs::get_VirtualKey (UINT* out)
{
    return returnValue (chord.virtualKey, out);
}

// Laid out as WM_KEYDOWN's: repeat count, scan code, extended, context (Alt).
HRESULT AcceleratorKeyArgs::get_KeyEventLParam (INT* out)
{
    const UINT32 lParam = (status.RepeatCount & 0xFFFF) | ((status.ScanCode & 0xFF) << 16)
                        | (status.IsExtendedKey ? 1u << 24 : 0u) | (status.IsMenuKeyDown ? 1u << 29 : 0u);
    return returnValue (static_cast<INT> (lParam), out);
}

HRESULT AcceleratorKeyArgs::get_PhysicalKeyStatus (COREWEBVIEW2_PHYSICAL_KEY_STATUS* out)
{
    return returnValue (status, out);
}

HRESULT AcceleratorKeyArgs::get_Handled (BOOL* out)
{
    return returnValue (isHandled ? TRUE : FALSE, out);
}

HRESULT AcceleratorKeyArgs::put_Handled (BOOL value)
{
    isHandled = value != FALSE;
    return S_OK;
}

} // namespace tunewell::standin
