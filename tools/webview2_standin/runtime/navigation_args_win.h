#pragma once

#include <string>

#include "com_object_win.h"
#include "user_input.h"
#include "webview/com_ref_win.h"
#include "webview/webview2_win.h"

namespace tunewell::standin
{

/// A navigation about to start; a handler may cancel it.
class NavigationStartingArgs final
    : public ComObject<ICoreWebView2NavigationStartingEventArgs, IID_ICoreWebView2NavigationStartingEventArgs>
{
public:
    NavigationStartingArgs (std::wstring uri, bool userInitiated, UINT64 navigationId);

    bool cancelled() const { return cancel; }

    HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated (BOOL* isUserInitiated) override;
    HRESULT STDMETHODCALLTYPE get_IsRedirected (BOOL* isRedirected) override;
    HRESULT STDMETHODCALLTYPE get_RequestHeaders (ICoreWebView2HttpRequestHeaders** requestHeaders) override;
    HRESULT STDMETHODCALLTYPE get_Cancel (BOOL* cancel) override;
    HRESULT STDMETHODCALLTYPE put_Cancel (BOOL cancel) override;
    HRESULT STDMETHODCALLTYPE get_NavigationId (UINT64* navigationId) override;

private:
    std::wstring uri;
    bool userInitiated;
    UINT64 navigationId;
    bool cancel = false;
};

/// The page asks for a new window; a handler may take it (Handled) or give
/// the view that becomes it (NewWindow), which can be set once.
class NewWindowArgs final
    : public ComObject<ICoreWebView2NewWindowRequestedEventArgs, IID_ICoreWebView2NewWindowRequestedEventArgs>
{
public:
    explicit NewWindowArgs (std::wstring uri);

    bool handled() const { return isHandled; }
    ICoreWebView2* newWindow() const { return given.get(); }

    HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) override;
    HRESULT STDMETHODCALLTYPE put_NewWindow (ICoreWebView2* newWindow) override;
    HRESULT STDMETHODCALLTYPE get_NewWindow (ICoreWebView2** newWindow) override;
    HRESULT STDMETHODCALLTYPE put_Handled (BOOL handled) override;
    HRESULT STDMETHODCALLTYPE get_Handled (BOOL* handled) override;
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated (BOOL* isUserInitiated) override;
    HRESULT STDMETHODCALLTYPE GetDeferral (ICoreWebView2Deferral** deferral) override;
    HRESULT STDMETHODCALLTYPE get_WindowFeatures (ICoreWebView2WindowFeatures** value) override;

private:
    std::wstring uri;
    ui::ComRef<ICoreWebView2> given;
    bool isHandled = false;
};

/// One key pressed while the view had the focus.
class AcceleratorKeyArgs final
    : public ComObject<ICoreWebView2AcceleratorKeyPressedEventArgs, IID_ICoreWebView2AcceleratorKeyPressedEventArgs>
{
public:
    explicit AcceleratorKeyArgs (const KeyChord& chord);

    bool handled() const { return isHandled; }

    HRESULT STDMETHODCALLTYPE get_KeyEventKind (COREWEBVIEW2_KEY_EVENT_KIND* keyEventKind) override;
    HRESULT STDMETHODCALLTYPE get_VirtualKey (UINT* virtualKey) override;
    HRESULT STDMETHODCALLTYPE get_KeyEventLParam (INT* lParam) override;
    HRESULT STDMETHODCALLTYPE get_PhysicalKeyStatus (COREWEBVIEW2_PHYSICAL_KEY_STATUS* physicalKeyStatus) override;
    HRESULT STDMETHODCALLTYPE get_Handled (BOOL* handled) override;
    HRESULT STDMETHODCALLTYPE put_Handled (BOOL handled) override;

private:
    KeyChord chord;
    COREWEBVIEW2_PHYSICAL_KEY_STATUS status {};
    bool isHandled = false;
};

} // namespace tunewell::standin
