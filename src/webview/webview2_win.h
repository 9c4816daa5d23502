#pragma once

// The base WebView2 COM interfaces, declared slot by slot: a method's position
// in its struct is its vtable slot, so nothing may be reordered, and slots that
// the browser host never calls are still declared to keep the later ones in
// place. Parameter types of such slots are declared loosely where their
// interfaces are not needed (a pointer to an incomplete interface).
//
// Shared by the browser host and the stand-in runtime used by the tests;
// header-only, usable by plain include.

#include <windows.h>

#include <eventtoken.h>
#include <oaidl.h>
#include <objidl.h>

#include <cstdint>

enum COREWEBVIEW2_PERMISSION_KIND : int32_t
{
    COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION = 0,
    COREWEBVIEW2_PERMISSION_KIND_MICROPHONE = 1,
    COREWEBVIEW2_PERMISSION_KIND_CAMERA = 2,
    COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION = 3,
    COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS = 4,
    COREWEBVIEW2_PERMISSION_KIND_OTHER_SENSORS = 5,
    COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ = 6,
};

enum COREWEBVIEW2_PERMISSION_STATE : int32_t
{
    COREWEBVIEW2_PERMISSION_STATE_DEFAULT = 0,
    COREWEBVIEW2_PERMISSION_STATE_ALLOW = 1,
    COREWEBVIEW2_PERMISSION_STATE_DENY = 2,
};

// Only the contexts this project uses are named; the runtime knows more.
enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT : int32_t
{
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT = 1,
};

// Arguments of never-called slots; only their 32-bit size matters.
enum COREWEBVIEW2_MOVE_FOCUS_REASON : int32_t {};
enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT : int32_t {};

// Interfaces that appear only in never-called slots.
struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2NewBrowserVersionAvailableEventHandler;
struct ICoreWebView2ZoomFactorChangedEventHandler;
struct ICoreWebView2MoveFocusRequestedEventHandler;
struct ICoreWebView2FocusChangedEventHandler;
struct ICoreWebView2AcceleratorKeyPressedEventHandler;
struct ICoreWebView2Settings;
struct ICoreWebView2NavigationStartingEventHandler;
struct ICoreWebView2ContentLoadingEventHandler;
struct ICoreWebView2SourceChangedEventHandler;
struct ICoreWebView2HistoryChangedEventHandler;
struct ICoreWebView2NavigationCompletedEventHandler;
struct ICoreWebView2ScriptDialogOpeningEventHandler;
struct ICoreWebView2ProcessFailedEventHandler;
struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler;
struct ICoreWebView2ExecuteScriptCompletedHandler;
struct ICoreWebView2CapturePreviewCompletedHandler;
struct ICoreWebView2CallDevToolsProtocolMethodCompletedHandler;
struct ICoreWebView2DevToolsProtocolEventReceiver;
struct ICoreWebView2NewWindowRequestedEventHandler;
struct ICoreWebView2DocumentTitleChangedEventHandler;
struct ICoreWebView2ContainsFullScreenElementChangedEventHandler;
struct ICoreWebView2WindowCloseRequestedEventHandler;
struct ICoreWebView2Deferral;
struct ICoreWebView2HttpRequestHeaders;
struct ICoreWebView2HttpResponseHeaders;

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2WebMessageReceivedEventArgs;
struct ICoreWebView2PermissionRequestedEventArgs;
struct ICoreWebView2WebResourceRequestedEventArgs;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2WebResourceResponse;

inline constexpr IID IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler
    = { 0x8B4F98CE, 0xDB0D, 0x4E71, { 0x85, 0xFD, 0xC4, 0xC4, 0xEF, 0x1F, 0x26, 0x30 } };
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler
    = { 0x86EF6808, 0x3C3F, 0x4C6F, { 0x97, 0x5E, 0x8C, 0xE0, 0xB9, 0x8F, 0x70, 0xBA } };
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventHandler
    = { 0x199328C8, 0x9964, 0x4F5F, { 0x84, 0xE6, 0xE8, 0x75, 0xB1, 0xB7, 0x63, 0xD6 } };
