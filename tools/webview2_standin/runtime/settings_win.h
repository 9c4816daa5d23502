#pragma once

#include <string>

#include "com_object_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// The values of one view's settings, at Microsoft's documented defaults:
/// everything enabled and allowed.
struct SettingValues
{
    bool script = true;
    bool webMessage = true;
    bool defaultScriptDialogs = true;
    bool statusBar = true;
    bool devTools = true;
    bool defaultContextMenus = true;
    bool hostObjects = true;
    bool zoomControl = true;
    bool builtInErrorPage = true;
    bool browserAcceleratorKeys = true;
    std::wstring userAgent;
};

/// The settings object of one view, answering as ICoreWebView2Settings up to
/// ICoreWebView2Settings3. Every write is logged under its method's name,
/// booleans as 0/1, and kept; the view reads what it models (accelerator
/// keys, DevTools) when it acts, the rest is only kept.
class Settings final : public ComObject<ICoreWebView2Settings3, IID_ICoreWebView2Settings3, IID_ICoreWebView2Settings,
                                        IID_ICoreWebView2Settings2>
{
public:
    Settings();

    const SettingValues& values() const { return current; }

    HRESULT STDMETHODCALLTYPE get_IsScriptEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsScriptEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AreDefaultScriptDialogsEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled (BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_UserAgent (LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_UserAgent (LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE get_AreBrowserAcceleratorKeysEnabled (BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_AreBrowserAcceleratorKeysEnabled (BOOL value) override;

private:
    SettingValues current;
};

} // namespace tunewell::standin
