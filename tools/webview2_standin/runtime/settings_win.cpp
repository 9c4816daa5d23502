#include "settings_win.h"

#include "co_task_text_win.h"
#include "out_param_win.h"

namespace tunewell::standin
{

namespace
{

HRESULT store (const wchar_t* operation, bool& setting, BOOL value)
{
    record (operation, value ? L"1" : L"0");
    setting = value != FALSE;
    return S_OK;
}

} // namespace

Settings::Settings()
{
    current.userAgent = L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                        L"Chrome/130.0.0.0 Safari/537.36 Edg/130.0.0.0";
}

#define TUNEWELL_STANDIN_SETTING(Name, member) \
    HRESULT Settings::get_##Name (BOOL* value) \
    { \
        return returnValue (current.member ? TRUE : FALSE, value); \
    } \
    HRESULT Settings::put_##Name (BOOL value) \
    { \
        return guarded ([&] { return store (L"put_" #Name, current.member, value); }); \
    }

TUNEWELL_STANDIN_SETTING (IsScriptEnabled, script)
TUNEWELL_STANDIN_SETTING (IsWebMessageEnabled, webMessage)
TUNEWELL_STANDIN_SETTING (AreDefaultScriptDialogsEnabled, defaultScriptDialogs)
TUNEWELL_STANDIN_SETTING (IsStatusBarEnabled, statusBar)
TUNEWELL_STANDIN_SETTING (AreDevToolsEnabled, devTools)
TUNEWELL_STANDIN_SETTING (AreDefaultContextMenusEnabled, defaultContextMenus)
TUNEWELL_STANDIN_SETTING (AreHostObjectsAllowed, hostObjects)
TUNEWELL_STANDIN_SETTING (IsZoomControlEnabled, zoomControl)
TUNEWELL_STANDIN_SETTING (IsBuiltInErrorPageEnabled, builtInErrorPage)
TUNEWELL_STANDIN_SETTING (AreBrowserAcceleratorKeysEnabled, browserAcceleratorKeys)

#undef TUNEWELL_STANDIN_SETTING

HRESULT Settings::get_UserAgent (LPWSTR* value)
{
    return guarded ([&] { return returnText (current.userAgent, value); });
}

HRESULT Settings::put_UserAgent (LPCWSTR value)
{
    return guarded ([&] {
        record (L"put_UserAgent", value != nullptr ? value : L"");
        if (value == nullptr)
            return E_INVALIDARG;

        // An empty one leaves the current one, as documented.
        if (*value != L'\0')
            current.userAgent = value;
        return S_OK;
    });
}

} // namespace tunewell::standin