inline constexpr IID IID_ICoreWebView2PermissionRequestedEventHandler
    = { 0x543B4ADE, 0x9B0B, 0x4748, { 0x9A, 0xB7, 0xD7, 0x64, 0x81, 0xB2, 0x23, 0xAA } };
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventHandler
    = { 0xF6DC79F2, 0xE1FA, 0x4534, { 0x89, 0x68, 0x4A, 0xFF, 0x10, 0xBB, 0xAA, 0x32 } };
inline constexpr IID IID_ICoreWebView2Environment
    = { 0xDA66D884, 0x6DA8, 0x410E, { 0x96, 0x30, 0x8C, 0x48, 0xF8, 0xB3, 0xA4, 0x0E } };
inline constexpr IID IID_ICoreWebView2Controller
    = { 0x7CCC5C7F, 0x8351, 0x4572, { 0x90, 0x77, 0x9C, 0x1C, 0x80, 0x91, 0x38, 0x35 } };
inline constexpr IID IID_ICoreWebView2
    = { 0x189B8AAF, 0x0426, 0x4748, { 0xB9, 0xAD, 0x24, 0x3F, 0x53, 0x7E, 0xB4, 0x6B } };
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventArgs
    = { 0xB263B5AE, 0x9C54, 0x4B75, { 0xB6, 0x32, 0x40, 0xAE, 0x1A, 0x0B, 0x69, 0x12 } };
inline constexpr IID IID_ICoreWebView2PermissionRequestedEventArgs
    = { 0x774B5EA1, 0x3FAD, 0x435C, { 0xB1, 0xFC, 0xA7, 0x7D, 0x1A, 0xCD, 0x5E, 0xAF } };
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventArgs
    = { 0x2D7B3282, 0x83B1, 0x41CA, { 0x8B, 0xBF, 0xFF, 0x18, 0xF6, 0xBF, 0xE3, 0x20 } };
inline constexpr IID IID_ICoreWebView2WebResourceRequest
    = { 0x11B02254, 0xB827, 0x49F6, { 0x89, 0x74, 0x30, 0xF6, 0xE6, 0xC5, 0x5A, 0xF6 } };
inline constexpr IID IID_ICoreWebView2WebResourceResponse
    = { 0x5953D1FC, 0xB08F, 0x46DD, { 0xAF, 0xD3, 0x66, 0xB1, 0x72, 0x41, 0x9C, 0xD0 } };

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke (HRESULT result, ICoreWebView2Environment* createdEnvironment) = 0;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke (HRESULT result, ICoreWebView2Controller* createdController) = 0;
};

struct ICoreWebView2WebMessageReceivedEventHandler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};

struct ICoreWebView2PermissionRequestedEventHandler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2PermissionRequestedEventArgs* args) = 0;
};

struct ICoreWebView2WebResourceRequestedEventHandler : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke (ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};

