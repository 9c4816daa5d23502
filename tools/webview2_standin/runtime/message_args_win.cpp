#include "message_args_win.h"

#include "co_task_text_win.h"
#include "out_param_win.h"

namespace tunewell::standin
{

WebMessageArgs::WebMessageArgs (std::wstring sourceUri, std::wstring messageJson,
                                std::optional<std::wstring> messageText)
    : source (std::move (sourceUri)), json (std::move (messageJson)), text (std::move (messageText))
{
}

HRESULT WebMessageArgs::get_Source (LPWSTR* out)
{
    return guarded ([&] { return returnText (source, out); });
}

HRESULT WebMessageArgs::get_WebMessageAsJson (LPWSTR* out)
{
    return guarded ([&] { return returnText (json, out); });
}

HRESULT WebMessageArgs::TryGetWebMessageAsString (LPWSTR* out)
{
    if (out == nullptr)
        return E_POINTER;

    if (! text)
    {
        *out = nullptr;
        return E_INVALIDARG;
    }

    return guarded ([&] { return returnText (*text, out); });
}

PermissionArgs::PermissionArgs (std::wstring requestUri, COREWEBVIEW2_PERMISSION_KIND requestedKind)
    : uri (std::move (requestUri)), kind (requestedKind)
{
}

HRESULT PermissionArgs::get_Uri (LPWSTR* out)
{
    return guarded ([&] { return returnText (uri, out); });
}

HRESULT PermissionArgs::get_PermissionKind (COREWEBVIEW2_PERMISSION_KIND* value)
{
    return returnValue (kind, value);
}

HRESULT PermissionArgs::get_IsUserInitiated (BOOL* isUserInitiated)
{
    return returnValue (TRUE, isUserInitiated);
}

HRESULT PermissionArgs::get_State (COREWEBVIEW2_PERMISSION_STATE* value)
{
    return returnValue (currentState, value);
}

HRESULT PermissionArgs::put_State (COREWEBVIEW2_PERMISSION_STATE value)
{
    if (value < COREWEBVIEW2_PERMISSION_STATE_DEFAULT || value > COREWEBVIEW2_PERMISSION_STATE_DENY)
        return E_INVALIDARG;

    currentState = value;
    return S_OK;
}

HRESULT PermissionArgs::GetDeferral (ICoreWebView2Deferral** deferral)
{
    clearOut (deferral);
    return E_NOTIMPL;
}

HRESULT ProcessFailedArgs::get_ProcessFailedKind (COREWEBVIEW2_PROCESS_FAILED_KIND* value)
{
    return returnValue (kind, value);
}

HRESULT BrowserProcessExitedArgs::get_BrowserProcessExitKind (COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value)
{
    return returnValue (kind, value);
}

HRESULT BrowserProcessExitedArgs::get_BrowserProcessId (UINT32* value)
{
    return returnValue (static_cast<UINT32> (GetCurrentProcessId()), value);
}

} // namespace tunewell::standin
