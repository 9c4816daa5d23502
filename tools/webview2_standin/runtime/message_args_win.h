#pragma once

#include <optional>
#include <string>

#include "com_object_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// One message that the page posted: its JSON text, and the text itself when
/// the page posted a string.
class WebMessageArgs final
    : public ComObject<ICoreWebView2WebMessageReceivedEventArgs, IID_ICoreWebView2WebMessageReceivedEventArgs>
{
public:
    WebMessageArgs (std::wstring source, std::wstring json, std::optional<std::wstring> text);

    HRESULT STDMETHODCALLTYPE get_Source (LPWSTR* source) override;
    HRESULT STDMETHODCALLTYPE get_WebMessageAsJson (LPWSTR* webMessageAsJson) override;
    HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString (LPWSTR* webMessageAsString) override;

private:
    std::wstring source, json;
    std::optional<std::wstring> text;
};

class PermissionArgs final
    : public ComObject<ICoreWebView2PermissionRequestedEventArgs, IID_ICoreWebView2PermissionRequestedEventArgs>
{
public:
    PermissionArgs (std::wstring uri, COREWEBVIEW2_PERMISSION_KIND kind);

    COREWEBVIEW2_PERMISSION_STATE state() const { return currentState; }

    HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE get_PermissionKind (COREWEBVIEW2_PERMISSION_KIND* value) override;
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated (BOOL* isUserInitiated) override;
    HRESULT STDMETHODCALLTYPE get_State (COREWEBVIEW2_PERMISSION_STATE* value) override;
    HRESULT STDMETHODCALLTYPE put_State (COREWEBVIEW2_PERMISSION_STATE value) override;
    HRESULT STDMETHODCALLTYPE GetDeferral (ICoreWebView2Deferral** deferral) override;

private:
    std::wstring uri;
    COREWEBVIEW2_PERMISSION_KIND kind;
    COREWEBVIEW2_PERMISSION_STATE currentState = COREWEBVIEW2_PERMISSION_STATE_DEFAULT;
};

class ProcessFailedArgs final
    : public ComObject<ICoreWebView2ProcessFailedEventArgs, IID_ICoreWebView2ProcessFailedEventArgs>
{
public:
    explicit ProcessFailedArgs (COREWEBVIEW2_PROCESS_FAILED_KIND kind) : kind (kind) {}

    HRESULT STDMETHODCALLTYPE get_ProcessFailedKind (COREWEBVIEW2_PROCESS_FAILED_KIND* value) override;

private:
    COREWEBVIEW2_PROCESS_FAILED_KIND kind;
};

class BrowserProcessExitedArgs final
    : public ComObject<ICoreWebView2BrowserProcessExitedEventArgs, IID_ICoreWebView2BrowserProcessExitedEventArgs>
{
public:
    explicit BrowserProcessExitedArgs (COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind) : kind (kind) {}

    HRESULT STDMETHODCALLTYPE get_BrowserProcessExitKind (COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value) override;
    HRESULT STDMETHODCALLTYPE get_BrowserProcessId (UINT32* value) override;

private:
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND kind;
};

} // namespace tunewell::standin