struct ICoreWebView2Environment : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller (HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateWebResourceResponse (IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers, ICoreWebView2WebResourceResponse** response) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_BrowserVersionString (LPWSTR* versionInfo) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable (ICoreWebView2NewBrowserVersionAvailableEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable (EventRegistrationToken token) = 0;
};

struct ICoreWebView2Controller : public IUnknown
{
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_IsVisible (BOOL* isVisible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsVisible (BOOL isVisible) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Bounds (RECT* bounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bounds (RECT bounds) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_ZoomFactor (double* zoomFactor) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_ZoomFactor (double zoomFactor) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged (ICoreWebView2ZoomFactorChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor (RECT bounds, double zoomFactor) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE MoveFocus (COREWEBVIEW2_MOVE_FOCUS_REASON reason) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_MoveFocusRequested (ICoreWebView2MoveFocusRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_GotFocus (ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_GotFocus (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_LostFocus (ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_LostFocus (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_AcceleratorKeyPressed (ICoreWebView2AcceleratorKeyPressedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_ParentWindow (HWND* topLevelWindow) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_ParentWindow (HWND topLevelWindow) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2 (ICoreWebView2** coreWebView2) = 0;
};

struct ICoreWebView2 : public IUnknown
{
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Settings (ICoreWebView2Settings** settings) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Source (LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE Navigate (LPCWSTR uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE NavigateToString (LPCWSTR htmlContent) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_NavigationStarting (ICoreWebView2NavigationStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_NavigationStarting (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_ContentLoading (ICoreWebView2ContentLoadingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_ContentLoading (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_SourceChanged (ICoreWebView2SourceChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_SourceChanged (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_HistoryChanged (ICoreWebView2HistoryChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_HistoryChanged (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_NavigationCompleted (ICoreWebView2NavigationCompletedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_NavigationCompleted (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting (ICoreWebView2NavigationStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationStarting (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationCompleted (ICoreWebView2NavigationCompletedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationCompleted (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_ScriptDialogOpening (ICoreWebView2ScriptDialogOpeningEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening (EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_PermissionRequested (ICoreWebView2PermissionRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_PermissionRequested (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed (ICoreWebView2ProcessFailedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_ProcessFailed (EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated (LPCWSTR javaScript, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated (LPCWSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExecuteScript (LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE CapturePreview (COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, IStream* imageStream, ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE Reload() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsJson (LPCWSTR webMessageAsJson) = 0;
    virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsString (LPCWSTR webMessageAsString) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_WebMessageReceived (ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_WebMessageReceived (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethod (LPCWSTR methodName, LPCWSTR parametersAsJson, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId (UINT32* value) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_CanGoBack (BOOL* canGoBack) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_CanGoForward (BOOL* canGoForward) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE GoBack() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE GoForward() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver (LPCWSTR eventName, ICoreWebView2DevToolsProtocolEventReceiver** receiver) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_NewWindowRequested (ICoreWebView2NewWindowRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_NewWindowRequested (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_DocumentTitleChanged (ICoreWebView2DocumentTitleChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_DocumentTitle (LPWSTR* title) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE AddHostObjectToScript (LPCWSTR name, VARIANT* object) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript (LPCWSTR name) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged (ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_ContainsFullScreenElementChanged (EventRegistrationToken token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement (BOOL* containsFullScreenElement) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_WebResourceRequested (ICoreWebView2WebResourceRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_WebResourceRequested (EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter (const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter (const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE add_WindowCloseRequested (ICoreWebView2WindowCloseRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested (EventRegistrationToken token) = 0;
};

struct ICoreWebView2WebMessageReceivedEventArgs : public IUnknown
{
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Source (LPWSTR* source) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_WebMessageAsJson (LPWSTR* webMessageAsJson) = 0;
    virtual HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString (LPWSTR* webMessageAsString) = 0;
};

struct ICoreWebView2PermissionRequestedEventArgs : public IUnknown
{
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PermissionKind (COREWEBVIEW2_PERMISSION_KIND* value) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated (BOOL* isUserInitiated) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_State (COREWEBVIEW2_PERMISSION_STATE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_State (COREWEBVIEW2_PERMISSION_STATE value) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE GetDeferral (ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2WebResourceRequestedEventArgs : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE get_Request (ICoreWebView2WebResourceRequest** request) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Response (ICoreWebView2WebResourceResponse** response) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Response (ICoreWebView2WebResourceResponse* response) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE GetDeferral (ICoreWebView2Deferral** deferral) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_ResourceContext (COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) = 0;
};

struct ICoreWebView2WebResourceRequest : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE get_Uri (LPWSTR* uri) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_Uri (LPCWSTR uri) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Method (LPWSTR* method) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_Method (LPCWSTR method) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Content (IStream** content) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_Content (IStream* content) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Headers (ICoreWebView2HttpRequestHeaders** headers) = 0;
};

struct ICoreWebView2WebResourceResponse : public IUnknown
{
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Content (IStream** content) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_Content (IStream* content) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_Headers (ICoreWebView2HttpResponseHeaders** headers) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_StatusCode (int* statusCode) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_StatusCode (int statusCode) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE get_ReasonPhrase (LPWSTR* reasonPhrase) = 0;
    // Never called by the browser host.
    virtual HRESULT STDMETHODCALLTYPE put_ReasonPhrase (LPCWSTR reasonPhrase) = 0;
};

/// The loader export that starts creating a browser environment. Any thread
/// that pumps messages; the runtime keeps a reference to the handler until it
/// has been invoked on that thread. Null folder and options: the defaults.
using CreateCoreWebView2EnvironmentWithOptionsFunction = HRESULT (STDMETHODCALLTYPE*) (
    PCWSTR browserExecutableFolder,
    PCWSTR userDataFolder,
    ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);

inline constexpr char createEnvironmentExportName[] = "CreateCoreWebView2EnvironmentWithOptions";
